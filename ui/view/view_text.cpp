#include "ui/view/view_text.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "common/scratch.h"
#include "common/utf8.h"
#include "merge/blocks.h"

void expand_display_text(std::string_view source, char* target, std::size_t capacity,
                         bool double_ampersands, int tab_size, DisplayCharset charset) {
    if (capacity == 0) {
        return;
    }
    const std::size_t limit = capacity - 1;
    std::string converted;
    if (charset == CHARSET_8BIT) {
        // Every byte shows as at least one byte but a tab, so a few times the target's
        // size is more than can be shown; the decoder may take bytes in pairs.
        append_display_utf8(source.substr(0, 4 * capacity), charset, converted);
        source = converted;
    }
    const auto* const end = reinterpret_cast<const unsigned char*>(source.data() + source.size());
    std::size_t n = 0;
    // Copies `size` bytes when they fit whole.
    const auto put = [&](const char* bytes, std::size_t size) {
        if (n + size > limit) {
            return false;
        }
        std::memcpy(target + n, bytes, size);
        n += size;
        return true;
    };
    for (auto p = reinterpret_cast<const unsigned char*>(source.data()); p != end && n < limit;) {
        const unsigned char c = *p;
        if (c == '\0') {
            if (!put(NUL_PLACEHOLDER, std::strlen(NUL_PLACEHOLDER))) {
                break;
            }
            ++p;
        } else if (c == '\t') {
            for (int i = 0; i < tab_size && n < limit; ++i) {
                target[n++] = ' ';
            }
            ++p;
        } else if (c == '&' && double_ampersands) {
            target[n++] = '&';
            if (n < limit) {
                target[n++] = '&';
            }
            ++p;
        } else if (c < 0x80) {
            target[n++] = static_cast<char>(c);
            ++p;
        } else {
            const Utf8Sequence s = decode_utf8(p, end);
            const bool fits = s.valid ? put(reinterpret_cast<const char*>(p), s.size)
                                      : put("\xEF\xBF\xBD", 3);  // U+FFFD
            if (!fits) {
                break;
            }
            p += s.size;
        }
    }
    if (n > 0) {
        const unsigned char last = static_cast<unsigned char>(target[n - 1]);
        if (last < 32 || last == 127) {
            --n;
        }
    }
    target[n] = '\0';
}

std::size_t next_display_character(std::string_view text, std::size_t at) {
    if (text[at] == '&' && at + 1 < text.size() && text[at + 1] == '&') {
        return at + 2;
    }
    return next_character(text, at);
}

std::size_t display_column_offset(std::string_view text, std::size_t column) {
    std::size_t at = 0;
    for (; column > 0 && at < text.size(); --column) {
        at = next_display_character(text, at);
    }
    return at;
}

static const DiffBlock* entry(const std::optional<BlockTable>& table, int32_t k) {
    return table && k >= 0 && static_cast<std::size_t>(k) < table->size() ? &(*table)[k] : nullptr;
}

RowView describe_row(const MergeSide& side, int32_t row, const RowFormat& format) {
    RowView view;
    if (side.lines.empty() && side.line_count == 0) {
        return view;
    }
    const int32_t line = row_to_line(side, row);
    view.line = line;
    if (line >= side.line_count) {
        view.state = ROW_PAST_END;
        return view;
    }
    if (line == -1) {
        view.block = find_block_at(side, row, KIND_FILLER_ROW);
        const DiffBlock* b = entry(side.filler_blocks, view.block);
        view.state = b != nullptr && b->chosen ? ROW_FILLER_CHOSEN : ROW_FILLER;
        return view;
    }
    view.block = side.own_blocks ? find_block_at(side, line, KIND_OWN_LINE) : -1;
    if (view.block >= 0) {
        const DiffBlock* b = entry(side.own_blocks, view.block);
        view.state = b != nullptr && b->chosen ? ROW_OWN_CHOSEN : ROW_OWN;
    } else {
        view.state = ROW_COMMON;
    }

    // The expansion works in the shared buffer, as every other short-lived text does.
    static char fallback[SCRATCH_SIZE];
    char* work = scratch_buffer != nullptr ? scratch_buffer : fallback;
    expand_display_text(line_text(side, line), work, SCRATCH_SIZE, true, format.tab_size,
                        side.charset);
    const std::string_view all(work);
    const std::size_t from = display_column_offset(all, side.first_column);
    std::string shown(all.substr(from, display_column_offset(all.substr(from), ROW_TEXT_MAX)));
    if (format.line_numbers) {
        char number[32];
        std::snprintf(number, sizeof number, "%-6ld  ", static_cast<long>(line) + 1);
        shown.insert(0, number);
        view.line_start = static_cast<uint32_t>(std::strlen(number));
        shown.resize(display_column_offset(shown, ROW_TEXT_MAX));
    }
    view.text = std::move(shown);
    return view;
}

RowSpan rows_in_band(int32_t top, int32_t bottom, int32_t line_height) {
    if (line_height <= 0) {
        return {0, 0};
    }
    return {top / line_height, bottom / line_height + 1};
}
