#ifndef PAIREX_UI_WIN32_PANE_PAINT_H
#define PAIREX_UI_WIN32_PANE_PAINT_H

#include "merge/side.h"
#include "ui/win32/windows_api.h"

// Paints the rows of `side` that lie in the pane's invalid rectangle (the paint
// message's handler). Without a loaded side only the background is painted.
void paint_pane(HWND pane, Side side);

// Paints the position bar's marks, one per block start on the left side.
void paint_position_bar(HWND bar);

#endif
