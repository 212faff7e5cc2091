#include "tests/win32/driver.h"

#include "merge/document.h"
#include "ui/command_line.h"
#include "ui/settings.h"
#include "ui/startup.h"
#include "ui/scrolling.h"
#include "ui/win32/ui_state.h"
#include "ui/win32/wide.h"

namespace {
ProgramDriver* current = nullptr;
}

int ProgramDriver::run(const char* command_line) {
    current = this;
    next_ = 0;
    started_ = GetTickCount();
    HHOOK hook = SetWindowsHookExA(WH_CBT, on_cbt, nullptr, GetCurrentThreadId());
    UINT_PTR timer = SetTimer(nullptr, 0, 20, on_timer);
    int code = app_main(GetModuleHandleA(nullptr), nullptr, command_line);
    KillTimer(nullptr, timer);
    UnhookWindowsHookEx(hook);
    current = nullptr;
    return code;
}

ProgramDriver::Step ProgramDriver::post(int command_id) {
    return [command_id] {
        PostMessageA(ui_state.main_window, WM_COMMAND, static_cast<WPARAM>(command_id), 0);
        return true;
    };
}

ProgramDriver::Step ProgramDriver::wait_until(std::function<bool()> condition) {
    return condition;
}

ProgramDriver::Step ProgramDriver::check(std::function<void()> body) {
    return [body] {
        body();
        return true;
    };
}

LRESULT CALLBACK ProgramDriver::on_cbt(int code, WPARAM wparam, LPARAM lparam) {
    if (code == HCBT_ACTIVATE && current != nullptr) {
        HWND window = reinterpret_cast<HWND>(wparam);
        char cls[32] = {};
        GetClassNameA(window, cls, sizeof cls);
        if (lstrcmpA(cls, "#32770") == 0) {
            current->pending_ = window;
        }
    }
    return CallNextHookEx(nullptr, code, wparam, lparam);
}

void ProgramDriver::answer(HWND dialog) {
    // Wide, so that captions, texts and names in any script come through whole.
    wchar_t wide_caption[256] = {};
    wchar_t wide_text[1024] = {};
    GetWindowTextW(dialog, wide_caption, 256);
    GetDlgItemTextW(dialog, 0xFFFF, wide_text, 1024);
    const std::string caption = narrow(wide_caption);
    const std::string text = narrow(wide_text);
    if (confirm_quit_question && text == QUIT_QUESTION) {
        ++quit_questions;
        PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDYES, BN_CLICKED), 0);
        return;
    }
    seen.push_back({caption, text});
    DialogAnswer a{IDCANCEL, {}};
    if (!answers.empty()) {
        a = answers.front();
        answers.pop_front();
    }
    if (!a.path.empty()) {
        // The classic dialog of the directory pickers has its (hidden) name box edt1; the
        // explorer-style one takes the name through its own message.
        const std::wstring path = wide(a.path);
        HWND classic_name = GetDlgItem(dialog, edt1);
        if (classic_name != nullptr) {
            SetWindowTextW(classic_name, path.c_str());
        } else {
            SendMessageW(dialog, CDM_SETCONTROLTEXT, cmb13, reinterpret_cast<LPARAM>(path.c_str()));
        }
    }
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(a.button, BN_CLICKED), 0);
}

void CALLBACK ProgramDriver::on_timer(HWND, UINT, UINT_PTR, DWORD) {
    ProgramDriver* d = current;
    if (d == nullptr) {
        return;
    }
    if (d->pending_ != nullptr && IsWindow(d->pending_)) {
        HWND dialog = d->pending_;
        d->pending_ = nullptr;
        d->answer(dialog);
        return;
    }
    if (GetTickCount() - d->started_ > static_cast<DWORD>(d->timeout_ms)) {
        if (!d->timed_out_) {
            d->timed_out_ = true;
            PostQuitMessage(0);
        }
        return;
    }
    // A step that opened a modal box runs its loop, which calls this timer again.
    if (d->busy_ || d->next_ >= d->steps.size() || ui_state.main_window == nullptr) {
        return;
    }
    d->busy_ = true;
    if (d->steps[d->next_]()) {
        ++d->next_;
    }
    d->busy_ = false;
}

std::string settings_folder_path() {
    wchar_t dir[MAX_PATH] = {};
    const DWORD n = GetEnvironmentVariableW(L"APPDATA", dir, MAX_PATH);
    return narrow(std::wstring_view(dir, n < MAX_PATH ? n : 0)) + "\\Pairex";
}

std::string settings_file_path() {
    return settings_folder_path() + "\\pairex.ini";
}

std::string old_settings_file_path() {
    char dir[MAX_PATH] = {};
    GetWindowsDirectoryA(dir, MAX_PATH);
    return std::string(dir) + "\\pairex.ini";
}

std::string ini_get(const char* section, const char* key) {
    wchar_t value[4096] = {};
    GetPrivateProfileStringW(wide(section).c_str(), wide(key).c_str(), L"<missing>", value, 4096,
                             wide(settings_file_path()).c_str());
    return narrow(value);
}

void ini_set(const char* section, const char* key, const char* value) {
    // A null key removes the section, a null value the key.
    const std::wstring k = key != nullptr ? wide(key) : L"";
    const std::wstring v = value != nullptr ? wide(value) : L"";
    WritePrivateProfileStringW(wide(section).c_str(), key != nullptr ? k.c_str() : nullptr,
                               value != nullptr ? v.c_str() : nullptr,
                               wide(settings_file_path()).c_str());
}

void flush_settings_cache() {
    WritePrivateProfileStringW(nullptr, nullptr, nullptr, wide(settings_file_path()).c_str());
}

void reset_program_state() {
    if (ui_state.main_window != nullptr && IsWindow(ui_state.main_window)) {
        DestroyWindow(ui_state.main_window);
    }
    if (ui_state.directory_menu != nullptr) {
        DestroyMenu(ui_state.directory_menu);
    }
    if (ui_state.quick_menu != nullptr) {
        DestroyMenu(ui_state.quick_menu);
    }
    ui_state = UiState{};
    reset_settings();
    reset_command_line();
    reset_startup_state();
    view_metrics = ViewMetrics{};
    wheel_state = WheelState{};
    // Kept across loads by design, so across runs in one process too: start at 0.
    merge_document.left.first_column = 0;
    merge_document.right.first_column = 0;
    // Drop a quit message left from a run whose window was closed after its loop.
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    }
    flush_settings_cache();
    DeleteFileW(wide(settings_file_path()).c_str());
    // No older file to start from; the folder made, so that a test may write the file.
    DeleteFileA(old_settings_file_path().c_str());
    CreateDirectoryW(wide(settings_folder_path()).c_str(), nullptr);
}
