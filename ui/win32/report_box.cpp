#include "ui/win32/windows_api.h"

#include <string>

#include "common/report.h"
#include "ui/win32/dialog_template.h"
#include "ui/win32/question_box.h"
#include "ui/win32/wide.h"

int report_message(const char* text, int severity) {
    const char* caption = "Error";
    UINT icon = MB_ICONSTOP;
    if (severity == SEVERITY_WARNING) {
        caption = "Warning";
        icon = MB_ICONEXCLAMATION;
    } else if (severity == SEVERITY_INFO) {
        caption = "Info";
        icon = MB_ICONINFORMATION;
    }
    // No owner window: the box also works before the main window exists.
    return MessageBoxW(nullptr, wide(text).c_str(), wide(caption).c_str(),
                       MB_OK | icon | MB_TASKMODAL);
}

namespace {

// The question box is a dialog laid out as the system's message box is: the icon, the
// text in static control 0xFFFF, the buttons in a row below (dialog units).
constexpr short MARGIN = 8;
constexpr short TEXT_LEFT = 36;
constexpr short BUTTON_WIDTH = 50;
constexpr short BUTTON_HEIGHT = 14;
constexpr short BUTTON_GAP = 4;
constexpr short TEXT_HEIGHT = 24;
constexpr WORD TEXT_ID = 0xFFFF;
constexpr WORD ICON_ID = 100;  // not 20, the system box's icon id: that is "Yes to all"

struct ButtonSpec {
    WORD id;
    const wchar_t* label;
};
constexpr ButtonSpec BUTTONS[] = {{QUESTION_YES, L"&Yes"},
                                  {QUESTION_YES_TO_ALL, L"Yes to &all"},
                                  {QUESTION_NO, L"&No"},
                                  {QUESTION_NO_TO_ALL, L"N&o to all"},
                                  {QUESTION_CANCEL, L"Cancel"}};
constexpr short BUTTON_COUNT = sizeof BUTTONS / sizeof BUTTONS[0];
constexpr short DIALOG_WIDTH =
    2 * MARGIN + BUTTON_COUNT * BUTTON_WIDTH + (BUTTON_COUNT - 1) * BUTTON_GAP;

// Moves a child down by `dy` pixels.
void move_down(HWND dialog, HWND child, int dy) {
    RECT r;
    GetWindowRect(child, &r);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&r), 2);
    SetWindowPos(child, nullptr, r.left, r.top + dy, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
}

// Makes the text control as tall as its text, and the box with it.
void fit_text(HWND dialog) {
    HWND text = GetDlgItem(dialog, TEXT_ID);
    RECT r;
    GetWindowRect(text, &r);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&r), 2);
    const int length = GetWindowTextLengthW(text);
    std::wstring s(static_cast<std::size_t>(length) + 1, L'\0');
    GetWindowTextW(text, s.data(), length + 1);
    HDC dc = GetDC(text);
    HGDIOBJ old =
        SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageW(dialog, WM_GETFONT, 0, 0)));
    RECT need = {0, 0, r.right - r.left, 0};
    DrawTextW(dc, s.c_str(), length, &need,
              DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX | DT_EXPANDTABS);
    SelectObject(dc, old);
    ReleaseDC(text, dc);
    const int dy = need.bottom - (r.bottom - r.top);
    if (dy <= 0) {
        return;
    }
    SetWindowPos(text, nullptr, 0, 0, r.right - r.left, need.bottom, SWP_NOMOVE | SWP_NOZORDER);
    for (const ButtonSpec& b : BUTTONS) {
        move_down(dialog, GetDlgItem(dialog, b.id), dy);
    }
    RECT w;
    GetWindowRect(dialog, &w);
    SetWindowPos(dialog, nullptr, w.left, w.top - dy / 2, w.right - w.left, w.bottom - w.top + dy,
                 SWP_NOZORDER);
}

INT_PTR CALLBACK question_proc(HWND dialog, UINT message, WPARAM wparam, LPARAM) {
    switch (message) {
        case WM_INITDIALOG:
            SendDlgItemMessageW(
                dialog, ICON_ID, STM_SETICON,
                reinterpret_cast<WPARAM>(LoadIconW(nullptr, system_resource(IDI_QUESTION))), 0);
            fit_text(dialog);
            MessageBeep(MB_ICONQUESTION);
            return TRUE;
        case WM_COMMAND:
            for (const ButtonSpec& b : BUTTONS) {
                if (LOWORD(wparam) == b.id) {
                    EndDialog(dialog, b.id);
                    return TRUE;
                }
            }
            return FALSE;
        case WM_CLOSE:
            EndDialog(dialog, QUESTION_CANCEL);
            return TRUE;
        default:
            return FALSE;
    }
}

}  // namespace

int ask_with_all_buttons(HWND owner, const char* caption, const char* text) {
    constexpr short BUTTONS_TOP = MARGIN + TEXT_HEIGHT + 6;
    DialogTemplate t;
    t.header(DS_MODALFRAME | DS_SETFONT | DS_CENTER | WS_POPUP | WS_CAPTION | WS_SYSMENU,
             2 + BUTTON_COUNT, DIALOG_WIDTH, BUTTONS_TOP + BUTTON_HEIGHT + MARGIN, wide(caption),
             L"MS Shell Dlg");
    t.item(SS_ICON, STATIC_ATOM, ICON_ID, {MARGIN, MARGIN, 20, 20}, L"");
    t.item(SS_LEFT | SS_NOPREFIX, STATIC_ATOM, TEXT_ID,
           {TEXT_LEFT, MARGIN, DIALOG_WIDTH - TEXT_LEFT - MARGIN, TEXT_HEIGHT}, wide(text));
    short x = MARGIN;
    for (const ButtonSpec& b : BUTTONS) {
        const DWORD kind = b.id == QUESTION_YES ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON;
        t.item(kind | WS_TABSTOP, BUTTON_ATOM, b.id, {x, BUTTONS_TOP, BUTTON_WIDTH, BUTTON_HEIGHT},
               b.label);
        x = static_cast<short>(x + BUTTON_WIDTH + BUTTON_GAP);
    }
    const INT_PTR r =
        DialogBoxIndirectParamW(GetModuleHandleW(nullptr), t.get(), owner, question_proc, 0);
    return r <= 0 ? QUESTION_CANCEL : static_cast<int>(r);
}
