#include "ui/win32/windows_api.h"

#include <shlobj.h>

#include <string>
#include <vector>

#include "ui/settings.h"
#include "ui/settings_file.h"
#include "ui/settings_text.h"
#include "ui/win32/wide.h"

// The settings file is %APPDATA%\Pairex\pairex.ini: the user's own roaming folder,
// which a standard account may write. An older Pairex kept it in the Windows folder;
// while ours is missing, that file is copied to be its start, and is never written
// again nor deleted.
//
// The profile functions take a file without a UTF-16 mark in the ANSI code page of
// the process, which the manifest makes UTF-8. A new file is therefore made with the
// mark, and an older 8-bit file is turned into UTF-16 by the program, in the system's
// code page, before a wide call reads a byte outside ASCII from it or writes one into
// it (ui/settings_text.h). A file of ASCII alone stays as it is.

namespace {

const wchar_t SETTINGS_NAME[] = L"pairex.ini";
const wchar_t SETTINGS_FOLDER[] = L"Pairex";
const char UTF16LE_MARK[] = "\xFF\xFE";

std::wstring with_separator(std::wstring dir) {
    if (!dir.empty() && dir.back() != L'\\') {
        dir += L'\\';
    }
    return dir;
}

// The user's roaming application data folder, "" when the system names none.
std::wstring roaming_folder() {
    std::wstring dir;
    PWSTR known = nullptr;
    if (SUCCEEDED(SHGetKnownFolderPath(FOLDERID_RoamingAppData, 0, nullptr, &known))) {
        dir = known;
    }
    CoTaskMemFree(known);
    if (dir.empty()) {
        wchar_t value[MAX_PATH] = {};
        const DWORD n = GetEnvironmentVariableW(L"APPDATA", value, MAX_PATH);
        if (n > 0 && n < MAX_PATH) {
            dir.assign(value, n);
        }
    }
    return dir;
}

// Pairex's folder in it, with the separator; "" when there is none.
const std::wstring& settings_folder() {
    static const std::wstring folder = [] {
        const std::wstring roaming = roaming_folder();
        return roaming.empty() ? roaming : with_separator(roaming) + SETTINGS_FOLDER + L'\\';
    }();
    return folder;
}

std::wstring settings_path() {
    const std::wstring& folder = settings_folder();
    return folder.empty() ? folder : folder + SETTINGS_NAME;
}

// Where an older Pairex kept the file: the Windows folder.
std::wstring old_settings_path() {
    wchar_t dir[MAX_PATH] = {};
    const UINT n = GetWindowsDirectoryW(dir, MAX_PATH);
    if (n == 0 || n >= MAX_PATH) {
        return std::wstring();
    }
    return with_separator(std::wstring(dir, n)) + SETTINGS_NAME;
}

// The whole file; false when it cannot be read (a missing file leaves `missing` set).
bool read_whole(const std::wstring& path, std::string& bytes, bool& missing) {
    missing = false;
    HANDLE f = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                           OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (f == INVALID_HANDLE_VALUE) {
        const DWORD error = GetLastError();
        missing = error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
        return false;
    }
    bytes.clear();
    char block[4096];
    DWORD got = 0;
    bool ok = true;
    while ((ok = ReadFile(f, block, sizeof block, &got, nullptr) != FALSE) && got > 0) {
        bytes.append(block, got);
    }
    CloseHandle(f);
    return ok;
}

// Writes a new file `path` that must not exist yet; false (nothing left) on failure.
bool write_new(const std::wstring& path, const std::string& bytes) {
    HANDLE f = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (f == INVALID_HANDLE_VALUE) {
        return false;
    }
    DWORD written = 0;
    const bool ok =
        WriteFile(f, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) != FALSE &&
        written == bytes.size() && FlushFileBuffers(f) != FALSE;
    CloseHandle(f);
    if (!ok) {
        DeleteFileW(path.c_str());
    }
    return ok;
}

bool decode_system_code_page(std::string_view bytes, std::string& out) {
    return append_from_code_page(bytes, system_ansi_code_page(), out);
}

// Makes our file from the older one in the Windows folder, copied whole, when that
// exists. False when there is none or the copy could not be made (nothing is left).
bool start_from_old_file(const std::wstring& path) {
    CreateDirectoryW(settings_folder().c_str(), nullptr);  // already there is fine
    std::string bytes;
    bool missing = false;
    const std::wstring old_path = old_settings_path();
    return !old_path.empty() && read_whole(old_path, bytes, missing) && write_new(path, bytes);
}

// Makes the file ready for a wide profile call that writes `value` ("" for a read): a
// missing file starts as a copy of the older one, or, at a write, as a new file with
// the UTF-16 mark; an 8-bit file is turned into UTF-16 when settings_file_needs_utf16
// says so. The turned file replaces the old one in one rename, so a failure leaves the
// old file whole. Returns false when the file needed turning and stays 8-bit, or could
// not be made for a write: nothing outside ASCII, or nothing at all, may then be
// written.
bool prepare_file(const std::wstring& path, std::string_view value, bool writing) {
    if (path.empty()) {
        return false;
    }
    std::string bytes;
    bool missing = false;
    bool read = read_whole(path, bytes, missing);
    if (!read && missing) {
        if (!start_from_old_file(path)) {
            return !writing || write_new(path, std::string(UTF16LE_MARK, 2));
        }
        read = read_whole(path, bytes, missing);
    }
    if (!read) {
        // A file of unknown form gets nothing but ASCII.
        return !settings_file_needs_utf16("", value);
    }
    if (!settings_file_needs_utf16(bytes, value)) {
        return true;
    }
    // Whatever the system still holds of the file goes to disk before it is read.
    WritePrivateProfileStringW(nullptr, nullptr, nullptr, path.c_str());
    std::string turned;
    if (!read_whole(path, bytes, missing) ||
        !settings_file_as_utf16(bytes, decode_system_code_page, turned)) {
        return false;
    }
    const std::wstring temporary = path + L".new";
    if (!write_new(temporary, turned)) {
        return false;  // taken by something else, or no room: the 8-bit file stays
    }
    if (!MoveFileExW(temporary.c_str(), path.c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        DeleteFileW(temporary.c_str());
        return false;
    }
    return true;
}

}  // namespace

std::string settings_read_string(const char* section, const char* key, const char* default_value) {
    std::wstring path = settings_path();
    prepare_file(path, "", false);  // an 8-bit file that stays so reads as the system has it
    if (GetFileAttributesW(path.c_str()) == INVALID_FILE_ATTRIBUTES) {
        path =
            old_settings_path();  // ours could not be made: the older file still gives its values
    }
    std::vector<wchar_t> buffer(SETTINGS_VALUE_MAX + 1);
    const DWORD n = GetPrivateProfileStringW(wide(section).c_str(), wide(key).c_str(),
                                             wide(default_value).c_str(), buffer.data(),
                                             static_cast<DWORD>(buffer.size()), path.c_str());
    return narrow(std::wstring_view(buffer.data(), n));
}

void settings_write_string(const char* section, const char* key, const char* value) {
    const std::wstring path = settings_path();
    const std::wstring wide_section = wide(section);
    const std::wstring wide_key = wide(key);
    const std::wstring wide_value = wide(value);
    const std::string written = std::string(section) + key + value;
    // Unprepared, the value would reach an 8-bit file as UTF-8, or no file at all.
    if (!prepare_file(path, written, true) ||
        !WritePrivateProfileStringW(wide_section.c_str(), wide_key.c_str(), wide_value.c_str(),
                                    path.c_str())) {
        report_settings_write_failure(narrow(path.empty() ? SETTINGS_NAME : path));
    }
}
