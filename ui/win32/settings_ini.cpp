#include "ui/win32/windows_api.h"

#include <string>
#include <vector>

#include "ui/settings_file.h"
#include "ui/win32/ui_state.h"
#include "ui/win32/wide.h"

// The settings file is found by its bare name: the system keeps it in its own
// directory for such files.
//
// The profile functions write a file in the ANSI code page unless it starts with a
// UTF-16 mark. A new file is therefore made with the mark, and an older ANSI file is
// turned into UTF-16 before it gets a value the code page cannot hold; an ANSI file is
// read as before.
UINT settings_code_page = CP_ACP;

namespace {

const wchar_t SETTINGS_FILE[] = L"pairex.ini";
const char UTF16LE_MARK[] = "\xFF\xFE";

// Where the system keeps the file of a bare name: the Windows directory.
std::wstring settings_path() {
    wchar_t dir[MAX_PATH] = {};
    const UINT n = GetWindowsDirectoryW(dir, MAX_PATH);
    if (n == 0 || n >= MAX_PATH) {
        return std::wstring();
    }
    std::wstring path(dir, n);
    if (path.back() != L'\\') {
        path += L'\\';
    }
    return path + SETTINGS_FILE;
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

// True when `text` survives the ANSI code page unchanged.
bool ansi_holds(const std::wstring& text) {
    if (text.empty()) {
        return true;
    }
    // A UTF-8 code page holds every character (and takes neither flag nor out-parameter).
    const UINT code_page = settings_code_page == CP_ACP ? GetACP() : settings_code_page;
    if (code_page == CP_UTF8) {
        return true;
    }
    BOOL lost = FALSE;
    const int n = WideCharToMultiByte(code_page, WC_NO_BEST_FIT_CHARS, text.c_str(),
                                      static_cast<int>(text.size()), nullptr, 0, nullptr, &lost);
    return n > 0 && !lost;
}

// `ansi` (the bytes of an ANSI file) as UTF-16 LE with its mark.
bool ansi_to_utf16_file(const std::string& ansi, std::string& out) {
    out.assign(UTF16LE_MARK, 2);
    if (ansi.empty()) {
        return true;
    }
    const int size = static_cast<int>(ansi.size());
    const int n = MultiByteToWideChar(settings_code_page, 0, ansi.data(), size, nullptr, 0);
    if (n <= 0) {
        return false;
    }
    std::wstring text(static_cast<std::size_t>(n), L'\0');
    MultiByteToWideChar(settings_code_page, 0, ansi.data(), size, text.data(), n);
    for (wchar_t c : text) {
        out += static_cast<char>(c & 0xFF);
        out += static_cast<char>((c >> 8) & 0xFF);
    }
    return true;
}

// Makes the file ready for a value: a missing file is made with the UTF-16 mark; an
// ANSI file is turned into UTF-16 when `needs_unicode`. The turned file replaces the old
// one in one rename, so a failure leaves the old file whole.
void prepare_file(bool needs_unicode) {
    const std::wstring path = settings_path();
    if (path.empty()) {
        return;
    }
    std::string bytes;
    bool missing = false;
    if (!read_whole(path, bytes, missing)) {
        if (missing) {
            write_new(path, std::string(UTF16LE_MARK, 2));
        }
        return;
    }
    const bool unicode = bytes.size() >= 2 && (bytes.compare(0, 2, "\xFF\xFE", 2) == 0 ||
                                               bytes.compare(0, 2, "\xFE\xFF", 2) == 0);
    if (unicode || !needs_unicode) {
        return;
    }
    // Whatever the system still holds of the file goes to disk before it is read.
    WritePrivateProfileStringW(nullptr, nullptr, nullptr, SETTINGS_FILE);
    if (!read_whole(path, bytes, missing)) {
        return;
    }
    std::string turned;
    if (!ansi_to_utf16_file(bytes, turned)) {
        return;
    }
    const std::wstring temporary = path + L".new";
    if (!write_new(temporary, turned)) {
        return;  // taken by something else, or no room: the ANSI file stays
    }
    if (!MoveFileExW(temporary.c_str(), path.c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        DeleteFileW(temporary.c_str());
    }
}

}  // namespace

std::string settings_read_string(const char* section, const char* key, const char* default_value) {
    std::vector<wchar_t> buffer(SETTINGS_VALUE_MAX + 1);
    const DWORD n = GetPrivateProfileStringW(wide(section).c_str(), wide(key).c_str(),
                                             wide(default_value).c_str(), buffer.data(),
                                             static_cast<DWORD>(buffer.size()), SETTINGS_FILE);
    return narrow(std::wstring_view(buffer.data(), n));
}

void settings_write_string(const char* section, const char* key, const char* value) {
    const std::wstring wide_section = wide(section);
    const std::wstring wide_key = wide(key);
    const std::wstring wide_value = wide(value);
    prepare_file(!ansi_holds(wide_section) || !ansi_holds(wide_key) || !ansi_holds(wide_value));
    WritePrivateProfileStringW(wide_section.c_str(), wide_key.c_str(), wide_value.c_str(),
                               SETTINGS_FILE);
}
