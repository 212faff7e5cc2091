#ifndef PAIREX_MERGE_SELECTION_H
#define PAIREX_MERGE_SELECTION_H

#include <cstdint>

#include "merge/side.h"

// Navigation between blocks and the user's choices, on merge_document. Block steps and
// choices do nothing without block tables; each repaints what it changed.

// Puts `row`, held within 0..total_rows - 1, at the top of both panes.
void go_to_row(int32_t row);

// The navigation commands; none wraps around.
void go_next();
void go_prev();
void go_first();
void go_last();
void go_beginning();
void go_end();

// Gives block k to `side`: its entries become chosen, the other side's not.
void choose_block(Side side, int32_t k);
// A left click at `y` pixels from the top of a side's pane.
void choose_by_click(Side side, int32_t y);
// Gives every block that the other side does not hold to `side`.
void choose_all_from(Side side);
// Clears every choice.
void unselect_all();

#endif
