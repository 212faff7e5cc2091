#include "ui/navigation.h"

#include "ui/ui_platform.h"

ViewMetrics view_metrics;

void scroll_vertical(ScrollRequest request, int position) {
    std::optional<int32_t> row = vertical_scroll_target(request, position, doc_top_row(),
                                                        view_metrics.page_rows, doc_total_rows());
    if (row) {
        doc_scroll_to_row(*row);
    }
}

void scroll_horizontal(UiSide side, ScrollRequest request, int position) {
    uint32_t column = static_cast<uint32_t>(doc_first_column(side));
    uint32_t next = horizontal_scroll_target(request, position, column);
    if (next == column) {
        return;
    }
    doc_set_first_column(side, static_cast<int>(next > 1000000u ? 1000000u : next));
    ui_set_horizontal_position(side, horizontal_thumb(next));
    ui_repaint_pane(side);
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
    UiSide side = ui_pointer_over_left_pane() ? UI_LEFT : UI_RIGHT;
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
