#include "ui/win32/command_menus.h"

#include <cstring>
#include <vector>

#include "ui/commands.h"
#include "ui/win32/wide.h"

namespace {

// The popup's items appended to a new popup menu; null when the system refuses one.
HMENU build_popup(const MenuPopup& popup) {
    HMENU menu = CreatePopupMenu();
    if (menu == nullptr) {
        return nullptr;
    }
    for (const MenuItem& item : popup.items) {
        const BOOL added = item.label == nullptr
                               ? AppendMenuW(menu, MF_SEPARATOR, 0, nullptr)
                               : AppendMenuW(menu, MF_STRING, static_cast<UINT_PTR>(item.id),
                                             wide(item.label).c_str());
        if (!added) {
            DestroyMenu(menu);
            return nullptr;
        }
        if (item.label != nullptr && is_radio_command(item.id)) {
            // Shown with a bullet when checked; a failure leaves a check mark.
            MENUITEMINFOW info = {};
            info.cbSize = sizeof info;
            info.fMask = MIIM_FTYPE;
            info.fType = MFT_STRING | MFT_RADIOCHECK;
            SetMenuItemInfoW(menu, static_cast<UINT>(item.id), FALSE, &info);
        }
    }
    return menu;
}

}  // namespace

HMENU build_menu(const char* name) {
    for (const MenuResource& resource : menu_resources()) {
        if (std::strcmp(resource.name, name) != 0) {
            continue;
        }
        HMENU bar = CreateMenu();
        if (bar == nullptr) {
            return nullptr;
        }
        for (const MenuPopup& popup : resource.popups) {
            HMENU sub = build_popup(popup);
            // A popup appended belongs to the bar; one that was not is destroyed here.
            if (sub == nullptr ||
                !AppendMenuW(bar, MF_POPUP | MF_STRING, reinterpret_cast<UINT_PTR>(sub),
                             wide(popup.title).c_str())) {
                if (sub != nullptr) {
                    DestroyMenu(sub);
                }
                DestroyMenu(bar);
                return nullptr;
            }
        }
        return bar;
    }
    return nullptr;
}

HACCEL command_accelerators() {
    static const HACCEL table = [] {
        std::vector<ACCEL> keys;
        for (const AcceleratorKey& key : accelerator_table()) {
            BYTE flags = FVIRTKEY;
            flags |= (key.modifiers & ACC_CONTROL) != 0 ? FCONTROL : 0;
            flags |= (key.modifiers & ACC_SHIFT) != 0 ? FSHIFT : 0;
            flags |= (key.modifiers & ACC_ALT) != 0 ? FALT : 0;
            keys.push_back({flags, static_cast<WORD>(key.virtual_key), static_cast<WORD>(key.id)});
        }
        return CreateAcceleratorTableW(keys.data(), static_cast<int>(keys.size()));
    }();
    return table;
}
