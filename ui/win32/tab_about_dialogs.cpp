#include "ui/win32/windows_api.h"

#include <cstdio>

#include "ui/settings.h"
#include "ui/tab_size_text.h"
#include "ui/ui_platform.h"
#include "ui/win32/dialogs.h"
#include "ui/win32/ui_state.h"
#include "ui/win32/wide.h"

namespace {

constexpr int TAB_EDIT_ID = 107;
constexpr int ABOUT_TITLE_ID = 106;

void tab_dialog_start(HWND dialog) {
    char text[16];
    std::snprintf(text, sizeof text, "%d", settings.tab_size);
    SetDlgItemTextW(dialog, TAB_EDIT_ID, wide(text).c_str());
    // Only what is read can be typed.
    SendDlgItemMessageW(dialog, TAB_EDIT_ID, EM_LIMITTEXT, TAB_TEXT_MAX, 0);
}

void tab_dialog_ok(HWND dialog) {
    // Untouched, the field shows the size in use; a stored size longer than the
    // characters read must not be cut to a different one.
    if (SendDlgItemMessageW(dialog, TAB_EDIT_ID, EM_GETMODIFY, 0, 0) == 0) {
        return;
    }
    wchar_t text[TAB_TEXT_MAX + 1] = {};
    GetDlgItemTextW(dialog, TAB_EDIT_ID, text, TAB_TEXT_MAX + 1);
    apply_tab_size_text(narrow(text).c_str());
}

}  // namespace

INT_PTR CALLBACK tab_dialog_proc(HWND dialog, UINT message, WPARAM wparam, LPARAM) {
    switch (message) {
        case WM_INITDIALOG:
            tab_dialog_start(dialog);
            return TRUE;
        case WM_COMMAND:
            if (LOWORD(wparam) == IDOK) {
                tab_dialog_ok(dialog);
                EndDialog(dialog, 1);
                return TRUE;
            }
            if (LOWORD(wparam) == IDCANCEL) {
                EndDialog(dialog, 0);
                return TRUE;
            }
            break;
        default:
            break;
    }
    return FALSE;
}

INT_PTR CALLBACK about_dialog_proc(HWND dialog, UINT message, WPARAM wparam, LPARAM) {
    switch (message) {
        case WM_INITDIALOG:
            SetDlgItemTextW(dialog, ABOUT_TITLE_ID, wide(APP_TITLE).c_str());
            return TRUE;
        case WM_COMMAND:
            // Escape and the close box end it like OK.
            if (LOWORD(wparam) == IDOK || LOWORD(wparam) == IDCANCEL) {
                EndDialog(dialog, 0);
                return TRUE;
            }
            break;
        default:
            break;
    }
    return FALSE;
}

void ui_tab_size_dialog() {
    DialogBoxParamW(ui_state.instance, L"TAB_DIALOG", ui_state.main_window, tab_dialog_proc, 0);
}

void ui_about_box() {
    DialogBoxParamW(ui_state.instance, L"ABOUT_DIALOG", ui_state.main_window, about_dialog_proc, 0);
}
