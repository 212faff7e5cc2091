#ifndef PAIREX_UI_VIEW_H
#define PAIREX_UI_VIEW_H

#include "ui/document_bridge.h"

// Row geometry of the panes and title bars.
struct ViewMetrics {
    int line_height = 0;
    int title_height = 0;
    int page_rows = 1;
};
extern ViewMetrics view_metrics;

// Requests of a scrollbar or a key, the same vocabulary for both directions.
enum ScrollCode {
    SCROLL_LINE_BACK,  // line up / left; Up, Left keys
    SCROLL_LINE_FORWARD,
    SCROLL_PAGE_BACK,
    SCROLL_PAGE_FORWARD,
    SCROLL_THUMB_RELEASED,
    SCROLL_TO_START,  // top / left end; Home key
    SCROLL_TO_END,    // bottom / right end; End key
    SCROLL_OTHER,
};

constexpr int HSCROLL_MAX = 79;
constexpr int HSCROLL_PAGE = 16;

// Scrolls both panes by the request; `position` is the released thumb's position.
void scroll_vertical(ScrollCode code, int position = 0);
// Scrolls one pane sideways; `position` is the released thumb's position.
void scroll_horizontal(UiSide side, ScrollCode code, int position = 0);

// The keys that scroll from the main window.
enum NavigationKey {
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
void route_navigation_key(NavigationKey key);

#endif
