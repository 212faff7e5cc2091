#include "common/utf8.h"

#include <algorithm>
#include <iterator>

namespace {

struct Range {
    char32_t first;
    char32_t last;
};

// Sorted and disjoint. Covered: the general diacritics (Latin, Greek, Cyrillic), the
// Cyrillic, Hebrew, Arabic, Syriac, Thaana, Devanagari, Bengali, Gurmukhi, Gujarati,
// Tamil, Thai, Lao and Tibetan marks, the combining blocks (extended, supplement, for
// symbols, half marks), the CJK tone marks, the Japanese voiced-sound marks and the
// variation selectors. Marks of other scripts start characters of their own.
constexpr Range COMBINING_RANGES[] = {
    {0x0300, 0x036F},   {0x0483, 0x0489}, {0x0591, 0x05BD}, {0x05BF, 0x05BF}, {0x05C1, 0x05C2},
    {0x05C4, 0x05C5},   {0x05C7, 0x05C7}, {0x0610, 0x061A}, {0x064B, 0x065F}, {0x0670, 0x0670},
    {0x06D6, 0x06DC},   {0x06DF, 0x06E4}, {0x06E7, 0x06E8}, {0x06EA, 0x06ED}, {0x0711, 0x0711},
    {0x0730, 0x074A},   {0x07A6, 0x07B0}, {0x0900, 0x0903}, {0x093A, 0x093C}, {0x093E, 0x094F},
    {0x0951, 0x0957},   {0x0962, 0x0963}, {0x0981, 0x0983}, {0x09BC, 0x09BC}, {0x09BE, 0x09C4},
    {0x09C7, 0x09C8},   {0x09CB, 0x09CD}, {0x09D7, 0x09D7}, {0x09E2, 0x09E3}, {0x0A01, 0x0A03},
    {0x0A3C, 0x0A51},   {0x0A70, 0x0A71}, {0x0A75, 0x0A75}, {0x0A81, 0x0A83}, {0x0ABC, 0x0ABC},
    {0x0ABE, 0x0ACD},   {0x0AE2, 0x0AE3}, {0x0B82, 0x0B82}, {0x0BBE, 0x0BCD}, {0x0BD7, 0x0BD7},
    {0x0E31, 0x0E31},   {0x0E34, 0x0E3A}, {0x0E47, 0x0E4E}, {0x0EB1, 0x0EB1}, {0x0EB4, 0x0EBC},
    {0x0EC8, 0x0ECD},   {0x0F18, 0x0F19}, {0x0F35, 0x0F35}, {0x0F37, 0x0F37}, {0x0F39, 0x0F39},
    {0x0F71, 0x0F84},   {0x0F86, 0x0F87}, {0x0F8D, 0x0FBC}, {0x1AB0, 0x1AFF}, {0x1DC0, 0x1DFF},
    {0x20D0, 0x20FF},   {0x302A, 0x302F}, {0x3099, 0x309A}, {0xFE00, 0xFE0F}, {0xFE20, 0xFE2F},
    {0xE0100, 0xE01EF},
};

}  // namespace

bool is_valid_utf8(std::string_view text) {
    const auto* p = reinterpret_cast<const unsigned char*>(text.data());
    const auto* end = p + text.size();
    while (p < end) {
        if (*p < 0x80) {
            ++p;
            continue;
        }
        const Utf8Sequence s = decode_utf8(p, end);
        if (!s.valid) {
            return false;
        }
        p += s.size;
    }
    return true;
}

bool is_combining_mark(char32_t value) {
    if (value < 0x0300) {
        return false;
    }
    const Range* r =
        std::upper_bound(std::begin(COMBINING_RANGES), std::end(COMBINING_RANGES), value,
                         [](char32_t v, const Range& range) { return v < range.first; });
    return r != std::begin(COMBINING_RANGES) && value <= std::prev(r)->last;
}

std::size_t next_character(std::string_view text, std::size_t at) {
    const auto* base = reinterpret_cast<const unsigned char*>(text.data());
    const auto* end = base + text.size();
    const auto* p = base + at;
    p += decode_utf8(p, end).size;
    // A mark is at least two bytes: an ASCII byte always starts a character.
    while (p < end && *p >= 0x80) {
        const Utf8Sequence s = decode_utf8(p, end);
        if (!s.valid || !is_combining_mark(s.value)) {
            break;
        }
        p += s.size;
    }
    return static_cast<std::size_t>(p - base);
}

std::size_t character_count(std::string_view text) {
    std::size_t n = 0;
    for (std::size_t at = 0; at < text.size(); at = next_character(text, at)) {
        ++n;
    }
    return n;
}

std::size_t character_offset(std::string_view text, std::size_t n) {
    std::size_t at = 0;
    for (; n > 0 && at < text.size(); --n) {
        at = next_character(text, at);
    }
    return at;
}

void append_utf8(std::string& out, char32_t value) {
    if (value < 0x80) {
        out += static_cast<char>(value);
    } else if (value < 0x800) {
        out += static_cast<char>(0xC0 | (value >> 6));
        out += static_cast<char>(0x80 | (value & 0x3F));
    } else if (value < 0x10000) {
        out += static_cast<char>(0xE0 | (value >> 12));
        out += static_cast<char>(0x80 | ((value >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (value & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (value >> 18));
        out += static_cast<char>(0x80 | ((value >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((value >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (value & 0x3F));
    }
}
