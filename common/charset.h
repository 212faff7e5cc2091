#ifndef PAIREX_COMMON_CHARSET_H
#define PAIREX_COMMON_CHARSET_H

#include <string>
#include <string_view>

// What the bytes of a loaded text stand for on the screen, decided once at load. It is
// for display only: the bytes are compared and written back as they are.
enum DisplayCharset {
    CHARSET_UTF8,  // UTF-8; a byte that starts no valid sequence shows as U+FFFD
    CHARSET_8BIT,  // one character a byte, in the system's ANSI code page
};

// The charset of a text without a byte-order mark: UTF-8 when it holds no byte outside
// a valid sequence, or when it holds at least one valid sequence of two or more bytes
// and fewer such bytes than such sequences (mostly UTF-8, a few broken bytes); else
// 8-bit text.
DisplayCharset detect_charset(std::string_view text);

// Appends 8-bit text as UTF-8. The program replaces the default, Windows-1252 (which
// keeps tests alike everywhere), with the system's code page at start-up.
using AnsiDecoder = void (*)(std::string_view bytes, std::string& out);
void set_ansi_decoder(AnsiDecoder decoder);
void decode_windows_1252(std::string_view bytes, std::string& out);

// Appends `bytes` as UTF-8 for display: 8-bit text through the ANSI decoder, UTF-8 with
// U+FFFD for every byte that starts no valid sequence.
void append_display_utf8(std::string_view bytes, DisplayCharset charset, std::string& out);

#endif
