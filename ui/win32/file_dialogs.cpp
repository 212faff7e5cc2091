#include "ui/win32/windows_api.h"

#include <cstring>

#include "common/paths.h"
#include "ui/settings.h"
#include "ui/ui_platform.h"
#include "ui/win32/ui_state.h"

int ui_run_file_picker(FilePicker& picker) {
    if (picker.file_name == nullptr) {
        return 0;
    }
    OPENFILENAMEA ofn = {};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = ui_state.main_window;
    ofn.hInstance = ui_state.instance;
    ofn.lpstrFilter = picker.has_filter_list ? picker.filter_list.c_str() : nullptr;
    ofn.nFilterIndex = static_cast<DWORD>(picker.filter_index);
    ofn.lpstrFile = picker.file_name;
    ofn.nMaxFile = PATH_BUFFER_SIZE;
    ofn.lpstrInitialDir = picker.start_directory[0] != '\0' ? picker.start_directory : nullptr;
    ofn.lpstrTitle = picker.title;
    ofn.Flags = OFN_HIDEREADONLY;
    if (picker.kind == PICKER_OPEN) {
        ofn.Flags |= OFN_PATHMUSTEXIST;
    } else if (picker.kind == PICKER_DIRECTORY) {
        // The classic dialog laid out by our template: only the directory and drive
        // lists show, and the stand-in name in the hidden file-name box is what OK
        // accepts. The caller cuts the answer at its last backslash.
        ofn.Flags |= OFN_ENABLETEMPLATE | OFN_NOCHANGEDIR;
        ofn.lpTemplateName = "DIR_DIALOG";
    }
    auto run = [&] {
        if (picker.kind == PICKER_SAVE) {
            return GetSaveFileNameA(&ofn);
        }
        if (picker.kind != PICKER_DIRECTORY) {
            return GetOpenFileNameA(&ofn);
        }
        // The classic dialog browses by moving the process's current directory, whatever
        // its flags say; put it back, so that browsing leaves no trace.
        char current[MAX_PATH] = {};
        const DWORD kept = GetCurrentDirectoryA(MAX_PATH, current);
        const BOOL ok = GetOpenFileNameA(&ofn);
        if (kept > 0 && kept < MAX_PATH) {
            SetCurrentDirectoryA(current);
        }
        return ok;
    };
    BOOL ok = run();
    // A directory picker's name is the stand-in, which the dialog always takes.
    if (!ok && picker.kind != PICKER_DIRECTORY && CommDlgExtendedError() == FNERR_INVALIDFILENAME) {
        // The remembered name is not one the dialog accepts: offer an empty one.
        picker.file_name[0] = '\0';
        ok = run();
    }
    if (!ok) {
        return 0;
    }
    picker.filter_index = static_cast<int>(ofn.nFilterIndex);
    return 1;
}
