// The current block, what the operations on it resolve a block to, the text an edit
// starts from, the question before edits are dropped, and the merged rows of a
// conflict file.
#include <string>
#include <vector>

#include "merge/blocks.h"
#include "merge/comparison.h"
#include "merge/conflict_mode.h"
#include "merge/history.h"
#include "merge/merged_rows.h"
#include "merge/output.h"
#include "merge/resolution.h"
#include "merge/selection.h"
#include "tests/merge/merge_test_util.h"

namespace {

// Block 0 rows 1..2 (b c | X), block 1 rows 5..6 (Y Z against filler), block 2 row 8
// (g against filler).
class Resolving : public ThreeBlocks {
protected:
    void resolve(int32_t k, Resolution kind) {
        merge_document.current_block = k;
        resolve_current_block(kind);
    }
};

TEST_F(Resolving, CurrentBlockFollowsNavigationAndClicks) {
    struct Step {
        void (*action)();
        int32_t current;
    };
    const Step steps[] = {
        {[] {}, 0},
        {go_last, 2},
        {go_prev, 1},
        {go_first, 0},
        {go_next, 1},
        {go_next, 2},
        {go_next, 2},       // past the last block: no wrap-around
        {go_beginning, 2},  // not a block step
        {[] { choose_by_click(SIDE_RIGHT, 1 * fake_platform().line_height); }, 0},
        {go_last, 2},
        {free_blocks, -1},  // no tables: no block
    };
    for (const Step& s : steps) {
        s.action();
        EXPECT_EQ(current_block(), s.current);
    }
    install_listing("2,3c2\n< b\n< c\n---\n> X\n");  // new tables: the first block
    EXPECT_EQ(current_block(), 0);
}

TEST_F(Resolving, EachOperationResolvesTheCurrentBlockAndAutoWalkMovesOn) {
    struct Case {
        Resolution kind;
        Resolution result;
        std::vector<uint32_t> flags;  // left own, left filler, right own, right filler of block 0
    };
    const Case cases[] = {
        {RESOLVED_LEFT, RESOLVED_LEFT, {1, 0, 0, 0}},
        {RESOLVED_RIGHT, RESOLVED_RIGHT, {0, 0, 1, 1}},
        {RESOLVED_LEFT_RIGHT, RESOLVED_LEFT_RIGHT, {1, 0, 1, 1}},
        {RESOLVED_RIGHT_LEFT, RESOLVED_RIGHT_LEFT, {1, 0, 1, 1}},
        {RESOLVED_BASE, RESOLVED_OPEN, {0, 0, 0, 0}},  // no base outside conflict mode
        {RESOLVED_OPEN, RESOLVED_OPEN, {0, 0, 0, 0}},  // not an operation
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.kind);
        unselect_all();
        merge_document.top_row = 0;
        merge_document.auto_walk = 1;
        resolve(0, c.kind);
        EXPECT_EQ(block_resolution(0), c.result);
        const auto flag = [](const std::optional<BlockTable>& t) { return (*t)[0].chosen; };
        EXPECT_EQ(
            (std::vector<uint32_t>{
                flag(merge_document.left.own_blocks), flag(merge_document.left.filler_blocks),
                flag(merge_document.right.own_blocks), flag(merge_document.right.filler_blocks)}),
            c.flags);
        // Auto walk went on to the next block, as after a click.
        EXPECT_EQ(merge_document.top_row, c.result == RESOLVED_OPEN ? 0 : 1);
        EXPECT_FALSE(can_take_base(0));
    }
    merge_document.auto_walk = 0;
    // An edit replaces a choice of both sides, and From Left leaves it as it is.
    resolve(1, RESOLVED_LEFT_RIGHT);
    merge_document.current_block = 1;
    ASSERT_EQ(edit_current_block("one\r\ntwo\n\n"), 0);
    choose_all_from(SIDE_LEFT);
    EXPECT_EQ(block_resolution(1), RESOLVED_EDITED);
    EXPECT_EQ(block_edit_text(1), "one\ntwo\n\n");
    EXPECT_EQ(merged_text(), with_line_ends({"a", "b", "c", "d", "e", "one", "two", "", "f", "g"}));
    // Print hands the edited lines on as it does every line, counted in order.
    ASSERT_EQ(write_merged(PRINTER_PATH), 0);
    ASSERT_EQ(fake_platform().printed.size(), 10u);
    EXPECT_EQ(fake_platform().printed[5], (PrintedLine{"one\n", 5}));
}

TEST_F(Resolving, EditStartsFromTheMergedTextAsItStands) {
    struct Case {
        int32_t block;
        Resolution kind;  // RESOLVED_OPEN: left open
        const char* text;
    };
    const Case cases[] = {
        {0, RESOLVED_OPEN, "b\nc\n"},          {0, RESOLVED_RIGHT, "X\n"},
        {0, RESOLVED_RIGHT_LEFT, "X\nb\nc\n"}, {1, RESOLVED_OPEN, ""},  // the left has filler only
        {1, RESOLVED_LEFT_RIGHT, "Y\nZ\n"},    {2, RESOLVED_RIGHT, ""},
    };
    for (const Case& c : cases) {
        unselect_all();
        resolve(c.block, c.kind);
        EXPECT_EQ(block_edit_text(c.block), c.text) << c.block << " " << c.kind;
    }
    // Edited to nothing: no line at all; to one empty line: that line.
    for (const auto& [text, want] : {std::pair<const char*, const char*>{"", ""}, {"\n", "\n"}}) {
        merge_document.current_block = 0;
        ASSERT_EQ(edit_current_block(text), 0);
        EXPECT_EQ(block_edit_text(0), want);
    }
}

TEST_F(Resolving, DroppingEditsAsksFirstAndNoKeepsEverything) {
    resolve(0, RESOLVED_LEFT_RIGHT);
    load(SIDE_RIGHT, "r2.txt", "a\nX\n");  // no edit: no question
    EXPECT_TRUE(fake_platform().questions.empty());
    install_listing("2,7d1\n< b\n< c\n< d\n< e\n< f\n< g\n");
    merge_document.current_block = 0;
    ASSERT_EQ(edit_current_block("mine"), 0);
    const std::string other = dir.write("other.txt", "other\n");
    for (const Answer answer : {ANSWER_NO, ANSWER_YES}) {
        for (int operation = 0; operation < 2; ++operation) {
            if (block_resolution(0) != RESOLVED_EDITED) {
                merge_document.current_block = 0;
                ASSERT_EQ(edit_current_block("mine"), 0);
            }
            fake_platform().questions.clear();
            fake_platform().answers = {answer};
            if (operation == 0) {
                compare_files();
            } else {
                EXPECT_EQ(load_side(other.c_str(), SIDE_LEFT), answer == ANSWER_YES ? 0 : -1);
            }
            ASSERT_EQ(fake_platform().questions.size(), 1u);
            EXPECT_EQ(fake_platform().questions[0].caption, "Confirm the operation");
            EXPECT_EQ(fake_platform().questions[0].text, "Edited blocks will be lost.\nContinue ?");
            EXPECT_EQ(fake_platform().questions[0].buttons, BUTTONS_YES_NO);
            EXPECT_EQ(has_edited_blocks(), answer == ANSWER_NO);
            if (answer == ANSWER_NO) {
                EXPECT_EQ(block_edit_text(0), "mine\n");
                EXPECT_EQ(undo_steps(), 1u);
                EXPECT_EQ(line_text(merge_document.left, 0), "a");
            }
            install_listing("2,7d1\n< b\n< c\n< d\n< e\n< f\n< g\n");
        }
    }
}

using ConflictRows = OwnTmpMergeTest;

// One conflict with a base, one without and one with an empty base, between common
// lines: open ones show as marked rows or their base; resolved ones as the lines
// Write writes.
TEST_F(ConflictRows, OpenConflictsShowTheirBaseOrMarkedRows) {
    const std::string path = dir.write(
        "c.txt",
        "top\n<<<<<<< ours\no1\n||||||| base\nb1\nb2\n=======\nt1\nt2\nt3\n>>>>>>> theirs\n"
        "mid\n<<<<<<< ours\no2\n=======\n>>>>>>> theirs\n"
        "<<<<<<< ours\n||||||| base\n=======\n>>>>>>> theirs\nend\n");
    ASSERT_EQ(load_conflict_file(path.c_str()), 0);
    compare_files();
    ASSERT_EQ(block_count(), 3);
    EXPECT_TRUE(can_take_base(0));
    EXPECT_FALSE(can_take_base(1));
    EXPECT_TRUE(can_take_base(2));
    struct Row {
        const char* text;
        MergedState state;
        int32_t block;
    };
    const auto rows_are = [](const std::vector<Row>& want, const std::vector<int32_t>& first) {
        const MergedRows rows = merged_rows();
        ASSERT_EQ(rows.row_count, static_cast<int32_t>(want.size()));
        for (int32_t i = 0; i < rows.row_count; ++i) {
            const MergedRow r = merged_row(rows, i);
            EXPECT_EQ(r.text, want[i].text) << i;
            EXPECT_EQ(r.state, want[i].state) << i;
            EXPECT_EQ(r.block, want[i].block) << i;
        }
        EXPECT_EQ(rows.block_first, first);
    };
    rows_are({{"top", MERGED_COMMON, -1},
              {"b1", MERGED_BASE_PREVIEW, 0},
              {"b2", MERGED_BASE_PREVIEW, 0},
              {"mid", MERGED_COMMON, -1},
              {"", MERGED_OPEN, 1},  // one aligned row: o2 against filler
              {"", MERGED_OPEN, 2},  // no line on either side, an empty base: one row
              {"end", MERGED_COMMON, -1}},
             {1, 4, 5});
    merge_document.current_block = 0;
    resolve_current_block(RESOLVED_BASE);
    merge_document.current_block = 1;
    resolve_current_block(RESOLVED_RIGHT);  // filler only: nothing
    merge_document.current_block = 2;
    ASSERT_EQ(edit_current_block("new\n"), 0);
    rows_are({{"top", MERGED_COMMON, -1},
              {"b1", MERGED_BASE, 0},
              {"b2", MERGED_BASE, 0},
              {"mid", MERGED_COMMON, -1},
              {"new", MERGED_EDITED, 2},
              {"end", MERGED_COMMON, -1}},
             {1, 4, 4});
    ASSERT_EQ(write_command(), 0);
    EXPECT_EQ(read_bytes(path), "top\nb1\nb2\nmid\nnew\nend\n");
}

}  // namespace
