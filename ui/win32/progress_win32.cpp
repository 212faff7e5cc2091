// The progress of long work on the main window: the title bar (and the taskbar button,
// where the system has one) says what runs and how far it came, the window repaints,
// and of the user's input only Escape (stop) and closing the window (stop, then close)
// count while the work runs. No command runs in between: a posted one waits, and one
// that a message box's loop would deliver is posted again once the work has ended.
#include "ui/win32/windows_api.h"

#include <shobjidl.h>

#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

#include "common/progress.h"
#include "ui/win32/progress_win32.h"
#include "ui/win32/ui_state.h"
#include "ui/win32/wide.h"

namespace {

// The title shown stays this long after work ended: the next step of a walk comes sooner.
constexpr UINT TITLE_RESTORE_MS = 250;
constexpr UINT_PTR TITLE_TIMER_ID = 0x5052;
// Paint messages dispatched in one poll at most (a pane that never validates would loop).
constexpr int MAX_PAINTS_PER_POLL = 16;

bool stop_asked = false;
bool close_after = false;
bool title_shown = false;
// The restore timer runs; set once, not at every end: a walk's steps end hundreds of
// times a second, and each timer call is a trip to the window system.
bool restore_armed = false;
ProgressClock::time_point last_end;
std::wstring shown_title;
std::vector<WPARAM> held_commands;

ITaskbarList3* taskbar = nullptr;
bool taskbar_tried = false;

// The taskbar button's progress; none where the system offers it not (wine, old Windows).
ITaskbarList3* taskbar_list() {
    if (!taskbar_tried) {
        taskbar_tried = true;
        const HRESULT init = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        void* object = nullptr;
        if ((SUCCEEDED(init) || init == RPC_E_CHANGED_MODE) &&
            SUCCEEDED(CoCreateInstance(CLSID_TaskbarList, nullptr, CLSCTX_INPROC_SERVER,
                                       IID_ITaskbarList3, &object)) &&
            object != nullptr) {
            taskbar = static_cast<ITaskbarList3*>(object);
            if (FAILED(taskbar->HrInit())) {
                taskbar->Release();
                taskbar = nullptr;
            }
        }
    }
    return taskbar;
}

void show_progress(const char* activity, std::uint64_t done, std::uint64_t total) {
    const HWND window = ui_state.main_window;
    std::string text = std::string(APP_TITLE) + " - " + activity;
    if (total > 0) {
        char percent[16];
        std::snprintf(percent, sizeof percent, " %u%%",
                      static_cast<unsigned>(done >= total ? 100 : done * 100 / total));
        text += percent;
    } else {
        text += "...";
    }
    text += " (Esc stops)";
    const std::wstring title = wide(text);
    if (!title_shown || title != shown_title) {
        SetWindowTextW(window, title.c_str());
        shown_title = title;
    }
    title_shown = true;
    if (ITaskbarList3* list = taskbar_list()) {
        if (total > 0) {
            list->SetProgressValue(window, done, total);
        } else {
            list->SetProgressState(window, TBPF_INDETERMINATE);
        }
    }
}

void CALLBACK restore_title(HWND window, UINT, UINT_PTR, DWORD) {
    KillTimer(window, TITLE_TIMER_ID);
    restore_armed = false;
    if (!title_shown || progress_busy()) {
        return;  // the work's end arms it again
    }
    const auto since_end = ProgressClock::now() - last_end;
    if (since_end < std::chrono::milliseconds(TITLE_RESTORE_MS)) {
        const auto rest = std::chrono::duration_cast<std::chrono::milliseconds>(
            std::chrono::milliseconds(TITLE_RESTORE_MS) - since_end);
        SetTimer(window, TITLE_TIMER_ID, static_cast<UINT>(rest.count()) + 1, restore_title);
        restore_armed = true;
        return;
    }
    title_shown = false;
    SetWindowTextW(window, wide(APP_TITLE).c_str());
    if (taskbar != nullptr) {
        taskbar->SetProgressState(window, TBPF_NOPROGRESS);
    }
}

// Whether `msg` is input for another top-level window than the main window: the print
// job's abort dialog, whose Cancel button must go on working while the work polls.
bool for_another_window(HWND main, const MSG& msg) {
    return msg.hwnd != nullptr && GetAncestor(msg.hwnd, GA_ROOT) != main;
}

void pass_on(const MSG& msg) {
    HWND root = GetAncestor(msg.hwnd, GA_ROOT);
    wchar_t name[8] = {};
    if (root != nullptr && GetClassNameW(root, name, 8) > 0 && std::wcscmp(name, L"#32770") == 0 &&
        IsDialogMessageW(root, const_cast<MSG*>(&msg))) {
        return;
    }
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
}

// Takes the input that came in since the last poll: Escape stops, Alt+F4 or a click on
// the close box stops and closes; other input for the main window is dropped (it would
// act on a document the work is about to change), that for another window goes on.
void take_input(HWND window) {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, WM_KEYFIRST, WM_KEYLAST, PM_REMOVE)) {
        if (msg.message == WM_KEYDOWN && msg.wParam == VK_ESCAPE) {
            stop_asked = true;
        } else if (msg.message == WM_SYSKEYDOWN && msg.wParam == VK_F4) {
            stop_asked = close_after = true;
        } else if (for_another_window(window, msg)) {
            pass_on(msg);
        }
    }
    while (PeekMessageW(&msg, nullptr, WM_MOUSEFIRST, WM_MOUSELAST, PM_REMOVE)) {
        if (for_another_window(window, msg)) {
            pass_on(msg);
        }
    }
    while (PeekMessageW(&msg, nullptr, WM_NCMOUSEMOVE, WM_NCXBUTTONDBLCLK, PM_REMOVE)) {
        if (msg.message == WM_NCLBUTTONDOWN && msg.wParam == HTCLOSE && msg.hwnd == window) {
            stop_asked = close_after = true;
        } else if (for_another_window(window, msg)) {
            pass_on(msg);
        }
    }
    while (PeekMessageW(&msg, window, WM_CLOSE, WM_CLOSE, PM_REMOVE)) {
        stop_asked = close_after = true;
    }
}

bool poll(const char* activity, std::uint64_t done, std::uint64_t total, bool visible) {
    const HWND window = ui_state.main_window;
    if (window == nullptr) {
        return true;
    }
    if (visible) {
        show_progress(activity, done, total);
    }
    // Peeking also delivers the messages sent to the window (a WM_NULL, a sent close).
    take_input(window);
    MSG msg;
    for (int i = 0;
         i < MAX_PAINTS_PER_POLL && PeekMessageW(&msg, nullptr, WM_PAINT, WM_PAINT, PM_REMOVE);
         ++i) {
        DispatchMessageW(&msg);
    }
    return !stop_asked;
}

void ended() {
    const HWND window = ui_state.main_window;
    stop_asked = false;
    if (window == nullptr) {
        return;
    }
    for (const WPARAM command : held_commands) {
        PostMessageW(window, WM_COMMAND, command, 0);
    }
    held_commands.clear();
    if (close_after) {
        close_after = false;
        PostMessageW(window, WM_CLOSE, 0, 0);
    }
    if (title_shown) {
        last_end = ProgressClock::now();
        if (!restore_armed) {
            SetTimer(window, TITLE_TIMER_ID, TITLE_RESTORE_MS, restore_title);
            restore_armed = true;
        }
    }
}

const ProgressReporter WINDOW_REPORTER = {poll, ended};

}  // namespace

void install_progress_reporter() {
    // A new main window (the tests start the program again in one process) starts clean.
    stop_asked = close_after = title_shown = restore_armed = false;
    held_commands.clear();
    progress_set_reporter(&WINDOW_REPORTER);
}

const ProgressReporter& window_progress_reporter() {
    return WINDOW_REPORTER;
}

bool progress_holds_message(UINT message, WPARAM wparam) {
    if (!progress_busy()) {
        return false;
    }
    switch (message) {
        case WM_CLOSE:
            stop_asked = close_after = true;
            return true;
        case WM_SYSCOMMAND:
            // Moving, sizing or the menu would run their own message loops.
            if ((wparam & 0xFFF0) == SC_CLOSE) {
                stop_asked = close_after = true;
            }
            return true;
        case WM_COMMAND:
            // A disabled window (a print job runs) takes no commands: they are dropped.
            if (IsWindowEnabled(ui_state.main_window)) {
                held_commands.push_back(wparam);
            }
            return true;
        case WM_DROPFILES:
            DragFinish(reinterpret_cast<HDROP>(wparam));
            return true;
        default:
            return false;
    }
}
