#include "merge/document.h"

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <new>
#include <string>

#include "common/report.h"
#include "common/textio.h"
#include "merge/blocks.h"
#include "merge/history.h"
#include "merge/merge_platform.h"

MergeDocument merge_document;
std::size_t merge_simulated_memory_limit = 0;

bool merge_allocation_refused(std::size_t bytes) {
    return merge_simulated_memory_limit != 0 && bytes > merge_simulated_memory_limit;
}

void report_out_of_memory() {
    report_message("Not enough memory", SEVERITY_ERROR);
}

static int refuse_long_path(const char* path) {
    const std::string text =
        "The path is longer than " + std::to_string(PATH_MAX_CHARS) + " characters:\n" + path;
    report_message(text.c_str(), SEVERITY_ERROR);
    return -1;
}

// Reads the raw bytes of an open file of `size` bytes into a new buffer of size + 2
// and applies text mode. Returns the number of bytes kept, or -1 on a read error.
static long long read_all_text(FILE* f, char* buf, std::size_t size) {
    std::size_t got = 0;
    while (got < size) {
        const std::size_t n = std::fread(buf + got, 1, size - got, f);
        if (n == 0) {
            break;
        }
        got += n;
    }
    if (std::ferror(f) != 0) {
        return -1;
    }
    bool ended = false;
    return static_cast<long long>(text_mode_filter(buf, got, &ended));
}

// Splits begin..end at line feeds (each becomes a NUL) into `lines`, allocated once at
// its final size. Returns 0, or -1 after reporting "Not enough memory".
static int split_lines(char* begin, char* end, std::vector<char*>& lines) {
    std::size_t count = 0;
    for (const char* p = begin; p < end;) {
        const void* nl = std::memchr(p, '\n', static_cast<std::size_t>(end - p));
        ++count;
        p = nl != nullptr ? static_cast<const char*>(nl) + 1 : end;
    }
    if (count > INT32_MAX || merge_allocation_refused(count * sizeof(char*))) {
        report_out_of_memory();
        return -1;
    }
    try {
        lines.reserve(count);
    } catch (const std::bad_alloc&) {
        report_out_of_memory();
        return -1;
    }
    for (char* p = begin; p < end;) {
        lines.push_back(p);
        char* nl = static_cast<char*>(std::memchr(p, '\n', static_cast<std::size_t>(end - p)));
        if (nl == nullptr) {
            break;
        }
        *nl = '\0';
        p = nl + 1;
    }
    return 0;
}

int read_text_lines(const char* path, TextLines& out) {
    FILE* f = std::fopen(path, "rb");
    std::error_code ec;
    const auto size = f != nullptr ? std::filesystem::file_size(path, ec) : 0;
    if (f == nullptr || ec) {
        if (f != nullptr) {
            std::fclose(f);
        }
        report_message("Unable to open file", SEVERITY_ERROR);
        return -1;
    }
    // Text mode only drops bytes, so the file's length bounds the text.
    const std::size_t bytes = static_cast<std::size_t>(size) + 2;
    if (size > SIZE_MAX - 2 || merge_allocation_refused(bytes)) {
        std::fclose(f);
        report_out_of_memory();
        return -1;
    }
    std::unique_ptr<char[]> text(new (std::nothrow) char[bytes]);
    if (!text) {
        std::fclose(f);
        report_out_of_memory();
        return -1;
    }
    const long long kept = read_all_text(f, text.get(), static_cast<std::size_t>(size));
    std::fclose(f);
    if (kept < 0) {
        report_message("Unable to open file", SEVERITY_ERROR);
        return -1;
    }
    char* const begin = text.get();
    char* const end = begin + kept;
    *end = '\0';
    std::vector<char*> lines;
    if (split_lines(begin, end, lines) != 0) {
        return -1;
    }
    out.text = std::move(text);
    out.line_count = static_cast<int32_t>(lines.size());
    out.lines = std::move(lines);
    return 0;
}

int load_side(const char* path, Side which) {
    if (std::strlen(path) > PATH_MAX_CHARS) {
        return refuse_long_path(path);
    }
    TextLines loaded;
    if (read_text_lines(path, loaded) != 0) {
        return -1;
    }
    MergeDocument& doc = merge_document;
    platform_set_scroll_range(1, loaded.line_count);
    doc.total_rows = loaded.line_count;

    MergeSide& side = side_of(which);
    free_side_text(side);
    side.line_count = loaded.line_count;
    side.text = std::move(loaded.text);
    side.lines = std::move(loaded.lines);
    copy_path(side.path, sizeof side.path, path);
    platform_repaint_title(which);

    free_blocks();
    doc.top_row = 0;
    doc.not_compared = 1;
    platform_repaint_position_bar();
    platform_set_scroll_position(1);
    platform_repaint_panes();
    return 0;
}

int open_input(const char* name, const char* directory, Side which) {
    std::error_code ec;
    if (std::filesystem::exists(name, ec)) {
        return load_side(name, which) == 0 ? 1 : 0;
    }
    if (directory == nullptr || directory[0] == '\0') {
        return 0;
    }
    const std::string joined = join_dir_file(directory, name);
    return load_side(joined.c_str(), which) == 0 ? 1 : 0;
}

void free_blocks() {
    for (MergeSide* s : {&merge_document.left, &merge_document.right}) {
        s->own_blocks.reset();
        s->filler_blocks.reset();
    }
    clear_choice_history();  // its steps name entries of these tables
}

void free_side_text(MergeSide& side) {
    side.lines.clear();
    side.lines.shrink_to_fit();
    side.text.reset();
}

void reset_document() {
    MergeDocument& doc = merge_document;
    free_side_text(doc.left);
    free_side_text(doc.right);
    free_blocks();
    doc.total_rows = 0;
    doc.left.line_count = 0;
    doc.right.line_count = 0;
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
    side.line_count = 0;
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
