#ifndef PAIREX_COMMON_WHITE_SPACE_H
#define PAIREX_COMMON_WHITE_SPACE_H

#include <cstddef>
#include <string_view>

// White space, for every comparison that ignores it: the bytes 8, 9, 11, 12, 13 and 32,
// the no-break space U+00A0 (C2 A0), and a byte 0xA0 that is not part of a valid UTF-8
// sequence (the no-break space of 8-bit text). It is decided per position, since a
// text's encoding is not known where lines are compared: a 0xA0 inside a sequence is
// part of another character and never white space.

// Whether a byte is white space wherever it stands (ASCII only).
constexpr bool is_ascii_white(unsigned char c) {
    return c == ' ' || c == '\t' || c == '\b' || c == '\v' || c == '\f' || c == '\r';
}

// Bytes of the white space that starts at p (0 when none), where p is the start of a
// sequence as decode_utf8 cuts the text. Reads at most p[1], and only after a 0xC2:
// a text ended by a line feed needs no end.
inline std::size_t white_space_at(const unsigned char* p) {
    if (is_ascii_white(p[0]) || p[0] == 0xA0) {
        return 1;  // a 0xA0 at the start of a sequence is not inside one
    }
    return p[0] == 0xC2 && p[1] == 0xA0 ? 2 : 0;
}

// The same for the text's byte `at`, with the text's end respected.
inline std::size_t white_space_at(std::string_view text, std::size_t at) {
    const auto c = static_cast<unsigned char>(text[at]);
    if (is_ascii_white(c) || c == 0xA0) {
        return 1;
    }
    return c == 0xC2 && at + 1 < text.size() && static_cast<unsigned char>(text[at + 1]) == 0xA0
               ? 2
               : 0;
}

// Whether a text holds nothing but white space.
bool is_white_text(std::string_view text);

#endif
