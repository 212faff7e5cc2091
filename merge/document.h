#ifndef PAIREX_MERGE_DOCUMENT_H
#define PAIREX_MERGE_DOCUMENT_H

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "common/paths.h"
#include "merge/block_state.h"
#include "merge/conflict_file.h"
#include "merge/side.h"
#include "merge/text.h"

// The model of one two-file merge: the two loaded texts, the difference blocks between
// them and the user's choice for every block. There is one document per process.

constexpr int32_t BLOCK_END = -1;     // first/last of the entry that ends a block table
constexpr int32_t BLOCK_ABSENT = -2;  // first/last when a side has nothing of this kind

// One side's share of one difference block. Line numbers are 1-based, inclusive.
struct DiffBlock {
    int32_t first;
    int32_t last;
    uint32_t chosen;
};

// Entry k of each of a document's four tables belongs to block k; every table ends
// with an entry whose first is BLOCK_END, and all four have the same size.
using BlockTable = std::vector<DiffBlock>;

constexpr DiffBlock END_MARKER{BLOCK_END, BLOCK_END, 0};
constexpr DiffBlock ABSENT_ENTRY{BLOCK_ABSENT, BLOCK_ABSENT, 0};

inline bool is_end(const DiffBlock& b) {
    return b.first == BLOCK_END || b.last == BLOCK_END;
}
inline bool is_present(const DiffBlock& b) {
    return b.first >= 0 && b.last >= 0;
}

// One loaded file: its text and what only a side has.
struct MergeSide : Text {
    char path[PATH_BUFFER_SIZE] = {};
    // The text is one side of a conflict file (see conflict_mode.h), not the bytes of
    // the file at path; label is the side's label in the conflict markers.
    bool conflict_side = false;
    std::string label;
    std::optional<BlockTable> own_blocks;
    std::optional<BlockTable> filler_blocks;
    uint32_t first_column = 0;
};

struct MergeDocument {
    MergeSide left;
    MergeSide right;
    int32_t top_row = 0;
    int32_t total_rows = 0;
    int32_t not_compared = 1;
    int32_t compress_spaces = 0;
    int32_t auto_walk = 0;
    int32_t directory_mode = 0;
    int32_t keep_line_ends = 0;  // Write ends each line as in its file, not as LINE_END
    // Goes up whenever a text or the block tables are dropped, so that what a view
    // derived from them (the marks within changed lines) can be dropped as well.
    uint32_t revision = 0;
    // Goes up with every choice, edit, undo and redo that changed what a block holds:
    // what a view derived from the choices (the merged rows) is then stale.
    uint32_t choices_revision = 0;
    // The block the user last went to or clicked (see resolution.h); 0 with new tables.
    int32_t current_block = 0;
    // Per block, what its chosen flags cannot say; entries past the end are open.
    std::vector<BlockExtra> block_extras;
    // Conflict mode: each conflict's line ranges and the base sections' lines.
    std::vector<ConflictRange> conflicts;
    LineList conflict_base;
};

extern MergeDocument merge_document;

inline MergeSide& side_of(Side s) {
    return s == SIDE_LEFT ? merge_document.left : merge_document.right;
}

// The message for a file that cannot be opened or read, naming it (format_message).
constexpr const char* UNABLE_TO_OPEN_FILE = "Unable to open file %s";
// The message for a file that another program changed or removed while it was read.
constexpr const char* FILE_CHANGED_WHILE_READ = "File %s changed while it was being read";

// How read_text_lines treats the bytes: in text mode, or exactly, where only the
// carriage return of a CR LF goes (into the line's end) and every other byte stays.
enum ReadMode { READ_TEXT_MODE, READ_BYTE_EXACT };

// Reads `path` into one buffer: a UTF-16 file (told by its mark) becomes UTF-8, a
// UTF-8 mark is dropped, a text without a mark is taken as UTF-8 or 8-bit text
// (detect_charset), then `mode` applies and the text is split at line feeds
// (a last line without one is a line too). In text mode, warns once, naming the
// file, when text mode drops data the user cannot see. Returns 0, or -1 after
// reporting UNABLE_TO_OPEN_FILE, FILE_CHANGED_WHILE_READ, "Not enough memory" or that
// the file is not valid UTF-16.
int read_text_lines(const char* path, Text& out, ReadMode mode = READ_TEXT_MODE);

// Reads the two files (left, right) before there is anywhere to show anything: load_side
// then takes the text read ahead for the same path on the same side instead of reading
// the file. A read that met anything to show (a failure or a warning) is not taken, so
// the file is read again where that can be shown. end_read_ahead drops what was not
// taken.
void start_read_ahead(const std::string& left, const std::string& right);
// Reads `path` for `which` side on a thread of its own while this thread goes on: under
// wine a large file's fresh pages then come in on both cores while the other side is
// loaded. load_side for the same path and side waits for it, letting the window answer
// and showing its progress; a stop then ends both. A read that met anything to show is
// not taken, as for start_read_ahead. end_read_ahead stops it and drops what it read.
void start_read_beside(const std::string& path, Side which);
void end_read_ahead();

// Loads `path` into `side`, drops all blocks and marks the document not compared.
// With edited blocks it asks first (confirm_discarding_edits). Returns 0, or -1 after
// reporting or when the user said No; the document is then unchanged.
int load_side(const char* path, Side side);

// The second half of load_side: puts `loaded` (read from `path`) into `side`.
void install_side(Text& loaded, const char* path, Side side);

// Where a file named on the command line lies: `name` when it exists, else directory +
// name when a directory is given, else "".
std::string input_path(const char* name, const char* directory);

// Releases both sides' block tables. Pure bookkeeping: no repaint.
void free_blocks();
// Releases a side's text, and with it its lines.
void free_side_text(MergeSide& side);
// Empties the document (texts, paths, blocks) and refreshes the views.
void reset_document();
// At start-up: an empty document, not compared, not in directory mode. No repaint:
// the views do not exist yet.
void start_up_document();
// At shut-down: releases the blocks, then each side's text.
void release_document();

// Test hook: when non-zero, any single allocation of the merge layer above this many
// bytes is treated as refused.
extern std::size_t merge_simulated_memory_limit;
// True when an allocation of `bytes` is to be treated as refused.
bool merge_allocation_refused(std::size_t bytes);
// Reports "Not enough memory" as an error.
void report_out_of_memory();

#endif
