// ui_show_walk_menu: the directory walk's File popup in place of the main one.
#include "ui/win32/windows_api.h"

#include "ui/ui_platform.h"
#include "ui/win32/ui_state.h"

void ui_show_walk_menu(bool walking) {
    HMENU bar = GetMenu(ui_state.main_window);
    HMENU popup = walking ? ui_state.directory_file_popup : ui_state.main_file_popup;
    if (bar == nullptr || popup == nullptr || GetSubMenu(bar, 0) == popup) {
        return;
    }
    // Removed, not modified: modifying a popup item would destroy the popup it held,
    // and both popups live for the whole run.
    RemoveMenu(bar, 0, MF_BYPOSITION);
    InsertMenuW(bar, 0, MF_BYPOSITION | MF_POPUP | MF_STRING, reinterpret_cast<UINT_PTR>(popup),
                L"File");
    DrawMenuBar(ui_state.main_window);
}
