#include "ui/view/view_scroll.h"

#include <algorithm>

int32_t page_rows(int32_t pane_height, int32_t hscroll_height, int32_t line_height) {
    if (line_height <= 0) {
        return 1;
    }
    return (pane_height - hscroll_height) / line_height + 1;
}

std::optional<int32_t> vertical_scroll_target(ScrollRequest request, int32_t thumb, int32_t top_row,
                                              int32_t page_rows, int32_t total_rows) {
    switch (request) {
        case SCROLL_LINE_BACK:
            return top_row - 1;
        case SCROLL_LINE_FORWARD:
            return top_row + 1;
        case SCROLL_PAGE_BACK:
            return top_row - page_rows;
        case SCROLL_PAGE_FORWARD:
            return top_row + page_rows;
        case SCROLL_THUMB_RELEASED:
            return thumb - 1;
        case SCROLL_START:
            return 0;
        case SCROLL_FINISH:
            return total_rows;
        case SCROLL_OTHER:
            break;
    }
    return std::nullopt;
}

uint32_t horizontal_scroll_target(ScrollRequest request, int32_t thumb, uint32_t first_column) {
    int64_t column = first_column;
    switch (request) {
        case SCROLL_LINE_BACK:
            column -= 1;
            break;
        case SCROLL_LINE_FORWARD:
            column += 1;
            break;
        case SCROLL_PAGE_BACK:
            column -= HSCROLL_PAGE;
            break;
        case SCROLL_PAGE_FORWARD:
            column += HSCROLL_PAGE;
            break;
        case SCROLL_THUMB_RELEASED:
            column = thumb;
            break;
        case SCROLL_START:
            column = 0;
            break;
        case SCROLL_FINISH:
            column = HSCROLL_MAX;
            break;
        case SCROLL_OTHER:
            break;
    }
    if (column < 0) {
        column = 0;
    }
    if (column > UINT32_MAX) {
        column = UINT32_MAX;
    }
    return static_cast<uint32_t>(column);
}

VerticalStep plan_vertical_step(int32_t row, int32_t old_top, int32_t scroll_position,
                                int32_t total_rows, int32_t line_height, int32_t page_rows,
                                int32_t client_bottom) {
    VerticalStep step;
    step.new_top = std::clamp(row, 0, std::max(total_rows - 1, 0));
    if (scroll_position == step.new_top + 1) {
        return step;
    }
    step.moves = true;
    const int64_t d = static_cast<int64_t>(old_top) - step.new_top;
    // A jump of more than a page moves nothing into view: clamp so that the pixel
    // arithmetic cannot overflow on huge files.
    const int64_t limit = static_cast<int64_t>(page_rows) + 1;
    const int64_t rows = std::clamp<int64_t>(d, -limit, limit);
    step.shift = static_cast<int32_t>(rows * line_height);
    if (rows > 0) {
        step.band_top = 0;
        step.band_bottom = static_cast<int32_t>(rows * line_height);
    } else if (rows < 0) {
        step.band_top = static_cast<int32_t>((page_rows + rows - 2) * line_height - 1);
        step.band_bottom = client_bottom;
    }
    return step;
}
