#ifndef PAIREX_UI_WIN32_PANE_PAINT_H
#define PAIREX_UI_WIN32_PANE_PAINT_H

#include "merge/side.h"
#include "ui/view/row_colors.h"
#include "ui/win32/windows_api.h"

// Paints the rows of `side` that lie in the pane's invalid rectangle (the paint
// message's handler). Without a loaded side only the background is painted.
void paint_pane(HWND pane, Side side);

// A solid brush of `color`, made on first use and kept for the run (nullptr when the
// system refuses one).
HBRUSH color_brush(const RowColor& color);

// The bar at the left edge of a row of the current block, over the row's fill.
void paint_current_block_bar(HDC dc, const RECT& row);

// Paints the position bar's marks, one per block start on the left side.
void paint_position_bar(HWND bar);

#endif
