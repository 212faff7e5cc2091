#include "merge/history.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <deque>
#include <new>
#include <optional>
#include <vector>

#include "merge/document.h"
#include "merge/merge_platform.h"

void (*merge_written_hook)(const char* path) = nullptr;

namespace {

// One flag of one table: table t (0 left own, 1 left filler, 2 right own, 3 right
// filler), entry k.
struct Change {
    uint32_t table;
    uint32_t k;
    uint32_t before;
    uint32_t after;
};
// What a block holds beyond its flags (both sides, the base, an edited text), before
// and after.
struct ExtraChange {
    uint32_t k;
    BlockExtra before;
    BlockExtra after;
};
struct Step {
    std::vector<Change> flags;
    std::vector<ExtraChange> extras;
    std::size_t cost = 0;  // in flag changes, see step_cost
};

// What a step counts against MAX_HISTORY_CHANGES: each change one, and an edited text
// the flag changes its bytes would hold, so that edits share the same memory cap.
std::size_t step_cost(const Step& step) {
    std::size_t cost = step.flags.size() + step.extras.size();
    for (const ExtraChange& c : step.extras) {
        if (c.after.text) {
            cost += c.after.text->byte_size() / sizeof(Change);
        }
    }
    return cost;
}

constexpr std::size_t TABLES = 4;
// "No write state is reachable any more": every state counts as unwritten.
constexpr long UNREACHABLE = -1;

struct History {
    std::deque<Step> steps;    // steps[0 .. position) can be undone, the rest redone
    std::size_t position = 0;  // the number of steps that can be undone
    long written = 0;          // the position whose state was last written
    std::size_t changes = 0;   // flag changes held over all steps
    int depth = 0;             // nesting of begin_choice
    bool snapshot_valid = false;
    std::array<std::vector<uint32_t>, TABLES> snapshot;
    std::vector<BlockExtra> extras_snapshot;
};
History history;

std::optional<BlockTable>& table_of(std::size_t t) {
    MergeSide& side = t < 2 ? merge_document.left : merge_document.right;
    return t % 2 == 0 ? side.own_blocks : side.filler_blocks;
}

bool take_snapshot() {
    try {
        for (std::size_t t = 0; t < TABLES; ++t) {
            std::vector<uint32_t>& flags = history.snapshot[t];
            flags.clear();
            if (const std::optional<BlockTable>& table = table_of(t)) {
                for (const DiffBlock& b : *table) {
                    flags.push_back(b.chosen);
                }
            }
        }
        history.extras_snapshot = merge_document.block_extras;
        return true;
    } catch (const std::bad_alloc&) {
        return false;
    }
}

// The flags that differ from the snapshot. Returns false when the tables are no longer
// those of the snapshot (their sizes changed).
bool collect_changes(Step& step) {
    for (std::size_t t = 0; t < TABLES; ++t) {
        const std::vector<uint32_t>& flags = history.snapshot[t];
        const std::optional<BlockTable>& table = table_of(t);
        const std::size_t size = table ? table->size() : 0;
        if (size != flags.size()) {
            return false;
        }
        for (std::size_t k = 0; k < size; ++k) {
            const uint32_t now = (*table)[k].chosen;
            if (now != flags[k]) {
                step.flags.push_back(
                    {static_cast<uint32_t>(t), static_cast<uint32_t>(k), flags[k], now});
            }
        }
    }
    // The extras grow from none to one per block; a missing entry is an open one.
    const std::vector<BlockExtra>& was = history.extras_snapshot;
    const std::vector<BlockExtra>& now = merge_document.block_extras;
    const BlockExtra none;
    for (std::size_t k = 0; k < std::max(was.size(), now.size()); ++k) {
        const BlockExtra& before = k < was.size() ? was[k] : none;
        const BlockExtra& after = k < now.size() ? now[k] : none;
        if (!(before == after)) {
            step.extras.push_back({static_cast<uint32_t>(k), before, after});
        }
    }
    step.cost = step_cost(step);
    return true;
}

void drop_redo_steps() {
    while (history.steps.size() > history.position) {
        history.changes -= history.steps.back().cost;
        history.steps.pop_back();
    }
    if (history.written > static_cast<long>(history.position)) {
        history.written = UNREACHABLE;
    }
}

// Keeps the history within MAX_HISTORY_CHANGES by forgetting the oldest steps (the
// newest one always stays).
void drop_oldest_steps() {
    while (history.changes > MAX_HISTORY_CHANGES && history.steps.size() > 1) {
        history.changes -= history.steps.front().cost;
        history.steps.pop_front();
        --history.position;
        history.written = history.written > 0 ? history.written - 1 : UNREACHABLE;
    }
}

void record(Step&& step) {
    ++merge_document.choices_revision;
    drop_redo_steps();
    history.changes += step.cost;
    history.steps.push_back(std::move(step));
    ++history.position;
    drop_oldest_steps();
}

// The history could not hold a change: nothing can be undone any more, and what the
// user has chosen is no longer what was written.
void give_up() {
    ++merge_document.choices_revision;
    history.steps.clear();
    history.position = 0;
    history.changes = 0;
    history.written = UNREACHABLE;
}

void apply_step(const Step& step, bool forward) {
    ++merge_document.choices_revision;
    for (const Change& c : step.flags) {
        std::optional<BlockTable>& table = table_of(c.table);
        if (table && c.k < table->size()) {
            (*table)[c.k].chosen = forward ? c.after : c.before;
        }
    }
    // A step's extras were recorded at their present size or below: the vector never
    // shrinks while the tables stay.
    std::vector<BlockExtra>& extras = merge_document.block_extras;
    for (const ExtraChange& c : step.extras) {
        if (c.k < extras.size()) {
            extras[c.k] = forward ? c.after : c.before;
        }
    }
    platform_repaint_panes();
}

}  // namespace

void begin_choice() {
    if (history.depth++ == 0) {
        history.snapshot_valid = take_snapshot();
        if (!history.snapshot_valid) {
            give_up();
        }
    }
}

void end_choice() {
    if (history.depth == 0 || --history.depth > 0) {
        return;
    }
    if (!history.snapshot_valid) {
        return;
    }
    history.snapshot_valid = false;
    try {
        Step step;
        if (!collect_changes(step)) {
            give_up();
        } else if (!step.flags.empty() || !step.extras.empty()) {
            record(std::move(step));
        }
    } catch (const std::bad_alloc&) {
        give_up();
    }
}

bool undo_choice() {
    if (history.position == 0) {
        return false;
    }
    --history.position;
    apply_step(history.steps[history.position], false);
    return true;
}

bool redo_choice() {
    if (history.position == history.steps.size()) {
        return false;
    }
    apply_step(history.steps[history.position], true);
    ++history.position;
    return true;
}

std::size_t undo_steps() {
    return history.position;
}
std::size_t redo_steps() {
    return history.steps.size() - history.position;
}

void clear_choice_history() {
    history.steps.clear();
    history.position = 0;
    history.changes = 0;
    history.written = 0;
    // A record open across the change compares against other tables: it is dropped.
    history.snapshot_valid = false;
}

void note_merge_written(const char* path) {
    history.written = static_cast<long>(history.position);
    if (merge_written_hook != nullptr) {
        merge_written_hook(path);
    }
}

bool has_unwritten_choices() {
    return history.written != static_cast<long>(history.position);
}
