#include "merge/blocks.h"

#include <algorithm>

#include "merge/merge_platform.h"

// Ranges come from a listing that may not match the loaded files (or be garbage), so
// sums are taken in 64 bits and brought back into int32 range.
static int32_t clamp32(int64_t v) {
    return static_cast<int32_t>(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX));
}

static int64_t range_size(const DiffBlock& b) {
    return int64_t{b.last} - b.first + 1;
}

void make_table_room(BlockTable& table) {
    if (table.size() == table.capacity()) {
        table.reserve(std::max<std::size_t>(20, table.size() * 2));
    }
}

int32_t block_start(const MergeSide& side, int32_t k) {
    const DiffBlock& own = (*side.own_blocks)[k];
    return is_present(own) ? own.first : (*side.filler_blocks)[k].first;
}

int32_t block_end(const MergeSide& side, int32_t k) {
    const DiffBlock& own = (*side.own_blocks)[k];
    return is_present(own) ? own.last : clamp32(int64_t{(*side.filler_blocks)[k].first} - 1);
}

int32_t row_to_line(const MergeSide& side, int32_t row) {
    if (!side.filler_blocks) {
        return row;
    }
    const int64_t r1 = int64_t{row} + 1;
    int64_t passed = 0;
    for (const DiffBlock& b : *side.filler_blocks) {
        if (is_end(b)) {
            break;
        }
        if (!is_present(b)) {
            continue;
        }
        if (r1 > b.last + passed) {
            passed += range_size(b);
        } else if (r1 < b.first + passed) {
            return clamp32(row - passed);
        } else {
            return -1;
        }
    }
    return clamp32(row - passed);
}

int32_t find_block_at(const MergeSide& side, int32_t position, BlockKind kind) {
    const std::optional<BlockTable>& table =
        kind == KIND_FILLER_ROW ? side.filler_blocks : side.own_blocks;
    if (!table) {
        return -1;
    }
    const int64_t p1 = int64_t{position} + 1;
    int64_t passed = 0;
    for (std::size_t k = 0; k < table->size(); ++k) {
        const DiffBlock& b = (*table)[k];
        if (is_end(b)) {
            break;
        }
        if (!is_present(b)) {
            continue;
        }
        if (p1 <= b.last + passed) {
            return p1 >= b.first + passed ? static_cast<int32_t>(k) : -1;
        }
        if (kind == KIND_FILLER_ROW) {
            passed += range_size(b);
        }
    }
    return -1;
}

void compute_total_rows() {
    const MergeSide& left = merge_document.left;
    int64_t total = left.line_count;
    if (left.filler_blocks) {
        for (const DiffBlock& b : *left.filler_blocks) {
            if (is_end(b)) {
                break;
            }
            if (is_present(b)) {
                total += range_size(b);
            }
        }
    }
    merge_document.total_rows = clamp32(std::max<int64_t>(total, 0));
    platform_set_scroll_range(1, merge_document.total_rows);
}

int32_t find_block_row(int32_t from_row, Direction direction, int32_t* block) {
    const MergeSide& left = merge_document.left;
    if (!left.own_blocks || !left.filler_blocks) {
        return -1;
    }
    const BlockTable& own = *left.own_blocks;
    const BlockTable& filler = *left.filler_blocks;
    const int64_t target = int64_t{from_row} + 1;
    int64_t passed = 0;
    int64_t previous_start = -1;
    std::size_t k = 0;
    for (; k < own.size() && k < filler.size(); ++k) {
        if (is_end(own[k]) || is_end(filler[k])) {
            break;
        }
        const int64_t start = (is_present(own[k]) ? own[k].first : filler[k].first) + passed;
        if (direction == DIRECTION_NEXT ? start > target : start >= target) {
            break;
        }
        previous_start = start;
        if (is_present(filler[k])) {
            passed += range_size(filler[k]);
        }
    }
    const bool at_end =
        k >= own.size() || k >= filler.size() || is_end(own[k]) || is_end(filler[k]);
    if (direction == DIRECTION_NEXT) {
        if (at_end) {
            return -1;
        }
        if (block != nullptr) {
            *block = static_cast<int32_t>(k);
        }
        return clamp32((is_present(own[k]) ? own[k].first : filler[k].first) + passed);
    }
    if (block != nullptr && previous_start != -1) {
        *block = static_cast<int32_t>(k) - 1;
    }
    return clamp32(previous_start);
}

int32_t block_count() {
    const MergeDocument& doc = merge_document;
    if (!doc.left.own_blocks || !doc.right.own_blocks) {
        return 0;
    }
    const BlockTable& l = *doc.left.own_blocks;
    const BlockTable& r = *doc.right.own_blocks;
    int32_t n = 0;
    while (static_cast<std::size_t>(n) < l.size() && static_cast<std::size_t>(n) < r.size() &&
           !is_end(l[n]) && !is_end(r[n])) {
        ++n;
    }
    return n;
}

bool side_holds(const MergeSide& side, int32_t k) {
    const DiffBlock& own = (*side.own_blocks)[k];
    if (is_present(own)) {
        return own.chosen != 0;
    }
    return (*side.filler_blocks)[k].chosen != 0;
}
