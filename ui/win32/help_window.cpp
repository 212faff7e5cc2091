#include "ui/win32/windows_api.h"

#include <string>

#include "ui/help_text.h"
#include "ui/ui_platform.h"
#include "ui/win32/dialog_template.h"
#include "ui/win32/dialogs.h"
#include "ui/win32/ui_state.h"
#include "ui/win32/wide.h"

namespace {

const wchar_t HELP_FILE[] = L"pairex.hlp";

// The page fills the window above a centred OK button.
void place_controls(HWND dialog) {
    RECT client;
    GetClientRect(dialog, &client);
    RECT unit = {0, 0, 50, 14};
    MapDialogRect(dialog, &unit);
    const int margin = unit.bottom / 2;
    const int button_top = client.bottom - margin - unit.bottom;
    MoveWindow(GetDlgItem(dialog, HELP_TEXT_ID), margin, margin, client.right - 2 * margin,
               button_top - 2 * margin, TRUE);
    MoveWindow(GetDlgItem(dialog, IDOK), (client.right - unit.right) / 2, button_top, unit.right,
               unit.bottom, TRUE);
}

void help_start(HWND dialog, const char* page) {
    HWND edit = GetDlgItem(dialog, HELP_TEXT_ID);
    // Columns line up only in a font whose characters are all as wide.
    SendMessageW(edit, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(ANSI_FIXED_FONT)), 0);
    SetWindowTextW(edit, wide(page).c_str());
    place_controls(dialog);
    // On the button, not in the page: the edit would show all of its text selected.
    SetFocus(GetDlgItem(dialog, IDOK));
}

INT_PTR CALLBACK help_dialog_proc(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
        case WM_INITDIALOG:
            help_start(dialog, reinterpret_cast<const char*>(lparam));
            return FALSE;
        case WM_SIZE:
            place_controls(dialog);
            return TRUE;
        case WM_COMMAND:
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

// The edit control breaks lines at CR LF only.
std::string with_crlf(const std::string& text) {
    std::string out;
    out.reserve(text.size() + text.size() / 32);
    for (char c : text) {
        if (c == '\n') {
            out += '\r';
        }
        out += c;
    }
    return out;
}

}  // namespace

bool find_help_file(std::string& path) {
    // The system's search order for a bare name: the program's directory first.
    wchar_t found[MAX_PATH] = {};
    const DWORD n = SearchPathW(nullptr, HELP_FILE, nullptr, MAX_PATH, found, nullptr);
    if (n == 0 || n >= MAX_PATH) {
        return false;
    }
    const DWORD attributes = GetFileAttributesW(found);
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        return false;
    }
    path = narrow(found);
    return true;
}

void show_help_window(HWND owner) {
    const std::string page = with_crlf(build_help_text(APP_TITLE));
    DialogTemplate t;
    t.header(DS_MODALFRAME | DS_SETFONT | DS_CENTER | WS_POPUP | WS_CAPTION | WS_SYSMENU |
                 WS_THICKFRAME | WS_MAXIMIZEBOX,
             2, 440, 260, L"Pairex help", L"MS Sans Serif");
    t.item(WS_BORDER | WS_VSCROLL | WS_HSCROLL | WS_TABSTOP | ES_MULTILINE | ES_READONLY |
               ES_AUTOVSCROLL | ES_AUTOHSCROLL,
           EDIT_ATOM, HELP_TEXT_ID, {7, 7, 426, 225}, L"");
    t.item(WS_TABSTOP | BS_DEFPUSHBUTTON, BUTTON_ATOM, IDOK, {195, 239, 50, 14}, L"OK");
    DialogBoxIndirectParamW(ui_state.instance, t.get(), owner, help_dialog_proc,
                            reinterpret_cast<LPARAM>(page.c_str()));
}

void ui_help_contents() {
    // Without a help file, or a viewer for it, the program's own page stands in: the
    // help key must always show something.
    std::string path;
    if (find_help_file(path) &&
        WinHelpW(ui_state.main_window, wide(path).c_str(), HELP_CONTENTS, 0) != FALSE) {
        return;
    }
    show_help_window(ui_state.main_window);
}
