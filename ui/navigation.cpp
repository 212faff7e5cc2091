#include "ui/navigation.h"

#include <algorithm>

#include "merge/document.h"
#include "merge/selection.h"
#include "ui/ui_platform.h"

ViewMetrics view_metrics;

void scroll_vertical(ScrollRequest request, int position) {
    std::optional<int32_t> row =
        vertical_scroll_target(request, position, merge_document.top_row, view_metrics.page_rows,
                               merge_document.total_rows);
    if (row) {
        go_to_row(*row);
    }
}

void scroll_horizontal(Side side, ScrollRequest request, int position) {
    uint32_t& column = side_of(side).first_column;
    const uint32_t next = horizontal_scroll_target(request, position, column);
    if (next == column) {
        return;
    }
    column = std::min(next, MAX_FIRST_COLUMN);
    ui_set_horizontal_position(side, horizontal_thumb(column));
    platform_repaint_pane(side);
}

void route_navigation_key(NavigationKey key) {
    switch (key) {
        case KEY_PAGE_UP:
            scroll_vertical(SCROLL_PAGE_BACK);
            return;
        case KEY_PAGE_DOWN:
            scroll_vertical(SCROLL_PAGE_FORWARD);
            return;
        case KEY_UP:
            scroll_vertical(SCROLL_LINE_BACK);
            return;
        case KEY_DOWN:
            scroll_vertical(SCROLL_LINE_FORWARD);
            return;
        default:
            break;
    }
    const Side side = ui_pointer_over_left_pane() ? SIDE_LEFT : SIDE_RIGHT;
    switch (key) {
        case KEY_HOME:
            scroll_horizontal(side, SCROLL_START);
            break;
        case KEY_END:
            scroll_horizontal(side, SCROLL_FINISH);
            break;
        case KEY_LEFT:
            scroll_horizontal(side, SCROLL_LINE_BACK);
            break;
        case KEY_RIGHT:
            scroll_horizontal(side, SCROLL_LINE_FORWARD);
            break;
        default:
            break;
    }
}
