#include "ui/win32/windows_api.h"

#include <commctrl.h>

#include <algorithm>
#include <climits>
#include <string>
#include <string_view>

#include "common/charset.h"
#include "common/report.h"
#include "ui/command_line.h"
#include "ui/exit_status.h"
#include "ui/startup.h"
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
    wc.lpszMenuName = L"MAIN_MENU";
    wc.lpszClassName = L"PAIREX";
    bool ok = register_one(wc);

    wc.hIcon = LoadIconW(nullptr, system_resource(IDI_APPLICATION));
    wc.lpszMenuName = nullptr;
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
// The manifest's UTF-8 code page, where the system honours it, makes CP_ACP UTF-8:
// the code page of the system's locale is the one 8-bit files were written in.
static UINT ansi_code_page() {
    static const UINT code_page = [] {
        DWORD locale_page = 0;
        if (GetLocaleInfoW(LOCALE_SYSTEM_DEFAULT,
                           LOCALE_IDEFAULTANSICODEPAGE | LOCALE_RETURN_NUMBER,
                           reinterpret_cast<LPWSTR>(&locale_page),
                           sizeof locale_page / sizeof(wchar_t)) != 0 &&
            locale_page != 0 && locale_page != CP_UTF8) {
            return static_cast<UINT>(locale_page);
        }
        const UINT active = GetACP();
        return active != CP_UTF8 ? active : 1252u;
    }();
    return code_page;
}

static bool decode_ansi_code_page(std::string_view bytes, std::string& out) {
    if (bytes.empty()) {
        return true;
    }
    const int length = static_cast<int>(std::min<std::size_t>(bytes.size(), INT_MAX / 2));
    const UINT code_page = ansi_code_page();
    // Bytes that stand for no character are shown as the code page's stand-in, and the
    // text is then not exact.
    bool exact = true;
    int units =
        MultiByteToWideChar(code_page, MB_ERR_INVALID_CHARS, bytes.data(), length, nullptr, 0);
    if (units <= 0) {
        exact = false;
        units = MultiByteToWideChar(code_page, 0, bytes.data(), length, nullptr, 0);
    }
    if (units <= 0) {
        decode_windows_1252(bytes, out);
        return false;
    }
    std::wstring text(static_cast<std::size_t>(units), L'\0');
    MultiByteToWideChar(code_page, exact ? MB_ERR_INVALID_CHARS : 0, bytes.data(), length,
                        text.data(), units);
    out += narrow(text);
    return exact && static_cast<std::size_t>(length) == bytes.size();
}

// UTF-8 into the same code page, refusing what it cannot hold: no best-fit letter (a
// plain A for an A with a macron) and no default character stand in for it.
static bool encode_ansi_code_page(std::string_view utf8, std::string& out) {
    std::wstring units;
    if (!wide_name(utf8, units) || units.size() > INT_MAX) {
        return false;
    }
    if (units.empty()) {
        return true;
    }
    const UINT code_page = ansi_code_page();
    const int length = static_cast<int>(units.size());
    BOOL used_default = FALSE;
    const int bytes = WideCharToMultiByte(code_page, WC_NO_BEST_FIT_CHARS, units.data(), length,
                                          nullptr, 0, nullptr, &used_default);
    if (bytes <= 0 || used_default != FALSE) {
        return false;
    }
    const std::size_t at = out.size();
    out.resize(at + static_cast<std::size_t>(bytes));
    return WideCharToMultiByte(code_page, WC_NO_BEST_FIT_CHARS, units.data(), length,
                               out.data() + at, bytes, nullptr, nullptr) == bytes;
}

int app_main(HINSTANCE instance, HINSTANCE previous, const char* command_line) {
    ui_state.instance = instance;
    set_ansi_decoder(decode_ansi_code_page);
    set_ansi_encoder(encode_ansi_code_page);
    // The manifest asks for the current common controls; they are registered here, before
    // any dialog. Without them the older controls still work, so a failure is ignored.
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);
    if (previous == nullptr) {
        register_window_classes(instance);
    }
    ui_state.accelerators = LoadAcceleratorsW(instance, L"PAIREX_ACC");
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
