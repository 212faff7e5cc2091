#include <gtest/gtest.h>

#include <functional>
#include <set>
#include <string>
#include <vector>

#include "common/textio.h"
#include "merge/blocks.h"
#include "merge/comparison.h"
#include "merge/document.h"
#include "merge/history.h"
#include "merge/resolution.h"
#include "merge/selection.h"
#include "resources/command_ids.h"
#include "tests/support/fake_platform.h"
#include "tests/support/temp_dir.h"
#include "tests/ui/fake_ui.h"
#include "ui/commands.h"
#include "ui/settings.h"
#include "ui/startup.h"
#include "ui/view/theme_palette.h"

namespace {

using Calls = std::vector<std::string>;

std::string with_line_ends(const std::vector<std::string>& lines) {
    std::string s;
    for (const std::string& l : lines) {
        s += l + LINE_END;
    }
    return s;
}

class Commands : public ::testing::Test {
protected:
    void SetUp() override {
        reset_fake_ui();
        load_settings();
        ui_calls().clear();
    }
    Calls run(int id) {
        ui_calls().clear();
        dispatch_command(id);
        return ui_calls();
    }
    // Loads a pair with two one-line blocks, at rows 1 and 3, and compares it.
    void compared_pair() {
        ASSERT_EQ(load_side(dir.write("l.txt", "a\nb\nc\nd\ne\n").c_str(), SIDE_LEFT), 0);
        ASSERT_EQ(load_side(dir.write("r.txt", "a\nB\nc\nD\ne\n").c_str(), SIDE_RIGHT), 0);
        compare_files();
        ASSERT_EQ(block_count(), 2);
        fake_platform().scroll_position = 1;
        ui_calls().clear();
    }
    static bool all_chosen(const MergeSide& side) {
        for (int32_t k = 0; k < block_count(); ++k) {
            if (!side_holds(side, k)) {
                return false;
            }
        }
        return true;
    }
    TempDir dir;
};

TEST_F(Commands, EveryIdReachesItsWork) {
    struct Case {
        int id;
        std::function<void()> before;  // on a freshly compared pair
        std::function<void()> check;
    };
    const auto top_is = [](int32_t row) {
        return [row] { EXPECT_EQ(merge_document.top_row, row); };
    };
    const auto logged = [](Calls calls) { return [calls] { EXPECT_EQ(ui_calls(), calls); }; };
    const auto from_row = [](int32_t row) { return [row] { merge_document.top_row = row; }; };
    // The current block (the first, before any step) holds `kind`.
    const auto resolved = [](Resolution kind) {
        return [kind] { EXPECT_EQ(block_resolution(0), kind); };
    };
    const std::string out = dir.file("out.txt");
    const Case cases[] = {
        {CMD_NEXT, nullptr, top_is(1)},
        {CMD_PREV, from_row(4), top_is(3)},
        {CMD_FROM_LEFT, nullptr, [] { EXPECT_TRUE(all_chosen(merge_document.left)); }},
        {CMD_FROM_RIGHT, nullptr, [] { EXPECT_TRUE(all_chosen(merge_document.right)); }},
        {CMD_UNSELECT_ALL, [] { choose_all_from(SIDE_LEFT); },
         [] { EXPECT_FALSE(side_holds(merge_document.left, 0)); }},
        {CMD_TITLE_FONT, nullptr, logged({"title_font_dialog"})},
        {CMD_TAB_SIZE, nullptr, logged({"tab_size_dialog"})},
        {CMD_FONT, nullptr, logged({"font_dialog"})},
        {CMD_COMPRESS_SPACES, nullptr, logged({"check 14 1"})},
        {CMD_HELP_CONTENTS, nullptr, logged({"help_contents"})},
        {CMD_AUTO_WALK, nullptr, logged({"check 16 1"})},
        {CMD_PRINT, [] { choose_all_from(SIDE_RIGHT); },
         [] { EXPECT_EQ(fake_platform().printed.size(), 5u); }},
        {CMD_BEGINNING, from_row(3), top_is(0)},
        {CMD_END, nullptr, top_is(4)},
        {CMD_FILE1, nullptr, logged({"picker Open file 1"})},
        {CMD_FILE2, nullptr, logged({"picker Open file 2"})},
        {CMD_COMPARE_FILES, [] { merge_document.not_compared = 1; },
         [] { EXPECT_EQ(merge_document.not_compared, 0); }},
        {CMD_WRITE,
         [&] {
             choose_all_from(SIDE_RIGHT);
             fake_ui().picker_answer = 1;
             fake_ui().picker_path = out;
         },
         [&] {
             EXPECT_EQ(read_bytes(out), with_line_ends({"a", "B", "c", "D", "e"}));
         }},
        {CMD_LINE_NUMBERS, nullptr,
         logged({"check 308 1", "repaint_pane left", "repaint_pane right"})},
        {CMD_ABOUT, nullptr, logged({"about_box"})},
        {CMD_FIRST, from_row(4), top_is(1)},
        {CMD_LAST, nullptr, top_is(3)},
        {CMD_COMPARE_DIRS, nullptr, logged({"picker Directory 1"})},
        {CMD_NEXT_PAIR, nullptr, logged({})},
        {CMD_UNDO, [] { choose_all_from(SIDE_LEFT); },
         [] { EXPECT_FALSE(side_holds(merge_document.left, 0)); }},
        {CMD_REDO,
         [] {
             choose_all_from(SIDE_LEFT);
             undo_choice();
         },
         [] { EXPECT_TRUE(all_chosen(merge_document.left)); }},
        {CMD_HIGHLIGHT_CHANGES, nullptr,
         logged({"check 330 0", "repaint_pane left", "repaint_pane right"})},
        {CMD_KEEP_LINE_ENDS, nullptr,
         [] {
             EXPECT_EQ(ui_calls(), Calls{"check 331 1"});
             EXPECT_EQ(merge_document.keep_line_ends, 1);
         }},
        {CMD_TAKE_LEFT, nullptr, resolved(RESOLVED_LEFT)},
        {CMD_TAKE_RIGHT, nullptr, resolved(RESOLVED_RIGHT)},
        {CMD_LEFT_THEN_RIGHT, nullptr, resolved(RESOLVED_LEFT_RIGHT)},
        {CMD_RIGHT_THEN_LEFT, nullptr, resolved(RESOLVED_RIGHT_LEFT)},
        // Outside conflict mode there is no base: greyed, and nothing happens.
        {CMD_TAKE_BASE, nullptr,
         [] {
             EXPECT_EQ(block_resolution(0), RESOLVED_OPEN);
             EXPECT_FALSE(command_enabled(CMD_TAKE_BASE));
             EXPECT_TRUE(command_enabled(CMD_TAKE_LEFT));
         }},
        {CMD_EDIT_BLOCK, nullptr, logged({"edit_block_dialog"})},
        {CMD_MERGED_RESULT, nullptr, logged({"check 346 1", "merged_result_changed"})},
        // The radio mark moves to the chosen look, which the window system repaints.
        {CMD_THEME_DARK, nullptr,
         logged({"check 350 0", "check 351 0", "check 352 1", "theme_changed"})},
        {CMD_THEME_LIGHT, nullptr,
         logged({"check 350 0", "check 351 1", "check 352 0", "theme_changed"})},
        {CMD_THEME_FOLLOW_WINDOWS, [] { settings.theme = THEME_DARK; },
         logged({"check 350 1", "check 351 0", "check 352 0", "theme_changed"})},
    };
    std::set<int> covered;
    for (const Case& c : cases) {
        SCOPED_TRACE(find_command(c.id)->name);
        SetUp();
        compared_pair();
        if (c.before) {
            c.before();
            ui_calls().clear();
        }
        EXPECT_TRUE(dispatch_command(c.id));
        covered.insert(c.id);
        c.check();
    }
    // Every id of the table is covered here or below (Quit, Skip, Cancel).
    for (const CommandInfo& command : command_table()) {
        if (command.id != CMD_QUIT && command.id != CMD_SKIP && command.id != CMD_CANCEL) {
            EXPECT_TRUE(covered.count(command.id)) << command.name;
        }
    }
}

TEST_F(Commands, DirectoryCommandsActOnlyInTheirMode) {
    EXPECT_FALSE(dispatch_command(CMD_SKIP));
    EXPECT_FALSE(dispatch_command(CMD_CANCEL));
    EXPECT_TRUE(dispatch_command(CMD_COMPARE_DIRS));
    EXPECT_EQ(ui_calls(), (Calls{"picker Directory 1"}));  // cancelled
    compared_pair();
    merge_document.directory_mode = 1;
    EXPECT_EQ(run(CMD_SKIP), (Calls{"repaint_title left", "repaint_title right",
                                    "repaint_position_bar", "scroll_position 1",
                                    "repaint_pane left", "repaint_pane right", "post next_pair"}));
    EXPECT_EQ(merge_document.left.line_count, 0);  // the pair is dropped
    EXPECT_FALSE(dispatch_command(CMD_COMPARE_DIRS));
    EXPECT_TRUE(dispatch_command(CMD_CANCEL));
    EXPECT_EQ(merge_document.directory_mode, 0);
}

TEST_F(Commands, WriteRemembersTheSaveDirectoryForTheNextSave) {
    compared_pair();
    choose_all_from(SIDE_LEFT);
    EXPECT_STREQ(settings.pickers[PICK_OUTPUT].start_directory, "");
    fake_ui().picker_answer = 1;
    fake_ui().picker_path = dir.file("merged.txt");
    run(CMD_WRITE);
    EXPECT_EQ(read_bytes(dir.file("merged.txt")), with_line_ends({"a", "b", "c", "d", "e"}));
    // Kept with its separator, in the picker's own start directory ("Out dir").
    EXPECT_EQ(std::string(settings.pickers[PICK_OUTPUT].start_directory), dir.file(""));
    fake_ui().picker_answer = 0;
    EXPECT_EQ(run(CMD_WRITE), (Calls{"picker (save)"}));  // cancelled: nothing written
}

TEST_F(Commands, UnknownIdsDoNothing) {
    for (int id : {0, 1, 5, 18, 300, 316, 0xFFFF, -1}) {
        EXPECT_FALSE(dispatch_command(id));
    }
    EXPECT_TRUE(ui_calls().empty());
}

TEST_F(Commands, TogglingTwiceRestoresFlagAndCheckMark) {
    const Calls repaints = {"repaint_pane left", "repaint_pane right"};
    EXPECT_EQ(run(CMD_LINE_NUMBERS), (Calls{"check 308 1", repaints[0], repaints[1]}));
    EXPECT_EQ(settings.line_numbers, 1);
    EXPECT_EQ(run(CMD_LINE_NUMBERS), (Calls{"check 308 0", repaints[0], repaints[1]}));
    EXPECT_EQ(settings.line_numbers, 0);
    run(CMD_AUTO_WALK);
    EXPECT_EQ(merge_document.auto_walk, 1);
    EXPECT_EQ(run(CMD_AUTO_WALK), (Calls{"check 16 0"}));
    EXPECT_EQ(merge_document.auto_walk, 0);
}

TEST_F(Commands, FilePickersLoadOnlyWhenConfirmed) {
    EXPECT_EQ(run(CMD_FILE1), (Calls{"picker Open file 1"}));  // cancelled
    EXPECT_STREQ(settings.left_directory, "");
    const std::string chosen = dir.write("b.txt", "x\ny\n");
    fake_ui().picker_answer = 1;
    fake_ui().picker_path = chosen;
    EXPECT_EQ(run(CMD_FILE2).front(), "picker Open file 2");
    EXPECT_EQ(merge_document.right.path, chosen);
    EXPECT_EQ(merge_document.right.line_count, 2);
    EXPECT_STREQ(settings.right_directory, dir.path().c_str());
}

TEST_F(Commands, QuitShutsDownOnceEvenWhenTheWindowIsDestroyedAfter) {
    reset_fake_ui();
    ASSERT_EQ(start_application(), 0);
    ui_calls().clear();
    fake_ui().ini_writes.clear();
    EXPECT_EQ(run(CMD_QUIT), (Calls{"release_gdi", "post_quit"}));
    std::size_t writes = fake_ui().ini_writes.size();
    EXPECT_EQ(writes, 24u);
    ui_calls().clear();
    shut_down();  // the destroy message after the loop ended
    EXPECT_EQ(fake_ui().ini_writes.size(), writes);
    EXPECT_TRUE(ui_calls().empty());
}

TEST(CommandTable, IdsAreUniqueAndMenusNameOnlyKnownCommands) {
    std::set<int> ids;
    for (const CommandInfo& command : command_table()) {
        EXPECT_TRUE(ids.insert(command.id).second) << command.name;
    }
    EXPECT_EQ(ids.size(), 41u);
    for (const MenuResource& menu : menu_resources()) {
        for (const MenuPopup& popup : menu.popups) {
            for (const MenuItem& item : popup.items) {
                if (item.label != nullptr) {
                    EXPECT_NE(find_command(item.id), nullptr) << item.label;
                }
            }
        }
    }
    for (const AcceleratorKey& key : accelerator_table()) {
        EXPECT_NE(find_command(key.id), nullptr);
    }
}

TEST(CommandTable, LabelsKeepTheirExactSpelling) {
    // Spot checks against the labels as the program has always shown them.
    const auto label = [](std::size_t menu, std::size_t popup, std::size_t item) {
        return std::string(menu_resources()[menu].popups[popup].items[item].label);
    };
    EXPECT_STREQ(menu_resources()[0].name, "MAIN_MENU");
    EXPECT_EQ(label(0, 1, 5), "&Beginnning");
    EXPECT_EQ(label(0, 0, 10), "&Quit                Alt+X");
    EXPECT_STREQ(menu_resources()[2].name, "COMP_DIR_MENU");
    EXPECT_EQ(label(2, 0, 1), "&Cancel  Alt-C");
}

}  // namespace
