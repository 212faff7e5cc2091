#include "ui/help_text.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <vector>

#include "resources/command_ids.h"
#include "ui/command_line.h"

namespace {

// What each command does, in the words of the help page.
struct CommandMeaning {
    int id;
    const char* text;
};
const CommandMeaning MEANINGS[] = {
    {CMD_NEXT, "Move to the next difference block"},
    {CMD_PREV, "Move to the previous difference block"},
    {CMD_FROM_LEFT, "Take every block from the left file"},
    {CMD_FROM_RIGHT, "Take every block from the right file"},
    {CMD_UNSELECT_ALL, "Undo the choice of every block"},
    {CMD_TITLE_FONT, "Choose the font of the title bars"},
    {CMD_TAB_SIZE, "Set how many blanks a tab shows as"},
    {CMD_FONT, "Choose the font of the panes"},
    {CMD_COMPRESS_SPACES, "Ignore white space from the next comparison on"},
    {CMD_HELP_CONTENTS, "Show this help"},
    {CMD_AUTO_WALK, "Go to the first block after each comparison"},
    {CMD_PRINT, "Print the merged text"},
    {CMD_BEGINNING, "Go to the first row"},
    {CMD_END, "Go to the last row"},
    {CMD_FILE1, "Open the left file"},
    {CMD_FILE2, "Open the right file"},
    {CMD_COMPARE_FILES, "Compare the two files"},
    {CMD_WRITE, "Write the merged file once every block is chosen"},
    {CMD_QUIT, "Save the settings and end the program"},
    {CMD_LINE_NUMBERS, "Show or hide the line numbers"},
    {CMD_ABOUT, "Show the program's name and version"},
    {CMD_FIRST, "Go to the first difference block"},
    {CMD_LAST, "Go to the last difference block"},
    {CMD_SKIP, "Leave this file pair and go on to the next one"},
    {CMD_CANCEL, "End the directory comparison"},
    {CMD_COMPARE_DIRS, "Compare two directories file by file into a target"},
    {CMD_UNDO, "Take back the last choice"},
    {CMD_REDO, "Make the choice taken back last again"},
    {CMD_HIGHLIGHT_CHANGES, "Mark the characters that differ within changed lines"},
    {CMD_KEEP_LINE_ENDS, "End each written line as in the file it came from"},
    {CMD_TAKE_LEFT, "Give the current block the left file's lines"},
    {CMD_TAKE_RIGHT, "Give the current block the right file's lines"},
    {CMD_LEFT_THEN_RIGHT, "Give the current block both files' lines, the left first"},
    {CMD_RIGHT_THEN_LEFT, "Give the current block both files' lines, the right first"},
    {CMD_TAKE_BASE, "Give the current conflict the lines of its common ancestor"},
    {CMD_EDIT_BLOCK, "Write the current block's text by hand"},
    {CMD_MERGED_RESULT, "Show the text Write would write below the two files"},
    {CMD_THEME_FOLLOW_WINDOWS, "Paint the panes light or dark as Windows' app mode is"},
    {CMD_THEME_LIGHT, "Paint the panes light"},
    {CMD_THEME_DARK, "Paint the panes dark"},
};

// How each menu resource is named on the page: a context in front of the item, or
// (without one) the title of the item's popup.
struct MenuContext {
    const char* resource;
    const char* context;
};
const MenuContext MENU_CONTEXTS[] = {
    {"MAIN_MENU", nullptr},
    {"QUICK_MENU", "Right-click menu"},
    {"COMP_DIR_MENU", "File (directories)"},
};

// The command-line options by their key, with the word for their value; the names come
// from the command line's own table.
struct OptionHelp {
    int key;
    const char* value;
    const char* meaning;
};
const OptionHelp OPTIONS[] = {
    {OPT_D1, "DIR", "the left directory"},
    {OPT_D2, "DIR", "the right directory"},
    {OPT_F1, "FILE", "the left file"},
    {OPT_F2, "FILE", "the right file"},
    {OPT_OUTF, "FILE", "the name Write offers for the merged file"},
    {OPT_OUTD, "DIR", "the directory the merged files go to"},
    {OPT_MERGE, "FILE", "a file with conflict markers: merge its two sides, Write puts it back"},
};
static_assert(std::size(OPTIONS) == OPTION_COUNT, "every command-line option has its help");

// One line of the command list.
struct HelpEntry {
    int id;
    std::vector<std::string> paths;
    std::vector<std::string> keys;
};

const char* meaning_of(int id) {
    for (const CommandMeaning& m : MEANINGS) {
        if (m.id == id) {
            return m.text;
        }
    }
    return "";
}

// The name of a key that is neither a letter, a digit nor a function key.
const char* key_name(int virtual_key) {
    switch (virtual_key) {
        case 0x21:
            return "Page Up";
        case 0x22:
            return "Page Down";
        case 0x23:
            return "End";
        case 0x24:
            return "Home";
        case 0x25:
            return "Left";
        case 0x27:
            return "Right";
        case 0x26:
            return "Up";
        case 0x28:
            return "Down";
        default:
            return nullptr;
    }
}

std::string menu_path(const MenuResource& resource, const MenuPopup& popup, const MenuItem& item) {
    const char* context = popup.title;
    for (const MenuContext& c : MENU_CONTEXTS) {
        if (std::strcmp(c.resource, resource.name) == 0 && c.context != nullptr) {
            context = c.context;
        }
    }
    return menu_label_text(context) + " > " + menu_label_text(item.label);
}

HelpEntry& entry_for(std::vector<HelpEntry>& entries, int id) {
    for (HelpEntry& e : entries) {
        if (e.id == id) {
            return e;
        }
    }
    entries.push_back({id, {}, {}});
    return entries.back();
}

// The commands in menu order (main menu first), then those reached by keys only.
std::vector<HelpEntry> collect_entries() {
    std::vector<HelpEntry> entries;
    for (const MenuResource& resource : menu_resources()) {
        for (const MenuPopup& popup : resource.popups) {
            for (const MenuItem& item : popup.items) {
                if (item.label != nullptr) {
                    entry_for(entries, item.id).paths.push_back(menu_path(resource, popup, item));
                }
            }
        }
    }
    for (const AcceleratorKey& key : accelerator_table()) {
        entry_for(entries, key.id).keys.push_back(accelerator_name(key));
    }
    return entries;
}

std::string joined(const std::vector<std::string>& parts, const char* separator) {
    std::string out;
    for (const std::string& p : parts) {
        if (!out.empty()) {
            out += separator;
        }
        out += p;
    }
    return out;
}

std::string padded(std::string text, std::size_t width) {
    if (text.size() < width) {
        text.append(width - text.size(), ' ');
    }
    return text;
}

void append_commands(std::string& out) {
    const std::vector<HelpEntry> entries = collect_entries();
    std::size_t path_width = 4;
    std::size_t keys_width = 4;
    for (const HelpEntry& e : entries) {
        path_width = std::max(path_width, e.paths.empty() ? 9 : e.paths.front().size());
        keys_width = std::max(keys_width, joined(e.keys, ", ").size());
    }
    path_width += 2;
    keys_width += 2;
    out += "Commands\n\n";
    out += padded("Menu", path_width) + padded("Keys", keys_width) + "What it does\n";
    for (const HelpEntry& e : entries) {
        const std::string first = e.paths.empty() ? "(no menu)" : e.paths.front();
        std::string line = padded(first, path_width) + padded(joined(e.keys, ", "), keys_width);
        line += meaning_of(e.id);
        line.erase(line.find_last_not_of(' ') + 1);
        out += line + "\n";
        if (e.paths.size() > 1) {
            const std::vector<std::string> more(e.paths.begin() + 1, e.paths.end());
            out += "    also " + joined(more, "; ") + "\n";
        }
    }
}

void append_options(std::string& out) {
    out += "\nCommand line\n\n";
    for (const OptionHelp& o : OPTIONS) {
        out += padded(std::string("-") + option_name(o.key) + " " + o.value, 14) + o.meaning + "\n";
    }
    out += "An option may also begin with '/'; a value holding blanks goes in double quotes.\n";
}

}  // namespace

std::string menu_label_text(const char* label) {
    std::string out;
    for (const char* p = label; *p != '\0'; ++p) {
        if (p[0] == ' ' && p[1] == ' ') {
            break;
        }
        if (p[0] == '&') {
            if (p[1] != '&') {
                continue;
            }
            ++p;
        }
        out += *p;
    }
    out.erase(out.find_last_not_of(' ') + 1);
    return out;
}

std::string accelerator_name(const AcceleratorKey& key) {
    std::string out;
    if (key.modifiers & ACC_CONTROL) {
        out += "Ctrl+";
    }
    if (key.modifiers & ACC_SHIFT) {
        out += "Shift+";
    }
    if (key.modifiers & ACC_ALT) {
        out += "Alt+";
    }
    const int k = key.virtual_key;
    char name[16];
    if ((k >= 'A' && k <= 'Z') || (k >= '0' && k <= '9')) {
        std::snprintf(name, sizeof name, "%c", k);
    } else if (k >= 0x70 && k <= 0x87) {
        std::snprintf(name, sizeof name, "F%d", k - 0x70 + 1);
    } else if (const char* named = key_name(k)) {
        std::snprintf(name, sizeof name, "%s", named);
    } else {
        std::snprintf(name, sizeof name, "key %d", k);
    }
    return out + name;
}

std::string build_help_text(const char* program_title) {
    std::string out = std::string(program_title) + "\n\n";
    out +=
        "Compares two text files line by line and shows them side by side, every difference\n"
        "block in colour. Click a block in a pane to take that side's text for it, then\n"
        "write the merged file.\n\n";
    append_commands(out);
    out +=
        "\nKeys in the panes\n\n"
        "Page Up, Page Down, Up, Down   scroll both panes\n"
        "Home, End, Left, Right         scroll the pane under the mouse pointer sideways\n"
        "Mouse wheel                    scroll both panes; with Shift, or tilted, the pane\n"
        "                               under the mouse pointer sideways\n"
        "Tab, Shift+Tab, F6             move the keyboard focus between the panes and the\n"
        "                               merged result\n"
        "\nA file dropped on a pane is loaded on that side; two files dropped together\n"
        "are loaded as file 1 and file 2. Once both sides hold a file they are compared.\n";
    append_options(out);
    return out;
}
