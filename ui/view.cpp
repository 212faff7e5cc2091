#include "ui/view.h"

#include "ui/ui_platform.h"

ViewMetrics view_metrics;

void scroll_vertical(ScrollCode code, int position) {
    int top = doc_top_row();
    switch (code) {
        case SCROLL_LINE_BACK:
            doc_scroll_to_row(top - 1);
            break;
        case SCROLL_LINE_FORWARD:
            doc_scroll_to_row(top + 1);
            break;
        case SCROLL_PAGE_BACK:
            doc_scroll_to_row(top - view_metrics.page_rows);
            break;
        case SCROLL_PAGE_FORWARD:
            doc_scroll_to_row(top + view_metrics.page_rows);
            break;
        case SCROLL_THUMB_RELEASED:
            doc_scroll_to_row(position - 1);
            break;
        case SCROLL_TO_START:
            doc_scroll_to_row(0);
            break;
        case SCROLL_TO_END:
            doc_scroll_to_row(doc_total_rows());
            break;
        case SCROLL_OTHER:
            break;
    }
}

void scroll_horizontal(UiSide side, ScrollCode code, int position) {
    int column = doc_first_column(side);
    long next = column;
    switch (code) {
        case SCROLL_LINE_BACK:
            next = column - 1L;
            break;
        case SCROLL_LINE_FORWARD:
            next = column + 1L;
            break;
        case SCROLL_PAGE_BACK:
            next = column - static_cast<long>(HSCROLL_PAGE);
            break;
        case SCROLL_PAGE_FORWARD:
            next = column + static_cast<long>(HSCROLL_PAGE);
            break;
        case SCROLL_THUMB_RELEASED:
            next = position;
            break;
        case SCROLL_TO_START:
            next = 0;
            break;
        case SCROLL_TO_END:
            next = HSCROLL_MAX;
            break;
        case SCROLL_OTHER:
            break;
    }
    if (next < 0) {
        next = 0;
    }
    if (next > 1000000) {
        next = 1000000;  // no visible limit, but never past the int range
    }
    if (next == column) {
        return;
    }
    column = static_cast<int>(next);
    doc_set_first_column(side, column);
    ui_set_horizontal_position(side, column > HSCROLL_MAX ? HSCROLL_MAX : column);
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
            scroll_horizontal(side, SCROLL_TO_START);
            break;
        case KEY_END:
            scroll_horizontal(side, SCROLL_TO_END);
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
