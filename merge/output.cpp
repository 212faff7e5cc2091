#include "merge/output.h"

#include <algorithm>
#include <cstring>
#include <filesystem>

#include "common/report.h"
#include "common/textio.h"
#include "merge/blocks.h"
#include "merge/history.h"
#include "merge/merge_platform.h"

char directory_target_path[PATH_BUFFER_SIZE] = {};

static const char* const CONFIRM_CAPTION = "Confirm the operation";
static const char* const RANGE_WARNING =
    "There was an error in file differences.\nPlease check the output file";

// One warning per write about block ranges that do not fit the loaded lines.
static bool range_warning_given = false;

static void warn_range_once() {
    if (!range_warning_given) {
        range_warning_given = true;
        report_message(RANGE_WARNING, SEVERITY_ERROR);
    }
}

bool file_exists(const char* path) {
    std::error_code ec;
    return path[0] != '\0' && std::filesystem::exists(path, ec);
}

int emit_line(FILE* stream, const char* text, std::size_t length, int32_t line_number) {
    if (stream == nullptr) {
        print_line(text, length, line_number);
        return 0;
    }
    if (std::fwrite(text, 1, length, stream) != length) {
        report_message("Error writing output file", SEVERITY_ERROR);
        return 1;
    }
    return 0;
}

int emit_line_range(FILE* stream, const MergeSide& side, int32_t i0, int32_t i1,
                    int32_t line_number) {
    static std::string composed;
    for (int64_t i = i0; i <= i1; ++i) {
        if (i < 0 || i >= side.line_count) {
            warn_range_once();
            continue;
        }
        const char* text = side.lines[static_cast<std::size_t>(i)];
        std::size_t length = 0;
        while (length < MAX_OUTPUT_LINE && text[length] != '\0') {
            ++length;
        }
        composed.assign(text, length);
        if (length == 0 || composed.back() != '\n') {
            composed += '\n';
        }
        if (emit_line(stream, composed.c_str(), composed.size(), line_number) != 0) {
            return 1;
        }
        ++line_number;
    }
    return 0;
}

// Emits left lines a..j and advances the output line counter.
static int emit_counted(FILE* stream, const MergeSide& side, int32_t a, int32_t j,
                        int32_t& line_number) {
    if (emit_line_range(stream, side, a, j, line_number) != 0) {
        return 1;
    }
    line_number += std::max(j - a + 1, 0);
    return 0;
}

int emit_merged_lines(FILE* stream) {
    const MergeSide& left = merge_document.left;
    const MergeSide& right = merge_document.right;
    range_warning_given = false;
    int32_t a = 0;
    int32_t n = 0;
    const int32_t blocks = block_count();
    for (int32_t k = 0; k < blocks; ++k) {
        int32_t j = block_start(left, k) - 2;
        if (j >= left.line_count) {
            warn_range_once();
            j = left.line_count - 1;
        }
        if (emit_counted(stream, left, a, j, n) != 0) {
            return 1;
        }
        const int32_t next_a = block_end(left, k);
        const MergeSide* source = nullptr;
        const DiffBlock& lo = (*left.own_blocks)[k];
        const DiffBlock& ro = (*right.own_blocks)[k];
        if (is_present(lo) && lo.chosen != 0) {
            source = &left;
        } else if (is_present(ro) && ro.chosen != 0) {
            source = &right;
        }
        // A side holding the block through filler rows only contributes nothing.
        if (source != nullptr) {
            const DiffBlock& range = source == &left ? lo : ro;
            int32_t i1 = range.last - 1;
            if (i1 >= source->line_count) {
                warn_range_once();
                i1 = source->line_count - 1;
            }
            if (emit_counted(stream, *source, range.first - 1, i1, n) != 0) {
                return 1;
            }
        }
        a = next_a;
    }
    return emit_counted(stream, left, a, left.line_count - 1, n);
}

int make_backup(const char* path) {
    const PathParts parts = split_path(path);
    if (paths_equal(parts.ext.c_str(), ".bak")) {
        return 0;
    }
    const std::string backup = parts.drive + parts.dir + parts.base + ".bak";
    if (file_exists(backup.c_str())) {
        std::remove(backup.c_str());
    }
    if (std::rename(path, backup.c_str()) != 0) {
        report_message("Unable to create backup file", SEVERITY_WARNING);
        return -1;
    }
    return 0;
}

int copy_with_confirmation(const char* source, const char* destination) {
    if (paths_equal(source, destination)) {
        return 0;
    }
    if (source[0] == '\0') {
        return 1;
    }
    if (file_exists(destination)) {
        const std::string question = format_message(
            "Destination file %s already exists.\nReplace it with %s ?", destination, source);
        const Answer answer =
            platform_ask(CONFIRM_CAPTION, question.c_str(), BUTTONS_YES_NO_CANCEL);
        if (answer == ANSWER_CANCEL) {
            platform_post_request(REQUEST_CANCEL);
        }
        if (answer != ANSWER_YES) {
            return -1;
        }
        if (make_backup(destination) != 0) {
            return -1;
        }
    }
    std::error_code ec;
    std::filesystem::copy_file(source, destination,
                               std::filesystem::copy_options::overwrite_existing, ec);
    return ec ? 1 : 0;
}

static int refuse_unresolved() {
    const int32_t blocks = block_count();
    for (int32_t k = 0; k < blocks; ++k) {
        if (!side_holds(merge_document.left, k) && !side_holds(merge_document.right, k)) {
            report_message("You have unresolved difference(s) !", SEVERITY_ERROR);
            return 1;
        }
    }
    return 0;
}

static int fail_merge() {
    report_message("Unable to merge files", SEVERITY_ERROR);
    return -1;
}

// Write's checks before anything is asked or touched. Returns 0 to go on, 1 refused
// (reported).
static int refuse_before_writing() {
    const MergeDocument& doc = merge_document;
    // An emptied document (after a directory walk) has nothing to write either.
    if (doc.not_compared != 0 || (doc.left.line_count == 0 && doc.right.line_count == 0)) {
        report_message("Files have not been compared yet", SEVERITY_INFO);
        return 1;
    }
    return refuse_unresolved();
}

static int print_merged() {
    if (print_job_start() != 0) {
        return -1;
    }
    if (emit_merged_lines(nullptr) != 0) {
        print_job_end();
        return fail_merge();
    }
    return print_job_end() != 0 ? -1 : 0;
}

// Identical files: the left file is the merge. Nothing to do onto either input.
static int write_identical(const char* path) {
    const MergeDocument& doc = merge_document;
    if (paths_equal(path, doc.left.path) || paths_equal(path, doc.right.path)) {
        note_merge_written(path);  // the file there already is the merge
        return 0;
    }
    // Declining the replace question is the user's choice; a copy that could not be
    // made is a failure.
    const int copied = copy_with_confirmation(doc.left.path, path);
    if (copied == 1) {
        report_message("Error writing output file", SEVERITY_ERROR);
        return -1;
    }
    if (copied == 0) {
        note_merge_written(path);
    }
    return 0;
}

static int write_merged_file(const char* path) {
    if (file_exists(path)) {
        const std::string question = format_message("File %s already exists.\nSave anyway ?", path);
        if (platform_ask(CONFIRM_CAPTION, question.c_str(), BUTTONS_YES_NO) != ANSWER_YES) {
            return -1;
        }
        make_backup(path);  // on failure it has warned; the write goes on
    }
    FILE* out = open_text_output(path);
    if (out == nullptr) {
        report_message("Error opening output file", SEVERITY_ERROR);
        return -1;
    }
    if (emit_merged_lines(out) != 0) {
        std::fclose(out);
        return fail_merge();
    }
    // Buffered data reaches the disk only here; losing it must not pass for success.
    if (std::fclose(out) != 0) {
        report_message("Error writing output file", SEVERITY_ERROR);
        return fail_merge();
    }
    note_merge_written(path);
    return 0;
}

int write_merged(const char* path) {
    if (refuse_before_writing() != 0) {
        return 1;
    }
    if (std::strlen(path) > PATH_MAX_CHARS) {
        const std::string text = "The output path is longer than " +
                                 std::to_string(PATH_MAX_CHARS) + " characters:\n" + path;
        report_message(text.c_str(), SEVERITY_ERROR);
        return -1;
    }
    if (paths_equal(path, PRINTER_PATH)) {
        return print_merged();
    }
    const MergeDocument& doc = merge_document;
    if (!doc.left.own_blocks && !doc.right.own_blocks) {
        return write_identical(path);
    }
    return write_merged_file(path);
}

int write_command() {
    MergeDocument& doc = merge_document;
    if (doc.directory_mode != 0) {
        if (directory_target_path[0] == '\0') {
            report_message("Error #1", SEVERITY_ERROR);
            return -1;
        }
        if (write_merged(directory_target_path) == 0) {
            reset_document();
            platform_post_request(REQUEST_NEXT_PAIR);
        }
        return 0;
    }
    std::string chosen;
    if (platform_save_dialog(chosen) != 0) {
        return -1;
    }
    write_merged(chosen.c_str());
    return 0;
}
