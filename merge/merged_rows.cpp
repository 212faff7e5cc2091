#include "merge/merged_rows.h"

#include <algorithm>

#include "merge/blocks.h"

namespace {

MergedState state_of(Resolution r) {
    switch (r) {
        case RESOLVED_LEFT:
            return MERGED_LEFT;
        case RESOLVED_RIGHT:
            return MERGED_RIGHT;
        case RESOLVED_LEFT_RIGHT:
        case RESOLVED_RIGHT_LEFT:
            return MERGED_BOTH;
        case RESOLVED_BASE:
            return MERGED_BASE;
        case RESOLVED_EDITED:
            return MERGED_EDITED;
        default:
            return MERGED_OPEN;
    }
}

int32_t entry_rows(const DiffBlock& b) {
    return is_present(b) ? std::max(b.last - b.first + 1, 0) : 0;
}

// The rows block k takes in the left pane.
int32_t aligned_rows(int32_t k) {
    const MergeSide& left = merge_document.left;
    const auto i = static_cast<std::size_t>(k);
    return entry_rows((*left.own_blocks)[i]) + entry_rows((*left.filler_blocks)[i]);
}

void add(MergedRows& rows, const LineRun& lines, MergedState state, int32_t block) {
    if (lines.count <= 0) {
        return;
    }
    rows.runs.push_back({lines, state, block, rows.row_count});
    rows.row_count += lines.count;
}

// Left lines a .. j (0-based), held to the lines there are.
void add_common(MergedRows& rows, int32_t a, int32_t j) {
    const int32_t count = merge_document.left.line_count;
    const int32_t first = std::clamp(a, 0, count);
    const int32_t last = std::clamp(j, first - 1, count - 1);
    add(rows, {SOURCE_LEFT, first, last - first + 1}, MERGED_COMMON, -1);
}

void add_open_block(MergedRows& rows, int32_t k) {
    if (can_take_base(k)) {
        const ConflictRange& c = merge_document.conflicts[static_cast<std::size_t>(k)];
        const int32_t lines = merge_document.conflict_base.count();
        const int32_t first = std::clamp(c.base_first, 0, lines);
        const int32_t count = std::clamp(c.base_count, 0, lines - first);
        if (count > 0) {
            add(rows, {SOURCE_BASE, first, count}, MERGED_BASE_PREVIEW, k);
            return;
        }
    }
    add(rows, {SOURCE_NONE, 0, std::max(aligned_rows(k), 1)}, MERGED_OPEN, k);
}

}  // namespace

MergedRows merged_rows() {
    MergedRows rows;
    const MergeSide& left = merge_document.left;
    const int32_t blocks = block_count();
    rows.block_first.reserve(static_cast<std::size_t>(blocks));
    int32_t a = 0;
    for (int32_t k = 0; k < blocks; ++k) {
        add_common(rows, a, block_start(left, k) - 2);
        a = block_end(left, k);
        rows.block_first.push_back(rows.row_count);
        const Resolution r = block_resolution(k);
        if (r == RESOLVED_OPEN) {
            add_open_block(rows, k);
            continue;
        }
        const BlockRuns runs = block_runs(k);
        for (int i = 0; i < runs.count; ++i) {
            add(rows, runs.runs[i], state_of(r), k);
        }
    }
    add_common(rows, a, left.line_count - 1);
    return rows;
}

MergedRow merged_row(const MergedRows& rows, int32_t row) {
    const auto after =
        std::upper_bound(rows.runs.begin(), rows.runs.end(), row,
                         [](int32_t r, const MergedRun& run) { return r < run.first_row; });
    if (after == rows.runs.begin()) {
        return {};
    }
    const MergedRun& run = *(after - 1);
    const int32_t i = row - run.first_row;
    if (i < 0 || i >= run.lines.count) {
        return {};
    }
    return {run_line(run.block, run.lines, i), run.state, run.lines.source, run.block,
            run.lines.first + i};
}

DisplayCharset merged_row_charset(LineSource source) {
    if (source == SOURCE_RIGHT) {
        return merge_document.right.charset;
    }
    return source == SOURCE_EDITED ? CHARSET_UTF8 : merge_document.left.charset;
}
