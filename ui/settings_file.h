#ifndef PAIREX_UI_SETTINGS_FILE_H
#define PAIREX_UI_SETTINGS_FILE_H

#include <string>

// Access to the settings file pairex.ini. The Windows program uses the system's
// private-profile functions; the tests keep the sections in memory. Section and key
// names compare without regard to case.

// The value of `key` in `section`, or `default_value` when the key is missing. At
// most SETTINGS_VALUE_MAX characters are returned.
std::string settings_read_string(const char* section, const char* key, const char* default_value);

// Replaces the value of `key` (adding the key and the section when missing).
void settings_write_string(const char* section, const char* key, const char* value);

constexpr std::size_t SETTINGS_VALUE_MAX = 16383;

#endif
