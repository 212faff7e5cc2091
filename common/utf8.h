#ifndef PAIREX_COMMON_UTF8_H
#define PAIREX_COMMON_UTF8_H

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

// UTF-8 as the program reads it. A sequence is one encoded scalar value; a character
// is a sequence together with the combining marks that follow it, so that a mark
// stays with its base. A byte that does not start a valid sequence is a sequence (and
// a character) of its own, shown as REPLACEMENT_CHARACTER.

constexpr char32_t REPLACEMENT_CHARACTER = 0xFFFD;

struct Utf8Sequence {
    char32_t value;  // REPLACEMENT_CHARACTER for an invalid byte
    uint32_t size;   // 1 to 4; 1 for an invalid byte
    bool valid;
};

// The sequence at p, reading at most up to `end`. Only the shortest form of a scalar
// value is valid (no surrogates, nothing above U+10FFFF). No byte after the first one
// that is not a continuation byte is read, so a text ended by a line feed or a NUL
// may be decoded with an `end` a few bytes past its last.
inline Utf8Sequence decode_utf8(const unsigned char* p, const unsigned char* end) {
    constexpr Utf8Sequence INVALID{REPLACEMENT_CHARACTER, 1, false};
    const unsigned lead = p[0];
    if (lead < 0x80) {
        return {lead, 1, true};
    }
    uint32_t size = 0;
    char32_t value = 0;
    char32_t min = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
        size = 2, value = lead & 0x1F, min = 0x80;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        size = 3, value = lead & 0x0F, min = 0x800;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        size = 4, value = lead & 0x07, min = 0x10000;
    } else {
        return INVALID;
    }
    if (end - p < static_cast<std::ptrdiff_t>(size)) {
        return INVALID;
    }
    for (uint32_t k = 1; k < size; ++k) {
        const unsigned c = p[k];
        if ((c & 0xC0) != 0x80) {
            return INVALID;
        }
        value = (value << 6) | (c & 0x3F);
    }
    if (value < min || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) {
        return INVALID;
    }
    return {value, size, true};
}

inline Utf8Sequence decode_utf8(std::string_view text, std::size_t at) {
    const auto* p = reinterpret_cast<const unsigned char*>(text.data());
    return decode_utf8(p + at, p + text.size());
}

// Whether the whole text is valid UTF-8.
bool is_valid_utf8(std::string_view text);

// Combining marks: the nonspacing and enclosing marks (and the spacing vowel signs of
// the Indic scripts) of the scripts in COMBINING_RANGES (see utf8.cpp).
bool is_combining_mark(char32_t value);

// Where the character that starts at `at` ends (at < text.size()).
std::size_t next_character(std::string_view text, std::size_t at);

// How many characters the text holds.
std::size_t character_count(std::string_view text);

// The byte offset where character `n` starts (text.size() when it has fewer).
std::size_t character_offset(std::string_view text, std::size_t n);

// Appends the UTF-8 form of a scalar value.
void append_utf8(std::string& out, char32_t value);

#endif
