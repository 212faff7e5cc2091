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

// Block k becomes the current block; the panes show which it is.
static void make_current(int32_t k) {
    if (merge_document.current_block != k) {
        merge_document.current_block = k;
        platform_repaint_panes();
    }
}

static void step(Direction direction) {
    if (!has_tables()) {
        return;
    }
    int32_t k = 0;
    const int32_t s = find_block_row(merge_document.top_row, direction, &k);
    if (s != -1) {
        merge_document.current_block = k;
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
    int32_t k = 0;
    const int32_t s = find_block_row(-1, DIRECTION_NEXT, &k);
    if (s != -1) {
        go_to_row(s - 1);
        make_current(k);
    }
}

void go_last() {
    int32_t k = 0;
    const int32_t s = find_block_row(merge_document.total_rows, DIRECTION_PREVIOUS, &k);
    if (s != -1) {
        go_to_row(s - 1);
        make_current(k);
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
    MergeSide& chosen = side_of(side);
    MergeSide& other = side_of(other_side(side));
    const auto i = static_cast<std::size_t>(k);
    if (i < merge_document.block_extras.size()) {
        merge_document.block_extras[i] = BlockExtra();  // one side's lines, as the flags say
    }
    set_chosen(chosen.own_blocks, i, 1);
    set_chosen(chosen.filler_blocks, i, 1);
    set_chosen(other.own_blocks, i, 0);
    set_chosen(other.filler_blocks, i, 0);
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
    merge_document.current_block = k;
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
    // Blocks the other side already holds keep their choice, as do those that hold
    // both sides, the base or an edit.
    const std::vector<BlockExtra>& extras = merge_document.block_extras;
    auto resolved = [&](std::size_t k) {
        return k < extras.size() && extras[k].kind != RESOLVED_OPEN;
    };
    for (std::size_t k = 0; k < n && !is_end(own[k]); ++k) {
        const bool taken = resolved(k) || other_own[k].chosen != 0 ||
                           (!is_present(other_own[k]) && other_filler[k].chosen != 0);
        if (!taken) {
            own[k].chosen = 1;
        }
    }
    for (std::size_t k = 0; k < n && !is_end(filler[k]); ++k) {
        const bool taken = resolved(k) || other_filler[k].chosen != 0 ||
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
    for (BlockExtra& extra : merge_document.block_extras) {
        extra = BlockExtra();
    }
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
