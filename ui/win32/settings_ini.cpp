#include "ui/win32/windows_api.h"

#include <vector>

#include "ui/settings_file.h"

// The settings file is found by its bare name: the system keeps it in its own
// directory for such files.
namespace {
const char SETTINGS_FILE[] = "pairex.ini";
}

std::string settings_read_string(const char* section, const char* key, const char* default_value) {
    std::vector<char> buffer(SETTINGS_VALUE_MAX + 1);
    DWORD n = GetPrivateProfileStringA(section, key, default_value, buffer.data(),
                                       static_cast<DWORD>(buffer.size()), SETTINGS_FILE);
    return std::string(buffer.data(), n);
}

void settings_write_string(const char* section, const char* key, const char* value) {
    WritePrivateProfileStringA(section, key, value, SETTINGS_FILE);
}
