#ifndef PAIREX_UI_COMMANDS_H
#define PAIREX_UI_COMMANDS_H

#include <cstdint>
#include <span>

// The vocabulary of the user interface: every menu item, accelerator and posted
// request is one of these ids (resources/command_ids.h). The tables below are the
// program's menus and accelerators as data, written only here: the Windows program
// builds its menus and accelerator table from them (ui/win32/command_menus.h).

// Where a command acts: always, only while a directory comparison runs, or only
// outside one.
enum CommandMode { MODE_ALWAYS, MODE_DIRECTORY_ONLY, MODE_FILES_ONLY };

struct CommandInfo {
    int id;
    const char* name;
    CommandMode mode;
    void (*run)();
};

struct MenuItem {
    const char* label;  // nullptr: a separator
    int id;
};

struct MenuPopup {
    const char* title;
    std::span<const MenuItem> items;
};

struct MenuResource {
    const char* name;
    std::span<const MenuPopup> popups;
};

enum AcceleratorModifier { ACC_CONTROL = 1, ACC_SHIFT = 2, ACC_ALT = 4 };

struct AcceleratorKey {
    int virtual_key;  // the platform's virtual-key code
    int modifiers;    // AcceleratorModifier bits
    int id;
};

std::span<const CommandInfo> command_table();
std::span<const MenuResource> menu_resources();
std::span<const AcceleratorKey> accelerator_table();

// Whether menu item `id` is one of a group of which one is chosen (shown with a bullet).
bool is_radio_command(int id);

// The command with this id, or nullptr.
const CommandInfo* find_command(int id);

// Runs the command `id`. Returns true when it acted; an unknown id, or a directory
// command outside its mode, does nothing and returns false.
bool dispatch_command(int id);

// False when the command `id` would do nothing now: the block choices without blocks,
// "Take base" outside conflict mode or for a conflict without a base. Menus grey it.
bool command_enabled(int id);

// Flips `flag` between 0 and 1 and sets the check mark of menu item `id` to match.
void toggle_option(int32_t& flag, int id);

#endif
