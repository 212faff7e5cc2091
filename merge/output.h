#ifndef PAIREX_MERGE_OUTPUT_H
#define PAIREX_MERGE_OUTPUT_H

#include <cstdint>
#include <cstdio>
#include <string>

#include "common/paths.h"
#include "merge/document.h"

// Writing the merged file (or printing it), with the backup of a replaced file and the
// copy of identical files.

// The printer destination, compared without regard to case.
constexpr const char* PRINTER_PATH = "PRN:";
// Longest line text written; longer lines are cut.
constexpr std::size_t MAX_OUTPUT_LINE = 16382;

// Kept by the directory walk: where Write puts the current pair in directory mode.
extern char directory_target_path[PATH_BUFFER_SIZE];

// The Write command (id 306). Returns -1 when the dialog was cancelled or the
// directory target is empty (reported), else 0.
int write_command();

// Writes (or prints, for "PRN:") the merged text to `path`. Returns 0 done or nothing
// to do, 1 refused (not compared, empty document, unresolved block; reported), -1
// failed or declined (failures reported).
int write_merged(const char* path);

// Emits every common line from the left side and each block's chosen lines to `stream`
// (nullptr: the printer). Returns 0, or 1 after reporting a failed write.
int emit_merged_lines(FILE* stream);

// Emits lines i0..i1 (0-based) of `side`, numbering them from `line_number`. Indexes
// outside the side's lines are skipped. Returns 0, or 1 after reporting.
int emit_line_range(FILE* stream, const MergeSide& side, int32_t i0, int32_t i1,
                    int32_t line_number);

// Writes `text` (ending in a line feed) to `stream`, or hands it to the printer when
// `stream` is nullptr. Returns 0, or 1 after reporting "Error writing output file".
int emit_line(FILE* stream, const char* text, std::size_t length, int32_t line_number);

// Renames `path` to its ".bak" name (nothing for a ".bak" file). Returns 0, or -1
// after warning "Unable to create backup file".
int make_backup(const char* path);

// Copies `source` over `destination`, asking first when it exists. Returns 0 copied or
// same path, 1 the copy failed (not reported), -1 declined, cancelled (Cancel also
// posts REQUEST_CANCEL) or the backup failed.
int copy_with_confirmation(const char* source, const char* destination);

bool file_exists(const char* path);

#endif
