#include "ui/layout.h"

ChildLayout compute_layout(int width, int height, int title_height, int scrollbar_width) {
    int even = scrollbar_width - scrollbar_width % 2;
    int bar = even + 8;
    int pane = width / 2 - bar / 2;
    int rows = height - title_height;
    ChildLayout l;
    l.left_title = {0, 0, width / 2, title_height};
    l.right_title = {width / 2, 0, width / 2, title_height};
    l.left_pane = {0, title_height, pane, rows};
    l.position_bar = {pane, title_height, bar, rows};
    l.right_pane = {pane + bar, title_height, pane, rows};
    // Narrower than a standard scrollbar: the position bar's marks show in the four
    // pixels left free on each side.
    l.vertical_scrollbar = {4, 0, even - 2, rows};
    return l;
}
