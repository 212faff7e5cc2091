#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/ui/fake_ui.h"
#include "ui/command_line.h"
#include "ui/settings.h"
#include "ui/startup.h"

namespace {

using Calls = std::vector<std::string>;

class StartUp : public ::testing::Test {
protected:
    void SetUp() override { reset_fake_ui(); }
};

TEST_F(StartUp, BothFilesLoadedPostsTheComparisonLast) {
    fake_ini_set("Files", "Dir name 1", "L");
    fake_ini_set("Options", "Auto walk", "1");
    ASSERT_EQ(parse_command_line("-f1 a.txt -f2 b.txt -d2 R"), 0);
    ASSERT_EQ(start_application(), 0);
    EXPECT_EQ(
        fake_ui().calls,
        (Calls{"doc_start_up", "create_brushes", "load_3d_controls", "create_main_window",
               "text_font Terminal", "check 16 1", "title_font Terminal", "create_children",
               "load_menus", "open_input a.txt [L] 303", "open_input b.txt [R] 304", "post 305"}));
    EXPECT_EQ(fake_ui().auto_walk, 1);  // "Options" is read before the window exists
}

TEST_F(StartUp, OneFileOrAFailedLoadComparesNothing) {
    ASSERT_EQ(parse_command_line("-f1 a.txt"), 0);
    ASSERT_EQ(start_application(), 0);
    EXPECT_EQ(fake_ui().calls.back(), "open_input a.txt [] 303");

    reset_fake_ui();
    fake_ui().open_input_result = 0;
    ASSERT_EQ(parse_command_line("-f1 a.txt -f2 b.txt"), 0);
    ASSERT_EQ(start_application(), 0);
    EXPECT_EQ(fake_ui().calls.back(), "open_input b.txt [] 304");
}

TEST_F(StartUp, UnknownOptionBeforeF1LoadsNothing) {
    EXPECT_EQ(parse_command_line("-zz 1 -f1 a.txt -f2 b.txt"), -1);
    ASSERT_EQ(start_application(), 0);
    EXPECT_EQ(fake_ui().calls.back(), "load_menus");
}

TEST_F(StartUp, RefusedWindowsFailTheStart) {
    fake_ui().create_main_window_result = -1;
    EXPECT_EQ(start_application(), -1);
    EXPECT_EQ(fake_ui().calls.back(), "create_main_window");
    shut_down();  // nothing was started, so nothing is saved
    EXPECT_TRUE(fake_ui().ini_writes.empty());

    reset_fake_ui();
    fake_ui().create_children_result = -1;
    EXPECT_EQ(start_application(), -1);
    EXPECT_EQ(fake_ui().calls.back(), "create_children");
}

TEST_F(StartUp, ShutDownSavesThenReleasesThenQuits) {
    ASSERT_EQ(start_application(), 0);
    fake_ui().calls.clear();
    shut_down();
    EXPECT_EQ(fake_ui().calls, (Calls{"release_gdi", "doc_release", "post_quit"}));
    EXPECT_EQ(fake_ini_get("Options", "Tab size"), "8");
    EXPECT_EQ(fake_ini_get("Font", "Title Font name"), "Terminal");
}

}  // namespace
