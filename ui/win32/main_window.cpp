#include "ui/win32/windows_api.h"

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "ui/commands.h"
#include "ui/drop_files.h"
#include "ui/settings.h"
#include "ui/startup.h"
#include "ui/ui_platform.h"
#include "ui/scrolling.h"
#include "ui/win32/accessible_win32.h"
#include "ui/win32/dpi_win32.h"
#include "ui/win32/progress_win32.h"
#include "ui/win32/theme_win32.h"
#include "ui/win32/ui_state.h"
#include "ui/win32/wide.h"
#include "ui/win32/window_placement_win32.h"
#include "ui/win32/window_procs.h"

namespace {

LRESULT on_create(HWND window) {
    // The creation message comes before CreateWindow returns: keep the handle now so
    // that the settings can set the menu's check marks.
    ui_state.main_window = window;
    install_progress_reporter();
    measure_window_dpi(window);  // the settings make the text font at this DPI
    load_settings();
    // Files dropped on any child arrive here, the nearest window that accepts them.
    DragAcceptFiles(window, TRUE);
    return 0;
}

// The side under a point given in screen coordinates.
std::optional<Side> side_at_screen_point(HWND window, POINT p) {
    ScreenToClient(window, &p);
    RECT client;
    GetClientRect(window, &client);
    return side_at_point(client.right, client.bottom, p.x, p.y);
}

// One of the system's wheel settings, 3 when the system gives none.
UINT wheel_parameter(UINT action) {
    UINT value = 3;
    if (!SystemParametersInfoW(action, 0, &value, 0)) {
        value = 3;
    }
    return value;
}

void on_mouse_wheel(HWND window, WPARAM wparam, LPARAM lparam, bool tilted) {
    const int delta = GET_WHEEL_DELTA_WPARAM(wparam);
    const POINT pointer = {static_cast<short>(LOWORD(lparam)), static_cast<short>(HIWORD(lparam))};
    const bool shifted = (GET_KEYSTATE_WPARAM(wparam) & MK_SHIFT) != 0;
    if (!tilted && !shifted) {
        const UINT lines = wheel_parameter(SPI_GETWHEELSCROLLLINES);
        WheelSetting setting;
        setting.page = lines == WHEEL_PAGESCROLL;
        setting.units = setting.page ? 1 : static_cast<int>(std::min<UINT>(lines, 0x7FFF));
        wheel_vertical(delta, setting);
        return;
    }
    const std::optional<Side> side = side_at_screen_point(window, pointer);
    if (!side) {
        return;
    }
    const int columns =
        static_cast<int>(std::min<UINT>(wheel_parameter(SPI_GETWHEELSCROLLCHARS), 0x7FFF));
    // The wheel turned away from the user with Shift goes left, as a tilt to the left.
    wheel_horizontal(*side, tilted ? delta : -delta, columns);
}

// The dropped paths, each read whole whatever its length: a cut path could name
// another file. Three are enough to tell a refused drop.
std::vector<std::string> dropped_paths(HDROP drop) {
    std::vector<std::string> paths;
    const UINT count = DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
    for (UINT i = 0; i < count && i < 3; ++i) {
        const UINT length = DragQueryFileW(drop, i, nullptr, 0);
        std::wstring path(length + 1, L'\0');
        DragQueryFileW(drop, i, path.data(), length + 1);
        path.resize(length);
        paths.push_back(narrow(path));
    }
    return paths;
}

void on_drop_files(HWND window, HDROP drop) {
    const std::vector<std::string> paths = dropped_paths(drop);
    POINT p = {};
    const bool inside = DragQueryPoint(drop, &p) != FALSE;
    // Released before any message box, so that the sender is not kept waiting.
    DragFinish(drop);
    RECT client;
    GetClientRect(window, &client);
    const std::optional<Side> side =
        inside ? side_at_point(client.right, client.bottom, p.x, p.y) : std::nullopt;
    drop_files(paths, side);
}

// Greys the items of a popup that would do nothing now (the menu bar's and the quick
// menu's, which the panes pass on).
void on_init_menu_popup(HMENU popup) {
    const int count = GetMenuItemCount(popup);
    for (int i = 0; i < count; ++i) {
        const UINT id = GetMenuItemID(popup, i);
        if (id != 0 && id != static_cast<UINT>(-1)) {
            const bool enabled = command_enabled(static_cast<int>(id));
            EnableMenuItem(popup, id, MF_BYCOMMAND | (enabled ? MF_ENABLED : MF_GRAYED));
        }
    }
}

void on_size(LPARAM lparam) {
    layout_children(LOWORD(lparam), HIWORD(lparam));
}

bool on_key_down(WPARAM key) {
    switch (key) {
        case VK_PRIOR:
            route_scroll_key(KEY_PAGE_UP);
            return true;
        case VK_NEXT:
            route_scroll_key(KEY_PAGE_DOWN);
            return true;
        case VK_UP:
            route_scroll_key(KEY_UP);
            return true;
        case VK_DOWN:
            route_scroll_key(KEY_DOWN);
            return true;
        case VK_HOME:
            route_scroll_key(KEY_HOME);
            return true;
        case VK_END:
            route_scroll_key(KEY_END);
            return true;
        case VK_LEFT:
            route_scroll_key(KEY_LEFT);
            return true;
        case VK_RIGHT:
            route_scroll_key(KEY_RIGHT);
            return true;
        case VK_TAB:
        case VK_F6:  // the system's key for moving between panes
            move_pane_focus(GetKeyState(VK_SHIFT) < 0);
            return true;
        default:
            return false;
    }
}

// The window moved to a monitor of another DPI (or the monitor's scale changed): the
// fonts are remade and every measure taken again at the new DPI (the message's, the
// same for x and y), and the window takes the size the system suggests.
void on_dpi_changed(HWND window, WPARAM wparam, LPARAM lparam) {
    set_view_dpi(HIWORD(wparam));
    ui_title_font_changed();
    ui_text_font_changed();
    const RECT* suggested = reinterpret_cast<const RECT*>(lparam);
    SetWindowPos(window, nullptr, suggested->left, suggested->top,
                 suggested->right - suggested->left, suggested->bottom - suggested->top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    RECT client;
    GetClientRect(window, &client);
    layout_children(client.right, client.bottom);
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

}  // namespace

LRESULT CALLBACK main_window_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    if (progress_holds_message(message, wparam)) {
        return 0;  // long work runs: see progress_win32.cpp
    }
    switch (message) {
        case WM_CREATE:
            return on_create(window);
        case WM_CLOSE:
            // Closing the window is a Quit: unwritten choices are asked about first.
            if (!confirm_quit()) {
                return 0;
            }
            break;
        case WM_DESTROY:
            shut_down();
            return 0;
        case WM_MOUSEWHEEL:
        case WM_MOUSEHWHEEL:
            on_mouse_wheel(window, wparam, lparam, message == WM_MOUSEHWHEEL);
            return 0;
        case WM_DROPFILES:
            on_drop_files(window, reinterpret_cast<HDROP>(wparam));
            return 0;
        case WM_SIZE:
            remember_window_placement(window);
            on_size(lparam);
            return 0;
        case WM_MOVE:
            remember_window_placement(window);
            return 0;
        case WM_KEYDOWN:
            if (on_key_down(wparam)) {
                return 0;
            }
            break;
        case WM_COMMAND:
            dispatch_command(LOWORD(wparam));
            announce_pane_value();
            return 0;
        case WM_SETFOCUS:
            restore_pane_focus();
            return 0;
        case WM_INITMENUPOPUP:
            // The window menu keeps the states the system gives its items.
            if (HIWORD(lparam) == 0) {
                on_init_menu_popup(reinterpret_cast<HMENU>(wparam));
                return 0;
            }
            break;
        case WM_DPICHANGED:
            on_dpi_changed(window, wparam, lparam);
            return 0;
        case WM_SETTINGCHANGE:  // "ImmersiveColorSet" for the app mode, high contrast
        case WM_SYSCOLORCHANGE:
            follow_system_look();
            break;
        default:
            break;
    }
    return DefWindowProcW(window, message, wparam, lparam);
}
