#include "ui/startup.h"

#include <cstdint>
#include <filesystem>
#include <string>

#include "common/native_file.h"
#include "common/progress.h"
#include "common/report.h"
#include "common/scratch.h"
#include "merge/conflict_mode.h"
#include "merge/document.h"
#include "merge/history.h"
#include "merge/merge_platform.h"
#include "ui/command_line.h"
#include "ui/exit_status.h"
#include "ui/settings.h"
#include "ui/ui_platform.h"

namespace {
bool running = false;

// Loads a file named on the command line. A name that leads to no file is reported
// here: the loader reports only the files it found and could not read.
int open_named_input(const std::string& name, const char* directory, Side side) {
    const std::string path = input_path(name.c_str(), directory);
    std::error_code ec;
    if (path.empty() || !std::filesystem::exists(native_path(path), ec)) {
        report_message(format_message(UNABLE_TO_OPEN_FILE, name.c_str()).c_str(), SEVERITY_ERROR);
        return 0;
    }
    return load_side(path.c_str(), side) == 0 ? 1 : 0;
}

// Loads the conflict file named by "merge" and compares its sides. A name that leads to
// no file is reported as for the other inputs.
void open_conflict_input(const std::string& name) {
    std::error_code ec;
    if (!std::filesystem::is_regular_file(native_path(name), ec)) {
        report_message(format_message(UNABLE_TO_OPEN_FILE, name.c_str()).c_str(), SEVERITY_ERROR);
        return;
    }
    if (load_conflict_file(name.c_str()) == 0) {
        platform_post_request(REQUEST_COMPARE_FILES);
    }
}

// A pair larger than this is read once the main window shows, where the load's progress
// can be seen and Escape stops it: under wine reading it takes 100 ms and more.
constexpr std::uint64_t READ_AHEAD_BYTES = std::uint64_t{32} << 20;

std::uint64_t file_size(const std::string& path) {
    NativeStat st;
    return native_stat(path.c_str(), st) ? st.size : 0;
}

// A small pair is read before the windows are made: under wine the main window is then
// made in about 30 ms instead of 50, since the wait it had is spent reading. Of a large
// pair the right file is read on a thread of its own from here on, while the windows
// are made and the left file is loaded: under wine both files' fresh pages then come
// in at once (the 5,000,000-line pair: 400 ms instead of 950). A thread for the left
// file too took the window's thread its core while the windows were made, and the
// window waited up to 170 ms.
void read_named_inputs_ahead() {
    const auto left = option_value(OPT_F1);
    const auto right = option_value(OPT_F2);
    if (left && right && !option_value(OPT_MERGE)) {
        const std::string paths[2] = {input_path(left->c_str(), settings.left_directory),
                                      input_path(right->c_str(), settings.right_directory)};
        if (file_size(paths[0]) + file_size(paths[1]) <= READ_AHEAD_BYTES) {
            start_read_ahead(paths[0], paths[1]);
        } else {
            start_read_beside(paths[1], SIDE_RIGHT);
        }
    }
}

}  // namespace

void reset_startup_state() {
    running = false;
}

int start_application() {
    start_exit_status();
    if (allocate_scratch_buffer() != 0) {
        return -1;
    }
    start_up_document();
    read_options_settings();
    read_named_inputs_ahead();
    ui_create_brushes();  // without brushes the rows show unfilled; not fatal
    ui_load_3d_controls();
    if (ui_create_main_window() != 0) {
        return -1;
    }
    running = true;
    offer_output_path();
    read_font_spec(settings.title_font, "Title ");
    ui_title_font_changed();
    if (ui_create_children() != 0) {
        return -1;
    }
    if (ui_load_menus() != 0) {
        return -1;
    }
    if (auto name = option_value(OPT_MERGE)) {
        open_conflict_input(*name);  // it takes the place of both files
        return 0;
    }
    int loaded = 0;
    // One load for both: a stop in the left file's ends the right file's too.
    const ProgressScope progress("Loading");
    if (auto name = option_value(OPT_F1)) {
        loaded += open_named_input(*name, settings.left_directory, SIDE_LEFT);
    }
    if (auto name = option_value(OPT_F2)) {
        loaded += open_named_input(*name, settings.right_directory, SIDE_RIGHT);
    }
    end_read_ahead();
    if (loaded == 2) {
        platform_post_request(REQUEST_COMPARE_FILES);
    }
    return 0;
}

void shut_down() {
    if (!running) {
        return;
    }
    running = false;
    save_settings();
    ui_release_gdi();
    release_document();
    ui_post_quit();
}

bool confirm_quit() {
    if (!has_unwritten_choices()) {
        return true;
    }
    return platform_ask("Confirm the operation", QUIT_QUESTION, BUTTONS_YES_NO) == ANSWER_YES;
}

void quit_command() {
    if (running && confirm_quit()) {
        shut_down();
    }
}
