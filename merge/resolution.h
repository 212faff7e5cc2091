#ifndef PAIREX_MERGE_RESOLUTION_H
#define PAIREX_MERGE_RESOLUTION_H

#include <cstdint>
#include <string>
#include <string_view>

#include "merge/block_state.h"
#include "merge/document.h"
#include "merge/line_ends.h"

// The current block and what each block resolves to: one side, both sides in either
// order, a conflict's base, or a text edited by hand. Everything here works on
// merge_document; the operations record one undo step each and repaint both panes.

// The current block: the one First, Next, Previous or Last went to last, or the last
// one chosen by a click; the first block after each comparison. -1 without blocks.
int32_t current_block();

// What block k resolves to (RESOLVED_OPEN for a k that is no block).
Resolution block_resolution(int32_t k);

// True when block k can take its base: in conflict mode, for a conflict with a base
// section. The menu item "Take base" is greyed otherwise.
bool can_take_base(int32_t k);

// Resolves the current block as `kind`: RESOLVED_LEFT, RESOLVED_RIGHT,
// RESOLVED_LEFT_RIGHT, RESOLVED_RIGHT_LEFT, or RESOLVED_BASE (nothing happens when
// can_take_base is false). Left and right are the choices a click makes; both sides set
// both sides' chosen flags, the base clears them. With Auto walk on, goes to the next
// block after it, as a click does. Does nothing without blocks or for another kind.
void resolve_current_block(Resolution kind);

// The text the Edit block dialog starts from: block k's merged text as it stands (for
// an open block the left side's lines), each line followed by "\n"; "" when it has no
// lines. Lines that are not UTF-8 are the side's bytes as they are.
std::string block_edit_text(int32_t k);

// Makes `text` (UTF-8, lines ended by "\n" or "\r\n", a last line without an end is a
// line too, "" is no lines) the current block's text: it is then resolved, edited, and
// its lines are written as they are given. Auto walk moves on as after a click.
// Returns 0, or -1 after reporting "Not enough memory" (nothing changed) or when
// there are no blocks.
int edit_current_block(std::string_view text);

// True when at least one block holds an edited text.
bool has_edited_blocks();

// Before an operation that drops the blocks (Compare Files, loading a file): with
// edited blocks, asks "Edited blocks will be lost.\nContinue ?" (Yes/No, "Confirm the
// operation"). True to go on: no edits, or Yes.
bool confirm_discarding_edits();

// Where a run of merged lines comes from.
enum LineSource : uint8_t {
    SOURCE_LEFT,    // lines of the left side
    SOURCE_RIGHT,   // lines of the right side
    SOURCE_BASE,    // base lines of a conflict (merge_document.conflict_base)
    SOURCE_EDITED,  // lines of the block's edited text
    SOURCE_NONE,    // rows without text (an open block in the merged view)
};

// Lines first .. first + count - 1 (0-based) of a source.
struct LineRun {
    LineSource source = SOURCE_NONE;
    int32_t first = 0;
    int32_t count = 0;
};

// The lines that block k puts into the merged text, in order, held to the lines that
// exist: up to two runs (both sides), none for an open block.
struct BlockRuns {
    LineRun runs[2];
    int count = 0;
};
BlockRuns block_runs(int32_t k);

// Line i of `run` (0 <= i < run.count) of block k, every byte of it.
std::string_view run_line(int32_t k, const LineRun& run, int32_t i);

// With kept line ends, how the lines block k puts in end when they are not a side's
// own choice (both sides, the base, an edit): as the line before the block does (LF or
// CR LF), the first line's end when the block comes first.
LineEnd block_line_end(int32_t k);
// True when no left line follows block k: its last line is the merged text's last.
bool block_ends_text(int32_t k);

#endif
