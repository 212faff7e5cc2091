#include "merge/resolution.h"

#include <algorithm>
#include <new>

#include "common/byte_scan.h"
#include "merge/blocks.h"
#include "merge/conflict_mode.h"
#include "merge/history.h"
#include "merge/merge_platform.h"
#include "merge/selection.h"

namespace {

// k < block_count(), without a pass over the tables: the rows and the write ask it for
// every block.
bool valid_block(int32_t k) {
    const MergeDocument& doc = merge_document;
    if (k < 0 || !doc.left.own_blocks || !doc.right.own_blocks || !doc.left.filler_blocks ||
        !doc.right.filler_blocks) {
        return false;
    }
    const auto i = static_cast<std::size_t>(k);
    for (const BlockTable* t : {&*doc.left.own_blocks, &*doc.right.own_blocks,
                                &*doc.left.filler_blocks, &*doc.right.filler_blocks}) {
        if (i >= t->size() || is_end((*t)[i])) {
            return false;
        }
    }
    return true;
}

const BlockExtra& extra_of(int32_t k) {
    static const BlockExtra none;
    const std::vector<BlockExtra>& extras = merge_document.block_extras;
    return static_cast<std::size_t>(k) < extras.size() ? extras[static_cast<std::size_t>(k)] : none;
}

void set_flags(MergeSide& side, std::size_t k, uint32_t value) {
    for (std::optional<BlockTable>* table : {&side.own_blocks, &side.filler_blocks}) {
        if (*table && k < (*table)->size() && is_present((**table)[k])) {
            (**table)[k].chosen = value;
        }
    }
}

// Gives block k what its flags cannot say, as one undo step. Returns 0, or -1 after
// reporting "Not enough memory".
int set_extra(int32_t k, BlockExtra extra) {
    const ChoiceRecord record;
    std::vector<BlockExtra>& extras = merge_document.block_extras;
    try {
        extras.resize(std::max(extras.size(), static_cast<std::size_t>(block_count())));
    } catch (const std::bad_alloc&) {
        report_out_of_memory();
        return -1;
    }
    // Both sides' lines go in: both sides are chosen. The base or an edit takes neither.
    const bool both = extra.kind == RESOLVED_LEFT_RIGHT || extra.kind == RESOLVED_RIGHT_LEFT;
    const auto i = static_cast<std::size_t>(k);
    set_flags(merge_document.left, i, both ? 1 : 0);
    set_flags(merge_document.right, i, both ? 1 : 0);
    extras[i] = std::move(extra);
    return 0;
}

// After an operation on the current block: the panes show it, and Auto walk moves on.
void after_resolving() {
    platform_repaint_panes();
    if (merge_document.auto_walk != 0) {
        go_next();
    }
}

// `side`'s own lines of block k, or none.
LineRun own_run(const MergeSide& side, LineSource source, int32_t k) {
    const DiffBlock& own = (*side.own_blocks)[static_cast<std::size_t>(k)];
    if (!is_present(own)) {
        return {source, 0, 0};
    }
    const int32_t first = std::clamp(own.first - 1, 0, side.line_count);
    const int32_t end = std::clamp(own.last, first, side.line_count);
    return {source, first, end - first};
}

// Splits an edit's text into lines. May throw std::bad_alloc.
void split_edit(std::string_view text, LineList& out) {
    out.reserve(text.size() + 1, count_byte(text.data(), text.size(), '\n') + 1);
    while (!text.empty()) {
        const std::size_t feed = text.find('\n');
        std::string_view line = text.substr(0, feed);
        if (feed != std::string_view::npos && line.ends_with('\r')) {
            line.remove_suffix(1);
        }
        out.append(line);
        text.remove_prefix(feed == std::string_view::npos ? text.size() : feed + 1);
    }
}

}  // namespace

int32_t current_block() {
    const int32_t n = block_count();
    return n == 0 ? -1 : std::clamp(merge_document.current_block, 0, n - 1);
}

Resolution block_resolution(int32_t k) {
    if (!valid_block(k)) {
        return RESOLVED_OPEN;
    }
    const BlockExtra& extra = extra_of(k);
    if (extra.kind != RESOLVED_OPEN) {
        return extra.kind;
    }
    if (side_holds(merge_document.left, k)) {
        return RESOLVED_LEFT;
    }
    return side_holds(merge_document.right, k) ? RESOLVED_RIGHT : RESOLVED_OPEN;
}

bool can_take_base(int32_t k) {
    const std::vector<ConflictRange>& conflicts = merge_document.conflicts;
    return in_conflict_mode() && valid_block(k) && static_cast<std::size_t>(k) < conflicts.size() &&
           conflicts[static_cast<std::size_t>(k)].has_base;
}

void resolve_current_block(Resolution kind) {
    const int32_t k = current_block();
    if (k < 0) {
        return;
    }
    switch (kind) {
        case RESOLVED_LEFT:
        case RESOLVED_RIGHT:
            choose_block(kind == RESOLVED_LEFT ? SIDE_LEFT : SIDE_RIGHT, k);
            break;
        case RESOLVED_BASE:
            if (!can_take_base(k)) {
                return;
            }
            [[fallthrough]];
        case RESOLVED_LEFT_RIGHT:
        case RESOLVED_RIGHT_LEFT:
            if (set_extra(k, {kind, nullptr}) != 0) {
                return;
            }
            break;
        default:
            return;
    }
    after_resolving();
}

std::string block_edit_text(int32_t k) {
    std::string text;
    if (!valid_block(k)) {
        return text;
    }
    BlockRuns runs = block_runs(k);
    if (block_resolution(k) == RESOLVED_OPEN) {
        runs.runs[0] = own_run(merge_document.left, SOURCE_LEFT, k);
        runs.count = 1;
    }
    for (int r = 0; r < runs.count; ++r) {
        for (int32_t i = 0; i < runs.runs[r].count; ++i) {
            text += run_line(k, runs.runs[r], i);
            text += '\n';
        }
    }
    return text;
}

int edit_current_block(std::string_view text) {
    const int32_t k = current_block();
    if (k < 0) {
        return -1;
    }
    std::shared_ptr<LineList> lines;
    try {
        if (merge_allocation_refused(text.size() * 2)) {
            throw std::bad_alloc();
        }
        lines = std::make_shared<LineList>();
        split_edit(text, *lines);
    } catch (const std::bad_alloc&) {
        report_out_of_memory();
        return -1;
    }
    if (set_extra(k, {RESOLVED_EDITED, std::move(lines)}) != 0) {
        return -1;
    }
    after_resolving();
    return 0;
}

bool has_edited_blocks() {
    return std::any_of(merge_document.block_extras.begin(), merge_document.block_extras.end(),
                       [](const BlockExtra& e) { return e.kind == RESOLVED_EDITED; });
}

bool confirm_discarding_edits() {
    return !has_edited_blocks() ||
           platform_ask("Confirm the operation", "Edited blocks will be lost.\nContinue ?",
                        BUTTONS_YES_NO) == ANSWER_YES;
}

BlockRuns block_runs(int32_t k) {
    BlockRuns out;
    if (!valid_block(k)) {
        return out;
    }
    const MergeSide& left = merge_document.left;
    const MergeSide& right = merge_document.right;
    const LineRun l = own_run(left, SOURCE_LEFT, k);
    const LineRun r = own_run(right, SOURCE_RIGHT, k);
    switch (block_resolution(k)) {
        case RESOLVED_LEFT:
            out.runs[out.count++] = l;
            break;
        case RESOLVED_RIGHT:
            out.runs[out.count++] = r;
            break;
        case RESOLVED_LEFT_RIGHT:
            out.runs[out.count++] = l;
            out.runs[out.count++] = r;
            break;
        case RESOLVED_RIGHT_LEFT:
            out.runs[out.count++] = r;
            out.runs[out.count++] = l;
            break;
        case RESOLVED_BASE: {
            const ConflictRange& c = merge_document.conflicts[static_cast<std::size_t>(k)];
            const int32_t lines = merge_document.conflict_base.count();
            const int32_t first = std::clamp(c.base_first, 0, lines);
            out.runs[out.count++] = {SOURCE_BASE, first,
                                     std::clamp(c.base_count, 0, lines - first)};
            break;
        }
        case RESOLVED_EDITED:
            out.runs[out.count++] = {SOURCE_EDITED, 0, extra_of(k).text->count()};
            break;
        default:
            break;
    }
    return out;
}

std::string_view run_line(int32_t k, const LineRun& run, int32_t i) {
    const int32_t line = run.first + i;
    switch (run.source) {
        case SOURCE_LEFT:
            return line_text(merge_document.left, line);
        case SOURCE_RIGHT:
            return line_text(merge_document.right, line);
        case SOURCE_BASE:
            return merge_document.conflict_base.line(line);
        case SOURCE_EDITED:
            return extra_of(k).text->line(line);
        default:
            return {};
    }
}

LineEnd block_line_end(int32_t k) {
    const MergeSide& left = merge_document.left;
    const MergeSide& right = merge_document.right;
    const int32_t before = std::min(block_start(left, k) - 2, left.line_count - 1);
    if (before >= 0) {
        const LineEnd end = line_end_of(left, before);
        if (end != ENDS_NONE) {
            return end;
        }
        // A last line without a line feed that the block follows: the end it is owed.
        return before > 0 ? line_end_of(left, before - 1) : ENDS_LF;
    }
    for (const MergeSide* side : {&left, &right}) {
        if (side->line_count > 0 && line_end_of(*side, 0) != ENDS_NONE) {
            return line_end_of(*side, 0);
        }
    }
    return ENDS_LF;
}

bool block_ends_text(int32_t k) {
    return block_end(merge_document.left, k) >= merge_document.left.line_count;
}
