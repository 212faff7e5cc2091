#include "ui/win32/windows_api.h"

#include <commctrl.h>

#include <algorithm>
#include <string>
#include <string_view>

#include "common/charset.h"
#include "common/fresh_pages.h"
#include "common/report.h"
#include "merge/document.h"
#include "ui/command_line.h"
#include "ui/exit_status.h"
#include "ui/startup.h"
#include "ui/win32/command_menus.h"
#include "ui/win32/ui_state.h"
#include "ui/win32/wide.h"
#include "ui/win32/window_procs.h"

UiState ui_state;
const char APP_TITLE[] = "Pairex v1.2732";

namespace {

bool register_one(const WNDCLASSW& wc) {
    if (RegisterClassW(&wc) != 0) {
        return true;
    }
    // Registered by an earlier start in this process (the tests start more than once).
    return GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

}  // namespace

int register_window_classes(HINSTANCE instance) {
    // Wide classes: their procedures get wide messages, and DefWindowProcW matches them.
    WNDCLASSW wc = {};
    wc.style = CS_HREDRAW | CS_VREDRAW;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorW(nullptr, system_resource(IDC_ARROW));

    wc.lpfnWndProc = main_window_proc;
    wc.hIcon = LoadIconW(instance, L"APP_ICON");
    wc.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_WINDOW + 1));
    wc.lpszClassName = L"PAIREX";
    bool ok = register_one(wc);

    wc.hIcon = LoadIconW(nullptr, system_resource(IDI_APPLICATION));
    wc.lpfnWndProc = title_window_proc;
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(LTGRAY_BRUSH));
    wc.lpszClassName = L"DiffTitle";
    ok = register_one(wc) && ok;

    wc.lpfnWndProc = pane_window_proc;
    wc.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_WINDOW + 1));
    wc.lpszClassName = L"DiffEdit";
    ok = register_one(wc) && ok;

    wc.lpfnWndProc = position_bar_proc;
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    wc.lpszClassName = L"position_bar";
    ok = register_one(wc) && ok;
    return ok ? 0 : -1;
}

void load_3d_controls(HINSTANCE instance) {
    // The library only exists for platform versions before 4; later ones draw 3-D
    // controls themselves.
    DWORD version = GetVersion();
    if (LOBYTE(LOWORD(version)) >= 4) {
        return;
    }
    wchar_t system_path[MAX_PATH];
    wchar_t windows_path[MAX_PATH];
    bool found = false;
    UINT n = GetSystemDirectoryW(system_path, MAX_PATH);
    if (n > 0 && n + 13 < MAX_PATH) {
        lstrcatW(system_path, L"\\CTL3D32.DLL");
        found = GetFileAttributesW(system_path) != INVALID_FILE_ATTRIBUTES;
    }
    n = GetWindowsDirectoryW(windows_path, MAX_PATH);
    if (!found && n > 0 && n + 13 < MAX_PATH) {
        lstrcatW(windows_path, L"\\CTL3D32.DLL");
        found = GetFileAttributesW(windows_path) != INVALID_FILE_ATTRIBUTES;
    }
    if (!found) {
        return;
    }
    HMODULE library = LoadLibraryW(L"CTL3D32.DLL");
    if (library == nullptr) {
        return;
    }
    using Ctl3dFunction = BOOL(WINAPI*)(HINSTANCE);
    auto reg = reinterpret_cast<Ctl3dFunction>(
        reinterpret_cast<void (*)()>(GetProcAddress(library, "Ctl3dRegister")));
    if (reg != nullptr && reg(instance)) {
        auto subclass = reinterpret_cast<Ctl3dFunction>(
            reinterpret_cast<void (*)()>(GetProcAddress(library, "Ctl3dAutoSubclass")));
        if (subclass != nullptr) {
            subclass(instance);
        }
    }
    // The library stays loaded until the process ends.
}

// 8-bit text is shown in the system's ANSI code page: the text of a file that is not
// UTF-8 was most likely written in it. Appends the bytes' UTF-8 to `out`.
static bool decode_ansi_code_page(std::string_view bytes, std::string& out) {
    bool exact = false;
    if (!append_from_code_page(bytes, system_ansi_code_page(), out, &exact)) {
        decode_windows_1252(bytes, out);
        return false;
    }
    return exact;
}

// UTF-8 into the same code page, refusing what it cannot hold.
static bool encode_ansi_code_page(std::string_view utf8, std::string& out) {
    return append_to_code_page(utf8, system_ansi_code_page(), out);
}

// Locks and unlocks a fresh block a step at a time, which brings its pages in with one
// call a step. Under wine a first touch of fresh memory faults a page at a time, and
// reading a 135 MB file into it so took half again as long. Each step stays within the
// least working set a lock may use; a refused lock changes nothing but speed.
static void lock_pages_in(void* block, std::size_t bytes) {
    constexpr std::size_t STEP = std::size_t{64} << 10;
    auto* const p = static_cast<char*>(block);
    for (std::size_t done = 0; done < bytes; done += STEP) {
        const std::size_t n = std::min(STEP, bytes - done);
        if (VirtualLock(p + done, n) == 0) {
            return;
        }
        VirtualUnlock(p + done, n);
    }
}

int app_main(HINSTANCE instance, HINSTANCE previous, const char* command_line) {
    ui_state.instance = instance;
    bring_in_pages = lock_pages_in;
    set_ansi_decoder(decode_ansi_code_page);
    set_ansi_encoder(encode_ansi_code_page);
    // The manifest asks for the current common controls; they are registered here, before
    // any dialog. Without them the older controls still work, so a failure is ignored.
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);
    if (previous == nullptr) {
        register_window_classes(instance);
    }
    ui_state.accelerators = command_accelerators();
    // Start-up goes on after a command-line error with the options recognised so far.
    parse_command_line(command_line != nullptr ? command_line : "");
    if (start_application() != 0) {
        report_message("Error loading program", SEVERITY_ERROR);
        return exit_status();
    }
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        if (TranslateAcceleratorW(ui_state.main_window, ui_state.accelerators, &msg) == 0) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    }
    // The quit message's code is always 0; the status says whether "outf" was written.
    return exit_status();
}
