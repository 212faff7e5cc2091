#ifndef PAIREX_COMMON_WHITE_SPACE_H
#define PAIREX_COMMON_WHITE_SPACE_H

#include <cstddef>
#include <string_view>

#include "common/charset.h"

// White space, for every comparison that ignores it: the bytes 8, 9, 11, 12, 13 and 32,
// and the no-break space as the text's charset (common/charset.h, decided per file by
// detect_charset) writes it. In 8-bit text every byte is a character: the no-break
// space is the byte 0xA0, and 0xC2 is a letter. In UTF-8 text it is U+00A0 (C2 A0), and
// a byte 0xA0 that is not part of a valid sequence counts too (a line of 8-bit text in a
// file that is mostly UTF-8); a 0xA0 inside a sequence is part of another character and
// never white space.

// Whether a byte is white space wherever it stands (ASCII only).
constexpr bool is_ascii_white(unsigned char c) {
    return c == ' ' || c == '\t' || c == '\b' || c == '\v' || c == '\f' || c == '\r';
}

// Bytes of the white space that starts at p (0 when none), where p is the start of a
// character of `charset` (in UTF-8, of a sequence as decode_utf8 cuts the text). Reads
// at most p[1], and only after a 0xC2 in UTF-8: a text ended by a line feed needs no
// end.
inline std::size_t white_space_at(const unsigned char* p, DisplayCharset charset) {
    if (is_ascii_white(p[0]) || p[0] == 0xA0) {
        return 1;  // a 0xA0 at the start of a sequence is not inside one
    }
    return charset == CHARSET_UTF8 && p[0] == 0xC2 && p[1] == 0xA0 ? 2 : 0;
}

// The same for the text's byte `at`, with the text's end respected.
inline std::size_t white_space_at(std::string_view text, std::size_t at, DisplayCharset charset) {
    const auto c = static_cast<unsigned char>(text[at]);
    if (is_ascii_white(c) || c == 0xA0) {
        return 1;
    }
    return charset == CHARSET_UTF8 && c == 0xC2 && at + 1 < text.size() &&
                   static_cast<unsigned char>(text[at + 1]) == 0xA0
               ? 2
               : 0;
}

// Whether a text holds nothing but white space.
bool is_white_text(std::string_view text, DisplayCharset charset);

#endif
