#include "common/encoding.h"

#include "common/utf8.h"

#include <cstdint>

namespace {

constexpr std::string_view UTF8_MARK("\xEF\xBB\xBF", 3);
constexpr std::string_view UTF16LE_MARK("\xFF\xFE", 2);
constexpr std::string_view UTF16BE_MARK("\xFE\xFF", 2);

unsigned unit_at(const char* p, bool big_endian) {
    const auto b0 = static_cast<unsigned char>(p[0]);
    const auto b1 = static_cast<unsigned char>(p[1]);
    return big_endian ? (b0 << 8) | b1 : (b1 << 8) | b0;
}

char* put_utf8(char* out, std::uint32_t cp) {
    if (cp < 0x80) {
        *out++ = static_cast<char>(cp);
    } else if (cp < 0x800) {
        *out++ = static_cast<char>(0xC0 | (cp >> 6));
        *out++ = static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        *out++ = static_cast<char>(0xE0 | (cp >> 12));
        *out++ = static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        *out++ = static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        *out++ = static_cast<char>(0xF0 | (cp >> 18));
        *out++ = static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        *out++ = static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        *out++ = static_cast<char>(0x80 | (cp & 0x3F));
    }
    return out;
}

void put_unit(std::string& out, unsigned unit, bool big_endian) {
    const char hi = static_cast<char>(unit >> 8);
    const char lo = static_cast<char>(unit & 0xFF);
    out += big_endian ? hi : lo;
    out += big_endian ? lo : hi;
}

// The length of the valid sequence at text[i] and its value in `cp`; 0 when none
// starts there.
std::size_t read_utf8(std::string_view text, std::size_t i, std::uint32_t& cp) {
    const Utf8Sequence seq = decode_utf8(text, i);
    cp = static_cast<std::uint32_t>(seq.value);
    return seq.valid ? seq.size : 0;
}

}  // namespace

TextEncoding detect_encoding(const char* data, std::size_t n) {
    const std::string_view head(data, n < 3 ? n : 3);
    if (head.starts_with(UTF8_MARK)) {
        return ENCODING_UTF8_BOM;
    }
    if (head.starts_with(UTF16LE_MARK)) {
        return ENCODING_UTF16LE;
    }
    if (head.starts_with(UTF16BE_MARK)) {
        return ENCODING_UTF16BE;
    }
    return ENCODING_BYTES;
}

std::string_view encoding_mark(TextEncoding encoding) {
    switch (encoding) {
        case ENCODING_UTF8_BOM:
            return UTF8_MARK;
        case ENCODING_UTF16LE:
            return UTF16LE_MARK;
        case ENCODING_UTF16BE:
            return UTF16BE_MARK;
        default:
            return {};
    }
}

long long utf16_to_utf8(const char* in, std::size_t n, bool big_endian, char* out) {
    if (n % 2 != 0) {
        return -1;
    }
    char* const start = out;
    for (std::size_t i = 0; i < n; i += 2) {
        std::uint32_t cp = unit_at(in + i, big_endian);
        if (cp >= 0xDC00 && cp <= 0xDFFF) {
            return -1;  // a trailing half with no leading one
        }
        if (cp >= 0xD800 && cp <= 0xDBFF) {
            const unsigned low = i + 2 < n ? unit_at(in + i + 2, big_endian) : 0;
            if (low < 0xDC00 || low > 0xDFFF) {
                return -1;
            }
            cp = 0x10000 + ((cp - 0xD800) << 10) + (low - 0xDC00);
            i += 2;
        }
        out = put_utf8(out, cp);
    }
    return out - start;
}

bool utf8_to_utf16(std::string_view text, bool big_endian, std::string& out) {
    for (std::size_t i = 0; i < text.size();) {
        std::uint32_t cp = 0;
        const std::size_t len = read_utf8(text, i, cp);
        if (len == 0) {
            return false;
        }
        i += len;
        if (cp < 0x10000) {
            put_unit(out, cp, big_endian);
        } else {
            cp -= 0x10000;
            put_unit(out, 0xD800 + (cp >> 10), big_endian);
            put_unit(out, 0xDC00 + (cp & 0x3FF), big_endian);
        }
    }
    return true;
}
