#include "ui/directory_commands.h"

#include <cstring>

#include "common/paths.h"
#include "dircompare/dir_walk.h"
#include "merge/document.h"
#include "merge/merge_platform.h"
#include "ui/settings.h"
#include "ui/ui_platform.h"

std::string picked_directory(const char* picked_path) {
    const std::string path = picked_path;
    std::size_t cut = std::string::npos;
    for (std::size_t i = 0; i < path.size(); ++i) {
        if (is_path_separator(path[i])) {
            cut = i;
        }
    }
    if (cut == std::string::npos) {
        return "";
    }
    // "/x" keeps its root; "C:\x" comes out as "C:", which the listing completes.
    return cut == 0 ? path.substr(0, 1) : path.substr(0, cut);
}

namespace {

const PickerId DIRECTORY_PICKERS[] = {PICK_DIRECTORY1, PICK_DIRECTORY2, PICK_TARGET_DIRECTORY};

// Runs the three pickers in order; false as soon as one is cancelled.
bool pick_directories(std::string (&chosen)[3]) {
    for (PickerId id : DIRECTORY_PICKERS) {
        if (settings.pickers[id].file_name == nullptr) {
            return false;  // before the settings set the pickers up
        }
        copy_path(settings.pickers[id].file_name, PATH_BUFFER_SIZE, DIRECTORY_PICK_NAME);
    }
    for (int i = 0; i < 3; ++i) {
        FilePicker& picker = settings.pickers[DIRECTORY_PICKERS[i]];
        if (ui_run_file_picker(picker) != 1) {
            return false;
        }
        chosen[i] = picked_directory(picker.file_name);
    }
    return true;
}

}  // namespace

void start_directory_comparison() {
    std::string chosen[3];
    if (!pick_directories(chosen)) {
        return;
    }
    if (start_dir_walk(chosen[0], chosen[1], chosen[2]) != 0) {
        return;
    }
    // The pickers reopen where this walk's directories are, for the rest of the run.
    for (int i = 0; i < 3; ++i) {
        copy_path(settings.pickers[DIRECTORY_PICKERS[i]].start_directory, PATH_BUFFER_SIZE,
                  chosen[i].c_str());
    }
    ui_show_walk_menu(true);
    next_directory_pair();
}

void skip_directory_pair() {
    reset_document();
    platform_post_request(REQUEST_NEXT_PAIR);
}

void end_directory_comparison() {
    end_dir_walk();
    ui_show_walk_menu(false);
}

void next_directory_pair() {
    if (dir_walk_step() == DIR_WALK_ENDED) {
        ui_show_walk_menu(false);
    }
}
