#include "ui/win32/wide.h"

#include "common/wide_text.h"

std::wstring wide(std::string_view utf8, std::vector<std::size_t>* unit_of_byte) {
    const std::u16string units = utf16_for_display(utf8, unit_of_byte);
    return std::wstring(units.begin(), units.end());
}

bool wide_name(std::string_view utf8, std::wstring& out) {
    return wide_exact(utf8, out);
}

std::string narrow(std::wstring_view text) {
    return utf8_from_utf16(std::u16string(text.begin(), text.end()));
}
