#include "ui/scrolling.h"

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

namespace {

// Shows the side's text from column `next` on (held at MAX_FIRST_COLUMN); nothing is
// repainted when the column stays.
void move_to_column(Side side, uint32_t next) {
    uint32_t& column = side_of(side).first_column;
    next = std::min(next, MAX_FIRST_COLUMN);
    if (next == column) {
        return;
    }
    column = next;
    ui_set_horizontal_position(side, horizontal_thumb(column));
    platform_repaint_pane(side);
}

}  // namespace

WheelState wheel_state;

void scroll_horizontal(Side side, ScrollRequest request, int position) {
    move_to_column(side, horizontal_scroll_target(request, position, side_of(side).first_column));
}

void wheel_vertical(int delta, WheelSetting setting) {
    const int per_notch = setting.page ? view_metrics.page_rows : setting.units;
    const int32_t units = wheel_units(wheel_state.vertical, delta, per_notch);
    if (units == 0) {
        return;
    }
    // Away from the user is up. go_to_row holds the row within the text.
    const int64_t row = int64_t{merge_document.top_row} - units;
    go_to_row(static_cast<int32_t>(std::clamp<int64_t>(row, INT32_MIN, INT32_MAX)));
}

void wheel_horizontal(Side side, int delta, int columns_per_notch) {
    if (side != wheel_state.sideways_side) {
        wheel_state.sideways = WheelAccumulator{};
        wheel_state.sideways_side = side;
    }
    const int32_t units = wheel_units(wheel_state.sideways, delta, columns_per_notch);
    if (units == 0) {
        return;
    }
    const int64_t column = int64_t{side_of(side).first_column} + units;
    move_to_column(side, static_cast<uint32_t>(std::clamp<int64_t>(column, 0, MAX_FIRST_COLUMN)));
}

void route_scroll_key(ScrollKey key) {
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
