#ifndef PAIREX_UI_MERGED_VIEW_H
#define PAIREX_UI_MERGED_VIEW_H

#include <cstdint>

#include "merge/merged_rows.h"

// The merged view below the panes: its rows, kept between paints, and where it scrolls.

// The merged rows of merge_document, made again only when its texts, tables or choices
// changed since the last call. Empty when memory ran out (nothing is reported: the
// view is a convenience, Write itself reads the document).
const MergedRows& current_merged_rows();

// The 0-based aligned row of the panes where block k starts (-1 when there is no such
// block).
int32_t block_pane_row(int32_t k);

// The merged view's top row for panes whose top row is `top_row`: the view moves row
// for row with the panes and shows the current block as far below its top as the panes
// show it, held within 0 .. row_count - 1 (0 without rows). A view `page_rows` high
// thus shows the current block whenever the panes do, and after First, Next, Previous
// or Last, which bring it to the panes' second row.
int32_t merged_view_top(const MergedRows& rows, int32_t top_row);

#endif
