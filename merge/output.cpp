#include "merge/output.h"

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <new>

#include "common/charset.h"
#include "common/encoding.h"
#include "common/file_identity.h"
#include "common/native_file.h"
#include "common/progress.h"
#include "common/report.h"
#include "common/textio.h"
#include "common/unicode.h"
#include "merge/blocks.h"
#include "merge/conflict_mode.h"
#include "merge/file_layer.h"
#include "merge/history.h"
#include "merge/line_ends.h"
#include "merge/merge_platform.h"
#include "merge/merged_rows.h"
#include "merge/replace_file.h"
#include "merge/resolution.h"

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
    return path[0] != '\0' && std::filesystem::exists(native_path(path), ec);
}

// Set while check_merged_lines goes through the merged text: every line is put into the merged
// file's form, and nothing is written.
static bool checking_only = false;
// The lines a print job draws, for its progress (0: not known).
static int32_t print_total = 0;

// Writes `n` bytes, reporting a failure.
static int write_out(FILE* stream, const char* data, std::size_t n) {
    if (checking_only) {
        return 0;
    }
    if (file_layer.write(stream, data, n) != n) {
        report_message("Error writing output file", SEVERITY_ERROR);
        return 1;
    }
    return 0;
}

static const char* const UNWRITABLE_LINE =
    "Line %s of the merged text cannot be written in the merged file's encoding";

// Refuses the write at output line `line_number` (0-based). Returns 1.
static int refuse_line(int32_t line_number) {
    const std::string number = std::to_string(static_cast<long long>(line_number) + 1);
    report_message(format_message(UNWRITABLE_LINE, number.c_str()).c_str(), SEVERITY_ERROR);
    return 1;
}

// The form the merged file's bytes take, set for each write (merged_form).
static DisplayCharset target_form = CHARSET_UTF8;

// The left file's form; but a plain left file of ASCII alone is either form, and takes
// the right file's, so that its lines are written as they are and no file is turned
// into another code page because one version of it held no accent.
static DisplayCharset merged_form() {
    const MergeSide& left = merge_document.left;
    if (left.encoding != ENCODING_BYTES) {
        return left.charset;
    }
    for (int32_t i = 0; i < left.line_count; ++i) {
        if (!is_ascii(line_text(left, i))) {
            return left.charset;
        }
    }
    return merge_document.right.charset;
}

// Puts `line`, held by a side in the form `from`, into `out` as the merged file's bytes:
// the left file's encoding, in target_form (UTF-16 is made from UTF-8). Returns false
// when the line has no such bytes.
static bool encode_line(std::string_view line, DisplayCharset from, std::string& out) {
    const MergeSide& target = merge_document.left;
    out.clear();
    if (!is_utf16(target.encoding)) {
        return convert_charset(line, from, target_form, out);
    }
    static std::string utf8;
    utf8.clear();
    return convert_charset(line, from, CHARSET_UTF8, utf8) &&
           utf8_to_utf16(utf8, target.encoding == ENCODING_UTF16BE, out);
}

// Whether lines of `side` may lack bytes in the merged file: those of another form, and
// those that must become UTF-16 but may hold broken bytes (a side read from UTF-16 holds
// only what it decoded).
static bool needs_check(const MergeSide& side) {
    const MergeSide& target = merge_document.left;
    return side.charset != target_form || (is_utf16(target.encoding) && !is_utf16(side.encoding));
}

// The line (without its line feed, held in the form `from`) and `eol` (ASCII), in the
// left file's encoding.
static int emit_ended_line(FILE* stream, std::string_view line, DisplayCharset from,
                           std::string_view eol, int32_t line_number) {
    static std::string composed;
    if (!encode_line(line, from, composed)) {
        return refuse_line(line_number);
    }
    const TextEncoding encoding = merge_document.left.encoding;
    if (is_utf16(encoding)) {
        utf8_to_utf16(eol, encoding == ENCODING_UTF16BE, composed);
    } else {
        composed += eol;
    }
    return write_out(stream, composed.data(), composed.size());
}

int emit_line(FILE* stream, const char* text, std::size_t length, DisplayCharset from,
              int32_t line_number) {
    if (stream == nullptr) {
        // Once the user stopped the job, the lines left are skipped as after Cancel.
        if (progress_step(static_cast<std::uint64_t>(std::max(line_number, 0)),
                          static_cast<std::uint64_t>(print_total))) {
            print_line(text, length, line_number);
        }
        return 0;
    }
    std::string_view line(text, length);
    if (line.ends_with('\n')) {
        line.remove_suffix(1);
    }
    const std::string_view eol(LINE_END);
    const MergeSide& target = merge_document.left;
    if (!is_utf16(target.encoding) && from == target_form && eol == "\n" && line.size() < length) {
        return write_out(stream, text, length);  // the text already ends as it should
    }
    return emit_ended_line(stream, line, from, eol, line_number);
}

// With kept line ends: the end a last line without a line feed owes when another line
// follows it after all (a block chosen behind it), so that the two do not run together.
static std::string_view owed_end;

// A line (in the form `form`) with kept line ends: `end` after it; a line without one
// (ENDS_NONE) owes `owed`, written should another line follow it after all.
static int emit_kept_line(FILE* stream, std::string_view text, DisplayCharset form, LineEnd end,
                          LineEnd owed, int32_t line_number) {
    if (!owed_end.empty() && emit_ended_line(stream, "", form, owed_end, line_number) != 0) {
        return 1;
    }
    owed_end = end == ENDS_NONE ? line_end_bytes(owed) : std::string_view();
    return emit_ended_line(stream, text, form, line_end_bytes(end), line_number);
}

// Every line of the merged text goes through here: `text` is a line of `from` (its
// bytes, in its charset), or UTF-8 text (an edited block) when `from` is nullptr.
// With kept line ends it ends with `end` (see emit_kept_line), else with LINE_END.
static int emit_text_line(FILE* stream, std::string_view text, const MergeSide* from, LineEnd end,
                          LineEnd owed, int32_t line_number) {
    const DisplayCharset form = from != nullptr ? from->charset : CHARSET_UTF8;
    if (stream != nullptr && keeps_line_ends()) {
        return emit_kept_line(stream, text, form, end, owed, line_number);
    }
    static std::string composed;
    if (stream == nullptr) {
        // The printer is handed characters, as the panes show them: 8-bit text
        // decoded, broken bytes as U+FFFD. A file gets the bytes as read, which
        // emit_line puts into the merged file's form.
        composed.clear();
        append_display_utf8(text, form, composed);
    } else {
        composed.assign(text);
    }
    composed += '\n';
    return emit_line(stream, composed.data(), composed.size(),
                     stream != nullptr ? form : CHARSET_UTF8, line_number);
}

int emit_line_range(FILE* stream, const MergeSide& side, int32_t i0, int32_t i1,
                    int32_t line_number) {
    for (int64_t i = i0; i <= i1; ++i) {
        if (i < 0 || i >= side.line_count) {
            warn_range_once();
            continue;
        }
        const auto line = static_cast<int32_t>(i);
        const LineEnd owed = line > 0 ? line_end_of(side, line - 1) : ENDS_LF;
        if (emit_text_line(stream, line_text(side, line), &side, line_end_of(side, line), owed,
                           line_number) != 0) {
            return 1;
        }
        ++line_number;
    }
    return 0;
}

// The lines of a block that holds both sides, the base or an edit. With kept line ends
// they end as the line before the block, and the last one as the file does when the
// block ends the text. Advances the output line counter.
static int emit_block_runs(FILE* stream, int32_t k, int32_t& line_number) {
    const BlockRuns runs = block_runs(k);
    const LineEnd end = block_line_end(k);
    const bool last_block = block_ends_text(k) && lacks_final_newline(merge_document.left);
    const MergeSide& left = merge_document.left;
    const MergeSide& right = merge_document.right;
    int64_t remaining = 0;
    for (int r = 0; r < runs.count; ++r) {
        remaining += runs.runs[r].count;
    }
    for (int r = 0; r < runs.count; ++r) {
        const LineRun& run = runs.runs[r];
        // Base lines are the conflict file's bytes, as the left side's are.
        const MergeSide* from = run.source == SOURCE_RIGHT    ? &right
                                : run.source == SOURCE_EDITED ? nullptr
                                                              : &left;
        for (int32_t i = 0; i < run.count; ++i) {
            const LineEnd this_end = --remaining == 0 && last_block ? ENDS_NONE : end;
            if (emit_text_line(stream, run_line(k, run, i), from, this_end, end, line_number) !=
                0) {
                return 1;
            }
            ++line_number;
        }
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

// Emits what block k holds: its extra lines, or the chosen side's own lines. Advances
// the output line counter.
static int emit_block(FILE* stream, int32_t k, int32_t& n) {
    if (block_resolution(k) > RESOLVED_RIGHT) {
        return emit_block_runs(stream, k, n);
    }
    const MergeSide& left = merge_document.left;
    const MergeSide& right = merge_document.right;
    const MergeSide* source = nullptr;
    const DiffBlock& lo = (*left.own_blocks)[k];
    const DiffBlock& ro = (*right.own_blocks)[k];
    if (is_present(lo) && lo.chosen != 0) {
        source = &left;
    } else if (is_present(ro) && ro.chosen != 0) {
        source = &right;
    }
    // A side holding the block through filler rows only contributes nothing.
    if (source == nullptr) {
        return 0;
    }
    const DiffBlock& range = source == &left ? lo : ro;
    int32_t i1 = range.last - 1;
    if (i1 >= source->line_count) {
        warn_range_once();
        i1 = source->line_count - 1;
    }
    return emit_counted(stream, *source, range.first - 1, i1, n);
}

// Walks the merged text in order: the common lines and what each block holds.
static int emit_merged_text(FILE* stream) {
    const MergeSide& left = merge_document.left;
    int32_t a = 0;
    int32_t n = 0;
    const int32_t blocks = block_count();
    for (int32_t k = 0; k < blocks; ++k) {
        int32_t j = block_start(left, k) - 2;
        if (j >= left.line_count) {
            warn_range_once();
            j = left.line_count - 1;
        }
        if (emit_counted(stream, left, a, j, n) != 0 || emit_block(stream, k, n) != 0) {
            return 1;
        }
        a = block_end(left, k);
    }
    return emit_counted(stream, left, a, left.line_count - 1, n);
}

int emit_merged_lines(FILE* stream) {
    target_form = merged_form();
    range_warning_given = false;
    owed_end = {};
    return emit_merged_text(stream);
}

// Before anything is written: every line of the merged text has bytes in the merged
// file's encoding. The pass is the write's own, with write_out writing nothing, so no
// line can be checked otherwise than it is written. Returns 0, or 1 after refusing the
// first line that has none.
static int check_merged_lines() {
    target_form = merged_form();
    if (!needs_check(merge_document.left) && !needs_check(merge_document.right) &&
        merge_document.block_extras.empty()) {
        return 0;
    }
    range_warning_given = true;  // the write itself warns about ranges, once
    owed_end = {};
    checking_only = true;
    // Any stream but the printer's: nothing reaches it while checking.
    const int result = emit_merged_text(stdout);
    checking_only = false;
    return result;
}

// Files that a write or copy must never replace, rename or delete.
struct Protected {
    const char* paths[3];
    bool holds(const std::string& path) const {
        for (const char* p : paths) {
            if (p != nullptr && same_file(p, path.c_str())) {
                return true;
            }
        }
        return false;
    }
};

static Protected loaded_inputs(const char* also = nullptr) {
    return {{merge_document.left.path, merge_document.right.path, also}};
}

static int refuse_protected(const std::string& path) {
    report_message(
        format_message("Cannot replace %s: it is in use as an input", path.c_str()).c_str(),
        SEVERITY_ERROR);
    return -1;
}

// Refuses (reporting) a target that is a directory or read-only, or whose replacement
// would replace an older backup that is protected. Returns 0 to go on, or -1.
static int refuse_target(const char* path, const Protected& inputs) {
    std::error_code ec;
    const auto status = std::filesystem::status(native_path(path), ec);
    if (std::filesystem::is_directory(status)) {
        report_message(format_message("Cannot write to %s: it is a directory", path).c_str(),
                       SEVERITY_ERROR);
        return -1;
    }
    if (!std::filesystem::exists(status)) {
        return 0;
    }
    if ((status.permissions() & std::filesystem::perms::owner_write) ==
        std::filesystem::perms::none) {
        report_message(format_message("Cannot write to %s: it is read-only", path).c_str(),
                       SEVERITY_ERROR);
        return -1;
    }
    const std::string backup = backup_name(path);
    if (!backup.empty() && file_exists(backup.c_str()) && inputs.holds(backup)) {
        return refuse_protected(backup);
    }
    return 0;
}

int make_backup(const char* path) {
    const std::string backup = backup_name(path);
    if (backup.empty()) {
        return 0;
    }
    if (file_exists(backup.c_str()) && loaded_inputs().holds(backup)) {
        return refuse_protected(backup);
    }
    if (!old_backup_replaceable(backup) || file_layer.rename(path, backup.c_str()) != 0) {
        report_message("Unable to create backup file", SEVERITY_WARNING);
        return -1;
    }
    return 0;
}

Answer take_standing_answer(Answer answer, StandingAnswer& standing) {
    if (answer == ANSWER_YES_TO_ALL || answer == ANSWER_NO_TO_ALL) {
        standing = answer == ANSWER_YES_TO_ALL ? STANDING_YES : STANDING_NO;
        return answer == ANSWER_YES_TO_ALL ? ANSWER_YES : ANSWER_NO;
    }
    return answer;
}

// Asks before a copy replaces `destination`, unless an answer stands. Returns 0 on Yes,
// else -1 (Cancel also posts REQUEST_CANCEL).
static int confirm_replace(const char* source, const char* destination, StandingAnswer* standing) {
    if (standing != nullptr && *standing != STANDING_ASK) {
        return *standing == STANDING_YES ? 0 : -1;
    }
    const std::string question = format_message(
        "Destination file %s already exists.\nReplace it with %s ?", destination, source);
    Answer answer =
        platform_ask(CONFIRM_CAPTION, question.c_str(),
                     standing != nullptr ? BUTTONS_YES_NO_CANCEL_ALL : BUTTONS_YES_NO_CANCEL);
    if (standing != nullptr) {
        answer = take_standing_answer(answer, *standing);
    }
    if (answer == ANSWER_CANCEL) {
        platform_post_request(REQUEST_CANCEL);
    }
    return answer == ANSWER_YES ? 0 : -1;
}

int report_changed_while_read(const char* path) {
    report_message(format_message(FILE_CHANGED_WHILE_READ, path).c_str(), SEVERITY_ERROR);
    return -1;
}

int copy_with_confirmation(const char* source, const char* destination_as_given,
                           StandingAnswer* standing, bool durable) {
    // The copy takes the destination's name only while nothing stands there: then
    // nothing there can be the source, an input, a directory or read-only, and no
    // question is due. Otherwise the ordinary way below decides. Not asked first: under
    // wine every look-up of a missing name reads the whole directory. A copy onto
    // itself makes no temporary file beside its source.
    if (!durable && source[0] != '\0' && !paths_equal(source, destination_as_given)) {
        switch (copy_to_new_file(source, destination_as_given)) {
            case NEW_COPY_DONE:
                return 0;
            case NEW_COPY_FAILED:
                return 1;
            case NEW_COPY_CHANGED:
                return report_changed_while_read(source);
            case NEW_COPY_TAKEN:
            case NEW_COPY_OTHER:  // not asked for
            case NEW_COPY_OTHER_CHANGED:
                break;
        }
    }
    if (same_file(source, destination_as_given)) {
        return 0;
    }
    // An existing destination is replaced and backed up under its own name.
    const std::string stored = platform_stored_name(destination_as_given);
    const char* const destination = stored.c_str();
    if (source[0] == '\0') {
        return 1;
    }
    const Protected inputs = loaded_inputs(source);
    if (refuse_target(destination, inputs) != 0) {
        return -1;
    }
    const bool replacing = file_exists(destination);
    if (replacing && inputs.holds(destination)) {
        return refuse_protected(destination);
    }
    if (replacing && confirm_replace(source, destination, standing) != 0) {
        return -1;
    }
    PendingFile pending;
    if (open_pending(destination, pending) != 0) {
        return 1;
    }
    pending.durable = durable;
    if (copy_into_pending(source, pending) != 0 || close_pending(pending) != 0) {
        discard_pending(pending);
        return pending.changed != nullptr ? report_changed_while_read(source) : 1;
    }
    switch (replace_with_pending(pending, destination, replacing ? backup_name(destination) : "")) {
        case REPLACE_DONE:
            return 0;
        case REPLACE_BACKUP_FAILED:
            report_message("Unable to create backup file", SEVERITY_WARNING);
            return -1;
        default:
            return 1;
    }
}

static int refuse_unresolved() {
    const int32_t blocks = block_count();
    for (int32_t k = 0; k < blocks; ++k) {
        if (block_resolution(k) == RESOLVED_OPEN) {
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
    // An emptied document (after a directory walk) has nothing to write either; two
    // loaded empty files do.
    if (doc.not_compared != 0 || (doc.left.path[0] == '\0' && doc.right.path[0] == '\0')) {
        report_message("Files have not been compared yet", SEVERITY_INFO);
        return 1;
    }
    return refuse_unresolved();
}

// The lines the merged text has now (every block is resolved before a print).
static int32_t merged_line_count() {
    try {
        return merged_rows().row_count;
    } catch (const std::bad_alloc&) {
        return 0;  // the progress only shows no share then
    }
}

static int print_merged() {
    if (print_job_start() != 0) {
        return -1;
    }
    // Begun after the print dialog: it is modal, and the work only starts now.
    const ProgressScope progress("Printing");
    print_total = merged_line_count();
    if (emit_merged_lines(nullptr) != 0) {
        print_job_end();
        return fail_merge();
    }
    return print_job_end() != 0 ? -1 : 0;
}

// Identical files: the left file is the merge. Nothing to do onto either input.
static int write_identical(const char* path) {
    const MergeDocument& doc = merge_document;
    if (same_file(path, doc.left.path) || same_file(path, doc.right.path)) {
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

// The merged text, its encoding's mark first, into the pending file. Returns 0, or -1
// after reporting.
static int write_pending_text(PendingFile& pending) {
    const std::string_view mark = encoding_mark(merge_document.left.encoding);
    if (write_out(pending.stream, mark.data(), mark.size()) != 0 ||
        emit_merged_lines(pending.stream) != 0) {
        return fail_merge();
    }
    // Buffered data reaches the disk only at the close; losing it must not pass for
    // success.
    if (close_pending(pending) != 0) {
        report_message("Error writing output file", SEVERITY_ERROR);
        return fail_merge();
    }
    return 0;
}

// Asks before a write replaces a loaded file that changed (or went) since it was
// loaded: its text on screen is then not what the write would replace. Returns 0 to
// go on, -1 declined.
static int confirm_unchanged_input(const char* path) {
    for (const MergeSide* side : {&merge_document.left, &merge_document.right}) {
        if (!side->stamp.exists || !same_file(side->path, path) ||
            platform_file_stamp(side->path) == side->stamp) {
            continue;
        }
        const std::string question =
            format_message("File %s changed on disk since it was loaded.\nWrite anyway ?", path);
        return platform_ask(CONFIRM_CAPTION, question.c_str(), BUTTONS_YES_NO) == ANSWER_YES ? 0
                                                                                             : -1;
    }
    return 0;
}

// After a write to `path`: a loaded side of that file now has it as this write left it.
static void restamp_inputs(const char* path) {
    for (MergeSide* side : {&merge_document.left, &merge_document.right}) {
        if (side->stamp.exists && same_file(side->path, path)) {
            side->stamp = platform_file_stamp(side->path);
        }
    }
}

// Writes the merged text to `path` through a pending file that takes its place only
// when whole; an existing file becomes `backup` first ("" for none). Returns 0, or -1
// after reporting.
static int write_through_pending(const char* path, const std::string& backup) {
    if (check_merged_lines() != 0) {
        return fail_merge();
    }
    if (confirm_unchanged_input(path) != 0) {
        return -1;
    }
    PendingFile pending;
    if (open_pending(path, pending) != 0) {
        report_message("Error opening output file", SEVERITY_ERROR);
        return -1;
    }
    if (write_pending_text(pending) != 0) {
        discard_pending(pending);
        return -1;
    }
    // The old file becomes the backup only now that the new one is whole; a backup
    // that cannot be made stops the write, since replacing the file without one would
    // lose its content.
    switch (replace_with_pending(pending, path, backup)) {
        case REPLACE_DONE:
            restamp_inputs(path);
            note_merge_written(path);
            return 0;
        case REPLACE_BACKUP_FAILED:
            report_message("Unable to create backup file", SEVERITY_WARNING);
            return fail_merge();
        default:
            report_message("Error writing output file", SEVERITY_ERROR);
            return fail_merge();
    }
}

static int write_merged_file(const char* path) {
    if (refuse_target(path, loaded_inputs()) != 0) {
        return -1;
    }
    const bool replacing = file_exists(path);
    if (replacing) {
        const std::string question = format_message("File %s already exists.\nSave anyway ?", path);
        if (platform_ask(CONFIRM_CAPTION, question.c_str(), BUTTONS_YES_NO) != ANSWER_YES) {
            return -1;
        }
    }
    return write_through_pending(path, replacing ? backup_name(path) : "");
}

int write_conflict_file() {
    const char* path = merge_document.left.path;
    if (refuse_before_writing() != 0) {
        return 1;
    }
    if (refuse_target(path, loaded_inputs()) != 0) {
        return -1;
    }
    // git keeps its own copy of the file: no backup.
    return write_through_pending(path, "");
}

static int refuse_long_output_path(const char* path) {
    const std::string text = "The output path is longer than " + std::to_string(PATH_MAX_CHARS) +
                             " characters:\n" + path;
    report_message(text.c_str(), SEVERITY_ERROR);
    return -1;
}

int write_merged(const char* path_as_given) {
    if (refuse_before_writing() != 0) {
        return 1;
    }
    if (!path_fits(path_as_given)) {
        return refuse_long_output_path(path_as_given);
    }
    if (paths_equal(path_as_given, PRINTER_PATH)) {
        return print_merged();
    }
    // An existing file is asked about, backed up and replaced under its own name: a
    // short name or another letter case once renamed the user's file to the backup of
    // that spelling and left the merged text under the short name.
    const std::string stored = platform_stored_name(path_as_given);
    const char* const path = stored.c_str();
    if (!path_fits(stored)) {
        return refuse_long_output_path(path);
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
    if (in_conflict_mode()) {
        write_conflict_file();
        return 0;
    }
    std::string chosen;
    if (platform_save_dialog(chosen) != 0) {
        return -1;
    }
    write_merged(chosen.c_str());
    return 0;
}
