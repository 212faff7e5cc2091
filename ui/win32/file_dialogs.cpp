#include "ui/win32/windows_api.h"

#include <cstring>
#include <string>
#include <vector>

#include "common/paths.h"
#include "ui/settings.h"
#include "ui/ui_platform.h"
#include "ui/win32/ui_state.h"
#include "ui/win32/wide.h"

namespace {

// Room for a path of PATH_MAX_CHARS characters, each of them two UTF-16 units.
constexpr DWORD WIDE_PATH_UNITS = PATH_MAX_CHARS * 2 + 1;

// The wide copies of a picker's texts that the dialog works on; the picker's UTF-8
// fields change only on OK.
struct WidePicker {
    std::wstring filter;
    std::wstring start;
    std::wstring title;
    std::vector<wchar_t> file = std::vector<wchar_t>(WIDE_PATH_UNITS, L'\0');
};

OPENFILENAMEW dialog_of(const FilePicker& picker, WidePicker& w) {
    w.filter = wide(picker.filter_list);
    w.start = wide(picker.start_directory);
    w.title = wide(picker.title != nullptr ? picker.title : "");
    const std::wstring given = wide(picker.file_name);
    if (given.size() < w.file.size()) {
        given.copy(w.file.data(), given.size());
    }
    OPENFILENAMEW ofn = {};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = ui_state.main_window;
    ofn.hInstance = ui_state.instance;
    ofn.lpstrFilter = picker.has_filter_list ? w.filter.c_str() : nullptr;
    ofn.nFilterIndex = static_cast<DWORD>(picker.filter_index);
    ofn.lpstrFile = w.file.data();
    ofn.nMaxFile = WIDE_PATH_UNITS;
    ofn.lpstrInitialDir = picker.start_directory[0] != '\0' ? w.start.c_str() : nullptr;
    ofn.lpstrTitle = picker.title != nullptr ? w.title.c_str() : nullptr;
    ofn.Flags = OFN_HIDEREADONLY;
    if (picker.kind == PICKER_OPEN) {
        ofn.Flags |= OFN_PATHMUSTEXIST;
    } else if (picker.kind == PICKER_DIRECTORY) {
        // The classic dialog laid out by our template: only the directory and drive
        // lists show, and the stand-in name in the hidden file-name box is what OK
        // accepts. The caller cuts the answer at its last backslash.
        ofn.Flags |= OFN_ENABLETEMPLATE | OFN_NOCHANGEDIR;
        ofn.lpTemplateName = L"DIR_DIALOG";
    }
    return ofn;
}

BOOL run_dialog(PickerKind kind, OPENFILENAMEW& ofn) {
    if (kind == PICKER_SAVE) {
        return GetSaveFileNameW(&ofn);
    }
    if (kind != PICKER_DIRECTORY) {
        return GetOpenFileNameW(&ofn);
    }
    // The classic dialog browses by moving the process's current directory, whatever
    // its flags say; put it back, so that browsing leaves no trace.
    std::vector<wchar_t> current(WIDE_PATH_UNITS, L'\0');
    const DWORD kept = GetCurrentDirectoryW(WIDE_PATH_UNITS, current.data());
    const BOOL ok = GetOpenFileNameW(&ofn);
    if (kept > 0 && kept < WIDE_PATH_UNITS) {
        SetCurrentDirectoryW(current.data());
    }
    return ok;
}

// Takes the chosen name into the picker; a path over the limit is refused by name.
int take_choice(FilePicker& picker, const WidePicker& w, const OPENFILENAMEW& ofn) {
    const std::string chosen = narrow(w.file.data());
    if (!path_fits(chosen) || !copy_path(picker.file_name, PATH_BUFFER_SIZE, chosen.c_str())) {
        const std::string limit = std::to_string(PATH_MAX_CHARS);
        report_message(format_message("The path is longer than %s characters:\n%s", limit.c_str(),
                                      chosen.c_str())
                           .c_str(),
                       SEVERITY_ERROR);
        return 0;
    }
    picker.filter_index = static_cast<int>(ofn.nFilterIndex);
    return 1;
}

}  // namespace

int ui_run_file_picker(FilePicker& picker) {
    if (picker.file_name == nullptr) {
        return 0;
    }
    WidePicker w;
    OPENFILENAMEW ofn = dialog_of(picker, w);
    BOOL ok = run_dialog(picker.kind, ofn);
    // A directory picker's name is the stand-in, which the dialog always takes.
    if (!ok && picker.kind != PICKER_DIRECTORY && CommDlgExtendedError() == FNERR_INVALIDFILENAME) {
        // The remembered name is not one the dialog accepts: offer an empty one.
        w.file[0] = L'\0';
        ok = run_dialog(picker.kind, ofn);
    }
    return ok ? take_choice(picker, w, ofn) : 0;
}
