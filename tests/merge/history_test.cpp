// The undo history of choices: any sequence of choices undone step by step gives back
// the state right after the comparison, redo gives the choices back, and the history
// knows whether the choices on screen are the ones last written.
#include <random>
#include <string>
#include <vector>

#include "merge/blocks.h"
#include "merge/history.h"
#include "merge/output.h"
#include "merge/resolution.h"
#include "merge/selection.h"
#include "tests/merge/merge_test_util.h"

namespace {

// Every chosen flag of the four tables, in table order, then each block's extra
// resolution and its edited text (by identity: each edit is a text of its own).
std::vector<uintptr_t> choices() {
    std::vector<uintptr_t> flags;
    for (const MergeSide* s : {&merge_document.left, &merge_document.right}) {
        for (const std::optional<BlockTable>* t : {&s->own_blocks, &s->filler_blocks}) {
            if (*t) {
                for (const DiffBlock& b : **t) {
                    flags.push_back(b.chosen);
                }
            }
        }
    }
    for (int32_t k = 0; k < block_count(); ++k) {
        const bool has = static_cast<std::size_t>(k) < merge_document.block_extras.size();
        const BlockExtra extra = has ? merge_document.block_extras[k] : BlockExtra();
        flags.push_back(extra.kind);
        flags.push_back(reinterpret_cast<uintptr_t>(extra.text.get()));
    }
    return flags;
}

std::vector<std::string> written_paths;

class History : public MergeTest {
protected:
    void SetUp() override {
        MergeTest::SetUp();
        written_paths.clear();
        merge_written_hook = [](const char* path) { written_paths.emplace_back(path); };
        // left a b c d e f g, right X a d e Y Z f: an added line at the top, a deleted
        // one, an added pair and a deleted last line; rows 0..9.
        load(SIDE_LEFT, "l.txt", lf_lines({"a", "b", "c", "d", "e", "f", "g"}));
        load(SIDE_RIGHT, "r.txt", lf_lines({"X", "a", "c", "d", "e", "Y", "Z", "f"}));
        install_listing("0a1\n> X\n2d2\n< b\n5a6,7\n> Y\n> Z\n7d8\n< g\n");
        compute_total_rows();
        clear_choice_history();
    }
    void TearDown() override {
        merge_written_hook = nullptr;
        clear_choice_history();
        MergeTest::TearDown();
    }
    void click(Side side, int row) { choose_by_click(side, row * fake_platform().line_height + 1); }

    // One random choice of any kind, including clicks on common rows and past the end,
    // both sides, edits (empty ones too) and the base that is not there.
    void random_choice(std::mt19937& rng) {
        const Side side = rng() % 2 == 0 ? SIDE_LEFT : SIDE_RIGHT;
        switch (rng() % 7) {
            case 5:
                merge_document.current_block = static_cast<int32_t>(rng() % 4);
                resolve_current_block(static_cast<Resolution>(rng() % 6));
                break;
            case 6:
                merge_document.current_block = static_cast<int32_t>(rng() % 4);
                edit_current_block(rng() % 3 == 0 ? "" : "new\nlines");
                break;
            case 0:
                choose_block(side, static_cast<int32_t>(rng() % 5) - 1);
                break;
            case 1:
                click(side, static_cast<int>(rng() % 12));
                break;
            case 2:
                choose_all_from(side);
                break;
            case 3:
                unselect_all();
                break;
            default:
                click(side, static_cast<int>(rng() % 12));
                merge_document.top_row = static_cast<int32_t>(rng() % 4);
        }
    }
};

TEST_F(History, UndoingEveryChoiceGivesTheComparisonBackAndRedoTheChoices) {
    const std::vector<uintptr_t> compared = choices();
    for (unsigned seed = 1; seed <= 300; ++seed) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        std::mt19937 rng(seed);
        clear_choice_history();
        unselect_all();
        clear_choice_history();
        merge_document.auto_walk = static_cast<int32_t>(seed % 2);
        const int count = 1 + static_cast<int>(rng() % 25);
        std::vector<std::vector<uintptr_t>> states = {choices()};
        for (int i = 0; i < count; ++i) {
            random_choice(rng);
            if (choices() != states.back()) {
                states.push_back(choices());
            }
        }
        ASSERT_EQ(undo_steps(), states.size() - 1);
        // As many undos as choices were made: the ones that changed nothing left no step.
        for (int i = 0; i < count; ++i) {
            undo_choice();
            const std::size_t at =
                states.size() - 1 - std::min<std::size_t>(i + 1, states.size() - 1);
            ASSERT_EQ(choices(), states[at]) << "after undo " << i + 1;
        }
        EXPECT_EQ(choices(), compared);
        EXPECT_FALSE(undo_choice());
        EXPECT_FALSE(has_unwritten_choices());
        for (int i = 0; i < count; ++i) {
            redo_choice();
        }
        EXPECT_EQ(choices(), states.back());
        EXPECT_FALSE(redo_choice());
    }
}

TEST_F(History, ANewChoiceDropsWhatCouldBeRedoneAndNoOpsLeaveNoStep) {
    choose_all_from(SIDE_LEFT);
    const std::vector<uintptr_t> all_left = choices();
    choose_all_from(SIDE_LEFT);  // nothing left to give: no step
    click(SIDE_LEFT, 3);         // a common row: no step
    EXPECT_EQ(undo_steps(), 1u);
    click(SIDE_RIGHT, 0);
    ASSERT_EQ(undo_steps(), 2u);
    EXPECT_TRUE(undo_choice());
    EXPECT_EQ(choices(), all_left);
    EXPECT_EQ(redo_steps(), 1u);
    unselect_all();
    EXPECT_EQ(redo_steps(), 0u);
    EXPECT_FALSE(redo_choice());
    EXPECT_TRUE(undo_choice());
    EXPECT_EQ(choices(), all_left);
    // Undo repaints both panes, like the choice it takes back.
    fake_platform().calls.clear();
    EXPECT_TRUE(undo_choice());
    EXPECT_EQ(fake_platform().calls,
              (std::vector<std::string>{"repaint_pane left", "repaint_pane right"}));
}

TEST_F(History, LoadingOrComparingStartsANewHistory) {
    choose_all_from(SIDE_RIGHT);
    EXPECT_TRUE(has_unwritten_choices());
    load(SIDE_RIGHT, "r2.txt", lf_lines({"a", "B"}));
    EXPECT_EQ(undo_steps(), 0u);
    EXPECT_FALSE(undo_choice());  // no step may reach into the released tables
    EXPECT_FALSE(has_unwritten_choices());

    install_listing("2c2\n< b\n---\n> B\n");
    choose_block(SIDE_LEFT, 0);
    ASSERT_EQ(undo_steps(), 1u);
    install_listing("2c2\n< b\n---\n> B\n");  // compared again
    EXPECT_EQ(undo_steps(), 0u);
    EXPECT_EQ(choices(), (std::vector<uintptr_t>{0, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
}

TEST_F(History, UnwrittenChoicesFollowWritesUndoAndRedo) {
    EXPECT_FALSE(has_unwritten_choices());
    choose_all_from(SIDE_LEFT);
    EXPECT_TRUE(has_unwritten_choices());
    const std::string text = merged_text();
    EXPECT_FALSE(text.empty());
    EXPECT_FALSE(has_unwritten_choices());
    ASSERT_EQ(written_paths.size(), 1u);
    EXPECT_EQ(written_paths[0], dir.file("merged-out.txt"));

    click(SIDE_RIGHT, 0);
    EXPECT_TRUE(has_unwritten_choices());
    undo_choice();  // back at what was written
    EXPECT_FALSE(has_unwritten_choices());
    undo_choice();  // before it: not written
    EXPECT_TRUE(has_unwritten_choices());
    redo_choice();
    EXPECT_FALSE(has_unwritten_choices());
    // A different choice from the state before the write: the written state can no
    // longer be reached by redo, so every state now counts as unwritten.
    undo_choice();
    choose_all_from(SIDE_RIGHT);
    EXPECT_TRUE(has_unwritten_choices());
    undo_choice();
    EXPECT_TRUE(has_unwritten_choices());
}

TEST_F(History, PrintingDecliningOrFailingIsNoWrite) {
    choose_all_from(SIDE_LEFT);
    ASSERT_EQ(write_merged(PRINTER_PATH), 0);
    EXPECT_TRUE(has_unwritten_choices());
    const std::string existing = dir.write("exists.txt", "old\n");
    fake_platform().answers = {ANSWER_NO};
    EXPECT_EQ(write_merged(existing.c_str()), -1);
    EXPECT_TRUE(has_unwritten_choices());
    EXPECT_EQ(write_merged(dir.file("no-such-dir/out.txt").c_str()), -1);
    EXPECT_TRUE(has_unwritten_choices());
    EXPECT_TRUE(written_paths.empty());
}

TEST_F(History, IdenticalFilesCountAsWrittenWhenTheTargetHoldsTheLeftFile) {
    const std::string left = load(SIDE_LEFT, "same1.txt", "x\n");
    load(SIDE_RIGHT, "same2.txt", "x\n");
    merge_document.not_compared = 0;           // compared, identical: no tables
    EXPECT_EQ(write_merged(left.c_str()), 0);  // onto an input: nothing to do
    const std::string existing = dir.write("target.txt", "other\n");
    fake_platform().answers = {ANSWER_NO};
    EXPECT_EQ(write_merged(existing.c_str()), 0);  // declined: the target keeps its text
    EXPECT_EQ(write_merged(dir.file("copy.txt").c_str()), 0);
    EXPECT_EQ(written_paths, (std::vector<std::string>{left, dir.file("copy.txt")}));
}

TEST_F(History, TheOldestStepsGoWhenTheHistoryIsFull) {
    std::string listing;
    std::vector<std::string> left;
    std::vector<std::string> right;
    for (int i = 1; i <= 1000; ++i) {
        const std::string n = std::to_string(i);
        left.push_back(std::string(1, 'l').append(n));
        right.push_back(std::string(1, 'r').append(n));
        listing.append(n).append("c").append(n).append("\n< ").append(left.back());
        listing.append("\n---\n> ").append(right.back()).append("\n");
    }
    load(SIDE_LEFT, "big-l.txt", lf_lines(left));
    load(SIDE_RIGHT, "big-r.txt", lf_lines(right));
    install_listing(listing);
    // Each step sets or clears every flag From Left sets.
    choose_all_from(SIDE_LEFT);
    std::size_t per_step = 0;
    const std::vector<uintptr_t> flags = choices();
    for (std::size_t i = 0; i + 2 * block_count() < flags.size(); ++i) {
        per_step += flags[i];
    }
    ASSERT_GE(per_step, 1000u);
    const std::size_t steps = MAX_HISTORY_CHANGES / per_step + 10;
    for (std::size_t i = 1; i < steps; ++i) {
        if (i % 2 == 0) {
            choose_all_from(SIDE_LEFT);
        } else {
            unselect_all();
        }
    }
    EXPECT_EQ(undo_steps(), MAX_HISTORY_CHANGES / per_step);
    while (undo_choice()) {
    }
    // The state after the comparison is gone with the oldest steps: never "written".
    EXPECT_TRUE(has_unwritten_choices());
    EXPECT_EQ(redo_steps(), MAX_HISTORY_CHANGES / per_step);
}

}  // namespace
