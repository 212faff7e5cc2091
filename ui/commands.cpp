#include "ui/commands.h"

#include "resources/command_ids.h"
#include "ui/directory_commands.h"
#include "ui/document_bridge.h"
#include "ui/file_commands.h"
#include "ui/settings.h"
#include "ui/startup.h"
#include "ui/ui_platform.h"
#include "ui/navigation.h"

namespace {

// Virtual-key codes of the keys the accelerators use.
constexpr int VKEY_PRIOR = 0x21;
constexpr int VKEY_NEXT = 0x22;
constexpr int VKEY_F1 = 0x70;
constexpr int VKEY_F2 = 0x71;

void run_next() {
    doc_next();
}
void run_prev() {
    doc_prev();
}
void run_from_left() {
    doc_choose_all_from(UI_LEFT);
}
void run_from_right() {
    doc_choose_all_from(UI_RIGHT);
}
void run_unselect_all() {
    doc_unselect_all();
}
void run_title_font() {
    ui_title_font_dialog();
}
void run_tab_size() {
    ui_tab_size_dialog();
}
void run_font() {
    ui_font_dialog();
}
void run_compress_spaces() {
    toggle_option(doc_compress_spaces(), CMD_COMPRESS_SPACES);
}
void run_help() {
    ui_help_contents();
}
void run_auto_walk() {
    toggle_option(doc_auto_walk(), CMD_AUTO_WALK);
}
void run_print() {
    doc_print();
}
void run_beginning() {
    doc_beginning();
}
void run_end() {
    doc_end();
}
void run_file1() {
    pick_and_load(CMD_FILE1);
}
void run_file2() {
    pick_and_load(CMD_FILE2);
}
void run_compare_files() {
    doc_compare_files();
}
void run_write() {
    doc_write_command();
}
void run_quit() {
    shut_down();
}
void run_line_numbers() {
    toggle_option(settings.line_numbers, CMD_LINE_NUMBERS);
    ui_repaint_panes();
}
void run_about() {
    ui_about_box();
}
void run_first() {
    doc_first();
}
void run_last() {
    doc_last();
}
void run_skip() {
    doc_reset();
    ui_post_command(CMD_NEXT_PAIR);
}
void run_cancel() {
    end_directory_comparison();
}
void run_compare_dirs() {
    start_directory_comparison();
}
void run_next_pair() {
    next_directory_pair();
}

const CommandInfo COMMANDS[] = {
    {CMD_NEXT, "CMD_NEXT", MODE_ALWAYS, run_next},
    {CMD_PREV, "CMD_PREV", MODE_ALWAYS, run_prev},
    {CMD_FROM_LEFT, "CMD_FROM_LEFT", MODE_ALWAYS, run_from_left},
    {CMD_FROM_RIGHT, "CMD_FROM_RIGHT", MODE_ALWAYS, run_from_right},
    {CMD_UNSELECT_ALL, "CMD_UNSELECT_ALL", MODE_ALWAYS, run_unselect_all},
    {CMD_TITLE_FONT, "CMD_TITLE_FONT", MODE_ALWAYS, run_title_font},
    {CMD_TAB_SIZE, "CMD_TAB_SIZE", MODE_ALWAYS, run_tab_size},
    {CMD_FONT, "CMD_FONT", MODE_ALWAYS, run_font},
    {CMD_COMPRESS_SPACES, "CMD_COMPRESS_SPACES", MODE_ALWAYS, run_compress_spaces},
    {CMD_HELP_CONTENTS, "CMD_HELP_CONTENTS", MODE_ALWAYS, run_help},
    {CMD_AUTO_WALK, "CMD_AUTO_WALK", MODE_ALWAYS, run_auto_walk},
    {CMD_PRINT, "CMD_PRINT", MODE_ALWAYS, run_print},
    {CMD_BEGINNING, "CMD_BEGINNING", MODE_ALWAYS, run_beginning},
    {CMD_END, "CMD_END", MODE_ALWAYS, run_end},
    {CMD_FILE1, "CMD_FILE1", MODE_ALWAYS, run_file1},
    {CMD_FILE2, "CMD_FILE2", MODE_ALWAYS, run_file2},
    {CMD_COMPARE_FILES, "CMD_COMPARE_FILES", MODE_ALWAYS, run_compare_files},
    {CMD_WRITE, "CMD_WRITE", MODE_ALWAYS, run_write},
    {CMD_QUIT, "CMD_QUIT", MODE_ALWAYS, run_quit},
    {CMD_LINE_NUMBERS, "CMD_LINE_NUMBERS", MODE_ALWAYS, run_line_numbers},
    {CMD_ABOUT, "CMD_ABOUT", MODE_ALWAYS, run_about},
    {CMD_FIRST, "CMD_FIRST", MODE_ALWAYS, run_first},
    {CMD_LAST, "CMD_LAST", MODE_ALWAYS, run_last},
    {CMD_SKIP, "CMD_SKIP", MODE_DIRECTORY_ONLY, run_skip},
    {CMD_CANCEL, "CMD_CANCEL", MODE_DIRECTORY_ONLY, run_cancel},
    {CMD_COMPARE_DIRS, "CMD_COMPARE_DIRS", MODE_FILES_ONLY, run_compare_dirs},
    {CMD_NEXT_PAIR, "CMD_NEXT_PAIR", MODE_ALWAYS, run_next_pair},
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
};
const MenuItem MAIN_OPTIONS[] = {
    {"&Compress spaces", CMD_COMPRESS_SPACES}, {"&Auto walk", CMD_AUTO_WALK}, {nullptr, 0},
    {"&Line numbers", CMD_LINE_NUMBERS},       {"&Tab size", CMD_TAB_SIZE},   {"&Font", CMD_FONT},
    {"T&itle Font", CMD_TITLE_FONT},
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
    {"&Write  Ctrl-W", CMD_WRITE},
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
    if (command->mode == MODE_DIRECTORY_ONLY && !doc_directory_mode()) {
        return false;
    }
    if (command->mode == MODE_FILES_ONLY && doc_directory_mode()) {
        return false;
    }
    command->run();
    return true;
}

void toggle_option(int& flag, int id) {
    flag = flag != 0 ? 0 : 1;
    ui_check_menu_item(id, flag);
}
