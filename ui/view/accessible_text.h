#ifndef PAIREX_UI_VIEW_ACCESSIBLE_TEXT_H
#define PAIREX_UI_VIEW_ACCESSIBLE_TEXT_H

#include <cstddef>
#include <cstdint>
#include <string>

#include "merge/block_state.h"
#include "merge/merged_rows.h"
#include "merge/side.h"
#include "ui/view/view_text.h"

// What a screen reader is told about the panes and the position bar, as UTF-8 text:
// the words are made here, the accessible objects of ui/win32 only hand them out.

// The last word of a pane's value: "unresolved", "left", "right", "left then right",
// "right then left", "base" or "edited".
const char* resolution_word(Resolution resolution);

// One block as a pane's value tells it. Lines are 1-based; a side without own lines
// in the block has first == 0.
struct BlockSummary {
    int32_t index = 0;  // 0-based
    int32_t count = 0;
    int32_t left_first = 0;
    int32_t left_last = 0;
    int32_t right_first = 0;
    int32_t right_last = 0;
    Resolution resolution = RESOLVED_OPEN;
};

// "Difference 4 of 18, left lines 72 to 75, right line 72, unresolved"; a side
// without own lines reads "left no lines".
std::string block_value_text(const BlockSummary& block);

// The value both panes have now: the current block of merge_document, "No differences"
// after a comparison that found none, "Not compared" before one.
std::string pane_value_text();

// "Left: " or "Right: " followed by the side's title as its title bar shows it.
std::string pane_name_text(Side side);

// The word for a row's state: "common", "own", "chosen", "filler", "chosen filler";
// the own and filler rows of a block holding its base or an edit read "base" or
// "edited", whatever their flags.
const char* row_state_word(RowState state, Resolution resolution);

// A row of a pane as a child of the pane's accessible object: named by its line's text
// (empty for a filler row), described by its state, its line number and whether it is
// in the current block. Long lines are cut at LINE_NAME_MAX bytes, between characters.
struct RowAccessible {
    RowState state = ROW_PAST_END;
    bool in_current_block = false;
    std::string name;
    std::string description;
};
constexpr std::size_t LINE_NAME_MAX = 4096;
RowAccessible describe_row_for_reader(Side side, int32_t row);

// How many of the `page_rows` rows from `top_row` on show a line or a filler row of
// `side`: the pane's children.
int32_t visible_row_count(Side side, int32_t top_row, int32_t page_rows);

// The merged result's accessible name; its value is the panes' (pane_value_text).
constexpr const char* MERGED_VIEW_NAME = "Merged result";

// Where a row of the merged result came from, in the panes' words: "common", "left",
// "right", "left then right", "right then left" (a block taking both sides, read from
// its `resolution`), "base", "edited", "unresolved" (an open block's row) or
// "base preview" (an open conflict's base line).
const char* merged_state_word(MergedState state, Resolution resolution);

// Row `row` of the merged result as a child of its accessible object: named by its text
// as a pane row is, described by where it came from, its source's line number ("right,
// line 5"; "common, left line 1" when the word does not name the source) and whether it
// is in the current block. Rows past the end read empty, as ROW_PAST_END.
RowAccessible describe_merged_row_for_reader(const MergedRows& rows, int32_t row);

// The position bar's value: the aligned rows the panes show, "Rows 1 to 30 of 120"
// ("No rows" when there are none).
std::string visible_rows_text(int32_t top_row, int32_t page_rows, int32_t total_rows);

#endif
