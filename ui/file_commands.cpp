#include "ui/file_commands.h"

#include "merge/document.h"
#include "merge/merge_platform.h"
#include "ui/settings.h"
#include "ui/ui_platform.h"

void pick_and_load(Side side) {
    FilePicker& picker = settings.pickers[side == SIDE_LEFT ? PICK_LEFT_FILE : PICK_RIGHT_FILE];
    if (picker.file_name == nullptr || ui_run_file_picker(picker) != 1) {
        return;
    }
    keep_open_pick_directory(picker);
    load_side(picker.file_name, side);
}

int pick_output_path(std::string& path) {
    FilePicker& picker = settings.pickers[PICK_OUTPUT];
    if (picker.file_name == nullptr || ui_run_file_picker(picker) != 1) {
        return 0;
    }
    keep_save_pick_directory(picker);
    path = picker.file_name;
    return 1;
}

// The output picker is the one save dialog, and its start directory ("Out dir") the
// one memory of where the last save went.
int platform_save_dialog(std::string& chosen) {
    return pick_output_path(chosen) == 1 ? 0 : -1;
}
