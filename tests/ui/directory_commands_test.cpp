// The directory walk's commands as the user reaches them: the three pickers, the menu
// swap around the walk, and the commands that act only while walking or only outside.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

#include "common/paths.h"
#include "common/report.h"
#include "dircompare/dir_walk.h"
#include "merge/document.h"
#include "resources/command_ids.h"
#include "tests/support/fake_platform.h"
#include "tests/support/fake_report.h"
#include "tests/support/std_dir_search.h"
#include "tests/support/temp_dir.h"
#include "tests/ui/fake_ui.h"
#include "ui/commands.h"
#include "ui/directory_commands.h"
#include "ui/settings.h"

namespace {

using Calls = std::vector<std::string>;

const std::string SEP(1, PATH_SEPARATOR);

class DirectoryCommands : public ::testing::Test {
protected:
    void SetUp() override {
        reset_fake_ui();
        clear_scripted_directories();
        dir_walk = DirWalk{};
        load_settings();
        ui_calls().clear();
    }
    void TearDown() override { dir_walk = DirWalk{}; }

    // The three pickers answer with these directories, as the dialog does: the
    // directory, a separator and the name in the hidden box.
    void answer_pickers(const std::vector<std::string>& dirs) {
        for (const std::string& d : dirs) {
            fake_ui().picker_script.emplace_back(d + SEP + DIRECTORY_PICK_NAME);
        }
    }
    // Delivers posted commands as the message loop would.
    void deliver() {
        for (int r = take_posted_request(); r != NO_REQUEST; r = take_posted_request()) {
            dispatch_command(r == REQUEST_NEXT_PAIR ? CMD_NEXT_PAIR
                             : r == REQUEST_CANCEL  ? CMD_CANCEL
                                                    : CMD_COMPARE_FILES);
        }
    }
    static bool logged(const std::string& call) {
        return std::find(ui_calls().begin(), ui_calls().end(), call) != ui_calls().end();
    }

    TempDir d1;
    TempDir d2;
    TempDir target;
};

TEST(PickedDirectory, IsThePathCutAtItsLastSeparator) {
    EXPECT_EQ(picked_directory(("C:" + SEP + "work" + SEP + "x$y$z$w$").c_str()),
              "C:" + SEP + "work");
    EXPECT_EQ(picked_directory(("C:" + SEP + "x$y$z$w$").c_str()), "C:");  // a root: the drive
    EXPECT_EQ(picked_directory("/x$y$z$w$"), "/");
    EXPECT_EQ(picked_directory("x$y$z$w$"), "");
}

TEST_F(DirectoryCommands, ACancelledPickerStartsNothing) {
    for (int cancelled = 0; cancelled < 3; ++cancelled) {
        SCOPED_TRACE(cancelled);
        SetUp();
        std::vector<std::string> dirs = {d1.path(), d2.path(), target.path()};
        dirs.resize(static_cast<std::size_t>(cancelled));
        answer_pickers(dirs);
        fake_ui().picker_script.emplace_back(std::nullopt);
        EXPECT_TRUE(dispatch_command(CMD_COMPARE_DIRS));
        Calls expected = {"picker Directory 1", "picker Directory 2", "picker Target Directory"};
        expected.resize(static_cast<std::size_t>(cancelled) + 1);
        EXPECT_EQ(ui_calls(), expected);
        // Every picker offers the stand-in name in its hidden box.
        for (const std::string& offered : fake_ui().picker_offered) {
            EXPECT_EQ(offered, DIRECTORY_PICK_NAME);
        }
        EXPECT_EQ(merge_document.directory_mode, 0);
        EXPECT_STREQ(settings.pickers[PICK_DIRECTORY1].start_directory, "");
        EXPECT_TRUE(reported_messages().empty());
    }
}

TEST_F(DirectoryCommands, EmptyDirectoriesRestoreTheMenuAtOnce) {
    answer_pickers({d1.path(), d2.path(), target.path()});
    dispatch_command(CMD_COMPARE_DIRS);
    EXPECT_EQ(ui_calls().back(), "walk_menu off");
    EXPECT_TRUE(logged("walk_menu on"));
    EXPECT_EQ(reported_messages(),
              (std::vector<ReportedMessage>{
                  {"Directories have been \nsuccessfully compared", SEVERITY_INFO}}));
    EXPECT_EQ(merge_document.directory_mode, 0);
    // The pickers reopen in the directories of this walk.
    EXPECT_EQ(std::string(settings.pickers[PICK_DIRECTORY1].start_directory), d1.path());
    EXPECT_EQ(std::string(settings.pickers[PICK_DIRECTORY2].start_directory), d2.path());
    EXPECT_EQ(std::string(settings.pickers[PICK_TARGET_DIRECTORY].start_directory), target.path());
    // A next step after the end does nothing.
    ui_calls().clear();
    EXPECT_TRUE(dispatch_command(CMD_NEXT_PAIR));
    EXPECT_TRUE(ui_calls().empty());
}

TEST_F(DirectoryCommands, WhileWalkingOnlyTheWalksCommandsAct) {
    d1.write("p.txt", "1\n");
    d2.write("p.txt", "2\n");
    std::filesystem::last_write_time(
        d2.file("p.txt"),
        std::filesystem::last_write_time(d1.file("p.txt")) + std::chrono::hours(1));
    d2.write("q.txt", "q\n");
    answer_pickers({d1.path(), d2.path(), target.path()});
    dispatch_command(CMD_COMPARE_DIRS);
    ASSERT_EQ(merge_document.directory_mode, 1);  // the pair waits in the panes
    EXPECT_TRUE(merge_document.left.own_blocks.has_value());
    ui_calls().clear();
    // Compare Directories again does nothing.
    EXPECT_FALSE(dispatch_command(CMD_COMPARE_DIRS));
    EXPECT_TRUE(ui_calls().empty());
    // Skip: nothing written; q.txt is asked about next and Cancel ends the walk.
    fake_platform().answers = {ANSWER_CANCEL};
    EXPECT_TRUE(dispatch_command(CMD_SKIP));
    deliver();
    EXPECT_EQ(ui_calls().back(), "walk_menu off");
    EXPECT_EQ(fake_platform().questions.size(), 1u);
    EXPECT_EQ(merge_document.directory_mode, 0);
    EXPECT_TRUE(reported_messages().empty());
    EXPECT_FALSE(exists(target.file("p.txt")));
    // Outside the walk Skip and Cancel do nothing.
    ui_calls().clear();
    EXPECT_FALSE(dispatch_command(CMD_SKIP));
    EXPECT_FALSE(dispatch_command(CMD_CANCEL));
    EXPECT_TRUE(ui_calls().empty());
}

}  // namespace
