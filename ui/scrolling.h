#ifndef PAIREX_UI_SCROLLING_H
#define PAIREX_UI_SCROLLING_H

#include "merge/side.h"
#include "ui/view/view_scroll.h"
#include "ui/wheel.h"

// Row geometry of the panes and title bars, and the main window's DPI with the
// platform's scrollbar sizes at it (all in pixels at that DPI).
struct ViewMetrics {
    int line_height = 0;
    int title_height = 0;
    int page_rows = 1;
    int dpi = 96;
    int vscroll_width = 0;         // width of a vertical scrollbar
    int vscroll_arrow_height = 0;  // height of its arrow buttons
    int hscroll_height = 0;        // height of a horizontal scrollbar
};
extern ViewMetrics view_metrics;

// Scrolls both panes by the request; `position` is the released thumb's position.
void scroll_vertical(ScrollRequest request, int position = 0);
// Scrolls one pane sideways; `position` is the released thumb's position.
void scroll_horizontal(Side side, ScrollRequest request, int position = 0);

// The wheels' fractions of a unit not yet scrolled: one for both panes, one sideways.
struct WheelState {
    WheelAccumulator vertical;
    WheelAccumulator sideways;
    Side sideways_side = SIDE_LEFT;
};
extern WheelState wheel_state;

// The vertical wheel turned by `delta` (positive: away from the user) scrolls both panes
// up or down by the system's `setting`, as the keys do.
void wheel_vertical(int delta, WheelSetting setting);
// A sideways turn (positive: to the right) scrolls the pane of `side` by
// `columns_per_notch`. Turning for another pane drops the other's fraction.
void wheel_horizontal(Side side, int delta, int columns_per_notch);

// The keys that scroll from the main window.
enum ScrollKey {
    KEY_PAGE_UP,
    KEY_PAGE_DOWN,
    KEY_UP,
    KEY_DOWN,
    KEY_HOME,
    KEY_END,
    KEY_LEFT,
    KEY_RIGHT
};

// Page Up, Page Down, Up and Down scroll both panes; Home, End, Left and Right the
// pane under the mouse pointer (the right one unless the pointer is over the left).
void route_scroll_key(ScrollKey key);

#endif
