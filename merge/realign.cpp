#include "merge/realign.h"

#include <algorithm>
#include <new>

#include "common/white_space.h"
#include "merge/blocks.h"
#include "merge/document.h"

int insert_block(int32_t index) {
    const MergeDocument& doc = merge_document;
    if (!doc.left.own_blocks || !doc.left.filler_blocks || !doc.right.own_blocks ||
        !doc.right.filler_blocks) {
        return -1;
    }
    BlockTable* const tables[4] = {
        &*merge_document.left.own_blocks, &*merge_document.left.filler_blocks,
        &*merge_document.right.own_blocks, &*merge_document.right.filler_blocks};
    // The four tables have one size; the end marker is the last entry of each.
    if (index < 0 || static_cast<std::size_t>(index) >= tables[0]->size()) {
        return -1;
    }
    try {
        if (merge_allocation_refused((tables[0]->size() + 1) * sizeof(DiffBlock))) {
            throw std::bad_alloc();
        }
        // Reserve all four first so that the inserts below cannot fail half-way.
        for (BlockTable* table : tables) {
            make_table_room(*table);
        }
    } catch (const std::bad_alloc&) {
        report_out_of_memory();
        return -1;
    }
    for (BlockTable* table : tables) {
        table->insert(table->begin() + index, ABSENT_ENTRY);
    }
    return 0;
}

bool is_blank_line(std::string_view text, DisplayCharset charset) {
    return is_white_text(text, charset);
}

namespace {

// One unchanged stretch: left lines bl..el and right lines br..er (0-based), with the
// filler rows the pass has given each side so far. `j` is the block index where the
// next inserted block goes.
struct Stretch {
    int32_t bl, el, br, er;
    int32_t left_fill = 0;
    int32_t right_fill = 0;
};

bool at_tail(int32_t j) {
    return is_end((*merge_document.left.own_blocks)[j]) ||
           is_end((*merge_document.right.own_blocks)[j]);
}

// Gives each blank line that faces a non-blank one a one-line block of its own.
// Returns 0, or -1 after reporting.
int split_lone_blank_lines(Stretch& s, int32_t& j) {
    MergeSide& left = merge_document.left;
    MergeSide& right = merge_document.right;
    int32_t c = std::max(s.bl, 0);
    int32_t d = std::max(s.br, 0);
    while (c <= s.el && d <= s.er) {
        const bool blank_l = is_blank_line(line_text(left, c), left.charset);
        const bool blank_r = is_blank_line(line_text(right, d), right.charset);
        if (blank_l == blank_r) {
            ++c;
            ++d;
            continue;
        }
        if (insert_block(j) != 0) {
            return -1;
        }
        if (blank_l) {
            (*left.own_blocks)[j] = {c + 1, c + 1, 0};
            (*right.filler_blocks)[j] = {d + 1, d + 1, 0};
            ++s.right_fill;
            ++c;
        } else {
            (*right.own_blocks)[j] = {d + 1, d + 1, 0};
            (*left.filler_blocks)[j] = {c + 1, c + 1, 0};
            ++s.left_fill;
            ++d;
        }
        ++j;
    }
    return 0;
}

// When the stretch's columns now differ in height, the taller one's last lines become
// a block facing filler rows. Returns 0, or -1 after reporting.
int even_column_heights(const Stretch& s, int32_t& j) {
    const int32_t hl = std::max(s.el - s.bl + s.left_fill, -1);
    const int32_t hr = std::max(s.er - s.br + s.right_fill, -1);
    if (hl == hr) {
        return 0;
    }
    if (insert_block(j) != 0) {
        return -1;
    }
    MergeSide& left = merge_document.left;
    MergeSide& right = merge_document.right;
    const int32_t diff = hl - hr;
    if (diff > 0) {
        (*left.own_blocks)[j] = {s.el - diff + 2, s.el + 1, 0};
        (*right.filler_blocks)[j] = {s.er + 2, s.er + 1 + diff, 0};
    } else {
        const int32_t m = -diff;
        (*right.own_blocks)[j] = {s.er - m + 2, s.er + 1, 0};
        (*left.filler_blocks)[j] = {s.el + 2, s.el + 1 + m, 0};
    }
    ++j;
    return 0;
}

}  // namespace

int realign_blank_lines() {
    const MergeSide& left = merge_document.left;
    const MergeSide& right = merge_document.right;
    if (block_count() == 0) {
        return 0;
    }
    int32_t bl = 0;
    int32_t br = 0;
    for (int32_t j = 0;;) {
        const bool tail = at_tail(j);
        // A listing that does not match the loaded texts must not take us past them.
        Stretch s{
            bl,
            std::min(tail ? left.line_count - 1 : block_start(left, j) - 2, left.line_count - 1),
            br,
            std::min(tail ? right.line_count - 1 : block_start(right, j) - 2,
                     right.line_count - 1)};
        if (s.el >= 0 && s.er >= 0) {
            if (split_lone_blank_lines(s, j) != 0 || even_column_heights(s, j) != 0) {
                return -1;
            }
        }
        if (at_tail(j)) {
            return 0;
        }
        bl = block_end(left, j);
        br = block_end(right, j);
        ++j;
    }
}
