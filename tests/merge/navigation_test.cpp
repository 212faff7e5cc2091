#include "merge/blocks.h"
#include "merge/selection.h"
#include "tests/merge/merge_test_util.h"

namespace {

class Navigation : public ThreeBlocks {
protected:
    void click(Side side, int row) { choose_by_click(side, row * fake_platform().line_height + 3); }
};

TEST_F(Navigation, RowsMapToLinesAndBlocks) {
    const MergeSide& l = merge_document.left;
    const MergeSide& r = merge_document.right;
    EXPECT_EQ(merge_document.total_rows, 9);
    EXPECT_EQ(fake_platform().scroll_max, 9);
    const int32_t left_rows[] = {0, 1, 2, 3, 4, -1, -1, 5, 6, 7};
    const int32_t right_rows[] = {0, 1, -1, 2, 3, 4, 5, 6, -1};
    for (int32_t row = 0; row < 10; ++row) {
        EXPECT_EQ(row_to_line(l, row), left_rows[row]) << row;
    }
    for (int32_t row = 0; row < 9; ++row) {
        EXPECT_EQ(row_to_line(r, row), right_rows[row]) << row;
    }
    EXPECT_EQ(find_block_at(l, 5, KIND_FILLER_ROW), 1);
    EXPECT_EQ(find_block_at(l, 6, KIND_FILLER_ROW), 1);
    EXPECT_EQ(find_block_at(l, 4, KIND_FILLER_ROW), -1);
    EXPECT_EQ(find_block_at(r, 8, KIND_FILLER_ROW), 2);
    EXPECT_EQ(find_block_at(l, 2, KIND_OWN_LINE), 0);
    EXPECT_EQ(find_block_at(l, 6, KIND_OWN_LINE), 2);
    EXPECT_EQ(find_block_at(l, 3, KIND_OWN_LINE), -1);
    EXPECT_EQ(find_block_at(l, 40, KIND_OWN_LINE), -1);
    EXPECT_EQ(block_start(l, 1), 6);
    EXPECT_EQ(block_end(l, 1), 5);
    EXPECT_EQ(block_start(r, 2), 8);
    EXPECT_EQ(block_end(r, 2), 7);
}

TEST_F(Navigation, NextAndPrevStopAtTheEnds) {
    MergeDocument& doc = merge_document;
    go_next();
    EXPECT_EQ(doc.top_row, 1);
    EXPECT_EQ(fake_platform().scroll_position, 2);
    go_next();
    EXPECT_EQ(doc.top_row, 5);
    go_next();
    EXPECT_EQ(doc.top_row, 8);
    go_next();  // below the last block's first row: no wrap-around
    EXPECT_EQ(doc.top_row, 8);
    go_prev();
    EXPECT_EQ(doc.top_row, 5);
    go_prev();
    EXPECT_EQ(doc.top_row, 1);
    fake_platform().calls.clear();
    go_prev();  // on block 0's first row
    EXPECT_EQ(doc.top_row, 1);
    EXPECT_TRUE(fake_platform().calls.empty());
}

TEST_F(Navigation, InsideABlockNextGoesOnAndPrevComesBackToItsStart) {
    merge_document.top_row = 2;  // second row of block 0
    go_prev();
    EXPECT_EQ(merge_document.top_row, 1);
    merge_document.top_row = 6;  // second row of block 1
    go_next();
    EXPECT_EQ(merge_document.top_row, 8);
    merge_document.top_row = 0;
    go_prev();
    EXPECT_EQ(merge_document.top_row, 0);
}

TEST_F(Navigation, FirstLastBeginningEnd) {
    go_last();
    EXPECT_EQ(merge_document.top_row, 8);
    go_first();
    EXPECT_EQ(merge_document.top_row, 1);
    go_end();  // held at the last row
    EXPECT_EQ(merge_document.top_row, 8);
    EXPECT_EQ(fake_platform().scroll_position, 9);
    go_beginning();
    EXPECT_EQ(merge_document.top_row, 0);
    EXPECT_EQ(fake_platform().scroll_position, 1);
}

TEST_F(Navigation, NothingHappensWithoutBlocks) {
    install_listing("");
    merge_document.top_row = 3;
    go_first();
    go_last();
    go_next();
    go_prev();
    EXPECT_EQ(merge_document.top_row, 3);
    free_blocks();
    go_next();
    choose_by_click(SIDE_LEFT, 20);
    choose_all_from(SIDE_LEFT);
    unselect_all();
    EXPECT_EQ(merge_document.top_row, 3);
    EXPECT_TRUE(reported_messages().empty());
}

TEST_F(Navigation, ClickOnFillerRowsHoldsTheBlockWithoutLines) {
    click(SIDE_LEFT, 5);   // left filler of block 1: none of Y, Z
    click(SIDE_RIGHT, 2);  // right filler of block 0: right has fewer lines, X only
    click(SIDE_LEFT, 8);   // left own line g
    const MergeSide& l = merge_document.left;
    const MergeSide& r = merge_document.right;
    EXPECT_EQ((*l.filler_blocks)[1].chosen, 1u);
    EXPECT_EQ((*r.own_blocks)[1].chosen, 0u);
    EXPECT_EQ((*r.own_blocks)[0].chosen, 1u);
    EXPECT_EQ((*r.filler_blocks)[0].chosen, 1u);
    EXPECT_EQ((*l.own_blocks)[0].chosen, 0u);
    EXPECT_EQ(merged_text(), with_line_ends({"a", "X", "d", "e", "f", "g"}));
}

TEST_F(Navigation, ClicksOnCommonLinesOrPastTheEndDoNothing) {
    fake_platform().calls.clear();
    click(SIDE_LEFT, 0);
    click(SIDE_RIGHT, 7);
    click(SIDE_LEFT, 40);
    choose_by_click(SIDE_LEFT, -5);
    EXPECT_TRUE(fake_platform().calls.empty());
    merge_document.top_row = 4;  // the click row counts from the top row
    click(SIDE_RIGHT, 1);        // row 5: right Y
    EXPECT_EQ((*merge_document.right.own_blocks)[1].chosen, 1u);
}

TEST_F(Navigation, ClickWithAutoWalkMovesToTheNextBlock) {
    merge_document.auto_walk = 1;
    click(SIDE_LEFT, 1);
    EXPECT_EQ(merge_document.top_row, 1);
    click(SIDE_RIGHT, 0);  // row 1 relative to top 1 is block 0's second row
    EXPECT_EQ(merge_document.top_row, 5);
}

TEST_F(Navigation, FromLeftKeepsBlocksTheRightAlreadyHolds) {
    click(SIDE_RIGHT, 8);  // right filler of block 2
    choose_all_from(SIDE_LEFT);
    EXPECT_EQ(merged_text(), with_line_ends({"a", "b", "c", "d", "e", "f"}));
    choose_all_from(SIDE_RIGHT);  // everything is held: nothing changes
    EXPECT_EQ(merged_text(), with_line_ends({"a", "b", "c", "d", "e", "f"}));
    unselect_all();
    choose_all_from(SIDE_RIGHT);
    EXPECT_EQ(merged_text(), with_line_ends({"a", "X", "d", "e", "Y", "Z", "f"}));
    click(SIDE_LEFT, 5);  // left filler of block 1 after From Right
    choose_all_from(SIDE_LEFT);
    EXPECT_EQ(merged_text(), with_line_ends({"a", "X", "d", "e", "f"}));
}

TEST_F(Navigation, UnselectAllLeavesEveryBlockOpen) {
    choose_all_from(SIDE_LEFT);
    unselect_all();
    for (const MergeSide* s : {&merge_document.left, &merge_document.right}) {
        for (const auto* t : {&*s->own_blocks, &*s->filler_blocks}) {
            for (const DiffBlock& b : *t) {
                EXPECT_EQ(b.chosen, 0u);
            }
        }
    }
    EXPECT_EQ(merged_text(), NOT_WRITTEN);
    EXPECT_EQ(message_texts(), (std::vector<std::string>{"You have unresolved difference(s) !"}));
}

TEST_F(Navigation, InsertionAtTheStartBeginsOnRowOne) {
    load(SIDE_LEFT, "l.txt", lf_lines({"a", "b", "c"}));
    load(SIDE_RIGHT, "r.txt", lf_lines({"a", "b", "c", "d", "e"}));
    install_listing("3a4,5\n> d\n> e\n");
    compute_total_rows();
    EXPECT_EQ(find_block_row(-1, DIRECTION_NEXT), 4);
    click(SIDE_LEFT, 4);  // the second left filler row
    EXPECT_EQ(merged_text(), with_line_ends({"a", "b", "c"}));
}

}  // namespace
