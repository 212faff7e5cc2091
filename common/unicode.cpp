#include "common/unicode.h"

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

namespace {

// The UTF-8 form of a scalar value at `out` (room for 4 bytes). Returns its size.
std::size_t encode_utf8(char32_t value, char* out) {
    if (value < 0x80) {
        out[0] = static_cast<char>(value);
        return 1;
    }
    if (value < 0x800) {
        out[0] = static_cast<char>(0xC0 | (value >> 6));
        out[1] = static_cast<char>(0x80 | (value & 0x3F));
        return 2;
    }
    if (value < 0x10000) {
        out[0] = static_cast<char>(0xE0 | (value >> 12));
        out[1] = static_cast<char>(0x80 | ((value >> 6) & 0x3F));
        out[2] = static_cast<char>(0x80 | (value & 0x3F));
        return 3;
    }
    out[0] = static_cast<char>(0xF0 | (value >> 18));
    out[1] = static_cast<char>(0x80 | ((value >> 12) & 0x3F));
    out[2] = static_cast<char>(0x80 | ((value >> 6) & 0x3F));
    out[3] = static_cast<char>(0x80 | (value & 0x3F));
    return 4;
}

// Calls `put(value, at, size)` for every sequence of `utf8`, an invalid byte as
// REPLACEMENT_CHARACTER of size 1 when `exact` is false. Returns false, at the first
// invalid byte, when `exact` is true.
template <typename Put>
bool for_each_sequence(std::string_view utf8, bool exact, Put put) {
    for (std::size_t at = 0; at < utf8.size();) {
        const Utf8Sequence s = decode_utf8(utf8, at);
        if (!s.valid && exact) {
            return false;
        }
        put(s.value, at, static_cast<std::size_t>(s.size));
        at += s.size;
    }
    return true;
}

void append_units(std::u16string& out, char32_t value) {
    char16_t units[2];
    out.append(units, utf16_units(value, units));
}

unsigned unit_at(const char* p, bool big_endian) {
    const auto b0 = static_cast<unsigned char>(p[0]);
    const auto b1 = static_cast<unsigned char>(p[1]);
    return big_endian ? (b0 << 8) | b1 : (b1 << 8) | b0;
}

void put_unit_bytes(std::string& out, char16_t unit, bool big_endian) {
    const char hi = static_cast<char>(unit >> 8);
    const char lo = static_cast<char>(unit & 0xFF);
    out += big_endian ? hi : lo;
    out += big_endian ? lo : hi;
}

}  // namespace

void append_utf8(std::string& out, char32_t value) {
    char bytes[4];
    out.append(bytes, encode_utf8(value, bytes));
}

std::u16string utf16_for_display(std::string_view utf8, std::vector<std::size_t>* unit_of_byte) {
    std::u16string out;
    out.reserve(utf8.size());
    if (unit_of_byte != nullptr) {
        unit_of_byte->assign(utf8.size() + 1, 0);
    }
    for_each_sequence(utf8, false, [&](char32_t value, std::size_t at, std::size_t size) {
        if (unit_of_byte != nullptr) {
            std::fill_n(unit_of_byte->begin() + static_cast<std::ptrdiff_t>(at), size, out.size());
        }
        append_units(out, value);
    });
    if (unit_of_byte != nullptr) {
        unit_of_byte->back() = out.size();
    }
    return out;
}

bool utf16_exact(std::string_view utf8, std::u16string& out) {
    out.clear();
    out.reserve(utf8.size());
    return for_each_sequence(
        utf8, true, [&](char32_t value, std::size_t, std::size_t) { append_units(out, value); });
}

std::string utf8_from_utf16(std::u16string_view utf16) {
    std::string out;
    out.reserve(utf16.size());
    for (std::size_t i = 0; i < utf16.size(); ++i) {
        char32_t value = utf16[i];
        if (is_high_surrogate(value) && i + 1 < utf16.size() && is_low_surrogate(utf16[i + 1])) {
            value = join_surrogates(value, utf16[++i]);
        } else if (is_high_surrogate(value) || is_low_surrogate(value)) {
            value = REPLACEMENT_CHARACTER;
        }
        append_utf8(out, value);
    }
    return out;
}

std::size_t utf8_char_count(std::string_view utf8) {
    std::size_t count = 0;
    for_each_sequence(utf8, false, [&](char32_t, std::size_t, std::size_t) { ++count; });
    return count;
}

std::size_t utf8_prefix_within_units(std::string_view utf8, std::size_t units) {
    std::size_t used = 0;
    std::size_t at = 0;
    while (at < utf8.size()) {
        const Utf8Sequence s = decode_utf8(utf8, at);
        const std::size_t need = s.value >= 0x10000 ? 2 : 1;
        if (used + need > units) {
            break;
        }
        used += need;
        at += s.size;
    }
    return at;
}

long long utf16_to_utf8(const char* in, std::size_t n, bool big_endian, char* out) {
    if (n % 2 != 0) {
        return -1;
    }
    char* const start = out;
    for (std::size_t i = 0; i < n; i += 2) {
        char32_t value = unit_at(in + i, big_endian);
        if (is_low_surrogate(value)) {
            return -1;  // a trailing half with no leading one
        }
        if (is_high_surrogate(value)) {
            const unsigned low = i + 2 < n ? unit_at(in + i + 2, big_endian) : 0;
            if (!is_low_surrogate(low)) {
                return -1;
            }
            value = join_surrogates(value, low);
            i += 2;
        }
        out += encode_utf8(value, out);
    }
    return out - start;
}

bool utf8_to_utf16(std::string_view text, bool big_endian, std::string& out) {
    return for_each_sequence(text, true, [&](char32_t value, std::size_t, std::size_t) {
        char16_t units[2];
        const std::size_t n = utf16_units(value, units);
        for (std::size_t k = 0; k < n; ++k) {
            put_unit_bytes(out, units[k], big_endian);
        }
    });
}
