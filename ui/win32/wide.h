#ifndef PAIREX_UI_WIN32_WIDE_H
#define PAIREX_UI_WIN32_WIDE_H

#include <string>
#include <string_view>
#include <vector>

#include "common/unicode.h"

// The program's text is UTF-8; the system's ...W calls take UTF-16. Each call converts
// right where it is made, through common/unicode.h; these only adapt its UTF-16
// strings to the system's wchar_t. Names go through wide_exact (common/unicode.h).

// `utf8` for showing: bytes that are not UTF-8 show as U+FFFD. `unit_of_byte`
// (optional) maps each byte to the UTF-16 index of its character, as
// utf16_for_display does.
inline std::wstring wide(std::string_view utf8, std::vector<std::size_t>* unit_of_byte = nullptr) {
    const std::u16string units = utf16_for_display(utf8, unit_of_byte);
    return {units.begin(), units.end()};
}

// Text from the system as UTF-8.
inline std::string narrow(std::wstring_view text) {
    return utf8_from_utf16(std::u16string(text.begin(), text.end()));
}

// The code page 8-bit text was most likely written in: the system locale's ANSI code
// page. The manifest's UTF-8 code page, where the system honours it, makes the active
// one (CP_ACP) UTF-8, which no 8-bit file was written in.
unsigned system_ansi_code_page();

// Appends `bytes`, 8-bit text of `code_page`, as UTF-8. False (nothing appended) when
// the system cannot decode them. `exact` (optional) tells whether every byte stood for
// a character of the code page (else the code page's stand-in shows for it).
bool append_from_code_page(std::string_view bytes, unsigned code_page, std::string& out,
                           bool* exact = nullptr);

// Appends `utf8` in `code_page`. False when it is not UTF-8 or holds a character the
// code page lacks: no best-fit letter (a plain A for an A with a macron) and no default
// character stand in for it.
bool append_to_code_page(std::string_view utf8, unsigned code_page, std::string& out);

#endif
