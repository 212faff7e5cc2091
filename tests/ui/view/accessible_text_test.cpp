// What a screen reader is told: the panes' value through a walk of choices, the rows'
// names and descriptions, the position bar's range.
#include "ui/view/accessible_text.h"

#include <gtest/gtest.h>

#include <iterator>
#include <string>

#include "merge/blocks.h"
#include "merge/resolution.h"
#include "merge/selection.h"
#include "tests/merge/merge_test_util.h"

namespace {

TEST(AccessibleText, BlockValueNamesTheLinesOfBothSidesAndTheChoice) {
    struct Case {
        BlockSummary block;
        const char* text;
    };
    const Case cases[] = {
        {{3, 18, 72, 75, 72, 74, RESOLVED_OPEN},
         "Difference 4 of 18, left lines 72 to 75, right lines 72 to 74, unresolved"},
        {{0, 1, 0, 0, 5, 5, RESOLVED_RIGHT},
         "Difference 1 of 1, left no lines, right line 5, right"},
        {{1, 2, 9, 9, 0, 0, RESOLVED_LEFT}, "Difference 2 of 2, left line 9, right no lines, left"},
        {{0, 2, 1, 2, 1, 2, RESOLVED_LEFT_RIGHT},
         "Difference 1 of 2, left lines 1 to 2, right lines 1 to 2, left then right"},
        {{0, 2, 1, 2, 1, 2, RESOLVED_RIGHT_LEFT},
         "Difference 1 of 2, left lines 1 to 2, right lines 1 to 2, right then left"},
        {{0, 2, 1, 2, 1, 2, RESOLVED_BASE},
         "Difference 1 of 2, left lines 1 to 2, right lines 1 to 2, base"},
        {{0, 2, 1, 2, 1, 2, RESOLVED_EDITED},
         "Difference 1 of 2, left lines 1 to 2, right lines 1 to 2, edited"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(block_value_text(c.block), c.text);
    }
}

TEST(AccessibleText, VisibleRowsStayWithinTheText) {
    EXPECT_EQ(visible_rows_text(0, 30, 120), "Rows 1 to 30 of 120");
    EXPECT_EQ(visible_rows_text(100, 30, 120), "Rows 101 to 120 of 120");
    EXPECT_EQ(visible_rows_text(500, 30, 120), "Rows 120 to 120 of 120");
    EXPECT_EQ(visible_rows_text(4, 0, 10), "Rows 5 to 5 of 10");
    EXPECT_EQ(visible_rows_text(0, 30, 0), "No rows");
}

// Left a b c d e f g, right a X d e Y Z f: block 0 is b c | X, block 1 filler | Y Z,
// block 2 g | filler.
using AccessibleDocument = ThreeBlocks;

TEST_F(AccessibleDocument, ValueFollowsEveryMoveAndChoice) {
    struct Step {
        void (*action)();
        const char* value;
    };
    const Step steps[] = {
        {[] {}, "Difference 1 of 3, left lines 2 to 3, right line 2, unresolved"},
        {go_first, "Difference 1 of 3, left lines 2 to 3, right line 2, unresolved"},
        {go_next, "Difference 2 of 3, left no lines, right lines 5 to 6, unresolved"},
        {[] { resolve_current_block(RESOLVED_RIGHT); },
         "Difference 2 of 3, left no lines, right lines 5 to 6, right"},
        {go_last, "Difference 3 of 3, left line 7, right no lines, unresolved"},
        {[] { resolve_current_block(RESOLVED_LEFT_RIGHT); },
         "Difference 3 of 3, left line 7, right no lines, left then right"},
        {[] { ASSERT_EQ(edit_current_block("mine\n"), 0); },
         "Difference 3 of 3, left line 7, right no lines, edited"},
        {go_first, "Difference 1 of 3, left lines 2 to 3, right line 2, unresolved"},
        {[] { merge_document.not_compared = 1; }, "Not compared"},
        {[] {
             free_blocks();
             merge_document.not_compared = 0;
         },
         "No differences"},
    };
    for (const Step& s : steps) {
        s.action();
        EXPECT_EQ(pane_value_text(), s.value);
    }
}

TEST_F(AccessibleDocument, RowsAreNamedByTheirTextAndDescribedByTheirState) {
    struct Case {
        Side side;
        int32_t row;
        const char* name;
        const char* description;
    };
    choose_block(SIDE_RIGHT, 1);
    merge_document.current_block = 2;
    ASSERT_EQ(edit_current_block("mine\n"), 0);
    const Case cases[] = {
        {SIDE_LEFT, 0, "a", "common, line 1"},
        {SIDE_LEFT, 1, "b", "own, line 2"},
        {SIDE_RIGHT, 2, "", "filler"},
        {SIDE_RIGHT, 5, "Y", "chosen, line 5"},
        {SIDE_LEFT, 5, "", "filler"},
        {SIDE_LEFT, 8, "g", "edited, line 7, current difference"},
        {SIDE_RIGHT, 8, "", "edited, current difference"},
        {SIDE_RIGHT, 9, "", ""},  // past the end
    };
    for (const Case& c : cases) {
        const RowAccessible row = describe_row_for_reader(c.side, c.row);
        EXPECT_EQ(row.name, c.name) << c.side << " " << c.row;
        EXPECT_EQ(row.description, c.description) << c.side << " " << c.row;
    }
    EXPECT_EQ(visible_row_count(SIDE_LEFT, 0, 30), 9);
    EXPECT_EQ(visible_row_count(SIDE_RIGHT, 5, 30), 4);
    EXPECT_EQ(visible_row_count(SIDE_LEFT, 0, 3), 3);
    EXPECT_EQ(pane_name_text(SIDE_LEFT), "Left: " + std::string(merge_document.left.path));
    EXPECT_EQ(pane_name_text(SIDE_RIGHT), "Right: " + std::string(merge_document.right.path));
}

TEST_F(AccessibleDocument, MergedRowsAreDescribedByWhereTheyCameFrom) {
    struct Case {
        const char* name;
        const char* description;
    };
    merge_document.current_block = 0;
    resolve_current_block(RESOLVED_LEFT_RIGHT);
    merge_document.current_block = 2;
    ASSERT_EQ(edit_current_block("mine\n"), 0);
    const Case cases[] = {
        {"a", "common, left line 1"},
        {"b", "left then right, left line 2"},
        {"c", "left then right, left line 3"},
        {"X", "left then right, right line 2"},
        {"d", "common, left line 4"},
        {"e", "common, left line 5"},
        {"", "unresolved"},  // block 1 is open: a row for each of its aligned rows
        {"", "unresolved"},
        {"f", "common, left line 6"},
        {"mine", "edited, line 1, current difference"},
        {"", ""},  // past the end
    };
    const MergedRows rows = merged_rows();
    for (int32_t row = 0; row < static_cast<int32_t>(std::size(cases)); ++row) {
        const RowAccessible r = describe_merged_row_for_reader(rows, row);
        EXPECT_EQ(r.name, cases[row].name) << row;
        EXPECT_EQ(r.description, cases[row].description) << row;
    }
    EXPECT_STREQ(merged_state_word(MERGED_BOTH, RESOLVED_RIGHT_LEFT), "right then left");
    EXPECT_STREQ(merged_state_word(MERGED_BASE_PREVIEW, RESOLVED_OPEN), "base preview");
}

TEST_F(MergeTest, ARowNameIsCutBetweenCharactersAndKeepsNoNulByte) {
    std::string euros;
    for (std::size_t i = 0; i < LINE_NAME_MAX; i += 3) {
        euros += "\xE2\x82\xAC";
    }
    load(SIDE_LEFT, "l.txt", std::string("a\0b\n", 4) + euros + "\n");
    EXPECT_EQ(describe_row_for_reader(SIDE_LEFT, 0).name, "a b");
    EXPECT_EQ(describe_row_for_reader(SIDE_LEFT, 1).name, euros.substr(0, LINE_NAME_MAX / 3 * 3));
}

}  // namespace
