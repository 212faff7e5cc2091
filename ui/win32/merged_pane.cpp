#include "ui/win32/merged_pane.h"

#include <string>

#include "common/charset.h"
#include "merge/document.h"
#include "merge/merge_platform.h"
#include "resources/command_ids.h"
#include "ui/commands.h"
#include "ui/merged_view.h"
#include "ui/scrolling.h"
#include "ui/settings.h"
#include "ui/ui_platform.h"
#include "ui/view/row_colors.h"
#include "ui/view/theme_palette.h"
#include "ui/view/view_text.h"
#include "ui/win32/accessible_win32.h"
#include "ui/win32/pane_paint.h"
#include "ui/win32/ui_state.h"
#include "ui/win32/theme_win32.h"
#include "ui/win32/wide.h"

namespace {

HWND view = nullptr;

RowColor fill_of(MergedState state) {
    const ThemePalette& p = look_palette();
    switch (state) {
        case MERGED_LEFT:
            return p.merged_from_left;
        case MERGED_RIGHT:
            return p.merged_from_right;
        case MERGED_BOTH:
            return p.merged_from_both;
        case MERGED_BASE:
            return p.base;
        case MERGED_EDITED:
            return p.edited;
        case MERGED_OPEN:
        case MERGED_BASE_PREVIEW:
            return p.merged_open;
        default:
            return p.window;
    }
}

// The row's text as the panes show it: tabs expanded, at most ROW_TEXT_MAX columns.
std::string shown_text(const MergedRow& row) {
    static char work[ROW_TEXT_MAX * 16];
    expand_display_text(row.text, work, sizeof work, true, settings.tab_size,
                        merged_row_charset(row.source));
    const std::string_view all(work);
    return std::string(all.substr(0, display_column_offset(all, ROW_TEXT_MAX)));
}

void paint_view(HWND window) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(window, &ps);
    RECT client;
    GetClientRect(window, &client);
    const int height = view_metrics.line_height;
    HGDIOBJ old_font = ui_state.text_font ? SelectObject(dc, ui_state.text_font) : nullptr;
    SetBkMode(dc, TRANSPARENT);
    const MergedRows& rows = current_merged_rows();
    const int32_t top = merged_view_top(rows, merge_document.top_row);
    const int32_t current = current_block();
    for (int y = 0, i = top; height > 0 && y < client.bottom; y += height, ++i) {
        RECT r = {0, y, client.right, y + height};
        if (i >= rows.row_count) {
            if (HBRUSH brush = color_brush(look_palette().window)) {
                FillRect(dc, &r, brush);
            }
            continue;
        }
        const MergedRow row = merged_row(rows, i);
        if (HBRUSH brush = color_brush(fill_of(row.state))) {
            FillRect(dc, &r, brush);
        }
        if (row.block >= 0 && row.block == current) {
            paint_current_block_bar(dc, r);
        }
        const std::wstring text = wide(shown_text(row));
        SetTextColor(dc,
                     color_of(row.state == MERGED_BASE_PREVIEW ? look_palette().base_preview_text
                                                               : look_palette().text));
        DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &r,
                  DT_LEFT | DT_SINGLELINE | DT_EXTERNALLEADING);
    }
    if (old_font != nullptr) {
        SelectObject(dc, old_font);
    }
    paint_focus_cue(window, dc);
    EndPaint(window, &ps);
}

// The block at `y` pixels from the view's top, -1 on a common row or past the end.
int32_t block_at(int y) {
    const MergedRows& rows = current_merged_rows();
    const int height = view_metrics.line_height > 0 ? view_metrics.line_height : 1;
    const int64_t i = int64_t{merged_view_top(rows, merge_document.top_row)} + y / height;
    if (y < 0 || i >= rows.row_count) {
        return -1;
    }
    return merged_row(rows, static_cast<int32_t>(i)).block;
}

LRESULT CALLBACK merged_view_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
        case WM_PAINT:
            paint_view(window);
            return 0;
        case WM_ERASEBKGND:
            return 1;  // every row paints its own background
        case WM_LBUTTONDBLCLK: {
            // The block double-clicked becomes the current one and opens for editing.
            const int32_t k = block_at(static_cast<short>(HIWORD(lparam)));
            if (k >= 0) {
                merge_document.current_block = k;
                platform_repaint_panes();
                dispatch_command(CMD_EDIT_BLOCK);
            }
            return 0;
        }
        case WM_RBUTTONDOWN: {
            POINT p = {static_cast<short>(LOWORD(lparam)), static_cast<short>(HIWORD(lparam))};
            show_quick_menu(window, p);
            return 0;
        }
        // Focus and keys as in a pane: a click takes the focus, the main window handles
        // the keys, the focus code is told and answers the screen reader.
        case WM_LBUTTONDOWN:
            SetFocus(window);
            return 0;
        case WM_KEYDOWN:
            return SendMessageW(ui_state.main_window, message, wparam, lparam);
        case WM_SETFOCUS:
        case WM_KILLFOCUS:
            pane_focus_changed(window, message == WM_SETFOCUS);
            return 0;
        case WM_GETOBJECT: {
            LRESULT result = 0;
            if (answer_get_object(window, wparam, lparam, result)) {
                return result;
            }
            break;
        }
        case WM_COMMAND:
        case WM_INITMENUPOPUP:
            return SendMessageW(ui_state.main_window, message, wparam, lparam);
        case WM_DESTROY:
            view = nullptr;
            return 0;
        default:
            break;
    }
    return DefWindowProcW(window, message, wparam, lparam);
}

HWND create_view(const ChildRect& r) {
    WNDCLASSW wc = {};
    wc.style = CS_DBLCLKS;
    wc.lpfnWndProc = merged_view_proc;
    wc.hInstance = ui_state.instance;
    wc.hCursor = LoadCursorW(nullptr, system_resource(IDC_ARROW));
    wc.lpszClassName = L"MergedView";
    // Registered by an earlier start in this process (the tests start more than once).
    if (RegisterClassW(&wc) == 0 && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) {
        return nullptr;
    }
    return CreateWindowW(L"MergedView", L"Merged result", WS_CHILD | WS_BORDER, r.x, r.y, r.width,
                         r.height, ui_state.main_window, nullptr, ui_state.instance, nullptr);
}

}  // namespace

void place_merged_view(const ChildRect& r) {
    const bool shown = r.width > 0 && r.height > 0;
    if (view == nullptr && shown) {
        view = create_view(r);
    }
    if (view == nullptr) {
        return;
    }
    MoveWindow(view, r.x, r.y, r.width, r.height, FALSE);
    ShowWindow(view, shown ? SW_SHOWNA : SW_HIDE);
    InvalidateRect(view, nullptr, FALSE);
}

void merged_view_follow() {
    if (view != nullptr && IsWindowVisible(view)) {
        InvalidateRect(view, nullptr, FALSE);
    }
}

HWND merged_view_window() {
    return view;
}

void ui_merged_result_changed() {
    RECT client;
    GetClientRect(ui_state.main_window, &client);
    layout_children(client.right, client.bottom);
    InvalidateRect(ui_state.main_window, nullptr, TRUE);
}
