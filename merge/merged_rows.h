#ifndef PAIREX_MERGE_MERGED_ROWS_H
#define PAIREX_MERGE_MERGED_ROWS_H

#include <cstdint>
#include <string_view>
#include <vector>

#include "common/charset.h"
#include "merge/resolution.h"

// The merged result as the rows of a view: the text that Write would write now, with
// where each row came from. Pure: reads merge_document, changes nothing, reports
// nothing. Rows are held as runs that point into the texts (no line is copied), so a
// million-line file costs one run per common stretch and block.

enum MergedState : uint8_t {
    MERGED_COMMON,        // a line outside the blocks
    MERGED_LEFT,          // a block resolved to the left side
    MERGED_RIGHT,         // ... to the right side
    MERGED_BOTH,          // ... to both sides, in either order
    MERGED_BASE,          // ... to the conflict's base
    MERGED_EDITED,        // ... to an edited text
    MERGED_OPEN,          // a row standing for an open block (no text)
    MERGED_BASE_PREVIEW,  // an open conflict's base line, shown greyed
};

// `lines.count` rows in a row, from row `first_row` on, of block `block` (-1: common).
struct MergedRun {
    LineRun lines;
    MergedState state = MERGED_COMMON;
    int32_t block = -1;
    int32_t first_row = 0;
};

struct MergedRows {
    std::vector<MergedRun> runs;       // in row order, none empty
    std::vector<int32_t> block_first;  // per block: its first row (where it would be
                                       // when it has none)
    int32_t row_count = 0;
};

// The merged text of merge_document as rows. An open block stands as rows marked open,
// as many as it has aligned rows in the panes; in conflict mode an open conflict with
// base lines shows them instead, as MERGED_BASE_PREVIEW. The rows of every other state
// are the lines Write writes, in order. Valid until the document's texts, tables or
// choices change. May throw std::bad_alloc.
MergedRows merged_rows();

// One row: its text (a view into the document's texts; empty for an open row), state,
// source, block (-1 when common) and its line in the source.
struct MergedRow {
    std::string_view text;
    MergedState state = MERGED_COMMON;
    LineSource source = SOURCE_NONE;
    int32_t block = -1;
    int32_t line = 0;
};

// Row `row` of `rows` (0 <= row < rows.row_count), found by halving.
MergedRow merged_row(const MergedRows& rows, int32_t row);

// The charset the text of a row from `source` is in: an edited text is UTF-8, base lines
// are read as the left side's.
DisplayCharset merged_row_charset(LineSource source);

#endif
