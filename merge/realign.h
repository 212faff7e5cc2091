#ifndef PAIREX_MERGE_REALIGN_H
#define PAIREX_MERGE_REALIGN_H

#include <cstdint>
#include <string_view>

#include "common/charset.h"

// The pass after a comparison with Compress spaces on: the engine ignored white space,
// so its unchanged stretches may pair a blank line with a non-blank one. The pass gives
// such lone blank lines blocks of their own and evens the stretches' column heights.

// Inserts an absent block at `index` (0..block count) into all four tables of the
// document. Meant for the pass right after a comparison, before any choice: block
// extras and the undo history are not moved with the tables. Returns 0; -1 after reporting "Not
// enough memory", or without a report when there are no tables or the index is out of range (tables
// unchanged in every case).
int insert_block(int32_t index);

// Runs the pass on merge_document. Returns 0, or -1 after reporting "Not enough
// memory" (tables stay consistent).
int realign_blank_lines();

// Empty or only white space (common/white_space.h) of `charset`, the charset of the
// line's side; a NUL byte is not white space.
bool is_blank_line(std::string_view text, DisplayCharset charset);

#endif
