#ifndef PAIREX_TESTS_SUPPORT_FUZZ_UI_H
#define PAIREX_TESTS_SUPPORT_FUZZ_UI_H

#include <string>

// The fuzz targets' settings file: forget everything, or read the profile `text`
// ("[section]" lines, then "key=value" lines).
void fuzz_settings_clear();
void fuzz_settings_load(const std::string& text);

#endif
