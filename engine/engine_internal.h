#ifndef PAIREX_ENGINE_ENGINE_INTERNAL_H
#define PAIREX_ENGINE_ENGINE_INTERNAL_H

// Shared state and routines of the engine's files. Nothing outside engine/ includes
// this header.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

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

// Descriptor states of an InputFile.
constexpr int DESCRIPTOR_ABSENT = -1;
constexpr int DESCRIPTOR_NOT_OPEN = -2;
constexpr int DESCRIPTOR_STDIN = 0;

struct FileStatus {
    bool is_dir = false;
    bool is_regular = false;
    std::uint64_t size = 0;
};

struct FreeDeleter {
    void operator()(char* p) const;
};
using TextBuffer = std::unique_ptr<char[], FreeDeleter>;

// One compared file: its data, its middle lines (between the identical prefix and
// suffix) and their equivalence classes, and the analysis results.
struct InputFile {
    int descriptor = DESCRIPTOR_NOT_OPEN;
    std::string name;
    FileStatus status;
    bool is_dir = false;

    // Data as read in text mode; four zero bytes always follow the data. `text` is
    // null when the buffer is shared with the other file of the pair (see data()).
    TextBuffer text;
    char* shared_text = nullptr;
    std::size_t text_capacity = 0;
    std::int64_t text_length = 0;

    // line_starts[i] is the offset of middle line i; line_starts[line_count] is the
    // end of the last middle line.
    std::vector<std::uint32_t> line_starts;
    std::int32_t line_count = 0;
    std::int32_t line_capacity = 0;
    std::int64_t middle_begin = 0;
    std::int32_t prefix_line_count = 0;
    std::int64_t middle_end = 0;
    std::vector<std::int32_t> line_classes;

    std::vector<std::int32_t> kept_classes;
    std::vector<std::int32_t> kept_line_index;
    std::int32_t kept_count = 0;
    // Points one past the start of a flags block, so that [-1] and [line_count] exist.
    char* line_changed = nullptr;

    int lacks_final_newline = 0;
    std::int32_t class_limit = 0;
    // A Ctrl-Z ended the data in text mode: nothing after it is read.
    bool data_ended = false;

    char* data() { return text ? text.get() : shared_text; }
    bool is_absent() const { return descriptor < 0; }
    // The 8192/4096-byte block size used for reading and binary comparison.
    std::size_t block_size() const { return status.is_regular ? 8192 : 4096; }
};

// One run of changed lines, indexes relative to the middle lines of each file.
struct Change {
    std::int32_t inserted_count;
    std::int32_t deleted_count;
    std::int32_t first0;
    std::int32_t first1;
};

// --- Reporting and memory (engine_alloc.cpp)
// Formats `format` with up to two strings, in full, and shows it as an error.
void report_engine_error(const char* format, const char* arg1 = nullptr,
                         const char* arg2 = nullptr);
// malloc/realloc that treat 0 bytes as 1; a refused request shows "Not enough memory"
// and abandons the run (the run returns 2, everything allocated is released).
void* engine_alloc(std::size_t size);
void* engine_realloc(void* block, std::size_t size);
// Thrown to abandon a run after "Not enough memory" has been shown.
struct EngineOutOfMemory {};
// Shows "Not enough memory" once per run and throws EngineOutOfMemory.
[[noreturn]] void engine_out_of_memory();
void engine_reset_memory_report();

// --- options.cpp
int scan_options(int argc, char** argv);

// --- compare_pair.cpp
int compare_pair(const char* dir0, const char* name0, const char* dir1, const char* name1,
                 int depth);

// --- input_file.cpp
// Returns 1 when the pair is to be treated as binary, 0 when read and classified.
int load_input_pair(InputFile files[2]);
// Reads more data (text mode) into `buffer` up to `want` bytes; returns the count.
std::size_t read_text_mode(InputFile& file, char* buffer, std::size_t want);

// --- identical_ends.cpp
void trim_identical_ends(InputFile files[2]);

// --- line_classes.cpp
void classify_pair(InputFile files[2]);
bool lines_equivalent(const char* a, std::int64_t alen, const char* b, std::int64_t blen);

// --- analysis.cpp
int compare_two_files(InputFile files[2], int depth);
// --- discard.cpp
void discard_unmatchable_lines(InputFile files[2]);
// --- middle_snake.cpp
void mark_changed_lines(InputFile files[2]);
// --- change_script.cpp
void slide_change_runs(InputFile files[2]);
std::vector<Change> build_change_script(InputFile files[2]);

// --- listing.cpp
// Starts a pair's output: the output file is taken as not open.
void begin_pair_output();
// Prints every change of the script; returns -1 when the output file could not be
// opened (already reported), else 0.
int print_change_listing(InputFile files[2], const std::vector<Change>& script);
struct HunkMeasure {
    std::int32_t first0, last0, first1, last1;
    std::int32_t deletes, inserts;
};
HunkMeasure measure_hunk(InputFile files[2], const Change* first, std::size_t count);
// Opens the output file if it is not open yet; -1 when it cannot be opened (reported).
int open_listing();
void close_listing();
bool listing_is_open();
void flush_listing();
// Writes the formatted message only while the output file is open.
void emit_message(const char* format, const char* arg1, const char* arg2);
// True when the output file could not be opened during the current pair.
bool listing_open_failed();
void reset_listing_state();
// Closes the file at the end of a run; false when the stream had an error.
bool finish_listing();

// --- dir_compare.cpp
int compare_dirs(InputFile files[2], int depth);

extern const unsigned char CHAR_CLASS_TABLE[256];
enum { CHAR_CONTROL = 0, CHAR_GRAPHIC = 1, CHAR_WHITE = 2 };

#endif
