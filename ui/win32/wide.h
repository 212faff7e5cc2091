#ifndef PAIREX_UI_WIN32_WIDE_H
#define PAIREX_UI_WIN32_WIDE_H

#include <string>
#include <string_view>
#include <vector>

// The program's text is UTF-8; the system's ...W calls take UTF-16. Each call converts
// right where it is made, with these.

// `utf8` for showing: bytes that are not UTF-8 show as U+FFFD. `unit_of_byte`
// (optional) maps each byte to the UTF-16 index of its character, as
// utf16_for_display does.
std::wstring wide(std::string_view utf8, std::vector<std::size_t>* unit_of_byte = nullptr);

// `utf8` as a name for the system; false when it is not UTF-8 (such a name would reach
// another file).
bool wide_name(std::string_view utf8, std::wstring& out);

// Text from the system as UTF-8.
std::string narrow(std::wstring_view text);

#endif
