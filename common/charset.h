#ifndef PAIREX_COMMON_CHARSET_H
#define PAIREX_COMMON_CHARSET_H

#include <string>
#include <string_view>

// What the bytes of a loaded text stand for, decided once at load: how they show, and
// the form a line is converted from when it goes into a file of another form. The bytes
// are compared as they are.
enum DisplayCharset {
    CHARSET_UTF8,  // UTF-8; a byte that starts no valid sequence shows as U+FFFD
    CHARSET_8BIT,  // one character a byte, in the system's ANSI code page
};

// The charset of a text without a byte-order mark: UTF-8 when it holds no byte outside
// a valid sequence, or when it holds at least one valid sequence of two or more bytes
// and fewer such bytes than such sequences (mostly UTF-8, a few broken bytes); else
// 8-bit text.
DisplayCharset detect_charset(std::string_view text);

// Whether every byte is below 0x80: text that reads alike in every form.
bool is_ascii(std::string_view text);

// Appends 8-bit text as UTF-8; returns false when a byte stands for no character of
// the code page (it is shown as U+FFFD or the code page's own stand-in). The program
// replaces the default, Windows-1252 (which keeps tests alike everywhere), with the
// system's code page at start-up.
using AnsiDecoder = bool (*)(std::string_view bytes, std::string& out);
void set_ansi_decoder(AnsiDecoder decoder);
bool decode_windows_1252(std::string_view bytes, std::string& out);

// Appends UTF-8 text as 8-bit text; returns false (with `out` holding some of it) when
// the text is not valid UTF-8 or holds a character the code page lacks: nothing is put
// in its place. Replaced at start-up like the decoder, with the same code page.
using AnsiEncoder = bool (*)(std::string_view utf8, std::string& out);
void set_ansi_encoder(AnsiEncoder encoder);
bool encode_windows_1252(std::string_view utf8, std::string& out);

// Appends `text`, held in the form `from`, in the form `to`: as it is when the two are
// the same (every byte, broken ones too), else through UTF-8 with the ANSI decoder or
// encoder. Returns false when a byte is not valid in `from` or a character has no
// place in `to`.
bool convert_charset(std::string_view text, DisplayCharset from, DisplayCharset to,
                     std::string& out);

// Appends `bytes` as UTF-8 for display: 8-bit text through the ANSI decoder, UTF-8 with
// U+FFFD for every byte that starts no valid sequence.
void append_display_utf8(std::string_view bytes, DisplayCharset charset, std::string& out);

#endif
