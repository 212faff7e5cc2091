#include "ui/settings_text.h"

#include <algorithm>

#include "common/encoding.h"
#include "common/unicode.h"

namespace {

bool outside_ascii(std::string_view text) {
    return std::any_of(text.begin(), text.end(),
                       [](char c) { return static_cast<unsigned char>(c) >= 0x80; });
}

}  // namespace

bool settings_file_needs_utf16(std::string_view bytes, std::string_view value) {
    const TextEncoding encoding = detect_encoding(bytes.data(), bytes.size());
    return !is_utf16(encoding) && (outside_ascii(bytes) || outside_ascii(value));
}

bool settings_file_as_utf16(std::string_view bytes, const EightBitDecoder& decode_8bit,
                            std::string& out) {
    const std::string_view utf8_mark = encoding_mark(ENCODING_UTF8_BOM);
    std::string_view text = bytes;
    if (text.substr(0, utf8_mark.size()) == utf8_mark) {
        text.remove_prefix(utf8_mark.size());
    }
    std::string decoded;
    if (!is_valid_utf8(text)) {
        if (!decode_8bit(text, decoded)) {
            return false;
        }
        text = decoded;
    }
    out.assign(encoding_mark(ENCODING_UTF16LE));
    return utf8_to_utf16(text, false, out);
}
