// Quiet seams of the user interface for the fuzz targets: the settings file is a map
// the target fills, the window system does nothing.
#include <cctype>
#include <map>
#include <string>

#include "dircompare/dir_search.h"
#include "dircompare/name_case.h"
#include "tests/support/fuzz_ui.h"
#include "ui/settings.h"
#include "ui/settings_file.h"
#include "ui/ui_platform.h"

namespace {
std::map<std::string, std::string> values;

std::string lower(std::string s) {
    for (char& c : s) {
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return s;
}
}  // namespace

void fuzz_settings_clear() {
    values.clear();
}

void fuzz_settings_load(const std::string& text) {
    // The profile layout: "[section]" lines open a section, "key=value" lines follow.
    std::string section;
    std::size_t at = 0;
    while (at <= text.size()) {
        std::size_t end = text.find('\n', at);
        if (end == std::string::npos) {
            end = text.size();
        }
        std::string line = text.substr(at, end - at);
        at = end + 1;
        if (!line.empty() && line[0] == '[') {
            section = line.substr(
                1, line.find(']') == std::string::npos ? std::string::npos : line.find(']') - 1);
        } else if (auto eq = line.find('='); eq != std::string::npos) {
            values[lower(section + "/" + line.substr(0, eq))] = line.substr(eq + 1);
        }
    }
}

std::string settings_read_string(const char* section, const char* key, const char* default_value) {
    auto it = values.find(lower(std::string(section) + "/" + key));
    std::string value = it == values.end() ? default_value : it->second;
    return value.size() > SETTINGS_VALUE_MAX ? value.substr(0, SETTINGS_VALUE_MAX) : value;
}
void settings_write_string(const char* section, const char* key, const char* value) {
    values[lower(std::string(section) + "/" + key)] = value;
}

int ui_create_brushes() {
    return 0;
}
void ui_load_3d_controls() {}
int ui_create_main_window() {
    return 0;
}
void ui_title_font_changed() {}
int ui_create_children() {
    return 0;
}
int ui_load_menus() {
    return 0;
}
void ui_text_font_changed() {}
void ui_release_gdi() {}
void ui_theme_changed() {}
void ui_post_quit() {}
void ui_check_menu_item(int, int) {}
void ui_set_horizontal_position(Side, int) {}
bool ui_pointer_over_left_pane() {
    return false;
}
int ui_run_file_picker(FilePicker&) {
    return 0;
}
void ui_show_walk_menu(bool) {}
void ui_title_font_dialog() {}
void ui_tab_size_dialog() {}
void ui_font_dialog() {}
void ui_help_contents() {}
void ui_about_box() {}
void ui_edit_block_dialog() {}
void ui_merged_result_changed() {}

// No directory can be searched: a walk would find nothing.
int dir_search(const std::string&, const std::function<void(const DirEntry&)>&) {
    return -1;
}

std::string name_case_key(const std::string& name) {
    return simple_name_case_key(name);
}
