#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "resources/command_ids.h"
#include "tests/ui/fake_ui.h"
#include "ui/commands.h"
#include "ui/settings.h"
#include "ui/startup.h"

namespace {

using Calls = std::vector<std::string>;

class Commands : public ::testing::Test {
protected:
    void SetUp() override {
        reset_fake_ui();
        load_settings();
        fake_ui().calls.clear();
    }
    Calls run(int id) {
        fake_ui().calls.clear();
        dispatch_command(id);
        return fake_ui().calls;
    }
};

TEST_F(Commands, EveryIdReachesItsAction) {
    struct Case {
        int id;
        Calls calls;
    };
    const Case cases[] = {
        {CMD_NEXT, {"next"}},
        {CMD_PREV, {"prev"}},
        {CMD_FROM_LEFT, {"choose_all_from left"}},
        {CMD_FROM_RIGHT, {"choose_all_from right"}},
        {CMD_UNSELECT_ALL, {"unselect_all"}},
        {CMD_TITLE_FONT, {"title_font_dialog"}},
        {CMD_TAB_SIZE, {"tab_size_dialog"}},
        {CMD_FONT, {"font_dialog"}},
        {CMD_COMPRESS_SPACES, {"check 14 1"}},
        {CMD_HELP_CONTENTS, {"help_contents"}},
        {CMD_AUTO_WALK, {"check 16 1"}},
        {CMD_PRINT, {"print"}},
        {CMD_BEGINNING, {"beginning"}},
        {CMD_END, {"end"}},
        {CMD_FILE1, {"picker Open file 1"}},
        {CMD_FILE2, {"picker Open file 2"}},
        {CMD_COMPARE_FILES, {"compare_files"}},
        {CMD_WRITE, {"write_command"}},
        {CMD_LINE_NUMBERS, {"check 308 1", "repaint_panes"}},
        {CMD_ABOUT, {"about_box"}},
        {CMD_FIRST, {"first"}},
        {CMD_LAST, {"last"}},
        {CMD_COMPARE_DIRS, {}},
        {CMD_NEXT_PAIR, {}},
    };
    std::set<int> covered;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.id);
        EXPECT_TRUE(dispatch_command(c.id) || c.calls.empty());
        covered.insert(c.id);
        Calls got = fake_ui().calls;
        fake_ui().calls.clear();
        EXPECT_EQ(got, c.calls);
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
    EXPECT_TRUE(fake_ui().calls.empty());
    fake_ui().directory_mode = true;
    EXPECT_EQ(run(CMD_SKIP), (Calls{"reset_document", "post 315"}));
    EXPECT_TRUE(dispatch_command(CMD_CANCEL));
    EXPECT_FALSE(dispatch_command(CMD_COMPARE_DIRS));
}

TEST_F(Commands, UnknownIdsDoNothing) {
    for (int id : {0, 1, 5, 18, 300, 316, 0xFFFF, -1}) {
        EXPECT_FALSE(dispatch_command(id));
    }
    EXPECT_TRUE(fake_ui().calls.empty());
}

TEST_F(Commands, TogglingTwiceRestoresFlagAndCheckMark) {
    EXPECT_EQ(run(CMD_LINE_NUMBERS), (Calls{"check 308 1", "repaint_panes"}));
    EXPECT_EQ(settings.line_numbers, 1);
    EXPECT_EQ(run(CMD_LINE_NUMBERS), (Calls{"check 308 0", "repaint_panes"}));
    EXPECT_EQ(settings.line_numbers, 0);
    run(CMD_AUTO_WALK);
    EXPECT_EQ(fake_ui().auto_walk, 1);
    EXPECT_EQ(run(CMD_AUTO_WALK), (Calls{"check 16 0"}));
    EXPECT_EQ(fake_ui().auto_walk, 0);
}

TEST_F(Commands, FilePickersLoadOnlyWhenConfirmed) {
    EXPECT_EQ(run(CMD_FILE1), (Calls{"picker Open file 1"}));  // cancelled
    EXPECT_STREQ(settings.left_directory, "");
    std::string sep(1, PATH_SEPARATOR);
    fake_ui().picker_answer = 1;
    fake_ui().picker_path = "d" + sep + "sub" + sep + "b.txt";
    EXPECT_EQ(run(CMD_FILE2),
              (Calls{"picker Open file 2", "load_side d" + sep + "sub" + sep + "b.txt 304"}));
    EXPECT_STREQ(settings.right_directory, ("d" + sep + "sub").c_str());
}

TEST_F(Commands, QuitShutsDownOnceEvenWhenTheWindowIsDestroyedAfter) {
    reset_fake_ui();
    ASSERT_EQ(start_application(), 0);
    fake_ui().calls.clear();
    fake_ui().ini_writes.clear();
    EXPECT_EQ(run(CMD_QUIT), (Calls{"release_gdi", "doc_release", "post_quit"}));
    std::size_t writes = fake_ui().ini_writes.size();
    EXPECT_EQ(writes, 20u);
    fake_ui().calls.clear();
    shut_down();  // the destroy message after the loop ended
    EXPECT_EQ(fake_ui().ini_writes.size(), writes);
    EXPECT_TRUE(fake_ui().calls.empty());
}

TEST(CommandTable, IdsAreUniqueAndMenusNameOnlyKnownCommands) {
    std::set<int> ids;
    for (const CommandInfo& command : command_table()) {
        EXPECT_TRUE(ids.insert(command.id).second) << command.name;
    }
    EXPECT_EQ(ids.size(), 27u);
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

}  // namespace
