#ifndef PAIREX_COMMON_UNICODE_H
#define PAIREX_COMMON_UNICODE_H

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// Every conversion between UTF-8, the program's text, and UTF-16, the system's wide
// strings and the UTF-16 files: one decoder and one encoder of each, and the choice
// between "for display" (what is not valid shows as U+FFFD, nothing is dropped) and
// "exact" (what is not valid refuses the conversion: a changed name could name another
// file, a changed line would change the file).
//
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
// the Indic scripts) of the scripts in COMBINING_RANGES (see unicode.cpp).
bool is_combining_mark(char32_t value);

// Where the character that starts at `at` ends (at < text.size()).
std::size_t next_character(std::string_view text, std::size_t at);

// How many characters the text holds.
std::size_t character_count(std::string_view text);

// The byte offset where character `n` starts (text.size() when it has fewer).
std::size_t character_offset(std::string_view text, std::size_t n);

// Appends the UTF-8 form of a scalar value.
void append_utf8(std::string& out, char32_t value);

// A scalar value as UTF-16: one unit, or a surrogate pair. Returns the unit count.
inline std::size_t utf16_units(char32_t value, char16_t units[2]) {
    if (value < 0x10000) {
        units[0] = static_cast<char16_t>(value);
        return 1;
    }
    value -= 0x10000;
    units[0] = static_cast<char16_t>(0xD800 + (value >> 10));
    units[1] = static_cast<char16_t>(0xDC00 + (value & 0x3FF));
    return 2;
}

inline bool is_high_surrogate(char32_t unit) {
    return unit >= 0xD800 && unit <= 0xDBFF;
}
inline bool is_low_surrogate(char32_t unit) {
    return unit >= 0xDC00 && unit <= 0xDFFF;
}
// The scalar value of a surrogate pair.
inline char32_t join_surrogates(char32_t high, char32_t low) {
    return 0x10000 + ((high - 0xD800) << 10) + (low - 0xDC00);
}

// UTF-16 strings, for the system's wide calls.

// `utf8` as UTF-16 for showing: each byte that is not part of a UTF-8 sequence
// becomes U+FFFD, so nothing is dropped and the rest still shows. When `unit_of_byte`
// is given it gets utf8.size() + 1 entries: for each byte, the UTF-16 index where its
// character starts (the last entry is the whole length), so that a byte span [b, e)
// of whole characters is the UTF-16 span [unit_of_byte[b], unit_of_byte[e]).
std::u16string utf16_for_display(std::string_view utf8,
                                 std::vector<std::size_t>* unit_of_byte = nullptr);

// `utf8` as UTF-16 exactly, for names: false (and `out` unspecified) when `utf8` is not
// valid UTF-8, because a name changed by the conversion could name another file.
bool utf16_exact(std::string_view utf8, std::u16string& out);

#ifdef _WIN32
// The same into the wide string of the system's ...W calls (wchar_t is UTF-16 there).
inline bool wide_exact(std::string_view utf8, std::wstring& out) {
    std::u16string units;
    if (!utf16_exact(utf8, units)) {
        return false;
    }
    out.assign(units.begin(), units.end());
    return true;
}
#endif

// UTF-16 from the system as UTF-8. A surrogate without its partner becomes U+FFFD.
std::string utf8_from_utf16(std::u16string_view utf16);

// The sequences of `utf8`: a byte outside any UTF-8 sequence counts as one, and
// (unlike character_count) a combining mark counts on its own.
std::size_t utf8_char_count(std::string_view utf8);

// The bytes of the longest start of `utf8` that takes at most `units` UTF-16 units for
// showing, never ending inside a sequence.
std::size_t utf8_prefix_within_units(std::string_view utf8, std::size_t units);

// UTF-16 bytes, for files (without their mark).

// Most UTF-8 bytes that `n` bytes of UTF-16 can become.
inline std::size_t utf8_capacity_for_utf16(std::size_t n) {
    return n / 2 * 3;
}

// Decodes `n` bytes of UTF-16 into `out`, which has room for utf8_capacity_for_utf16(n)
// bytes. Returns the bytes written, or -1 when the input is not UTF-16: an odd byte
// count or a surrogate without its partner.
long long utf16_to_utf8(const char* in, std::size_t n, bool big_endian, char* out);

// Appends `text` as UTF-16 bytes to `out`. Returns false (with `out` holding what was
// appended before the fault) when `text` is not valid UTF-8.
bool utf8_to_utf16(std::string_view text, bool big_endian, std::string& out);

#endif
