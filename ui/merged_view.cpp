#include "ui/merged_view.h"

#include <algorithm>
#include <new>

#include "merge/blocks.h"
#include "merge/document.h"

namespace {

struct RowsKey {
    uint32_t revision = 0;
    uint32_t choices_revision = 0;
    int32_t total_rows = -1;
    int32_t conflicts = -1;
    bool operator==(const RowsKey&) const = default;
};

RowsKey key_now() {
    const MergeDocument& doc = merge_document;
    return {doc.revision, doc.choices_revision, doc.total_rows,
            static_cast<int32_t>(doc.conflicts.size())};
}

}  // namespace

const MergedRows& current_merged_rows() {
    static MergedRows rows;
    static RowsKey key;
    const RowsKey now = key_now();
    if (!(now == key)) {
        try {
            rows = merged_rows();
        } catch (const std::bad_alloc&) {
            rows = MergedRows();
        }
        key = now;
    }
    return rows;
}

int32_t block_pane_row(int32_t k) {
    const MergeSide& left = merge_document.left;
    if (k < 0 || k >= block_count() || !left.filler_blocks) {
        return -1;
    }
    // A block's start counts the filler rows of the blocks before it, as the panes do.
    const BlockTable& filler = *left.filler_blocks;
    int64_t passed = 0;
    for (int32_t i = 0; i < k; ++i) {
        const DiffBlock& b = filler[static_cast<std::size_t>(i)];
        if (is_present(b)) {
            passed += int64_t{b.last} - b.first + 1;
        }
    }
    const int64_t row = block_start(left, k) + passed - 1;
    return static_cast<int32_t>(std::clamp<int64_t>(row, 0, INT32_MAX));
}

int32_t merged_view_top(const MergedRows& rows, int32_t top_row) {
    if (rows.row_count <= 0) {
        return 0;
    }
    const int32_t k = current_block();
    const int32_t pane_row = block_pane_row(k);
    int64_t top = top_row;
    if (pane_row >= 0 && static_cast<std::size_t>(k) < rows.block_first.size()) {
        top = int64_t{rows.block_first[static_cast<std::size_t>(k)]} - (pane_row - top_row);
    }
    return static_cast<int32_t>(std::clamp<int64_t>(top, 0, rows.row_count - 1));
}
