#ifndef PAIREX_UI_WIN32_MERGED_PANE_H
#define PAIREX_UI_WIN32_MERGED_PANE_H

#include "ui/layout.h"
#include "ui/win32/windows_api.h"

// The merged view below the panes: the text Write would write now, each row coloured by
// where it came from, scrolled with the panes (ui/merged_view.h).

// Places the view at `r`, creating it on first need; an empty rectangle hides it.
void place_merged_view(const ChildRect& r);

// Repaints the view when what it shows (its rows, their top, the current block)
// changed since its last paint. The left pane calls it after each of its paints.
void merged_view_follow();

// The view's window; nullptr before it was first needed.
HWND merged_view_window();

#endif
