#include "merge/selection.h"

#include <algorithm>

#include "merge/blocks.h"
#include "merge/history.h"
#include "merge/merge_platform.h"

static bool has_tables() {
    const MergeDocument& doc = merge_document;
    return doc.left.own_blocks && doc.left.filler_blocks && doc.right.own_blocks &&
           doc.right.filler_blocks;
}

void go_to_row(int32_t row) {
    const int32_t highest = std::max(merge_document.total_rows - 1, 0);
    const int32_t old_top = merge_document.top_row;
    merge_document.top_row = std::clamp(row, 0, highest);
    platform_scroll_panes(old_top);
}

static void step(Direction direction) {
    if (!has_tables()) {
        return;
    }
    const int32_t s = find_block_row(merge_document.top_row, direction);
    if (s != -1) {
        merge_document.top_row = s - 1;
        platform_set_scroll_position(s);
        platform_repaint_panes();
    }
}

void go_next() {
    step(DIRECTION_NEXT);
}
void go_prev() {
    step(DIRECTION_PREVIOUS);
}

void go_first() {
    const int32_t s = find_block_row(-1, DIRECTION_NEXT);
    if (s != -1) {
        go_to_row(s - 1);
    }
}

void go_last() {
    const int32_t s = find_block_row(merge_document.total_rows, DIRECTION_PREVIOUS);
    if (s != -1) {
        go_to_row(s - 1);
    }
}

void go_beginning() {
    go_to_row(0);
}
void go_end() {
    go_to_row(merge_document.total_rows);
}

static void set_chosen(std::optional<BlockTable>& table, std::size_t k, uint32_t value) {
    if (table && k < table->size() && is_present((*table)[k])) {
        (*table)[k].chosen = value;
    }
}

void choose_block(Side side, int32_t k) {
    if (!has_tables() || k < 0 || block_count() <= k) {
        return;
    }
    const ChoiceRecord record;
    MergeSide& mine = side_of(side);
    MergeSide& theirs = side_of(other_side(side));
    const auto i = static_cast<std::size_t>(k);
    set_chosen(mine.own_blocks, i, 1);
    set_chosen(mine.filler_blocks, i, 1);
    set_chosen(theirs.own_blocks, i, 0);
    set_chosen(theirs.filler_blocks, i, 0);
}

void choose_by_click(Side side, int32_t y) {
    if (!has_tables()) {
        return;
    }
    const int32_t height = std::max(platform_pane_line_height(), 1);
    if (y < 0) {
        return;
    }
    const int64_t row64 = int64_t{y / height} + merge_document.top_row;
    if (row64 > INT32_MAX - 1) {
        return;
    }
    const auto row = static_cast<int32_t>(row64);
    const MergeSide& s = side_of(side);
    const int32_t line = row_to_line(s, row);
    const int32_t k =
        line == -1 ? find_block_at(s, row, KIND_FILLER_ROW) : find_block_at(s, line, KIND_OWN_LINE);
    if (k == -1) {
        return;
    }
    choose_block(side, k);
    platform_repaint_panes();
    if (merge_document.auto_walk != 0) {
        go_next();
    }
}

void choose_all_from(Side side) {
    if (!has_tables()) {
        return;
    }
    const ChoiceRecord record;
    BlockTable& own = *side_of(side).own_blocks;
    BlockTable& filler = *side_of(side).filler_blocks;
    const BlockTable& other_own = *side_of(other_side(side)).own_blocks;
    const BlockTable& other_filler = *side_of(other_side(side)).filler_blocks;
    const std::size_t n =
        std::min({own.size(), filler.size(), other_own.size(), other_filler.size()});
    // Blocks the other side already holds keep their choice.
    for (std::size_t k = 0; k < n && !is_end(own[k]); ++k) {
        const bool taken =
            other_own[k].chosen != 0 || (!is_present(other_own[k]) && other_filler[k].chosen != 0);
        if (!taken) {
            own[k].chosen = 1;
        }
    }
    for (std::size_t k = 0; k < n && !is_end(filler[k]); ++k) {
        const bool taken = other_filler[k].chosen != 0 ||
                           (!is_present(other_filler[k]) && other_own[k].chosen != 0);
        if (!taken) {
            filler[k].chosen = 1;
        }
    }
    platform_repaint_panes();
}

void unselect_all() {
    if (!merge_document.right.own_blocks) {
        return;
    }
    const ChoiceRecord record;
    for (MergeSide* s : {&merge_document.left, &merge_document.right}) {
        for (std::optional<BlockTable>* t : {&s->own_blocks, &s->filler_blocks}) {
            if (*t) {
                for (DiffBlock& b : **t) {
                    b.chosen = 0;
                }
            }
        }
    }
    platform_repaint_panes();
}
