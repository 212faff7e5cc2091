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
