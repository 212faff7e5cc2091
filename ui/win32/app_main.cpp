#include "ui/win32/windows_api.h"

#include <commctrl.h>

#include "common/report.h"
#include "ui/command_line.h"
#include "ui/exit_status.h"
#include "ui/startup.h"
#include "ui/win32/ui_state.h"
#include "ui/win32/window_procs.h"

UiState ui_state;
const char APP_TITLE[] = "Pairex v1.2732";

namespace {

bool register_one(const WNDCLASSA& wc) {
    if (RegisterClassA(&wc) != 0) {
        return true;
    }
    // Registered by an earlier start in this process (the tests start more than once).
    return GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

}  // namespace

int register_window_classes(HINSTANCE instance) {
    WNDCLASSA wc = {};
    wc.style = CS_HREDRAW | CS_VREDRAW;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);

    wc.lpfnWndProc = main_window_proc;
    wc.hIcon = LoadIconA(instance, "APP_ICON");
    wc.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_WINDOW + 1));
    wc.lpszMenuName = "MAIN_MENU";
    wc.lpszClassName = "PAIREX";
    bool ok = register_one(wc);

    wc.hIcon = LoadIconA(nullptr, IDI_APPLICATION);
    wc.lpszMenuName = nullptr;
    wc.lpfnWndProc = title_window_proc;
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(LTGRAY_BRUSH));
    wc.lpszClassName = "DiffTitle";
    ok = register_one(wc) && ok;

    wc.lpfnWndProc = pane_window_proc;
    wc.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_WINDOW + 1));
    wc.lpszClassName = "DiffEdit";
    ok = register_one(wc) && ok;

    wc.lpfnWndProc = position_bar_proc;
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    wc.lpszClassName = "position_bar";
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
    char system_path[MAX_PATH];
    char windows_path[MAX_PATH];
    bool found = false;
    UINT n = GetSystemDirectoryA(system_path, MAX_PATH);
    if (n > 0 && n + 13 < MAX_PATH) {
        lstrcatA(system_path, "\\CTL3D32.DLL");
        found = GetFileAttributesA(system_path) != INVALID_FILE_ATTRIBUTES;
    }
    n = GetWindowsDirectoryA(windows_path, MAX_PATH);
    if (!found && n > 0 && n + 13 < MAX_PATH) {
        lstrcatA(windows_path, "\\CTL3D32.DLL");
        found = GetFileAttributesA(windows_path) != INVALID_FILE_ATTRIBUTES;
    }
    if (!found) {
        return;
    }
    HMODULE library = LoadLibraryA("CTL3D32.DLL");
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

int app_main(HINSTANCE instance, HINSTANCE previous, const char* command_line) {
    ui_state.instance = instance;
    // The manifest asks for the current common controls; they are registered here, before
    // any dialog. Without them the older controls still work, so a failure is ignored.
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);
    if (previous == nullptr) {
        register_window_classes(instance);
    }
    ui_state.accelerators = LoadAcceleratorsA(instance, "PAIREX_ACC");
    // Start-up goes on after a command-line error with the options recognised so far.
    parse_command_line(command_line != nullptr ? command_line : "");
    if (start_application() != 0) {
        report_message("Error loading program", SEVERITY_ERROR);
        return exit_status();
    }
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        if (TranslateAcceleratorA(ui_state.main_window, ui_state.accelerators, &msg) == 0) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }
    // The quit message's code is always 0; the status says whether "outf" was written.
    return exit_status();
}
