#ifndef PAIREX_UI_WIN32_COMMAND_MENUS_H
#define PAIREX_UI_WIN32_COMMAND_MENUS_H

#include "ui/win32/windows_api.h"

// The menus and the accelerator table, made at run time from the command table
// (ui/commands.h), so that a label or a key is written only there.

// A new menu with the popups of the table's menu `name` ("MAIN_MENU", "QUICK_MENU",
// "COMP_DIR_MENU"); the caller owns it (a window's menu goes with its window). Null for
// an unknown name or when the system refuses a menu.
HMENU build_menu(const char* name);

// The accelerator table of the commands, made on the first call and kept for the run.
// Null when the system refuses it.
HACCEL command_accelerators();

#endif
