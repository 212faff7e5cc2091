#include "common/encoding.h"

namespace {

constexpr std::string_view UTF8_MARK("\xEF\xBB\xBF", 3);
constexpr std::string_view UTF16LE_MARK("\xFF\xFE", 2);
constexpr std::string_view UTF16BE_MARK("\xFE\xFF", 2);

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
