#include "ui/file_commands.h"

#include "resources/command_ids.h"
#include "ui/document_bridge.h"
#include "ui/settings.h"
#include "ui/ui_platform.h"

void pick_and_load(int which) {
    FilePicker& picker = settings.pickers[which == CMD_FILE1 ? PICK_LEFT_FILE : PICK_RIGHT_FILE];
    if (picker.file_name == nullptr || ui_run_file_picker(picker) != 1) {
        return;
    }
    keep_open_pick_directory(picker);
    doc_load_side(picker.file_name, which);
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
