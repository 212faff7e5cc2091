#ifndef PAIREX_ENGINE_ENGINE_INTERNAL_H
#define PAIREX_ENGINE_ENGINE_INTERNAL_H

// Shared state and routines of the engine's files. Nothing outside engine/ includes
// this header.

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <functional>
#include <memory>
#include <new>
#include <utility>
#include <string>
#include <thread>
#include <vector>

#include "common/charset.h"
#include "common/textio.h"

// The option flags of one run (cleared at the start of every run) and the output path
// of the last `-o` given in the process.
struct EngineOptions {
    int force_text = 0;             // -a
    int ignore_space_amount = 0;    // -b
    int skip_all_blanks = 0;        // -w
    int blank_rules_on = 0;         // -b or -w
    int fold_case = 0;              // -i
    int skip_blank_hunks = 0;       // -B
    int speed_heuristic = 0;        // -H
    int absent_as_empty = 0;        // -N
    int absent_first_as_empty = 0;  // -P
    int descend_subdirs = 0;        // -r
    int report_identical = 0;       // -s
    int tabs_to_spaces = 0;         // -t
    int tab_after_marker = 0;       // -T
    std::string output_path;        // -o, kept across runs
};
extern EngineOptions engine_options;

// --- Reporting and memory (engine_alloc.cpp)
// Formats `format` with up to two strings, in full, and shows it as an error.
void report_engine_error(const char* format, const char* arg1 = nullptr,
                         const char* arg2 = nullptr);
// malloc/realloc that treat 0 bytes as 1; a refused request shows "Not enough memory"
// and abandons the run (the run returns 2, everything allocated is released). Where the
// system offers huge pages, large blocks are advised for them (engine_alloc's from
// 1 MiB, aligned to a huge page): touching fresh memory then costs one
// fault per 2 MiB instead of per 4 KiB. Either block is freed with std::free.
void* engine_alloc(std::size_t size);
void* engine_realloc(void* block, std::size_t size);
// The blocks of the engine's tables. Under Windows a large block comes fresh from the
// system and goes back to it when freed, so each stage's tables would fault in and zero
// new pages (about 1.8 microseconds a page under wine), while the stage before had just
// freed as much. On Linux the heap reuses a freed block, but where it pleases, and the
// tables of the stage after classification still faulted in 4 KiB pages (its CPU time
// fell by a third with the blocks kept). A large table block freed during a run is
// kept instead, and later tables are carved out of it; a kept block is whole again
// once all its tables are freed, and engine_release_kept_blocks, at the end of every
// run, frees them all.
void* engine_table_alloc(std::size_t size);
void engine_table_free(void* block, std::size_t size);
void engine_release_kept_blocks();
// Where the program asked for it (common/fresh_pages.h), fresh pages are brought in
// before a table writes them, a few large steps instead of a fault at each page: a
// carved table's part beyond what its kept block had in (engine_table_alloc), and
// what a fresh table's owner names here (`bytes` at `block`, about to be written). A
// kept block counts as in only as far as it was brought in, or whole. On the run's
// own thread.
void engine_bring_in(void* block, std::size_t bytes);

// Brings in a fresh table that the run's thread is about to fill from its start (`bytes`
// at `block`) on a thread of its own, a step ahead of the filling: the faults are then
// taken beside the work instead of in it (under wine the first file's classification
// on the 5,000,000-line pair took 155 to 170 ms instead of 220 to 290). The filling
// thread calls before_filling before it writes further; the two never touch the same
// bytes at once. Where pages are not brought in (engine_bring_in), or no thread can be
// had, it only brings in on before_filling as engine_bring_in would. Ends, stopping the
// other thread, when it goes out of scope, which must be before the table is freed.
class BringInBeside {
public:
    BringInBeside(void* block, std::size_t bytes);
    ~BringInBeside();
    BringInBeside(const BringInBeside&) = delete;
    BringInBeside& operator=(const BringInBeside&) = delete;
    // Returns once the table's first `upto` bytes are in.
    void before_filling(std::size_t upto);

private:
    void bring_in_ahead();
    char* base_;
    std::size_t bytes_;
    std::atomic<std::size_t> claimed_{0};  // handed to one of the threads, from the start
    std::atomic<std::size_t> done_{0};     // brought in, from the start
    std::atomic<bool> stop_{false};
    std::thread thread_;
};

// Thrown to abandon a run after "Not enough memory" has been shown; engine_run catches
// it (and std::bad_alloc) and returns 2.
struct EngineOutOfMemory {};
// Thrown to abandon a run the user stopped (common/progress.h); engine_run catches it
// and returns 2 with nothing shown.
struct EngineStopped {};
// How far the run has come, in thousandths; throws EngineStopped when the user asked
// to stop. Callers call it at intervals of a few hundred microseconds of work at most.
void engine_progress(std::uint32_t permille);
// Where the run stands once the changed lines are marked: writing the listing is the
// rest (on two 9,000,000-line files of four short lines, 1.4 s of 11).
constexpr std::uint32_t SEARCHED_PERMILLE = 900;
// Lets the window answer, from a thread that waits for the engine's other threads, at
// `permille` or the share last reported if that is more; false when the user asked to
// stop (nothing is thrown).
bool engine_answer(std::uint32_t permille);
// Shows "Not enough memory" once per run and throws EngineOutOfMemory.
[[noreturn]] void engine_out_of_memory();
// Called at the start of a run: the next refusal is shown again.
void engine_reset_memory_report();

// The allocator of the engine's tables: engine_table_alloc (huge pages, "Not enough memory")
// and no value-initialisation of trivial elements, since every table either writes
// each entry before reading it or is filled explicitly (`Table<T>(n, 0)`).
template <typename T>
struct TableAllocator {
    using value_type = T;
    TableAllocator() = default;
    template <typename U>
    TableAllocator(const TableAllocator<U>& /*other*/) noexcept {}
    T* allocate(std::size_t n) {
        if (n > static_cast<std::size_t>(-1) / sizeof(T)) {
            engine_out_of_memory();
        }
        return static_cast<T*>(engine_table_alloc(n * sizeof(T)));
    }
    void deallocate(T* p, std::size_t n) noexcept { engine_table_free(p, n * sizeof(T)); }
    template <typename U>
    void construct(U* p) noexcept {
        ::new (static_cast<void*>(p)) U;
    }
    template <typename U, typename... Args>
    void construct(U* p, Args&&... args) {
        ::new (static_cast<void*>(p)) U(std::forward<Args>(args)...);
    }
    template <typename U>
    bool operator==(const TableAllocator<U>& /*other*/) const noexcept {
        return true;
    }
};
template <typename T>
using Table = std::vector<T, TableAllocator<T>>;

// Descriptor states of an InputFile.
constexpr int DESCRIPTOR_ABSENT = -1;
constexpr int DESCRIPTOR_NOT_OPEN = -2;
constexpr int DESCRIPTOR_STDIN = 0;

struct FileStatus {
    bool is_dir = false;
    bool is_regular = false;
    std::uint64_t size = 0;
};

// Frees a file's data: a block from engine_alloc, or a mapping of `mapped_bytes`.
struct TextDeleter {
    std::size_t mapped_bytes = 0;
    void operator()(char* p) const;
};
using TextBuffer = std::unique_ptr<char[], TextDeleter>;

// One compared file: its data, its middle lines (between the identical prefix and
// suffix) and their equivalence classes, and the analysis results.
struct InputFile {
    int descriptor = DESCRIPTOR_NOT_OPEN;
    std::string name;
    FileStatus status;
    bool is_dir = false;

    // Data as read in text mode; eight zero bytes always follow the data. `text` is
    // null when the buffer is shared with the other file of the pair (see data()).
    TextBuffer text;
    char* shared_text = nullptr;
    std::size_t text_capacity = 0;
    std::int64_t text_length = 0;

    // line_starts[i] is the offset of middle line i; line_starts[line_count] is the
    // end of the last middle line.
    Table<std::uint32_t> line_starts;
    std::int32_t line_count = 0;
    std::int32_t line_capacity = 0;
    std::int64_t middle_begin = 0;
    std::int32_t prefix_line_count = 0;
    std::int64_t middle_end = 0;
    Table<std::int32_t> line_classes;

    Table<std::int32_t> kept_classes;
    Table<std::int32_t> kept_line_index;
    std::int32_t kept_count = 0;
    // Points one past the start of a flags block, so that [-1] and [line_count] exist.
    char* line_changed = nullptr;

    int lacks_final_newline = 0;
    std::int32_t class_limit = 0;
    // What the data's bytes stand for as a whole (detect_charset): in 8-bit text, under
    // -w, 0xC2 is a letter and only a lone 0xA0 is a no-break space. Decided only
    // under -w, the one rule that depends on it.
    DisplayCharset charset = CHARSET_UTF8;
    // A Ctrl-Z ended the data in text mode: nothing after it is read.
    bool data_ended = false;
    // What text mode dropped from the file out of sight (see engine_set_text_mode_warnings).
    TextModeLoss text_mode_loss;
    // `text` maps the file itself (see map_input_text): it is never grown or read into.
    bool mapped = false;
    // The data is a text lent by the caller (see engine_lend_texts): `text` is null,
    // shared_text points at it, and it is never grown or read into.
    bool lent = false;

    char* data() { return text ? text.get() : shared_text; }
    bool is_absent() const { return descriptor < 0; }
    // The first block, tested for a zero byte, and the unit of a streamed binary
    // comparison: 8192 bytes for a regular file, 4096 for a pipe or a device.
    std::size_t read_size() const { return status.is_regular ? 8192 : 4096; }
};

// One run of changed lines, indexes relative to the middle lines of each file.
struct Change {
    std::int32_t inserted_count;
    std::int32_t deleted_count;
    std::int32_t first0;
    std::int32_t first1;
};

// Result codes, as engine_run returns them: -1 usage error (engine_run only), 0 no
// differences, 1 differences, 2 trouble. Failures are shown where they happen, with
// report_engine_error; callers only look at the code. Nothing here ends the process.

// --- options.cpp
// Clears every flag (output_path is kept), resets the option scanner and scans `argv`
// into engine_options. Returns the index of the first operand, or -1 for a rejected
// option after showing "Error #2" (preceded by "Error #1\n" for an ambiguous long
// name). Does not check the operand count.
int scan_options(int argc, char** argv);

// --- compare_pair.cpp
// Resolves and compares one pair of operands: at the top level two operands with no
// directories, in a directory walk an entry name on each side (null where the entry is
// missing) with its directory. Returns 0, 1 or 2: 1 also for a directory against a
// file and a one-sided entry; 2 when a status, an open or a close failed, or the
// output file could not be opened or written (each shown once). An equal file pair
// leaves the output file created or truncated, with the identical-files line under -s.
int compare_pair(const char* dir0, const char* name0, const char* dir1, const char* name1,
                 int depth);

// --- output_guard.cpp
// Whether the output file of `-o` exists and is `file` (by file identity, under any
// spelling; standard input where the platform tells its identity).
bool output_is_operand(const InputFile& file);
// Whether the output file exists inside one of the two directory operands at a depth
// the walk compares (directly inside, or anywhere below under -r): an earlier pair's
// listing would replace it before it is compared.
bool output_inside_dirs(const InputFile files[2]);

// --- dir_compare.cpp
// Lists both directories (an absent side lists as empty), sorts the names by byte
// value and calls compare_pair for every name one level deeper. Returns the largest
// result of the entries (0 for two empty directories), or 2 without comparing any
// entry when a directory cannot be listed ("Error in file %s" shown for it).
int compare_dirs(InputFile files[2], int depth);

// --- analysis.cpp
// Compares two opened files (an absent side reads as empty): a binary pair byte for
// byte ("Binary files %s and %s differ\n" emitted when they differ), a text pair line
// by line with its listing printed. Returns 0 equal, 1 different (under -B: at least
// one hunk with a non-empty line). Never 2: read errors are shown and the data read so
// far is compared; an output failure is left for the caller (listing_open_failed).
int compare_two_files(InputFile files[2], int depth);

// --- input_file.cpp
// Reads the first block of each file and decides whether the pair is binary (a zero
// byte in either first block as stored, without -a): then returns 1 with nothing more
// read, the blocks as stored. Else
// reads both files whole, trims the identical ends and classifies the middle lines;
// returns 0 with every field from `text` to `class_limit` set, except those of the
// analysis. Read errors are shown and count as nothing read.
int load_input_pair(InputFile files[2]);

// --- line_classes.cpp
// Whether the engine takes its shortcuts (engine_set_fast_paths).
bool engine_fast_paths_on();

// --- mapped_input.cpp
// Maps an open regular file of at least the mapping threshold as its `text`, when text
// mode would change none of its bytes (no carriage return, no Ctrl-Z): the system then
// neither copies the data nor holds a second copy in the process's memory. `spare_bytes`
// writable bytes follow the data, then a line feed at the end of the mapping, so that
// a scan for a line end stops inside it whatever happens to the file. Linux only;
// false (nothing changed) where the file is not mapped.
bool map_input_text(InputFile& file, std::size_t spare_bytes);
// Whether map_input_text may map `file`, from its size and kind alone.
bool may_map_input(const InputFile& file);
// True when a mapped file shrank while it was mapped: its missing bytes read as zero
// bytes, so its comparison means nothing.
bool mapped_input_shrank(const InputFile& file);
// Unmaps a mapping made by map_input_text.
void unmap_input_text(char* text, std::size_t mapped_bytes);

// Reads up to `want` bytes as stored into `buffer` (fewer only at the end of the data);
// returns the count read. A failed read shows "Error in file %s" and ends reading.
std::size_t read_raw(InputFile& file, char* buffer, std::size_t want);
// Reads up to `want` bytes in text mode (carriage returns dropped, a Ctrl-Z ends the
// data) into `buffer`; returns the count kept. A failed read shows "Error in file %s"
// and ends reading.
std::size_t read_text_mode(InputFile& file, char* buffer, std::size_t want);

// --- identical_ends.cpp
// On two read and completed files: sets middle_begin and middle_end (the identical
// leading and trailing lines are set aside), prefix_line_count and the first
// line_capacity of both. Shows nothing.
void trim_identical_ends(InputFile files[2]);

// --- line_classes.cpp
// Gives every middle line of both files its class (file 0 first: its lines create the
// classes that file 1's lines join): fills line_starts, line_classes, line_count and
// class_limit. The class and bucket tables live only during the call.
void classify_pair(InputFile files[2]);
// Runs work(0) and work(1), each on one file's tables; when either file is large, at the same
// time, on two other threads while the calling thread lets the window answer (a stop
// then throws EngineStopped once both have ended). `work` must neither allocate (the table
// allocator is not shared between threads) nor throw, nor show anything.
// `share`, when given, tells the waiting thread how far the run has come meanwhile.
void for_both_files(InputFile files[2], const std::function<void(int)>& work,
                    const std::function<std::uint32_t()>& share = {});
// Runs work(0) and work(1), at the same time when `share` (and the fast paths are on);
// `work` as for for_both_files.
void run_on_both(bool share, const std::function<void(int)>& work,
                 const std::function<std::uint32_t()>& progress = {});
// Whether two lines (each ended by a line feed; the lengths as classification uses
// them) are equal under -i, -b and -w; `a_charset` and `b_charset` are their files'.
bool lines_equivalent(const char* a, std::int64_t alen, const char* b, std::int64_t blen,
                      DisplayCharset a_charset, DisplayCharset b_charset);

// --- blank_hash.cpp
// A line hash: of the line at `p`, ended by its line feed, whose position it stores in
// `*end`. The data must be followed by eight bytes that may be read.
using LineHash = std::uint32_t (*)(const unsigned char* p, const unsigned char** end);
// The hash of lines under -w (and -i when `fold`) eight bytes at a step: equal for
// lines equal under those rules. Null where the processor lacks the byte shuffle.
LineHash blank_skipping_hash(bool fold);
// --- discard.cpp
// Sets aside the lines that cannot anchor a match: lines without a partner in the
// other file, and lines with very many partners among them. Fills kept_classes,
// kept_line_index, kept_count and marks the set-aside lines in line_changed.
void discard_unmatchable_lines(InputFile files[2]);

// --- middle_snake.cpp
// Compares the kept sequences (the middle-snake search, with the speed heuristic under
// -H) and marks every kept line that is not matched in line_changed.
void mark_changed_lines(InputFile files[2]);

// --- change_script.cpp
// Moves each run of changed lines as far towards the end as equal lines allow, without
// crossing a change of the other file.
void slide_change_runs(InputFile files[2]);
// The changes of the line_changed flags in increasing line order; empty when none.
std::vector<Change> build_change_script(InputFile files[2]);

// --- listing.cpp
// Starts a pair's output: a failure of an earlier pair to open or write the output
// file is forgotten.
void begin_pair_output();
// Prints every change of the script that is not ignorable under -B, opening the output
// file at the first. Returns -1 when the file could not be opened (shown), else 0.
int print_change_listing(InputFile files[2], const std::vector<Change>& script);
// A hunk's line ranges (0-based middle-line indexes) and the counts of its deleted and
// inserted lines to show, both 0 when the hunk is ignorable under -B.
struct HunkMeasure {
    std::int32_t first0, last0, first1, last1;
    std::int32_t deletes, inserts;
};
HunkMeasure measure_hunk(InputFile files[2], const Change* first, std::size_t count);
// Opens the output file (truncating it) if it is not open yet. Returns -1 when it cannot
// be opened: "Can't open output file" is shown once for the pair.
int open_listing();
// Closes the output file if it is open; a stream error or a failing close shows "Error
// writing temp. file" and counts as an output failure of the pair.
void close_listing();
bool listing_is_open();
void flush_listing();
// Writes the formatted message only while the output file is open; else drops it.
void emit_message(const char* format, const char* arg1, const char* arg2);
// True when the output file could not be opened or written during the current pair.
bool listing_open_failed();
// Called at the start of a run: closes a file left open and forgets all output state.
void reset_listing_state();
// Closes the file at the end of a run if it is still open; false when the stream had
// an error or the close failed (the caller shows it).
bool finish_listing();

extern const unsigned char CHAR_CLASS_TABLE[256];
enum { CHAR_CONTROL = 0, CHAR_GRAPHIC = 1, CHAR_WHITE = 2 };

#endif
