#include "tests/ui/fake_ui.h"

#include <cctype>

#include "merge/document.h"
#include "merge/history.h"
#include "tests/support/fake_platform.h"
#include "tests/support/fake_report.h"
#include "ui/command_line.h"
#include "ui/settings.h"
#include "ui/settings_file.h"
#include "ui/startup.h"
#include "ui/ui_platform.h"
#include "ui/scrolling.h"

namespace {

FakeUi state;

std::string ini_key(const std::string& section, const std::string& key) {
    std::string k = section + "/" + key;
    for (char& c : k) {
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return k;
}

void log(std::string text) {
    fake_platform().calls.push_back(std::move(text));
}

}  // namespace

FakeUi& fake_ui() {
    return state;
}

std::vector<std::string>& ui_calls() {
    return fake_platform().calls;
}

void reset_fake_ui() {
    state = FakeUi{};
    reset_fake_platform();
    merge_document = MergeDocument{};
    reset_settings();
    reset_command_line();
    reset_startup_state();
    view_metrics = ViewMetrics{};
    wheel_state = WheelState{};
    clear_choice_history();
    merge_written_hook = nullptr;
    clear_reported_messages();
}

void fake_ini_set(const std::string& section, const std::string& key, const std::string& value) {
    state.ini[ini_key(section, key)] = value;
}

std::string fake_ini_get(const std::string& section, const std::string& key) {
    auto it = state.ini.find(ini_key(section, key));
    return it == state.ini.end() ? "<missing>" : it->second;
}

std::string settings_read_string(const char* section, const char* key, const char* default_value) {
    auto it = state.ini.find(ini_key(section, key));
    std::string value = it == state.ini.end() ? default_value : it->second;
    if (value.size() > SETTINGS_VALUE_MAX) {
        value.resize(SETTINGS_VALUE_MAX);
    }
    return value;
}

void settings_write_string(const char* section, const char* key, const char* value) {
    state.ini[ini_key(section, key)] = value;
    state.ini_writes.push_back(std::string(section) + "/" + key + "=" + value);
}

// The window system.
int ui_create_brushes() {
    log("create_brushes");
    return 0;
}
void ui_load_3d_controls() {
    log("load_3d_controls");
}
int ui_create_main_window() {
    log("create_main_window");
    if (state.create_main_window_result == 0) {
        load_settings();
    }
    return state.create_main_window_result;
}
void ui_title_font_changed() {
    log("title_font " + std::string(settings.title_font.face_name));
}
int ui_create_children() {
    log("create_children");
    return state.create_children_result;
}
int ui_load_menus() {
    log("load_menus");
    return 0;
}
void ui_text_font_changed() {
    log("text_font " + std::string(settings.text_font.face_name));
}
void ui_release_gdi() {
    log("release_gdi");
}
void ui_theme_changed() {
    log("theme_changed");
}
void ui_post_quit() {
    log("post_quit");
}
void ui_check_menu_item(int id, int checked) {
    log("check " + std::to_string(id) + " " + std::to_string(checked));
}
void ui_set_horizontal_position(Side side, int position) {
    log(std::string(side == SIDE_LEFT ? "hpos left " : "hpos right ") + std::to_string(position));
}
bool ui_pointer_over_left_pane() {
    return state.pointer_over_left;
}
int ui_run_file_picker(FilePicker& picker) {
    log(std::string("picker ") + (picker.title ? picker.title : "(save)"));
    state.picker_offered.emplace_back(picker.file_name);
    if (!state.picker_script.empty()) {
        const std::optional<std::string> answer = state.picker_script.front();
        state.picker_script.pop_front();
        if (!answer) {
            return 0;
        }
        copy_path(picker.file_name, PATH_BUFFER_SIZE, answer->c_str());
        return 1;
    }
    if (state.picker_answer == 1) {
        copy_path(picker.file_name, PATH_BUFFER_SIZE, state.picker_path.c_str());
    }
    return state.picker_answer;
}
void ui_show_walk_menu(bool walking) {
    log(walking ? "walk_menu on" : "walk_menu off");
}
void ui_title_font_dialog() {
    log("title_font_dialog");
}
void ui_tab_size_dialog() {
    log("tab_size_dialog");
}
void ui_font_dialog() {
    log("font_dialog");
}
void ui_help_contents() {
    log("help_contents");
}
void ui_about_box() {
    log("about_box");
}
void ui_edit_block_dialog() {
    log("edit_block_dialog");
}
void ui_merged_result_changed() {
    log("merged_result_changed");
}
