// The keyboard focus among the panes, and the events that tell a screen reader what
// changed there.
#include "ui/win32/accessible_win32.h"

#include <string>
#include <vector>

#include "ui/view/accessible_text.h"
#include "ui/win32/merged_pane.h"
#include "ui/win32/ui_state.h"

namespace {

HWND focused = nullptr;  // the pane that had the focus last
bool show_cue = false;   // the user has moved the focus with the keyboard
std::string told;        // the panes' value as last announced

// The windows Tab visits, in order: the merged result only while it is shown.
std::vector<HWND> focus_order() {
    std::vector<HWND> order = {ui_state.left_pane, ui_state.right_pane};
    HWND merged = merged_view_window();
    if (merged != nullptr && IsWindowVisible(merged)) {
        order.push_back(merged);
    }
    return order;
}

bool is_focusable(HWND window) {
    for (HWND w : focus_order()) {
        if (w != nullptr && w == window) {
            return true;
        }
    }
    return false;
}

// The windows that paint a focus cue.
void repaint_cues() {
    for (HWND title : {ui_state.left_title, ui_state.right_title}) {
        if (title != nullptr) {
            InvalidateRect(title, nullptr, TRUE);
        }
    }
    if (merged_view_window() != nullptr) {
        InvalidateRect(merged_view_window(), nullptr, FALSE);
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
        repaint_cues();
    }
    SetFocus(order[static_cast<std::size_t>(to)]);
}

void restore_pane_focus() {
    // The merged result may have been hidden since: hiding it gave the focus back here.
    HWND to = focused != nullptr && IsWindowVisible(focused) ? focused : ui_state.left_pane;
    if (to != nullptr) {
        SetFocus(to);
    }
}

void pane_focus_changed(HWND pane, bool gained) {
    if (gained) {
        focused = pane;
    }
    if (show_cue) {
        repaint_cues();
    }
}

void paint_focus_cue(HWND window, HDC dc) {
    HWND owner = window;
    if (window == ui_state.left_title || window == ui_state.right_title) {
        owner = pane_of(window == ui_state.left_title ? SIDE_LEFT : SIDE_RIGHT);
    }
    if (!show_cue || GetFocus() == nullptr || GetFocus() != owner) {
        return;
    }
    RECT r;
    GetClientRect(window, &r);
    InflateRect(&r, -1, -1);
    DrawFocusRect(dc, &r);
}
