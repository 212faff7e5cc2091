// Quiet seams of the user interface for the fuzz targets: the settings file is a map
// the target fills, the document and the window system do nothing.
#include <cctype>
#include <map>
#include <string>

#include "tests/support/fuzz_ui.h"
#include "ui/document_bridge.h"
#include "ui/settings.h"
#include "ui/settings_file.h"
#include "ui/ui_platform.h"

namespace {
std::map<std::string, std::string> values;
int flags[2] = {0, 0};
int columns[2] = {0, 0};

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

int& doc_auto_walk() {
    return flags[0];
}
int& doc_compress_spaces() {
    return flags[1];
}
bool doc_directory_mode() {
    return false;
}
void doc_start_up() {}
void doc_release() {}
int doc_open_input(const char*, const char*, int) {
    return 0;
}
int doc_load_side(const char*, int) {
    return 0;
}
void doc_compare_files() {}
void doc_write_command() {}
void doc_print() {}
void doc_next() {}
void doc_prev() {}
void doc_first() {}
void doc_last() {}
void doc_beginning() {}
void doc_end() {}
void doc_scroll_to_row(int) {}
void doc_choose_all_from(UiSide) {}
void doc_unselect_all() {}
void doc_choose_by_click(UiSide, int) {}
const char* doc_path(UiSide) {
    return "";
}
void doc_reset() {}
int doc_top_row() {
    return 0;
}
int doc_total_rows() {
    return 0;
}
int doc_first_column(UiSide side) {
    return columns[side];
}
void doc_set_first_column(UiSide side, int column) {
    columns[side] = column;
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
void ui_post_command(int) {}
void ui_post_quit() {}
void ui_check_menu_item(int, int) {}
void ui_repaint_panes() {}
void ui_repaint_pane(UiSide) {}
void ui_set_vertical_position(int) {}
void ui_set_horizontal_position(UiSide, int) {}
bool ui_pointer_over_left_pane() {
    return false;
}
int ui_run_file_picker(FilePicker&) {
    return 0;
}
void ui_title_font_dialog() {}
void ui_tab_size_dialog() {}
void ui_font_dialog() {}
void ui_help_contents() {}
void ui_about_box() {}
