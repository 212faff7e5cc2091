#include "merge/history.h"

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
using Step = std::vector<Change>;

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
                step.push_back({static_cast<uint32_t>(t), static_cast<uint32_t>(k), flags[k], now});
            }
        }
    }
    return true;
}

void drop_redo_steps() {
    while (history.steps.size() > history.position) {
        history.changes -= history.steps.back().size();
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
        history.changes -= history.steps.front().size();
        history.steps.pop_front();
        --history.position;
        history.written = history.written > 0 ? history.written - 1 : UNREACHABLE;
    }
}

void record(Step&& step) {
    drop_redo_steps();
    history.changes += step.size();
    history.steps.push_back(std::move(step));
    ++history.position;
    drop_oldest_steps();
}

// The history could not hold a change: nothing can be undone any more, and what the
// user has chosen is no longer what was written.
void give_up() {
    history.steps.clear();
    history.position = 0;
    history.changes = 0;
    history.written = UNREACHABLE;
}

void apply_step(const Step& step, bool forward) {
    for (const Change& c : step) {
        std::optional<BlockTable>& table = table_of(c.table);
        if (table && c.k < table->size()) {
            (*table)[c.k].chosen = forward ? c.after : c.before;
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
        } else if (!step.empty()) {
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
