#include "ui/commands.h"

#include "merge/comparison.h"
#include "merge/document.h"
#include "merge/history.h"
#include "merge/merge_platform.h"
#include "merge/output.h"
#include "merge/resolution.h"
#include "merge/selection.h"
#include "resources/command_ids.h"
#include "ui/directory_commands.h"
#include "ui/file_commands.h"
#include "ui/settings.h"
#include "ui/startup.h"
#include "ui/ui_platform.h"
#include "ui/view/theme_palette.h"

namespace {

// Virtual-key codes of the keys the accelerators use.
constexpr int VKEY_PRIOR = 0x21;
constexpr int VKEY_NEXT = 0x22;
constexpr int VKEY_END = 0x23;
constexpr int VKEY_HOME = 0x24;
constexpr int VKEY_LEFT = 0x25;
constexpr int VKEY_UP = 0x26;
constexpr int VKEY_RIGHT = 0x27;
constexpr int VKEY_DOWN = 0x28;
constexpr int VKEY_F1 = 0x70;
constexpr int VKEY_F2 = 0x71;
constexpr int VKEY_F7 = 0x76;
constexpr int VKEY_F8 = 0x77;

// Options whose flag lives in the document or the settings: the check mark follows.
void toggle_compress_spaces() {
    toggle_option(merge_document.compress_spaces, CMD_COMPRESS_SPACES);
}
void toggle_auto_walk() {
    toggle_option(merge_document.auto_walk, CMD_AUTO_WALK);
}
void toggle_line_numbers() {
    toggle_option(settings.line_numbers, CMD_LINE_NUMBERS);
    platform_repaint_panes();
}
void toggle_highlight_changes() {
    toggle_option(settings.highlight_changes, CMD_HIGHLIGHT_CHANGES);
    platform_repaint_panes();
}
void toggle_keep_line_ends() {
    toggle_option(merge_document.keep_line_ends, CMD_KEEP_LINE_ENDS);
}
void toggle_merged_result() {
    toggle_option(settings.merged_result, CMD_MERGED_RESULT);
    ui_merged_result_changed();
}
void edit_block() {
    // Without blocks there is nothing the dialog could change.
    if (current_block() >= 0) {
        ui_edit_block_dialog();
    }
}

// Each entry names the operation itself, so that a command id leads straight to the
// code that does the work.
const CommandInfo COMMANDS[] = {
    {CMD_NEXT, "CMD_NEXT", MODE_ALWAYS, go_next},
    {CMD_PREV, "CMD_PREV", MODE_ALWAYS, go_prev},
    {CMD_FROM_LEFT, "CMD_FROM_LEFT", MODE_ALWAYS, [] { choose_all_from(SIDE_LEFT); }},
    {CMD_FROM_RIGHT, "CMD_FROM_RIGHT", MODE_ALWAYS, [] { choose_all_from(SIDE_RIGHT); }},
    {CMD_UNSELECT_ALL, "CMD_UNSELECT_ALL", MODE_ALWAYS, unselect_all},
    {CMD_TITLE_FONT, "CMD_TITLE_FONT", MODE_ALWAYS, ui_title_font_dialog},
    {CMD_TAB_SIZE, "CMD_TAB_SIZE", MODE_ALWAYS, ui_tab_size_dialog},
    {CMD_FONT, "CMD_FONT", MODE_ALWAYS, ui_font_dialog},
    {CMD_COMPRESS_SPACES, "CMD_COMPRESS_SPACES", MODE_ALWAYS, toggle_compress_spaces},
    {CMD_HELP_CONTENTS, "CMD_HELP_CONTENTS", MODE_ALWAYS, ui_help_contents},
    {CMD_AUTO_WALK, "CMD_AUTO_WALK", MODE_ALWAYS, toggle_auto_walk},
    {CMD_PRINT, "CMD_PRINT", MODE_ALWAYS, [] { write_merged(PRINTER_PATH); }},
    {CMD_BEGINNING, "CMD_BEGINNING", MODE_ALWAYS, go_beginning},
    {CMD_END, "CMD_END", MODE_ALWAYS, go_end},
    {CMD_FILE1, "CMD_FILE1", MODE_ALWAYS, [] { pick_and_load(SIDE_LEFT); }},
    {CMD_FILE2, "CMD_FILE2", MODE_ALWAYS, [] { pick_and_load(SIDE_RIGHT); }},
    {CMD_COMPARE_FILES, "CMD_COMPARE_FILES", MODE_ALWAYS, compare_files},
    {CMD_WRITE, "CMD_WRITE", MODE_ALWAYS, [] { write_command(); }},
    {CMD_QUIT, "CMD_QUIT", MODE_ALWAYS, quit_command},
    {CMD_LINE_NUMBERS, "CMD_LINE_NUMBERS", MODE_ALWAYS, toggle_line_numbers},
    {CMD_ABOUT, "CMD_ABOUT", MODE_ALWAYS, ui_about_box},
    {CMD_FIRST, "CMD_FIRST", MODE_ALWAYS, go_first},
    {CMD_LAST, "CMD_LAST", MODE_ALWAYS, go_last},
    {CMD_SKIP, "CMD_SKIP", MODE_DIRECTORY_ONLY, skip_directory_pair},
    {CMD_CANCEL, "CMD_CANCEL", MODE_DIRECTORY_ONLY, end_directory_comparison},
    {CMD_COMPARE_DIRS, "CMD_COMPARE_DIRS", MODE_FILES_ONLY, start_directory_comparison},
    {CMD_NEXT_PAIR, "CMD_NEXT_PAIR", MODE_ALWAYS, next_directory_pair},
    {CMD_UNDO, "CMD_UNDO", MODE_ALWAYS, [] { undo_choice(); }},
    {CMD_REDO, "CMD_REDO", MODE_ALWAYS, [] { redo_choice(); }},
    {CMD_HIGHLIGHT_CHANGES, "CMD_HIGHLIGHT_CHANGES", MODE_ALWAYS, toggle_highlight_changes},
    {CMD_KEEP_LINE_ENDS, "CMD_KEEP_LINE_ENDS", MODE_ALWAYS, toggle_keep_line_ends},
    {CMD_TAKE_LEFT, "CMD_TAKE_LEFT", MODE_ALWAYS, [] { resolve_current_block(RESOLVED_LEFT); }},
    {CMD_TAKE_RIGHT, "CMD_TAKE_RIGHT", MODE_ALWAYS, [] { resolve_current_block(RESOLVED_RIGHT); }},
    {CMD_LEFT_THEN_RIGHT, "CMD_LEFT_THEN_RIGHT", MODE_ALWAYS,
     [] { resolve_current_block(RESOLVED_LEFT_RIGHT); }},
    {CMD_RIGHT_THEN_LEFT, "CMD_RIGHT_THEN_LEFT", MODE_ALWAYS,
     [] { resolve_current_block(RESOLVED_RIGHT_LEFT); }},
    {CMD_TAKE_BASE, "CMD_TAKE_BASE", MODE_ALWAYS, [] { resolve_current_block(RESOLVED_BASE); }},
    {CMD_EDIT_BLOCK, "CMD_EDIT_BLOCK", MODE_ALWAYS, edit_block},
    {CMD_MERGED_RESULT, "CMD_MERGED_RESULT", MODE_ALWAYS, toggle_merged_result},
    {CMD_THEME_FOLLOW_WINDOWS, "CMD_THEME_FOLLOW_WINDOWS", MODE_ALWAYS,
     [] { choose_theme(THEME_FOLLOW_WINDOWS); }},
    {CMD_THEME_LIGHT, "CMD_THEME_LIGHT", MODE_ALWAYS, [] { choose_theme(THEME_LIGHT); }},
    {CMD_THEME_DARK, "CMD_THEME_DARK", MODE_ALWAYS, [] { choose_theme(THEME_DARK); }},
};

const MenuItem MAIN_FILE[] = {
    {"File &1            Ctrl+F1", CMD_FILE1},
    {"File &2            Ctrl+F2", CMD_FILE2},
    {nullptr, 0},
    {"Compare &Directories", CMD_COMPARE_DIRS},
    {"Compare &Files  Ctrl+D", CMD_COMPARE_FILES},
    {nullptr, 0},
    {"&Print", CMD_PRINT},
    {nullptr, 0},
    {"&Write             Ctrl+W", CMD_WRITE},
    {nullptr, 0},
    {"&Quit                Alt+X", CMD_QUIT},
};
const MenuItem MAIN_SEARCH[] = {
    {"&Next    Ctrl+N", CMD_NEXT},
    {"&Prev    Ctrl+P", CMD_PREV},
    {"&First", CMD_FIRST},
    {"&Last", CMD_LAST},
    {nullptr, 0},
    {"&Beginnning", CMD_BEGINNING},
    {"&End", CMD_END},
};
const MenuItem MAIN_SELECT[] = {
    {"From &Left", CMD_FROM_LEFT},
    {"From &Right", CMD_FROM_RIGHT},
    {"&Unselect All", CMD_UNSELECT_ALL},
    {nullptr, 0},
    {"&Undo   Ctrl+Z", CMD_UNDO},
    {"&Redo   Ctrl+Y", CMD_REDO},
    {nullptr, 0},
    {"Take le&ft            Alt+Left", CMD_TAKE_LEFT},
    {"Take ri&ght          Alt+Right", CMD_TAKE_RIGHT},
    {"Left &then right   Shift+Alt+Right", CMD_LEFT_THEN_RIGHT},
    {"Right the&n left   Shift+Alt+Left", CMD_RIGHT_THEN_LEFT},
    {"Take &base          Alt+B", CMD_TAKE_BASE},
    {"&Edit block          F2", CMD_EDIT_BLOCK},
};
const MenuItem MAIN_OPTIONS[] = {
    {"&Compress spaces", CMD_COMPRESS_SPACES},
    {"&Auto walk", CMD_AUTO_WALK},
    {nullptr, 0},
    {"&Line numbers", CMD_LINE_NUMBERS},
    {"&Tab size", CMD_TAB_SIZE},
    {"&Font", CMD_FONT},
    {"T&itle Font", CMD_TITLE_FONT},
    {"&Highlight changes", CMD_HIGHLIGHT_CHANGES},
    {"&Keep line ends", CMD_KEEP_LINE_ENDS},
    {nullptr, 0},
    {"&Merged result", CMD_MERGED_RESULT},
    {"Follow &Windows", CMD_THEME_FOLLOW_WINDOWS},
    {"Li&ght", CMD_THEME_LIGHT},
    {"&Dark", CMD_THEME_DARK},
};
const MenuItem MAIN_HELP[] = {
    {"&Contents", CMD_HELP_CONTENTS},
    {"&About", CMD_ABOUT},
};
const MenuPopup MAIN_MENU[] = {
    {"&File", MAIN_FILE},       {"&Search", MAIN_SEARCH}, {"S&elect", MAIN_SELECT},
    {"&Options", MAIN_OPTIONS}, {"&Help", MAIN_HELP},
};

const MenuItem QUICK_ITEMS[] = {
    {"&Next   Ctrl-N", CMD_NEXT},
    {"&Prev   Ctrl-P", CMD_PREV},
    {"&First", CMD_FIRST},
    {"&Last", CMD_LAST},
    {"&Beginnning", CMD_BEGINNING},
    {"&End", CMD_END},
    {nullptr, 0},
    {"From L&eft", CMD_FROM_LEFT},
    {"From &Right", CMD_FROM_RIGHT},
    {"&Unsel All", CMD_UNSELECT_ALL},
    {nullptr, 0},
    {"Take le&ft", CMD_TAKE_LEFT},
    {"Take ri&ght", CMD_TAKE_RIGHT},
    {"Left &then right", CMD_LEFT_THEN_RIGHT},
    {"Right the&n left", CMD_RIGHT_THEN_LEFT},
    {"Take &base", CMD_TAKE_BASE},
    {"E&dit block  F2", CMD_EDIT_BLOCK},
    {nullptr, 0},
    {"&Write  Ctrl-W", CMD_WRITE},
    {nullptr, 0},
    {"&Undo   Ctrl+Z", CMD_UNDO},
    {"&Redo   Ctrl+Y", CMD_REDO},
};
const MenuPopup QUICK_MENU[] = {{"Quick", QUICK_ITEMS}};

const MenuItem COMP_DIR_FILE[] = {
    {"&Skip     Alt-S", CMD_SKIP},
    {"&Cancel  Alt-C", CMD_CANCEL},
    {nullptr, 0},
    {"&Print", CMD_PRINT},
    {nullptr, 0},
    {"&Write   Ctrl-W", CMD_WRITE},
    {nullptr, 0},
    {"&Quit     Alt-X", CMD_QUIT},
};
const MenuPopup COMP_DIR_MENU[] = {{"&File", COMP_DIR_FILE}};

const MenuResource MENUS[] = {
    {"MAIN_MENU", MAIN_MENU},
    {"QUICK_MENU", QUICK_MENU},
    {"COMP_DIR_MENU", COMP_DIR_MENU},
};

const AcceleratorKey ACCELERATORS[] = {
    {VKEY_F1, 0, CMD_HELP_CONTENTS},
    {VKEY_PRIOR, ACC_CONTROL, CMD_BEGINNING},
    {VKEY_NEXT, ACC_CONTROL, CMD_END},
    {VKEY_F1, ACC_CONTROL, CMD_FILE1},
    {VKEY_F2, ACC_CONTROL, CMD_FILE2},
    {'D', ACC_CONTROL, CMD_COMPARE_FILES},
    {'W', ACC_CONTROL, CMD_WRITE},
    {'N', ACC_CONTROL, CMD_NEXT},
    {'N', ACC_CONTROL | ACC_SHIFT, CMD_NEXT},
    {'P', ACC_CONTROL, CMD_PREV},
    {'X', ACC_ALT, CMD_QUIT},
    {'F', ACC_CONTROL, CMD_FONT},
    {'T', ACC_CONTROL, CMD_TAB_SIZE},
    {'C', ACC_ALT, CMD_CANCEL},
    {'S', ACC_ALT, CMD_SKIP},
    {'Z', ACC_CONTROL, CMD_UNDO},
    {'Y', ACC_CONTROL, CMD_REDO},
    {'Z', ACC_CONTROL | ACC_SHIFT, CMD_REDO},
    {VKEY_F8, 0, CMD_NEXT},
    {VKEY_DOWN, ACC_ALT, CMD_NEXT},
    {VKEY_F7, 0, CMD_PREV},
    {VKEY_UP, ACC_ALT, CMD_PREV},
    {VKEY_HOME, ACC_ALT, CMD_FIRST},
    {VKEY_END, ACC_ALT, CMD_LAST},
    {VKEY_LEFT, ACC_ALT, CMD_TAKE_LEFT},
    {VKEY_RIGHT, ACC_ALT, CMD_TAKE_RIGHT},
    {VKEY_RIGHT, ACC_ALT | ACC_SHIFT, CMD_LEFT_THEN_RIGHT},
    {VKEY_LEFT, ACC_ALT | ACC_SHIFT, CMD_RIGHT_THEN_LEFT},
    {'B', ACC_ALT, CMD_TAKE_BASE},
    {VKEY_F2, 0, CMD_EDIT_BLOCK},
};

}  // namespace

std::span<const CommandInfo> command_table() {
    return COMMANDS;
}
std::span<const MenuResource> menu_resources() {
    return MENUS;
}
std::span<const AcceleratorKey> accelerator_table() {
    return ACCELERATORS;
}

bool is_radio_command(int id) {
    return id >= CMD_THEME_FOLLOW_WINDOWS && id <= CMD_THEME_DARK;
}

const CommandInfo* find_command(int id) {
    for (const CommandInfo& command : COMMANDS) {
        if (command.id == id) {
            return &command;
        }
    }
    return nullptr;
}

bool dispatch_command(int id) {
    const CommandInfo* command = find_command(id);
    if (command == nullptr) {
        return false;
    }
    const bool directory_mode = merge_document.directory_mode != 0;
    if (command->mode == MODE_DIRECTORY_ONLY && !directory_mode) {
        return false;
    }
    if (command->mode == MODE_FILES_ONLY && directory_mode) {
        return false;
    }
    command->run();
    return true;
}

bool command_enabled(int id) {
    switch (id) {
        case CMD_TAKE_BASE:
            return can_take_base(current_block());
        case CMD_TAKE_LEFT:
        case CMD_TAKE_RIGHT:
        case CMD_LEFT_THEN_RIGHT:
        case CMD_RIGHT_THEN_LEFT:
        case CMD_EDIT_BLOCK:
            return current_block() >= 0;
        default:
            return true;
    }
}

void toggle_option(int32_t& flag, int id) {
    flag = flag != 0 ? 0 : 1;
    ui_check_menu_item(id, flag);
}
