#include "ui/view/view_text.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "common/scratch.h"
#include "common/unicode.h"
#include "merge/blocks.h"

namespace {

// The target of expand_display_text: at most `limit` bytes, a piece put whole or not
// at all.
struct DisplayTarget {
    char* bytes;
    std::size_t limit;
    std::size_t n = 0;

    bool full() const { return n >= limit; }
    bool put(const char* piece, std::size_t size) {
        if (n + size > limit) {
            return false;
        }
        std::memcpy(bytes + n, piece, size);
        n += size;
        return true;
    }
    void put_cut(char c, int count) {  // as much of `count` copies as fits
        for (int i = 0; i < count && n < limit; ++i) {
            bytes[n++] = c;
        }
    }
};

// Puts the display form of what starts at p; returns its source bytes, or 0 when a
// piece that must stay whole does not fit.
std::size_t expand_one(const unsigned char* p, const unsigned char* end, DisplayTarget& out,
                       bool double_ampersands, int tab_size) {
    const unsigned char c = *p;
    if (c == '\0') {
        return out.put(NUL_PLACEHOLDER, std::strlen(NUL_PLACEHOLDER)) ? 1 : 0;
    }
    if (c == '\t') {
        out.put_cut(' ', tab_size);
        return 1;
    }
    if (c == '&' && double_ampersands) {
        out.put_cut('&', 2);
        return 1;
    }
    if (c < 0x80) {
        out.put_cut(static_cast<char>(c), 1);
        return 1;
    }
    const Utf8Sequence s = decode_utf8(p, end);
    const bool fits = s.valid ? out.put(reinterpret_cast<const char*>(p), s.size)
                              : out.put("\xEF\xBF\xBD", 3);  // U+FFFD
    return fits ? s.size : 0;
}

}  // namespace

void expand_display_text(std::string_view source, char* target, std::size_t capacity,
                         bool double_ampersands, int tab_size, DisplayCharset charset) {
    if (capacity == 0) {
        return;
    }
    std::string converted;
    if (charset == CHARSET_8BIT) {
        // Every byte shows as at least one byte but a tab, so a few times the target's
        // size is more than can be shown; the decoder may take bytes in pairs.
        append_display_utf8(source.substr(0, 4 * capacity), charset, converted);
        source = converted;
    }
    DisplayTarget out{target, capacity - 1};
    const auto* p = reinterpret_cast<const unsigned char*>(source.data());
    const auto* const end = p + source.size();
    while (p != end && !out.full()) {
        const std::size_t used = expand_one(p, end, out, double_ampersands, tab_size);
        if (used == 0) {
            break;
        }
        p += used;
    }
    if (out.n > 0) {
        const unsigned char last = static_cast<unsigned char>(target[out.n - 1]);
        if (last < 32 || last == 127) {
            --out.n;
        }
    }
    target[out.n] = '\0';
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
    // An empty file still shows the filler rows it has against the other side.
    if (side.lines.empty() && side.line_count == 0 && !side.filler_blocks) {
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
