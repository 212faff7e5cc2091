#include "ui/win32/windows_api.h"

#include <string>

#include "merge/conflict_mode.h"
#include "merge/document.h"
#include "merge/selection.h"
#include "ui/layout.h"
#include "ui/scrolling.h"
#include "ui/settings.h"
#include "ui/view/position_marks.h"
#include "ui/win32/accessible_win32.h"
#include "ui/win32/dpi_win32.h"
#include "ui/win32/merged_pane.h"
#include "ui/win32/pane_paint.h"
#include "ui/win32/theme_win32.h"
#include "ui/win32/ui_state.h"
#include "ui/win32/wide.h"
#include "ui/win32/window_procs.h"

namespace {

Side pane_side(HWND pane) {
    return pane == ui_state.left_pane ? SIDE_LEFT : SIDE_RIGHT;
}

// The horizontal scrollbar a pane keeps along its bottom edge.
HWND pane_scrollbar(HWND pane) {
    return GetWindow(pane, GW_CHILD);
}

ScrollRequest scroll_code(WORD request) {
    switch (request) {
        case SB_LINEUP:  // SB_LINELEFT
            return SCROLL_LINE_BACK;
        case SB_LINEDOWN:  // SB_LINERIGHT
            return SCROLL_LINE_FORWARD;
        case SB_PAGEUP:
            return SCROLL_PAGE_BACK;
        case SB_PAGEDOWN:
            return SCROLL_PAGE_FORWARD;
        case SB_THUMBPOSITION:
            return SCROLL_THUMB_RELEASED;
        case SB_TOP:
            return SCROLL_START;
        case SB_BOTTOM:
            return SCROLL_FINISH;
        default:
            return SCROLL_OTHER;
    }
}

// The released thumb's position. The message carries 16 bits of it; a longer range
// asks the scrollbar for the full value.
int thumb_position(WPARAM wparam, LPARAM lparam) {
    SCROLLINFO info = {};
    info.cbSize = sizeof info;
    info.fMask = SIF_RANGE | SIF_TRACKPOS;
    HWND bar = reinterpret_cast<HWND>(lparam);
    if (bar != nullptr && GetScrollInfo(bar, SB_CTL, &info) && info.nMax > 0xFFFF) {
        return info.nTrackPos;
    }
    return HIWORD(wparam);
}

LRESULT pane_on_create(HWND pane, LPARAM lparam) {
    auto* create = reinterpret_cast<CREATESTRUCTW*>(lparam);
    // The creation parameter says which UiState field this pane is.
    *static_cast<HWND*>(create->lpCreateParams) = pane;
    RECT r;
    GetClientRect(pane, &r);
    int h = view_metrics.hscroll_height;
    HWND bar = CreateWindowW(L"scrollbar", nullptr, WS_CHILD | WS_VISIBLE | SBS_HORZ, 0,
                             r.bottom - h, r.right, h, pane, nullptr, ui_state.instance, nullptr);
    if (bar == nullptr) {
        return -1;
    }
    SetScrollRange(bar, SB_CTL, 0, HSCROLL_MAX, FALSE);
    return 0;
}

void pane_on_size(HWND pane, int width, int height) {
    int h = view_metrics.hscroll_height;
    view_metrics.page_rows = page_rows(height, h, view_metrics.line_height);
    MoveWindow(pane_scrollbar(pane), 0, height - h, width, h, TRUE);
    InvalidateRect(pane, nullptr, TRUE);
}

void paint_title(HWND window) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(window, &ps);
    const std::string title =
        side_title(side_of(window == ui_state.left_title ? SIDE_LEFT : SIDE_RIGHT));
    const char* path = title.c_str();
    if (path[0] != '\0') {
        RECT client;
        GetClientRect(window, &client);
        const TextRect t = title_text_rect({client.left, client.top, client.right, client.bottom},
                                           view_metrics.dpi);
        RECT r = {t.left, t.top, t.right, t.bottom};
        HGDIOBJ old = ui_state.title_font ? SelectObject(dc, ui_state.title_font) : nullptr;
        SetBkMode(dc, TRANSPARENT);
        use_title_text_color(dc);
        const std::wstring text = wide(path);
        DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &r,
                  DT_CENTER | DT_SINGLELINE | DT_TOP | DT_NOPREFIX);
        if (old != nullptr) {
            SelectObject(dc, old);
        }
    }
    paint_focus_cue(window, dc);
    EndPaint(window, &ps);
}

}  // namespace

LRESULT CALLBACK pane_window_proc(HWND pane, UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
        case WM_CREATE: {
            const LRESULT created = pane_on_create(pane, lparam);
            if (created == 0) {
                start_pane_focus(pane);
            }
            return created;
        }
        case WM_SIZE:
            pane_on_size(pane, LOWORD(lparam), HIWORD(lparam));
            return 0;
        case WM_PAINT:
            paint_pane(pane, pane_side(pane));
            return 0;
        case WM_COMMAND:
        case WM_INITMENUPOPUP:
            // Commands of the quick menu run through the main window like menu commands,
            // which also greys what would do nothing.
            return SendMessageW(ui_state.main_window, message, wparam, lparam);
        case WM_HSCROLL:
            scroll_horizontal(pane_side(pane), scroll_code(LOWORD(wparam)),
                              thumb_position(wparam, lparam));
            return 0;
        case WM_LBUTTONDOWN:
            SetFocus(pane);
            choose_by_click(pane_side(pane), static_cast<short>(HIWORD(lparam)));
            announce_pane_value();
            return 0;
        case WM_KEYDOWN:
            // The main window handles the keys, whichever pane has the focus.
            return SendMessageW(ui_state.main_window, message, wparam, lparam);
        case WM_SETFOCUS:
        case WM_KILLFOCUS:
            pane_focus_changed(pane, message == WM_SETFOCUS);
            return 0;
        case WM_GETOBJECT: {
            LRESULT result = 0;
            if (answer_get_object(pane, wparam, lparam, result)) {
                return result;
            }
            break;
        }
        case WM_RBUTTONDOWN: {
            POINT p = {static_cast<short>(LOWORD(lparam)), static_cast<short>(HIWORD(lparam))};
            show_quick_menu(pane, p);
            return 0;
        }
        default:
            break;
    }
    return DefWindowProcW(pane, message, wparam, lparam);
}

LRESULT CALLBACK title_window_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_PAINT) {
        paint_title(window);
        return 0;
    }
    if (message == WM_SIZE) {
        // Moved without repaint by the layout: the centred path must be redrawn.
        InvalidateRect(window, nullptr, TRUE);
        return 0;
    }
    return DefWindowProcW(window, message, wparam, lparam);
}

LRESULT CALLBACK position_bar_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_PAINT) {
        paint_position_bar(window);
        return 0;
    }
    if (message == WM_VSCROLL) {
        scroll_vertical(scroll_code(LOWORD(wparam)), thumb_position(wparam, lparam));
        return 0;
    }
    LRESULT result = 0;
    if (message == WM_GETOBJECT && answer_get_object(window, wparam, lparam, result)) {
        return result;
    }
    return DefWindowProcW(window, message, wparam, lparam);
}

void layout_children(int width, int height) {
    if (ui_state.vertical_scrollbar == nullptr) {
        return;  // a size message during the main window's creation
    }
    ChildLayout l =
        compute_layout(width, height, view_metrics.title_height, view_metrics.vscroll_width,
                       view_metrics.dpi, settings.merged_result != 0);
    auto move = [](HWND w, const ChildRect& r, BOOL repaint) {
        MoveWindow(w, r.x, r.y, r.width, r.height, repaint);
    };
    move(ui_state.left_title, l.left_title, FALSE);
    move(ui_state.right_title, l.right_title, FALSE);
    move(ui_state.left_pane, l.left_pane, FALSE);
    move(ui_state.position_bar, l.position_bar, TRUE);
    move(ui_state.right_pane, l.right_pane, FALSE);
    move(ui_state.vertical_scrollbar, l.vertical_scrollbar, TRUE);
    place_merged_view(l.merged_view);
    // A pane whose size stays (after a DPI change) gets no size message, yet its
    // scrollbar and page step must follow the new measures.
    pane_on_size(ui_state.left_pane, l.left_pane.width, l.left_pane.height);
    pane_on_size(ui_state.right_pane, l.right_pane.width, l.right_pane.height);
}

void show_quick_menu(HWND pane, POINT point) {
    if (ui_state.quick_popup == nullptr) {
        return;
    }
    ClientToScreen(pane, &point);
    TrackPopupMenu(ui_state.quick_popup, TPM_LEFTALIGN | TPM_LEFTBUTTON, point.x, point.y, 0, pane,
                   nullptr);
}
