#include "common/wide_text.h"

#include "common/utf8.h"

namespace {

constexpr char16_t REPLACEMENT = 0xFFFD;

// The length of the valid sequence at text[i] and its value in `cp`; 0 when none
// starts there.
std::size_t read_sequence(std::string_view text, std::size_t i, std::uint32_t& cp) {
    const Utf8Sequence seq = decode_utf8(text, i);
    cp = static_cast<std::uint32_t>(seq.value);
    return seq.valid ? seq.size : 0;
}

void put_utf16(std::u16string& out, std::uint32_t cp) {
    if (cp < 0x10000) {
        out += static_cast<char16_t>(cp);
    } else {
        cp -= 0x10000;
        out += static_cast<char16_t>(0xD800 + (cp >> 10));
        out += static_cast<char16_t>(0xDC00 + (cp & 0x3FF));
    }
}

}  // namespace

std::u16string utf16_for_display(std::string_view utf8, std::vector<std::size_t>* unit_of_byte) {
    std::u16string out;
    out.reserve(utf8.size());
    if (unit_of_byte != nullptr) {
        unit_of_byte->assign(utf8.size() + 1, 0);
    }
    for (std::size_t i = 0; i < utf8.size();) {
        std::uint32_t cp = 0;
        std::size_t len = read_sequence(utf8, i, cp);
        if (len == 0) {
            cp = REPLACEMENT;
            len = 1;
        }
        if (unit_of_byte != nullptr) {
            for (std::size_t k = 0; k < len; ++k) {
                (*unit_of_byte)[i + k] = out.size();
            }
        }
        put_utf16(out, cp);
        i += len;
    }
    if (unit_of_byte != nullptr) {
        unit_of_byte->back() = out.size();
    }
    return out;
}

#ifdef _WIN32
bool wide_exact(std::string_view utf8, std::wstring& out) {
    std::u16string units;
    if (!utf16_exact(utf8, units)) {
        return false;
    }
    out.assign(units.begin(), units.end());
    return true;
}
#endif

bool utf16_exact(std::string_view utf8, std::u16string& out) {
    out.clear();
    out.reserve(utf8.size());
    for (std::size_t i = 0; i < utf8.size();) {
        std::uint32_t cp = 0;
        const std::size_t len = read_sequence(utf8, i, cp);
        if (len == 0) {
            return false;
        }
        put_utf16(out, cp);
        i += len;
    }
    return true;
}

std::string utf8_from_utf16(std::u16string_view utf16) {
    std::string out;
    out.reserve(utf16.size());
    for (std::size_t i = 0; i < utf16.size(); ++i) {
        std::uint32_t cp = utf16[i];
        if (cp >= 0xD800 && cp <= 0xDBFF && i + 1 < utf16.size() && utf16[i + 1] >= 0xDC00 &&
            utf16[i + 1] <= 0xDFFF) {
            cp = 0x10000 + ((cp - 0xD800) << 10) + (utf16[i + 1] - 0xDC00u);
            ++i;
        } else if (cp >= 0xD800 && cp <= 0xDFFF) {
            cp = REPLACEMENT;
        }
        append_utf8(out, static_cast<char32_t>(cp));
    }
    return out;
}

std::size_t utf8_char_count(std::string_view utf8) {
    std::size_t count = 0;
    for (std::size_t i = 0; i < utf8.size(); ++count) {
        std::uint32_t cp = 0;
        const std::size_t len = read_sequence(utf8, i, cp);
        i += len == 0 ? 1 : len;
    }
    return count;
}

std::size_t utf8_prefix_within_units(std::string_view utf8, std::size_t units) {
    std::size_t used = 0;
    std::size_t i = 0;
    while (i < utf8.size()) {
        std::uint32_t cp = 0;
        std::size_t len = read_sequence(utf8, i, cp);
        const std::size_t need = len != 0 && cp >= 0x10000 ? 2 : 1;
        if (used + need > units) {
            break;
        }
        used += need;
        i += len == 0 ? 1 : len;
    }
    return i;
}
