// The keyboard focus among the panes, and the events that tell a screen reader what
// changed there.
#include "ui/win32/accessible_win32.h"

#include <string>
#include <vector>

#include "ui/view/accessible_text.h"
#include "ui/win32/ui_state.h"

namespace {

HWND focused = nullptr;  // the pane that had the focus last
bool show_cue = false;   // the user has moved the focus with the keyboard
std::string told;        // the panes' value as last announced

// The windows Tab visits, in order. A further pane (the merged result) joins here.
std::vector<HWND> focus_order() {
    return {ui_state.left_pane, ui_state.right_pane};
}

bool is_focusable(HWND window) {
    for (HWND w : focus_order()) {
        if (w != nullptr && w == window) {
            return true;
        }
    }
    return false;
}

void repaint_titles() {
    for (HWND title : {ui_state.left_title, ui_state.right_title}) {
        if (title != nullptr) {
            InvalidateRect(title, nullptr, TRUE);
        }
    }
}

}  // namespace

void announce_pane_value() {
    std::string now = pane_value_text();
    if (now == told) {
        return;
    }
    told = std::move(now);
    HWND focus = GetFocus();
    if (focus != nullptr && is_focusable(focus)) {
        NotifyWinEvent(EVENT_OBJECT_VALUECHANGE, focus, OBJID_CLIENT, CHILDID_SELF);
    }
}

void start_pane_focus(HWND pane) {
    if (pane != ui_state.left_pane) {
        return;
    }
    focused = nullptr;
    show_cue = false;
    told.clear();
    // The main window took the focus when it was shown, before it had panes.
    if (GetFocus() == ui_state.main_window) {
        SetFocus(pane);
    }
}

void move_pane_focus(bool backwards) {
    const std::vector<HWND> order = focus_order();
    const auto n = static_cast<int>(order.size());
    int at = -1;
    for (int i = 0; i < n; ++i) {
        if (order[static_cast<std::size_t>(i)] == GetFocus()) {
            at = i;
        }
    }
    // From outside the order, Tab starts at its first window and Shift+Tab at its last.
    const int to = at < 0 ? (backwards ? n - 1 : 0) : (at + (backwards ? n - 1 : 1)) % n;
    if (!show_cue) {
        show_cue = true;
        repaint_titles();
    }
    SetFocus(order[static_cast<std::size_t>(to)]);
}

void restore_pane_focus() {
    HWND to = focused != nullptr && IsWindow(focused) ? focused : ui_state.left_pane;
    if (to != nullptr) {
        SetFocus(to);
    }
}

void pane_focus_changed(HWND pane, bool gained) {
    if (gained) {
        focused = pane;
    }
    if (show_cue) {
        repaint_titles();
    }
}

void paint_focus_cue(HWND title, HDC dc) {
    if (!show_cue || GetFocus() == nullptr ||
        GetFocus() != pane_of(title == ui_state.left_title ? SIDE_LEFT : SIDE_RIGHT)) {
        return;
    }
    RECT r;
    GetClientRect(title, &r);
    InflateRect(&r, -1, -1);
    DrawFocusRect(dc, &r);
}
