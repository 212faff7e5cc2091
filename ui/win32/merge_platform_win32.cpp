// The merge logic's requests to the window system.
#include "ui/win32/windows_api.h"

#include "merge/document.h"
#include "merge/merge_platform.h"
#include "resources/command_ids.h"
#include "ui/scrolling.h"
#include "ui/view/view_scroll.h"
#include "ui/win32/question_box.h"
#include "ui/win32/ui_state.h"
#include "ui/win32/wide.h"

namespace {

int command_for(Request request) {
    switch (request) {
        case REQUEST_COMPARE_FILES:
            return CMD_COMPARE_FILES;
        case REQUEST_FIRST:
            return CMD_FIRST;
        case REQUEST_CANCEL:
            return CMD_CANCEL;
        case REQUEST_NEXT_PAIR:
            return CMD_NEXT_PAIR;
    }
    return 0;
}

}  // namespace

void platform_repaint_pane(Side side) {
    InvalidateRect(pane_of(side), nullptr, TRUE);
}
void platform_repaint_title(Side side) {
    InvalidateRect(title_of(side), nullptr, TRUE);
}
void platform_repaint_position_bar() {
    InvalidateRect(ui_state.position_bar, nullptr, TRUE);
}

// The bar is painted with the next paint, not at once: a load sets both, and under
// wine each synchronous paint of the bar costs about 4 ms.
void platform_set_scroll_range(int32_t min, int32_t max) {
    SetScrollRange(ui_state.vertical_scrollbar, SB_CTL, min, max, FALSE);
    InvalidateRect(ui_state.vertical_scrollbar, nullptr, TRUE);
}

void platform_set_scroll_position(int32_t position) {
    SetScrollPos(ui_state.vertical_scrollbar, SB_CTL, position, FALSE);
    InvalidateRect(ui_state.vertical_scrollbar, nullptr, TRUE);
}

void platform_scroll_panes(int32_t old_top_row) {
    const int32_t top = merge_document.top_row;
    if (GetScrollPos(ui_state.vertical_scrollbar, SB_CTL) == top + 1) {
        return;
    }
    SetScrollPos(ui_state.vertical_scrollbar, SB_CTL, top + 1, TRUE);
    const int hscroll = view_metrics.hscroll_height;
    for (HWND pane : {ui_state.left_pane, ui_state.right_pane}) {
        RECT client;
        GetClientRect(pane, &client);
        client.bottom -= hscroll;  // the pane's own scrollbar stays where it is
        const VerticalStep step =
            plan_vertical_step(top, old_top_row, old_top_row + 1, merge_document.total_rows,
                               view_metrics.line_height, view_metrics.page_rows, client.bottom);
        // Move the rows that stay visible and paint the uncovered ones at once; then the
        // band next to them, where a partial row may have moved.
        ScrollWindowEx(pane, 0, step.shift, &client, &client, nullptr, nullptr,
                       SW_INVALIDATE | SW_ERASE);
        UpdateWindow(pane);
        if (step.band_bottom > step.band_top) {
            // Erased first: the transparent text of a row drawn over itself looks bold.
            RECT band = {client.left, step.band_top, client.right, step.band_bottom};
            InvalidateRect(pane, &band, TRUE);
        }
    }
}

void platform_redraw_scroll_bar() {
    int position = GetScrollPos(ui_state.vertical_scrollbar, SB_CTL);
    SetScrollPos(ui_state.vertical_scrollbar, SB_CTL, position, TRUE);
}

std::intptr_t platform_show_wait_cursor() {
    HCURSOR previous = SetCursor(LoadCursorW(nullptr, system_resource(IDC_WAIT)));
    return reinterpret_cast<std::intptr_t>(previous);
}

void platform_restore_cursor(std::intptr_t previous) {
    SetCursor(reinterpret_cast<HCURSOR>(previous));
}

Answer platform_ask(const char* caption, const char* text, QuestionButtons buttons) {
    if (buttons == BUTTONS_YES_NO_CANCEL_ALL) {
        switch (ask_with_all_buttons(ui_state.main_window, caption, text)) {
            case QUESTION_YES:
                return ANSWER_YES;
            case QUESTION_NO:
                return ANSWER_NO;
            case QUESTION_YES_TO_ALL:
                return ANSWER_YES_TO_ALL;
            case QUESTION_NO_TO_ALL:
                return ANSWER_NO_TO_ALL;
            default:
                return ANSWER_CANCEL;
        }
    }
    UINT type = (buttons == BUTTONS_YES_NO ? MB_YESNO : MB_YESNOCANCEL) | MB_ICONQUESTION;
    switch (MessageBoxW(ui_state.main_window, wide(text).c_str(), wide(caption).c_str(), type)) {
        case IDYES:
            return ANSWER_YES;
        case IDNO:
            return ANSWER_NO;
        default:
            return ANSWER_CANCEL;
    }
}

// A request arrives at the main window as the command that does its work.
void platform_post_request(Request request) {
    PostMessageW(ui_state.main_window, WM_COMMAND, static_cast<WPARAM>(command_for(request)), 0);
}

int platform_pane_line_height() {
    return view_metrics.line_height > 0 ? view_metrics.line_height : 1;
}
