#include "ui/view/view_text.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "common/scratch.h"
#include "merge/blocks.h"

void expand_display_text(std::string_view source, char* target, std::size_t capacity,
                         bool double_ampersands, int tab_size) {
    if (capacity == 0) {
        return;
    }
    const std::size_t limit = capacity - 1;
    std::size_t n = 0;
    for (auto p = source.begin(); p != source.end() && n < limit; ++p) {
        if (*p == '\0') {
            // A placeholder that does not fit whole is left out, never cut.
            const std::size_t size = std::strlen(NUL_PLACEHOLDER);
            if (n + size > limit) {
                break;
            }
            std::memcpy(target + n, NUL_PLACEHOLDER, size);
            n += size;
        } else if (*p == '\t') {
            for (int i = 0; i < tab_size && n < limit; ++i) {
                target[n++] = ' ';
            }
        } else if (*p == '&' && double_ampersands) {
            target[n++] = '&';
            if (n < limit) {
                target[n++] = '&';
            }
        } else {
            target[n++] = *p;
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
    expand_display_text(line_text(side, line), work, SCRATCH_SIZE, true, format.tab_size);
    const std::size_t length = std::strlen(work);
    std::string shown;
    if (side.first_column < length) {
        shown.assign(work + side.first_column,
                     std::min<std::size_t>(length - side.first_column, ROW_TEXT_MAX));
    }
    if (format.line_numbers) {
        char number[32];
        std::snprintf(number, sizeof number, "%-6ld  ", static_cast<long>(line) + 1);
        shown.insert(0, number);
        view.line_start = static_cast<uint32_t>(std::strlen(number));
        if (shown.size() > ROW_TEXT_MAX) {
            shown.resize(ROW_TEXT_MAX);
        }
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
