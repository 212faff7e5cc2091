#ifndef PAIREX_UI_VIEW_VIEW_SCROLL_H
#define PAIREX_UI_VIEW_VIEW_SCROLL_H

#include <cstdint>
#include <optional>

// Scroll arithmetic of the panes: which row comes to the top, which column comes
// first, and which pixels a vertical step moves and repaints.

constexpr int32_t HSCROLL_MAX = 79;
constexpr int32_t HSCROLL_PAGE = 16;
// Scrolling right stops here: far past any text a row draws, and small enough that
// column arithmetic never overflows.
constexpr uint32_t MAX_FIRST_COLUMN = 1000000;

// Rows of a page step for a pane of `pane_height` pixels.
int32_t page_rows(int32_t pane_height, int32_t hscroll_height, int32_t line_height);

// Requests of a scrollbar, and the keys that stand for them.
enum ScrollRequest {
    SCROLL_LINE_BACK,       // line up / line left, Up / Left key
    SCROLL_LINE_FORWARD,    // line down / line right, Down / Right key
    SCROLL_PAGE_BACK,       // page up / page left, Page Up key
    SCROLL_PAGE_FORWARD,    // page down / page right, Page Down key
    SCROLL_THUMB_RELEASED,  // with the thumb position
    SCROLL_START,           // top / left end, Home key
    SCROLL_FINISH,          // bottom / right end, End key
    SCROLL_OTHER,           // thumb tracking, end of scroll, anything else
};

// The row to go to for a vertical request, or nothing.
std::optional<int32_t> vertical_scroll_target(ScrollRequest request, int32_t thumb, int32_t top_row,
                                              int32_t page_rows, int32_t total_rows);

// The new first column for a horizontal request (never negative, no upper limit).
uint32_t horizontal_scroll_target(ScrollRequest request, int32_t thumb, uint32_t first_column);

// The thumb position that shows `first_column`.
inline int32_t horizontal_thumb(uint32_t first_column) {
    return first_column > static_cast<uint32_t>(HSCROLL_MAX) ? HSCROLL_MAX
                                                             : static_cast<int32_t>(first_column);
}

// A vertical step to row `row` from `old_top`, with the scrollbar at `scroll_position`.
struct VerticalStep {
    bool moves = false;    // false: the scrollbar already shows the row, nothing to do
    int32_t new_top = 0;   // held within 0..total_rows - 1 (0 without rows)
    int32_t shift = 0;     // pixels to move the pane contents (down when positive)
    int32_t band_top = 0;  // then erase and repaint this band
    int32_t band_bottom = 0;
};
// `client_bottom` is the bottom of the pane area above its horizontal scrollbar.
VerticalStep plan_vertical_step(int32_t row, int32_t old_top, int32_t scroll_position,
                                int32_t total_rows, int32_t line_height, int32_t page_rows,
                                int32_t client_bottom);

#endif
