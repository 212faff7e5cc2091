#include "ui/print_layout.h"

#include <algorithm>
#include <cstring>

#include "common/unicode.h"

int32_t print_line_height(int32_t text_height) {
    return std::max(text_height - 2, 1);
}

int32_t print_lines_per_page(int32_t page_height, int32_t line_height) {
    if (line_height <= 0) {
        line_height = 1;
    }
    return std::max(page_height / line_height, 1);
}

PrintSpot print_spot(int32_t line_number, int32_t lines_per_page, int32_t line_height) {
    const int32_t n = std::max(line_number, 0);
    const int32_t per_page = std::max(lines_per_page, 1);
    const int32_t row = n % per_page;
    return {n / per_page, row, row * line_height};
}

bool print_line_starts_page(int32_t line_number, int32_t lines_per_page) {
    return line_number > 0 && line_number % std::max(lines_per_page, 1) == 0;
}

int32_t print_page_count(int32_t line_count, int32_t lines_per_page) {
    if (line_count <= 0) {
        return 1;
    }
    const int32_t per_page = std::max(lines_per_page, 1);
    return line_count / per_page + (line_count % per_page != 0 ? 1 : 0);
}

std::size_t expand_print_line(const char* text, std::size_t length, int tab_size, char* out) {
    if (length > 0 && text[length - 1] == '\n') {
        --length;
    }
    const auto* p = reinterpret_cast<const unsigned char*>(text);
    const auto* const end = p + length;
    std::size_t n = 0;
    while (p < end && n < PRINT_LINE_MAX) {
        if (*p == '\t') {
            // A huge tab size fills the rest of the line, no more.
            const std::size_t blanks = std::min<std::size_t>(
                tab_size > 0 ? static_cast<std::size_t>(tab_size) : 0, PRINT_LINE_MAX - n);
            std::memset(out + n, ' ', blanks);
            n += blanks;
            ++p;
            continue;
        }
        if (*p < 0x80) {
            out[n++] = static_cast<char>(*p++);
            continue;
        }
        // A character is printed whole or not at all; a broken byte as U+FFFD.
        const Utf8Sequence s = decode_utf8(p, end);
        const char* bytes = s.valid ? reinterpret_cast<const char*>(p) : "\xEF\xBF\xBD";
        const std::size_t size = s.valid ? s.size : 3;
        if (n + size > PRINT_LINE_MAX) {
            break;
        }
        std::memcpy(out + n, bytes, size);
        n += size;
        p += s.size;
    }
    out[n] = '\0';
    return n;
}
