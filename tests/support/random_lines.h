#ifndef PAIREX_TESTS_SUPPORT_RANDOM_LINES_H
#define PAIREX_TESTS_SUPPORT_RANDOM_LINES_H

// Random lines of UTF-8 in several scripts with white space of every kind, broken
// sequences and lone 0xA0 bytes, and a model of what a line holds apart from its white
// space, written apart from the program's own decoding so that each checks the other.

#include <cstdint>
#include <random>
#include <string>
#include <vector>

namespace random_lines {

// Pieces a line is made of; several hold 0xA0 or 0xC2 inside another character.
inline const std::vector<std::string>& pieces() {
    static const std::vector<std::string> all = {
        "a",
        "Z",
        "q",
        "Q",
        "1",
        "_",
        " ",
        " ",
        "\t",
        "\v",
        "\f",
        "\b",
        "\xC2\xA0",  // U+00A0, no-break space
        "\xA0",      // a lone 0xA0 (8-bit no-break space)
        "\xC2",
        "\xE5",
        "\x80",
        "\xD0",          // broken sequences
        "\xE5\xA0\x80",  // U+5800
        "\xE5\x80\xA0",  // U+5020
        "\xE5\x80\x80",  // U+5000
        "\xE4\xB8\xAD",  // U+4E2D
        "\xD0\xA0",
        "\xD0\x9F",
        "\xD1\x80",
        "\xD0\xB0",  // Cyrillic
        "\xC3\xA9",
        "\xC3\x89",  // e acute, both cases
        "\xCC\x81",
        "\xE3\x82\x99",  // combining marks
        "\xC2\xAB",
        "\xC2\xB7",          // other characters after 0xC2
        "\xF0\x9F\x98\x80",  // outside the BMP
    };
    return all;
}

inline std::string random_line(std::mt19937& rng) {
    const auto& p = pieces();
    std::string line;
    const int n = static_cast<int>(rng() % 9);
    for (int i = 0; i < n; ++i) {
        line += p[rng() % p.size()];
    }
    return line;
}

// A copy of `line` with a few byte-level edits: white space put anywhere (also inside
// a sequence), bytes dropped or replaced, a letter's case changed.
inline std::string edited_line(std::string line, std::mt19937& rng) {
    static const std::vector<std::string> white = {" ", "\t", "\xC2\xA0", "\xA0", "\v"};
    static const char replacements[] = {'\xA0', '\x80', '\xC2', ' ', 'a', 'A'};
    const int edits = static_cast<int>(rng() % 4);
    for (int e = 0; e < edits; ++e) {
        const std::size_t at = line.empty() ? 0 : rng() % (line.size() + 1);
        switch (rng() % 4) {
            case 0:
                line.insert(at, white[rng() % white.size()]);
                break;
            case 1:
                if (at < line.size()) {
                    line.erase(at, 1);
                }
                break;
            case 2:
                if (at < line.size()) {
                    line[at] = replacements[rng() % sizeof replacements];
                }
                break;
            default:
                if (at < line.size() && line[at] >= 'a' && line[at] <= 'z') {
                    line[at] = static_cast<char>(line[at] - 32);
                }
                break;
        }
    }
    return line;
}

// The line's characters apart from white space, in order: a valid sequence as its
// scalar value, any other byte as 0x110000 plus the byte. With `fold`, A to Z as a to z.
inline std::vector<std::uint32_t> visible(const std::string& line, bool fold) {
    std::vector<std::uint32_t> out;
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(line[i]); };
    for (std::size_t i = 0; i < line.size();) {
        const unsigned c = byte(i);
        std::size_t len = c < 0x80                ? 1
                          : c >= 0xC2 && c < 0xE0 ? 2
                          : c >= 0xE0 && c < 0xF0 ? 3
                          : c >= 0xF0 && c < 0xF5 ? 4
                                                  : 0;
        std::uint32_t v = len == 1 ? c : len == 2 ? c & 0x1F : len == 3 ? c & 0x0F : c & 0x07;
        for (std::size_t k = 1; k < len; ++k) {
            if (i + k >= line.size() || (byte(i + k) & 0xC0) != 0x80) {
                len = 0;
                break;
            }
            v = (v << 6) | (byte(i + k) & 0x3F);
        }
        const std::uint32_t least[] = {0, 0, 0x80, 0x800, 0x10000};
        if (len == 0 || v < least[len] || v > 0x10FFFF || (v >= 0xD800 && v <= 0xDFFF)) {
            len = 1;
            v = 0x110000 + c;
        }
        i += len;
        const bool white = v == ' ' || v == '\t' || v == '\b' || v == '\v' || v == '\f' ||
                           v == '\r' || v == 0xA0 || v == 0x110000 + 0xA0;
        if (white) {
            continue;
        }
        if (fold && v >= 'A' && v <= 'Z') {
            v += 32;
        }
        out.push_back(v);
    }
    return out;
}

// The same for a line of 8-bit text, where every byte is a character: all but the
// white bytes, 0xA0 among them.
inline std::vector<std::uint32_t> visible_8bit(const std::string& line, bool fold) {
    std::vector<std::uint32_t> out;
    for (const char ch : line) {
        std::uint32_t c = static_cast<unsigned char>(ch);
        if (c == ' ' || c == '\t' || c == '\b' || c == '\v' || c == '\f' || c == '\r' ||
            c == 0xA0) {
            continue;
        }
        out.push_back(fold && c >= 'A' && c <= 'Z' ? c + 32 : c);
    }
    return out;
}

// `lines` lines drawn at random from "a" to "d": the difference search's worst shape.
inline std::string four_symbol_text(unsigned seed, int lines) {
    std::mt19937 random(seed);
    std::string text;
    for (int i = 0; i < lines; ++i) {
        text += static_cast<char>('a' + random() % 4);
        text += '\n';
    }
    return text;
}

}  // namespace random_lines

#endif
