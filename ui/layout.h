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
struct ChildLayout {
    ChildRect left_title, right_title, left_pane, position_bar, right_pane, vertical_scrollbar;
};

ChildLayout compute_layout(int width, int height, int title_height, int scrollbar_width, int dpi);

#endif
