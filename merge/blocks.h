#ifndef PAIREX_MERGE_BLOCKS_H
#define PAIREX_MERGE_BLOCKS_H

#include <cstdint>

#include "merge/document.h"

// Mapping between difference blocks, file lines and the aligned rows that both panes
// show. Everything here works on merge_document and does nothing when it has no block
// tables.

// The side's first line of block k (1-based): own lines first, else the filler rows.
int32_t block_start(const MergeSide& side, int32_t k);
// The side's last line of block k; its next line after the block is index block_end.
int32_t block_end(const MergeSide& side, int32_t k);

// Makes room for one more entry of `table`, growing it geometrically (a fixed step
// would be quadratic on listings with many blocks). May throw std::bad_alloc.
void make_table_room(BlockTable& table);

// 0-based line index shown at aligned row `row`, or -1 for a filler row. May be
// line_count or more for rows past the end.
int32_t row_to_line(const MergeSide& side, int32_t row);

enum BlockKind { KIND_FILLER_ROW, KIND_OWN_LINE };
// The block holding `position` (an aligned row for filler rows, a 0-based line index
// for own lines), or -1.
int32_t find_block_at(const MergeSide& side, int32_t position, BlockKind kind);

// Sets total_rows from the left column and the scroll range to 1..total_rows.
void compute_total_rows();

enum Direction { DIRECTION_NEXT, DIRECTION_PREVIOUS };
// 1-based aligned row where a block starts after (or before) `from_row` + 1; -1 when
// there is none or no block tables. The block's index goes to `block` when given.
int32_t find_block_row(int32_t from_row, Direction direction, int32_t* block = nullptr);

// True when `side` holds block k (its own lines chosen, or only filler rows, chosen).
bool side_holds(const MergeSide& side, int32_t k);
// Number of blocks: entries before the first end marker of either side's own_blocks.
int32_t block_count();

#endif
