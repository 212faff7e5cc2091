#include "common/charset.h"

#include <algorithm>
#include <cstdint>
#include <iterator>
#include <cstring>

#include "common/unicode.h"

namespace {

AnsiDecoder ansi_decoder = decode_windows_1252;
AnsiEncoder ansi_encoder = encode_windows_1252;

// 0x80 to 0x9F of Windows-1252; the five bytes it leaves undefined show as U+FFFD.
constexpr char16_t WINDOWS_1252_HIGH[32] = {
    0x20AC, 0xFFFD, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0xFFFD, 0x017D, 0xFFFD, 0xFFFD, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0xFFFD, 0x017E, 0x0178,
};

}  // namespace

DisplayCharset detect_charset(std::string_view text) {
    const auto* p = reinterpret_cast<const unsigned char*>(text.data());
    const auto* const end = p + text.size();
    std::size_t sequences = 0;
    std::size_t broken = 0;
    while (p < end) {
        // ASCII eight bytes at a step: most texts are mostly ASCII.
        if (end - p >= 8) {
            std::uint64_t w;
            std::memcpy(&w, p, sizeof w);
            if ((w & 0x8080808080808080u) == 0) {
                p += 8;
                continue;
            }
        }
        if (*p < 0x80) {
            ++p;
            continue;
        }
        const Utf8Sequence s = decode_utf8(p, end);
        if (s.valid) {
            ++sequences;
        } else {
            ++broken;
        }
        p += s.size;
    }
    return broken == 0 || (sequences > 0 && broken < sequences) ? CHARSET_UTF8 : CHARSET_8BIT;
}

bool is_ascii(std::string_view text) {
    return std::none_of(text.begin(), text.end(), [](char c) { return (c & 0x80) != 0; });
}

void set_ansi_decoder(AnsiDecoder decoder) {
    ansi_decoder = decoder != nullptr ? decoder : decode_windows_1252;
}

void set_ansi_encoder(AnsiEncoder encoder) {
    ansi_encoder = encoder != nullptr ? encoder : encode_windows_1252;
}

bool decode_windows_1252(std::string_view bytes, std::string& out) {
    bool exact = true;
    for (char ch : bytes) {
        const auto c = static_cast<unsigned char>(ch);
        if (c < 0x80) {
            out += ch;
            continue;
        }
        const char32_t value = c < 0xA0 ? WINDOWS_1252_HIGH[c - 0x80] : char32_t{c};
        exact = exact && value != REPLACEMENT_CHARACTER;
        append_utf8(out, value);
    }
    return exact;
}

bool encode_windows_1252(std::string_view utf8, std::string& out) {
    const auto* p = reinterpret_cast<const unsigned char*>(utf8.data());
    const auto* const end = p + utf8.size();
    while (p < end) {
        const Utf8Sequence s = decode_utf8(p, end);
        if (!s.valid) {
            return false;
        }
        p += s.size;
        if (s.value < 0x80 || (s.value >= 0xA0 && s.value <= 0xFF)) {
            out += static_cast<char>(s.value);
            continue;
        }
        // U+FFFD marks the undefined bytes in the table: it has no byte of its own.
        const auto* high =
            s.value == REPLACEMENT_CHARACTER || s.value > 0xFFFF
                ? std::end(WINDOWS_1252_HIGH)
                : std::find(std::begin(WINDOWS_1252_HIGH), std::end(WINDOWS_1252_HIGH),
                            static_cast<char16_t>(s.value));
        if (high == std::end(WINDOWS_1252_HIGH)) {
            return false;
        }
        out += static_cast<char>(0x80 + (high - std::begin(WINDOWS_1252_HIGH)));
    }
    return true;
}

bool convert_charset(std::string_view text, DisplayCharset from, DisplayCharset to,
                     std::string& out) {
    // ASCII is the same bytes in every form (every ANSI code page keeps it).
    if (from == to || is_ascii(text)) {
        out.append(text);
        return true;
    }
    return from == CHARSET_8BIT ? ansi_decoder(text, out) : ansi_encoder(text, out);
}

void append_display_utf8(std::string_view bytes, DisplayCharset charset, std::string& out) {
    if (charset == CHARSET_8BIT) {
        ansi_decoder(bytes, out);  // shown as best it can be, exact or not
        return;
    }
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    const auto* const end = p + bytes.size();
    while (p < end) {
        const Utf8Sequence s = decode_utf8(p, end);
        if (s.valid) {
            out.append(reinterpret_cast<const char*>(p), s.size);
        } else {
            append_utf8(out, REPLACEMENT_CHARACTER);
        }
        p += s.size;
    }
}
