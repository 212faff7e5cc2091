#include "ui/win32/windows_api.h"

#include "ui/commands.h"
#include "ui/settings.h"
#include "ui/startup.h"
#include "ui/navigation.h"
#include "ui/win32/ui_state.h"
#include "ui/win32/window_procs.h"

namespace {

LRESULT on_create(HWND window) {
    // The creation message comes before CreateWindow returns: keep the handle now so
    // that the settings can set the menu's check marks.
    ui_state.main_window = window;
    load_settings();
    return 0;
}

void on_size(LPARAM lparam) {
    layout_children(LOWORD(lparam), HIWORD(lparam));
}

bool on_key_down(WPARAM key) {
    switch (key) {
        case VK_PRIOR:
            route_navigation_key(KEY_PAGE_UP);
            return true;
        case VK_NEXT:
            route_navigation_key(KEY_PAGE_DOWN);
            return true;
        case VK_UP:
            route_navigation_key(KEY_UP);
            return true;
        case VK_DOWN:
            route_navigation_key(KEY_DOWN);
            return true;
        case VK_HOME:
            route_navigation_key(KEY_HOME);
            return true;
        case VK_END:
            route_navigation_key(KEY_END);
            return true;
        case VK_LEFT:
            route_navigation_key(KEY_LEFT);
            return true;
        case VK_RIGHT:
            route_navigation_key(KEY_RIGHT);
            return true;
        default:
            return false;
    }
}

}  // namespace

LRESULT CALLBACK main_window_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
        case WM_CREATE:
            return on_create(window);
        case WM_DESTROY:
            shut_down();
            return 0;
        case WM_SIZE:
            on_size(lparam);
            return 0;
        case WM_KEYDOWN:
            if (on_key_down(wparam)) {
                return 0;
            }
            break;
        case WM_COMMAND:
            dispatch_command(LOWORD(wparam));
            return 0;
        default:
            break;
    }
    return DefWindowProcA(window, message, wparam, lparam);
}
