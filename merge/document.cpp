#include "merge/document.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <mutex>
#include <new>
#include <string>
#include <thread>

#include "common/byte_scan.h"
#include "common/fresh_pages.h"
#include "common/native_file.h"
#include "common/progress.h"
#include "common/report.h"
#include "common/textio.h"
#include "common/unicode.h"
#include "engine/engine.h"
#include "merge/blocks.h"
#include "merge/history.h"
#include "merge/line_ends.h"
#include "merge/merge_platform.h"
#include "merge/resolution.h"

MergeDocument merge_document;
std::size_t merge_simulated_memory_limit = 0;

bool merge_allocation_refused(std::size_t bytes) {
    return merge_simulated_memory_limit != 0 && bytes > merge_simulated_memory_limit;
}

namespace {
// Set on a thread while it reads ahead (see start_read_ahead): nothing is shown, and
// anything that would have been shown makes the text unusable.
thread_local bool reading_ahead = false;
thread_local bool read_ahead_spoiled = false;

// A side read on a thread of its own while the calling thread goes on (see
// start_read_beside). The reader counts its bytes in `done` and stops at `stop`.
struct BesideRead {
    std::thread thread;
    std::uint64_t size = 0;
    std::atomic<std::uint64_t> done{0};
    std::atomic<bool> stop{false};
    std::mutex mutex;
    std::condition_variable ended;
    bool finished = false;  // under `mutex`
};
// Set on the reader's own thread.
thread_local BesideRead* reading_beside = nullptr;
}  // namespace

// What a load shows goes through here.
static void load_message(const char* text, Severity severity) {
    if (reading_ahead) {
        read_ahead_spoiled = true;
        return;
    }
    report_message(text, severity);
}

void report_out_of_memory() {
    load_message("Not enough memory", SEVERITY_ERROR);
}

static int refuse_long_path(const char* path) {
    const std::string text =
        "The path is longer than " + std::to_string(PATH_MAX_CHARS) + " characters:\n" + path;
    report_message(text.c_str(), SEVERITY_ERROR);
    return -1;
}

// The bytes read between two progress steps: a few milliseconds of reading.
constexpr std::size_t READ_STEP_BYTES = std::size_t{4} << 20;
constexpr long long READ_STOPPED = -2;

// Whether a read at `got` of `size` bytes goes on: a read beside the window's thread
// counts its bytes for that thread to show; any other shows its progress itself.
static bool keep_reading(std::size_t got, std::size_t size) {
    if (reading_beside != nullptr) {
        reading_beside->done.store(got, std::memory_order_relaxed);
        return !reading_beside->stop.load(std::memory_order_relaxed);
    }
    return progress_step(got, size);
}

// Where fresh pages are brought in (common/fresh_pages.h), the file is read into a
// small buffer of its own and copied from there: under wine the system's first write to
// a page of the program's cost more than the program's own, and a 135 MB file so read
// in 230 ms instead of 385.
constexpr std::size_t BOUNCE_BYTES = std::size_t{256} << 10;

// Reads up to `n` bytes of `f` into `to`, through `bounce` (BOUNCE_BYTES) when given.
static std::size_t read_step(FILE* f, char* to, std::size_t n, char* bounce) {
    if (bounce == nullptr) {
        return std::fread(to, 1, n, f);
    }
    std::size_t got = 0;
    while (got < n) {
        const std::size_t read = std::fread(bounce, 1, std::min(n - got, BOUNCE_BYTES), f);
        if (read == 0) {
            break;
        }
        std::memcpy(to + got, bounce, read);
        got += read;
    }
    return got;
}

// Reads up to `size` bytes of an open file into `buf`. Returns the number read, -1 on a
// read error, or READ_STOPPED when the user stopped the load.
static long long read_raw(FILE* f, char* buf, std::size_t size) {
    std::unique_ptr<char[]> bounce;
    if (bring_in_pages != nullptr && size > BOUNCE_BYTES) {
        bounce.reset(new (std::nothrow) char[BOUNCE_BYTES]);  // none: read in place
    }
    std::size_t got = 0;
    while (got < size) {
        if (!keep_reading(got, size)) {
            return READ_STOPPED;
        }
        const std::size_t step = std::min(size - got, READ_STEP_BYTES);
        if (bring_in_pages != nullptr) {
            bring_in_pages(buf + got, step);
        }
        const std::size_t n = read_step(f, buf + got, step, bounce.get());
        if (n == 0) {
            break;
        }
        got += n;
    }
    return std::ferror(f) != 0 ? -1 : static_cast<long long>(got);
}

static std::unique_ptr<char[]> allocate_text(std::size_t bytes) {
    if (merge_allocation_refused(bytes)) {
        return nullptr;
    }
    return std::unique_ptr<char[]>(new (std::nothrow) char[bytes]);
}

// Turns the raw bytes of a file (`n` of them in `text`) into the text the lines are
// cut from: UTF-16 becomes UTF-8 in a new buffer, a UTF-8 mark is dropped. Returns the
// length, or -1 after reporting.
static long long decode_text(const char* path, std::unique_ptr<char[]>& text, std::size_t& capacity,
                             std::size_t n, TextEncoding encoding) {
    const std::size_t mark = encoding_mark(encoding).size();
    if (encoding == ENCODING_UTF8_BOM) {
        std::memmove(text.get(), text.get() + mark, n - mark);
        return static_cast<long long>(n - mark);
    }
    if (!is_utf16(encoding)) {
        return static_cast<long long>(n);
    }
    const std::size_t utf8_capacity = utf8_capacity_for_utf16(n - mark) + LENT_SPARE_BYTES;
    std::unique_ptr<char[]> utf8 = allocate_text(utf8_capacity);
    if (!utf8) {
        report_out_of_memory();
        return -1;
    }
    const long long length =
        utf16_to_utf8(text.get() + mark, n - mark, encoding == ENCODING_UTF16BE, utf8.get());
    if (length < 0) {
        load_message(format_message("Invalid UTF-16 text in file %s", path).c_str(),
                     SEVERITY_ERROR);
        return -1;
    }
    text = std::move(utf8);
    capacity = utf8_capacity;
    return length;
}

// One warning box for what text mode dropped out of sight.
static void warn_text_mode_loss(const char* path, const TextModeLoss& loss) {
    std::string text;
    for (const std::string& line : text_mode_warnings(path, loss)) {
        text += text.empty() ? "" : "\n";
        text += line;
    }
    if (!text.empty()) {
        load_message(text.c_str(), SEVERITY_WARNING);
    }
}

// Makes room for all `count` line starts of the text at `begin` and finds the first;
// find_line_starts finds the rest as they are asked for. Returns 0, or -1 after
// reporting "Not enough memory".
static int start_lines(char* begin, std::size_t count, std::vector<char*>& lines) {
    if (count > INT32_MAX || merge_allocation_refused(count * sizeof(char*))) {
        report_out_of_memory();
        return -1;
    }
    try {
        lines.reserve(count);  // no page of it is touched yet
    } catch (const std::bad_alloc&) {
        report_out_of_memory();
        return -1;
    }
    if (count > 0) {
        lines.push_back(begin);
    }
    return 0;
}

// The text after a line start that find_line_starts looks at in one step: about ten
// thousand lines of ordinary text, a page step's worth of them found once in a while.
constexpr std::size_t LINE_SCAN_BYTES = std::size_t{256} << 10;

void find_line_starts(const Text& t, std::size_t upto) {
    std::vector<char*>& lines = t.lines;
    const auto count = static_cast<std::size_t>(t.line_count);
    // Each line feed before text_end ends a line that another follows (the last line's
    // own feed lies at text_end), so the feeds found never outnumber the lines.
    while (lines.size() <= upto && lines.size() < count) {
        const char* from = lines.back();
        const auto rest = static_cast<std::size_t>(t.text_end - from);
        const char* feed = find_byte(from, rest, '\n');
        if (feed == nullptr) {
            break;  // not while the count holds
        }
        // At least up to the next line feed: a line may be longer than a step.
        const std::size_t n =
            std::max(static_cast<std::size_t>(feed + 1 - from), std::min(LINE_SCAN_BYTES, rest));
        const std::size_t known = lines.size();
        lines.resize(known + count_byte(from, n, '\n'));  // within the room made at the load
        // char* and const char* may name the same pointers.
        positions_after(from, n, '\n', const_cast<const char**>(lines.data() + known));
    }
}

// Applies `mode` to the `n` decoded bytes at `text`, in place; returns the bytes kept.
static std::size_t apply_read_mode(char* text, std::size_t n, ReadMode mode, TextModeLoss& loss) {
    bool ended = false;
    return mode == READ_BYTE_EXACT ? drop_crlf_returns(text, n)
                                   : text_mode_filter(text, n, &ended, &loss);
}

// Makes the `n` decoded bytes at `text` the lines of `out`: `mode` applies, the text is
// split at line feeds (a last line without one is a line too) and each line's end is
// kept. Returns 0, or -1 after reporting "Not enough memory".
static int fill_text(Text& out, std::unique_ptr<char[]> text, std::size_t capacity, std::size_t n,
                     ReadMode mode, TextModeLoss& loss) {
    char* const begin = text.get();
    const TextBytes bytes = scan_text_bytes(begin, n);
    // Without carriage returns, or a Ctrl-Z in text mode, the mode keeps every byte and
    // every line ends in a line feed but perhaps the last: most files.
    const bool mode_changes = bytes.carriage_returns || (bytes.ctrl_z && mode == READ_TEXT_MODE);
    std::vector<LineEnd> ends;
    if (bytes.carriage_returns) {
        ends = line_ends_of(begin, n);
    }
    char* const end = begin + (mode_changes ? apply_read_mode(begin, n, mode, loss) : n);
    *end = '\0';
    const auto kept = static_cast<std::size_t>(end - begin);
    const bool lacks_newline = kept > 0 && end[-1] != '\n';
    const std::size_t feeds = mode_changes ? count_byte(begin, kept, '\n') : bytes.line_feeds;
    const std::size_t count = feeds + (lacks_newline ? 1 : 0);
    std::vector<char*> lines;
    if (start_lines(begin, count, lines) != 0) {
        return -1;
    }
    if (!ends.empty()) {
        // Text mode may end the text early (at a Ctrl-Z): the ends follow the lines kept.
        ends.resize(count, ENDS_LF);
        if (lacks_newline) {
            ends.back() = ENDS_NONE;
        }
    }
    // The last line ends at its line feed, or at the end of the text.
    out.text_end = kept > 0 && !lacks_newline ? end - 1 : end;
    out.text = std::move(text);
    out.text_capacity = capacity;
    out.line_count = static_cast<int32_t>(count);
    out.lines = std::move(lines);
    out.ends = std::move(ends);
    out.unended = lacks_newline;
    // A decoded UTF-16 text is UTF-8 whatever it holds.
    out.charset = out.encoding == ENCODING_BYTES && bytes.beyond_ascii
                      ? detect_charset(std::string_view(begin, kept))
                      : CHARSET_UTF8;
    return 0;
}

static int read_text_lines_in_scope(const char* path, Text& out, ReadMode mode);

int read_text_lines(const char* path, Text& out, ReadMode mode) {
    const ProgressScope progress("Loading");
    return read_text_lines_in_scope(path, out, mode);
}

static int read_text_lines_in_scope(const char* path, Text& out, ReadMode mode) {
    FILE* f = native_fopen(path, "rb");
    std::error_code ec;
    const auto size = f != nullptr ? std::filesystem::file_size(native_path(path), ec) : 0;
    if (f == nullptr || ec) {
        if (f != nullptr) {
            std::fclose(f);
        }
        load_message(format_message(UNABLE_TO_OPEN_FILE, path).c_str(), SEVERITY_ERROR);
        return -1;
    }
    out.stamp = platform_file_stamp(path);  // what a later write checks it against
    // Decoding and text mode never make a file of bytes longer. The spare bytes let the
    // engine compare this very text (see engine_lend_texts).
    const bool fits = size <= SIZE_MAX - LENT_SPARE_BYTES;
    std::size_t capacity = fits ? static_cast<std::size_t>(size) + LENT_SPARE_BYTES : 0;
    std::unique_ptr<char[]> text = fits ? allocate_text(capacity) : nullptr;
    if (!text) {
        std::fclose(f);
        report_out_of_memory();
        return -1;
    }
    const long long got = read_raw(f, text.get(), static_cast<std::size_t>(size));
    std::fclose(f);
    if (got < 0) {  // stopped by the user: nothing to report
        if (got != READ_STOPPED) {
            load_message(format_message(UNABLE_TO_OPEN_FILE, path).c_str(), SEVERITY_ERROR);
        }
        return -1;
    }
    // Another program wrote, cut or removed the file while it was read: what was read
    // may be half of two versions, and is shown nowhere.
    if (static_cast<std::uintmax_t>(got) != size || !(platform_file_stamp(path) == out.stamp)) {
        load_message(format_message(FILE_CHANGED_WHILE_READ, path).c_str(), SEVERITY_ERROR);
        return -1;
    }
    const TextEncoding encoding = detect_encoding(text.get(), static_cast<std::size_t>(got));
    const long long decoded =
        decode_text(path, text, capacity, static_cast<std::size_t>(got), encoding);
    if (decoded < 0) {
        return -1;
    }
    TextModeLoss loss;
    out.encoding = encoding;
    if (fill_text(out, std::move(text), capacity, static_cast<std::size_t>(decoded), mode, loss) !=
        0) {
        return -1;
    }
    warn_text_mode_loss(path, loss);
    return 0;
}

namespace {

// Indexed by Side.
struct ReadAhead {
    std::string paths[2];
    Text texts[2];
    bool usable[2] = {false, false};
    BesideRead beside[2];
};
ReadAhead read_ahead;

// Reads `which` side's path ahead on this thread, showing nothing: the text is usable
// only when it was read without anything to show.
void read_side_ahead(Side which) {
    struct Reading {
        Reading() { reading_ahead = true; }
        ~Reading() { reading_ahead = false; }  // also when a read throws
    } reading;
    read_ahead_spoiled = false;
    const std::string& path = read_ahead.paths[which];
    // Progress is the window's thread's alone (common/progress.h).
    const bool read =
        path_fits(path) &&
        (reading_beside != nullptr
             ? read_text_lines_in_scope(path.c_str(), read_ahead.texts[which], READ_TEXT_MODE)
             : read_text_lines(path.c_str(), read_ahead.texts[which])) == 0;
    read_ahead.usable[which] = read && !read_ahead_spoiled;
    if (!read_ahead.usable[which]) {
        read_ahead.texts[which] = Text();
    }
}

// A reader's thread. Whatever it meets, the side is read again where it can be shown.
void read_beside(Side which) {
    BesideRead& b = read_ahead.beside[which];
    reading_beside = &b;
    try {
        read_side_ahead(which);
    } catch (...) {  // a table it could not have: the read on the window's thread says so
        read_ahead.usable[which] = false;
        read_ahead.texts[which] = Text();
    }
    const std::lock_guard<std::mutex> lock(b.mutex);
    b.finished = true;
    b.ended.notify_all();
}

// Stops `which` side's read beside, if any, and drops what it read.
void stop_read_beside(Side which) {
    BesideRead& b = read_ahead.beside[which];
    if (!b.thread.joinable()) {
        return;
    }
    b.stop.store(true, std::memory_order_relaxed);
    b.thread.join();
    read_ahead.usable[which] = false;
    read_ahead.texts[which] = Text();
}

// Waits for `which` side's read beside to end, letting the window answer and showing
// how far both reads came. Returns false when the user stopped it; then both are
// stopped and what they read is dropped.
bool wait_for_read_beside(Side which) {
    BesideRead& b = read_ahead.beside[which];
    const ProgressScope progress("Loading");
    for (;;) {
        std::uint64_t done = 0;
        std::uint64_t size = 0;
        for (const BesideRead& r : read_ahead.beside) {
            done += r.done.load(std::memory_order_relaxed);
            size += r.size;
        }
        if (!progress_step(done, size)) {
            stop_read_beside(SIDE_LEFT);
            stop_read_beside(SIDE_RIGHT);
            return false;
        }
        std::unique_lock<std::mutex> lock(b.mutex);
        if (b.ended.wait_for(lock, std::chrono::milliseconds(10), [&b] { return b.finished; })) {
            break;
        }
    }
    b.thread.join();
    return true;
}

enum TakenText { TAKEN_NONE, TAKEN_TEXT, TAKEN_STOPPED };

// The text read ahead for `path` on `which` side, taken out once read: TAKEN_NONE when
// there is none, TAKEN_STOPPED when the user stopped the wait for it.
TakenText take_read_ahead(const char* path, Side which, Text& out) {
    if (read_ahead.paths[which] != path) {
        return TAKEN_NONE;
    }
    if (read_ahead.beside[which].thread.joinable() && !wait_for_read_beside(which)) {
        return TAKEN_STOPPED;
    }
    if (!read_ahead.usable[which]) {
        return TAKEN_NONE;
    }
    read_ahead.usable[which] = false;
    out = std::move(read_ahead.texts[which]);
    return TAKEN_TEXT;
}

}  // namespace

void start_read_ahead(const std::string& left, const std::string& right) {
    end_read_ahead();
    read_ahead.paths[SIDE_LEFT] = left;
    read_ahead.paths[SIDE_RIGHT] = right;
    // On this thread, one file after the other: a small pair is read while the window
    // system starts, before the windows are made.
    read_side_ahead(SIDE_LEFT);
    read_side_ahead(SIDE_RIGHT);
}

void start_read_beside(const std::string& path, Side which) {
    stop_read_beside(which);
    read_ahead.paths[which] = path;
    read_ahead.usable[which] = false;
    BesideRead& b = read_ahead.beside[which];
    std::error_code ec;
    b.size = std::filesystem::file_size(native_path(path), ec);
    if (ec) {
        b.size = 0;  // not "-1": the read shows its failure when the side is loaded
    }
    b.done.store(0, std::memory_order_relaxed);
    b.stop.store(false, std::memory_order_relaxed);
    b.finished = false;
    try {
        b.thread = std::thread(read_beside, which);
    } catch (const std::system_error&) {
        read_ahead.paths[which].clear();  // no thread: the side is read when it is loaded
    }
}

void end_read_ahead() {
    for (const Side i : {SIDE_LEFT, SIDE_RIGHT}) {
        stop_read_beside(i);
        read_ahead.beside[i].size = 0;
        read_ahead.beside[i].done.store(0, std::memory_order_relaxed);
        read_ahead.paths[i].clear();
        read_ahead.usable[i] = false;
        read_ahead.texts[i] = Text();
    }
}

int load_side(const char* path, Side which) {
    if (!path_fits(path)) {
        return refuse_long_path(path);
    }
    if (!confirm_discarding_edits()) {
        return -1;
    }
    Text loaded;
    // After a stop within the same work nothing more is read, nor said.
    const TakenText taken = take_read_ahead(path, which, loaded);
    if (taken == TAKEN_STOPPED || progress_stopped() ||
        (taken == TAKEN_NONE && read_text_lines(path, loaded) != 0)) {
        return -1;
    }
    install_side(loaded, path, which);
    return 0;
}

void install_side(Text& loaded, const char* path, Side which) {
    MergeDocument& doc = merge_document;
    platform_set_scroll_range(1, loaded.line_count);
    doc.total_rows = loaded.line_count;

    MergeSide& side = side_of(which);
    free_side_text(side);
    static_cast<Text&>(side) = std::move(loaded);
    copy_path(side.path, sizeof side.path, path);
    platform_repaint_title(which);

    free_blocks();
    doc.top_row = 0;
    doc.not_compared = 1;
    platform_repaint_position_bar();
    platform_set_scroll_position(1);
    platform_repaint_panes();
}

std::string input_path(const char* name, const char* directory) {
    std::error_code ec;
    if (std::filesystem::exists(native_path(name), ec)) {
        return name;
    }
    if (directory == nullptr || directory[0] == '\0') {
        return std::string();
    }
    return join_dir_file(directory, name);
}

void free_blocks() {
    ++merge_document.revision;
    for (MergeSide* s : {&merge_document.left, &merge_document.right}) {
        s->own_blocks.reset();
        s->filler_blocks.reset();
    }
    merge_document.current_block = 0;
    merge_document.block_extras = std::vector<BlockExtra>();
    clear_choice_history();  // its steps name entries of these tables
}

void free_side_text(MergeSide& side) {
    ++merge_document.revision;
    static_cast<Text&>(side) = Text();
    if (side.conflict_side) {
        merge_document.conflicts = std::vector<ConflictRange>();
        merge_document.conflict_base = LineList();
    }
    side.conflict_side = false;
    side.label.clear();
}

void reset_document() {
    MergeDocument& doc = merge_document;
    free_side_text(doc.left);
    free_side_text(doc.right);
    free_blocks();
    doc.total_rows = 0;
    doc.top_row = 0;
    doc.not_compared = 0;
    doc.left.path[0] = '\0';
    doc.right.path[0] = '\0';
    platform_repaint_title(SIDE_LEFT);
    platform_repaint_title(SIDE_RIGHT);
    platform_repaint_position_bar();
    platform_set_scroll_position(1);
    platform_repaint_panes();
}

static void empty_side(MergeSide& side) {
    free_side_text(side);
    side.path[0] = '\0';
}

void start_up_document() {
    MergeDocument& doc = merge_document;
    doc.not_compared = 1;
    doc.directory_mode = 0;
    free_blocks();
    empty_side(doc.left);
    empty_side(doc.right);
    doc.top_row = 0;
    doc.total_rows = 0;
}

void release_document() {
    free_blocks();
    free_side_text(merge_document.left);
    free_side_text(merge_document.right);
}
