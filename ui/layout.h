#ifndef PAIREX_UI_LAYOUT_H
#define PAIREX_UI_LAYOUT_H

struct ChildRect {
    int x, y, width, height;
    bool operator==(const ChildRect&) const = default;
};

// Where the seven children of the main window go for a client area of width x
// height, with title bars `title_height` high and a platform vertical scrollbar
// `scrollbar_width` wide, all in pixels at the window's `dpi`; the position bar's
// margins scale with `dpi`. The scrollbar's rectangle is inside the position bar.
// With `merged_result` the merged view takes the lower part of the panes' height,
// the whole width; without it its rectangle is empty and nothing else moves.
struct ChildLayout {
    ChildRect left_title, right_title, left_pane, position_bar, right_pane, vertical_scrollbar;
    ChildRect merged_view;
};

ChildLayout compute_layout(int width, int height, int title_height, int scrollbar_width, int dpi,
                           bool merged_result = false);

#endif
