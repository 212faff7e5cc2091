#ifndef PAIREX_MERGE_OUTPUT_H
#define PAIREX_MERGE_OUTPUT_H

#include <cstdint>
#include <cstdio>
#include <string>

#include "common/paths.h"
#include "merge/document.h"
#include "merge/merge_platform.h"

// Writing the merged file (or printing it), with the backup of a replaced file and the
// copy of identical files.

// The printer destination, compared without regard to case.
constexpr const char* PRINTER_PATH = "PRN:";

// Kept by the directory walk: where Write puts the current pair in directory mode.
extern char directory_target_path[PATH_BUFFER_SIZE];

// The Write command (id 306): in conflict mode to the conflict file, else to the file
// the save dialog names. Returns -1 when the dialog was cancelled or the directory
// target is empty (reported), else 0.
int write_command();

// Writes (or prints, for "PRN:") the merged text to `path`, in the left file's
// encoding (each line converted from its side's form; a line that has no bytes there is
// refused, naming it, before anything is written) with LINE_END after every line (each line's own
// end with Keep line ends). The text goes to a new file that replaces the target only when it is
// whole; on any failure the target and its backup stay as they were. Returns 0 done or nothing to
// do, 1 refused (not compared, empty document, unresolved block; reported), -1 failed or declined
// (failures reported).
int write_merged(const char* path);

// Write in conflict mode: the merged text replaces the conflict file itself, without a
// question and without a backup, in its encoding and with each line's own end. Returns
// as write_merged.
int write_conflict_file();

// Emits every common line from the left side and each block's chosen lines, whole, to
// `stream` (nullptr: the printer). Returns 0, or 1 after reporting a failed write.
int emit_merged_lines(FILE* stream);

// Emits lines i0..i1 (0-based) of `side`, numbering them from `line_number`. Indexes
// outside the side's lines are skipped. Returns 0, or 1 after reporting.
int emit_line_range(FILE* stream, const MergeSide& side, int32_t i0, int32_t i1,
                    int32_t line_number);

// Writes `text` (`length` bytes ending in a line feed, held by its side in the form
// `from`) to `stream` in the left file's encoding, the line feed as LINE_END; or hands
// it to the printer as it is when `stream` is nullptr. Returns 0, or 1 after reporting
// "Error writing output file" or that the line has no bytes in that encoding.
int emit_line(FILE* stream, const char* text, std::size_t length, DisplayCharset from,
              int32_t line_number);

// Renames `path` to its backup name (nothing for a ".bak" file), replacing an older
// backup. Refused with an error when that older backup is a loaded input. Returns 0,
// or -1 after reporting ("Unable to create backup file" as a warning).
int make_backup(const char* path);

// An answer given to all questions of a kind, or none yet.
enum StandingAnswer { STANDING_ASK, STANDING_YES, STANDING_NO };

// The answer to one question: "Yes to all" and "No to all" are Yes and No, and stand in
// `standing` for the questions to come.
Answer take_standing_answer(Answer answer, StandingAnswer& standing);

// Reports FILE_CHANGED_WHILE_READ for `path` as an error. Returns -1.
int report_changed_while_read(const char* path);

// Copies `source` byte for byte over `destination`, asking first when it exists; the
// old destination becomes its backup once the copy is whole. Returns 0 copied or the
// same file (by identity), 1 the copy failed (not reported; the destination is as it
// was), -1 declined, cancelled (Cancel also posts REQUEST_CANCEL), or refused, the
// backup failed or the source changed while it was read (reported; the destination is
// as it was): a directory, a read-only file, or a file that is the source or a loaded
// input is never replaced, renamed or deleted.
// With `standing`, the question has "Yes to all" and "No to all" too, and an answer
// standing there (from an earlier "... to all") is taken without asking. Without
// `durable` the copy does not wait for the disk (see PendingFile::durable).
int copy_with_confirmation(const char* source, const char* destination,
                           StandingAnswer* standing = nullptr, bool durable = true);

bool file_exists(const char* path);

#endif
