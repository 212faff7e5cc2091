#include "ui/layout.h"

#include "ui/view/dpi_scale.h"

ChildLayout compute_layout(int width, int height, int title_height, int scrollbar_width, int dpi,
                           bool merged_result) {
    int even = scrollbar_width - scrollbar_width % 2;
    // The bar's border stays one pixel wide at any DPI; its margins grow.
    const int margin = dpi_scale(4, dpi);
    int bar = even + 2 * margin;
    int pane = width / 2 - bar / 2;
    int rows = height - title_height;
    // Two fifths of the rows' height: the panes keep the larger part.
    const int merged = merged_result ? rows * 2 / 5 : 0;
    rows -= merged;
    ChildLayout l;
    l.merged_view = {0, title_height + rows, merged_result ? width : 0, merged};
    l.left_title = {0, 0, width / 2, title_height};
    l.right_title = {width / 2, 0, width / 2, title_height};
    l.left_pane = {0, title_height, pane, rows};
    l.position_bar = {pane, title_height, bar, rows};
    l.right_pane = {pane + bar, title_height, pane, rows};
    // Narrower than a standard scrollbar: the position bar's marks show in the margin
    // left free on each side.
    l.vertical_scrollbar = {margin, 0, even - 2, rows};
    return l;
}
