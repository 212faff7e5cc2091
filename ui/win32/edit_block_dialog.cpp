// "Edit block": the current block's merged text in a multi-line edit control; OK makes
// the control's text the block's text.
#include "ui/win32/windows_api.h"

#include <string>

#include "common/charset.h"
#include "merge/document.h"
#include "merge/resolution.h"
#include "ui/ui_platform.h"
#include "ui/win32/ui_state.h"
#include "ui/win32/wide.h"

namespace {

constexpr int EDIT_TEXT_ID = 1000;

// The block's text as UTF-8, and whether it is the block's bytes exactly (UTF-8 sides):
// untouched, OK then hands those bytes on, so that none is lost to the conversions.
struct EditStart {
    std::string utf8;
    bool exact = true;
};

EditStart start_text() {
    EditStart start;
    const std::string bytes = block_edit_text(current_block());
    const DisplayCharset charset = merge_document.left.charset;
    if (charset == CHARSET_UTF8) {
        start.utf8 = bytes;
    } else {
        append_display_utf8(bytes, charset, start.utf8);
        start.exact = false;
    }
    return start;
}

// Line feeds as the edit control shows line breaks.
std::wstring control_text(const std::string& utf8) {
    const std::wstring lines = wide(utf8);
    std::wstring out;
    out.reserve(lines.size() + lines.size() / 8);
    for (wchar_t c : lines) {
        if (c == L'\n') {
            out += L'\r';
        }
        out += c;
    }
    return out;
}

void on_init(HWND dialog, const EditStart& start) {
    HWND edit = GetDlgItem(dialog, EDIT_TEXT_ID);
    // No limit but memory: a paste of 100,000 lines must fit.
    SendMessageW(edit, EM_SETLIMITTEXT, 0, 0);
    SetWindowTextW(edit, control_text(start.utf8).c_str());
    SendMessageW(edit, EM_SETMODIFY, FALSE, 0);
}

// Returns 0 when the block took the text (or the dialog may close), -1 to stay open.
int on_ok(HWND dialog, const EditStart& start) {
    HWND edit = GetDlgItem(dialog, EDIT_TEXT_ID);
    if (SendMessageW(edit, EM_GETMODIFY, 0, 0) == 0) {
        return edit_current_block(start.utf8) == 0 ? 0 : -1;
    }
    const int length = GetWindowTextLengthW(edit);
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    const int got = GetWindowTextW(edit, text.data(), length + 1);
    text.resize(static_cast<std::size_t>(got > 0 ? got : 0));
    return edit_current_block(narrow(text)) == 0 ? 0 : -1;
}

INT_PTR CALLBACK edit_block_proc(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
        case WM_INITDIALOG:
            SetWindowLongPtrW(dialog, DWLP_USER, lparam);
            on_init(dialog, *reinterpret_cast<const EditStart*>(lparam));
            return TRUE;
        case WM_COMMAND: {
            const auto* start =
                reinterpret_cast<const EditStart*>(GetWindowLongPtrW(dialog, DWLP_USER));
            if (LOWORD(wparam) == IDOK && start != nullptr) {
                // A refusal (no memory) was reported; the text stays for another try.
                if (on_ok(dialog, *start) == 0) {
                    EndDialog(dialog, 1);
                }
                return TRUE;
            }
            if (LOWORD(wparam) == IDCANCEL) {
                EndDialog(dialog, 0);
                return TRUE;
            }
            break;
        }
        default:
            break;
    }
    return FALSE;
}

}  // namespace

void ui_edit_block_dialog() {
    if (current_block() < 0) {
        return;
    }
    const EditStart start = start_text();
    DialogBoxParamW(ui_state.instance, L"EDIT_BLOCK_DIALOG", ui_state.main_window, edit_block_proc,
                    reinterpret_cast<LPARAM>(&start));
}
