#ifndef PAIREX_UI_SETTINGS_TEXT_H
#define PAIREX_UI_SETTINGS_TEXT_H

#include <functional>
#include <string>
#include <string_view>

// The settings file as the system's wide profile functions need it. They take a file
// without a UTF-16 mark in the process's ANSI code page, which may be UTF-8 (the
// manifest) and is then not the code page an older program, or Notepad, wrote the file
// in: such a file is turned into UTF-16 by the program itself first.

// Whether the file `bytes` must become UTF-16 before a wide profile call touches it,
// `value` being what the call is to write ("" for a read): a file without a UTF-16 mark
// that holds, or is to hold, a byte outside ASCII.
bool settings_file_needs_utf16(std::string_view bytes, std::string_view value);

// Decodes 8-bit text into UTF-8 appended to the string; false when it cannot.
using EightBitDecoder = std::function<bool(std::string_view, std::string&)>;

// The file's text as UTF-16 LE after its mark, into `out`. A text that is UTF-8 as a
// whole (after a UTF-8 mark, if any) is taken as UTF-8: an older Pairex wrote its
// values so, as a newer Notepad saves; any other as 8-bit text through `decode_8bit`
// (the system's code page). False when the text cannot be decoded.
bool settings_file_as_utf16(std::string_view bytes, const EightBitDecoder& decode_8bit,
                            std::string& out);

#endif
