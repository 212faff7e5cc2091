#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "common/report.h"
#include "merge/comparison.h"
#include "merge/document.h"
#include "merge/history.h"
#include "merge/output.h"
#include "merge/selection.h"
#include "tests/support/fake_platform.h"
#include "tests/support/fake_report.h"
#include "tests/support/progress_recorder.h"
#include "tests/support/temp_dir.h"
#include "tests/ui/fake_ui.h"
#include "ui/command_line.h"
#include "ui/settings.h"
#include "ui/startup.h"

namespace {

using Calls = std::vector<std::string>;

class StartUp : public ::testing::Test {
protected:
    void SetUp() override { reset_fake_ui(); }
    // The log without the views' refreshes that loading a file brings.
    static Calls steps() {
        Calls out;
        for (const std::string& c : ui_calls()) {
            if (c.rfind("repaint_", 0) != 0 && c.rfind("scroll_", 0) != 0) {
                out.push_back(c);
            }
        }
        return out;
    }
    TempDir dir;
};

TEST_F(StartUp, BothFilesLoadedPostsTheComparisonLast) {
    dir.write("a.txt", "one\n");
    const std::string right = dir.write("b.txt", "two\n");
    fake_ini_set("Files", "Dir name 1", dir.path());
    fake_ini_set("Options", "Auto walk", "1");
    ASSERT_EQ(parse_command_line(("-f1 a.txt -f2 \"" + right + "\"").c_str()), 0);
    ASSERT_EQ(start_application(), 0);
    EXPECT_EQ(steps(), (Calls{"create_brushes", "load_3d_controls", "create_main_window",
                              "text_font Terminal", "check 16 1", "check 330 1", "check 350 1",
                              "check 351 0", "check 352 0", "title_font Terminal",
                              "create_children", "load_menus", "post compare_files"}));
    EXPECT_EQ(merge_document.left.path, dir.file("a.txt"));  // found in "Dir name 1"
    EXPECT_EQ(merge_document.right.path, right);
    EXPECT_EQ(merge_document.not_compared, 1);
    EXPECT_EQ(merge_document.auto_walk, 1);  // "Options" is read before the window exists
}

// A large pair is read once the main window is made, where its load shows; a small one
// before, while the window system starts. A stop in the large pair's load ends the
// reads of both files: neither is shown, and nothing is compared.
TEST_F(StartUp, ALargePairIsReadOnceTheWindowShows) {
    struct Case {
        std::size_t size;
        int stop_at;
    };
    for (const Case c :
         {Case{1000, 0}, Case{std::size_t{17} << 20, 0}, Case{std::size_t{17} << 20, 1}}) {
        SCOPED_TRACE(c.size + c.stop_at);
        reset_fake_ui();
        start_up_document();
        const std::string text(c.size, 'x');
        const std::string left = dir.write("a.txt", text + "\n");
        const std::string right = dir.write("b.txt", text + "y\n");
        ProgressRecorder recorder(c.stop_at);
        int window_made = -1;  // at the first poll of a load
        recorder.at_poll = [&] {
            if (window_made < 0) {
                const Calls& calls = ui_calls();
                window_made = std::count(calls.begin(), calls.end(), "create_main_window");
            }
        };
        ASSERT_EQ(parse_command_line(("-f1 \"" + left + "\" -f2 \"" + right + "\"").c_str()), 0);
        ASSERT_EQ(start_application(), 0);
        EXPECT_EQ(window_made, c.size > 1000 ? 1 : 0);
        EXPECT_EQ(merge_document.right.line_count, c.stop_at == 0 ? 1 : 0);
        EXPECT_EQ(merge_document.left.line_count, c.stop_at == 0 ? 1 : 0);
        EXPECT_EQ(steps().back() == "post compare_files", c.stop_at == 0);
    }
}

TEST_F(StartUp, OneFileOrAFailedLoadComparesNothing) {
    const std::string left = dir.write("a.txt", "one\n");
    ASSERT_EQ(parse_command_line(("-f1 \"" + left + "\"").c_str()), 0);
    ASSERT_EQ(start_application(), 0);
    EXPECT_EQ(steps().back(), "load_menus");
    EXPECT_EQ(merge_document.left.path, left);

    reset_fake_ui();
    clear_reported_messages();
    ASSERT_EQ(parse_command_line(("-f1 \"" + left + "\" -f2 missing.txt").c_str()), 0);
    ASSERT_EQ(start_application(), 0);
    EXPECT_EQ(steps().back(), "load_menus");
    EXPECT_STREQ(merge_document.right.path, "");
}

TEST_F(StartUp, NamedFileThatDoesNotExistIsReportedAndStartUpGoesOn) {
    const std::string right = dir.write("b.txt", "two\n");
    const std::string missing = dir.file("missing.txt");
    ASSERT_EQ(parse_command_line(("-f1 \"" + missing + "\" -f2 \"" + right + "\"").c_str()), 0);
    ASSERT_EQ(start_application(), 0);
    EXPECT_EQ(reported_messages(),
              (std::vector<ReportedMessage>{{"Unable to open file " + missing, SEVERITY_ERROR}}));
    EXPECT_EQ(steps().back(), "load_menus");
    EXPECT_EQ(merge_document.right.path, right);

    // A file that exists but cannot be read is reported once, by the loader.
    reset_fake_ui();
    clear_reported_messages();
    const std::string bad = dir.write("bad.txt", std::string("\xFF\xFE\x41", 3));
    ASSERT_EQ(parse_command_line(("-f1 \"" + bad + "\"").c_str()), 0);
    ASSERT_EQ(start_application(), 0);
    EXPECT_EQ(
        reported_messages(),
        (std::vector<ReportedMessage>{{"Invalid UTF-16 text in file " + bad, SEVERITY_ERROR}}));
}

TEST_F(StartUp, MergeLoadsBothSidesOfTheConflictFileInsteadOfF1AndF2) {
    const std::string other = dir.write("a.txt", "one\n");
    const std::string file =
        dir.write("notes.txt", "a\n<<<<<<< HEAD\nb\n=======\nc\n>>>>>>> topic\n");
    ASSERT_EQ(parse_command_line(("-f1 \"" + other + "\" -merge \"" + file + "\"").c_str()), 0);
    ASSERT_EQ(start_application(), 0);
    EXPECT_EQ(steps().back(), "post compare_files");
    EXPECT_EQ(merge_document.left.path, file);
    EXPECT_EQ(merge_document.right.path, file);
    EXPECT_EQ(line_text(merge_document.left, 1), "b");
    EXPECT_EQ(line_text(merge_document.right, 1), "c");
    EXPECT_TRUE(reported_messages().empty());

    // A missing file as for the other inputs; bad markers load nothing; neither compares.
    const std::string missing = dir.file("missing.txt");
    const std::string bad = dir.write("bad.txt", ">>>>>>> x\n");
    const std::pair<std::string, std::string> cases[] = {
        {missing, "Unable to open file " + missing},
        {bad, bad + ", line 1: conflict marker outside a conflict"},
    };
    for (const auto& [path, message] : cases) {
        reset_fake_ui();
        ASSERT_EQ(parse_command_line(("-merge \"" + path + "\"").c_str()), 0);
        ASSERT_EQ(start_application(), 0);
        EXPECT_EQ(steps().back(), "load_menus");
        EXPECT_EQ(reported_messages(), (std::vector<ReportedMessage>{{message, SEVERITY_ERROR}}));
        EXPECT_STREQ(merge_document.left.path, "");
    }
}

TEST_F(StartUp, UnknownOptionBeforeF1LoadsNothing) {
    const std::string left = dir.write("a.txt", "one\n");
    EXPECT_EQ(parse_command_line(("-zz 1 -f1 \"" + left + "\" -f2 \"" + left + "\"").c_str()), -1);
    ASSERT_EQ(start_application(), 0);
    EXPECT_EQ(steps().back(), "load_menus");
    EXPECT_STREQ(merge_document.left.path, "");
}

TEST_F(StartUp, RefusedWindowsFailTheStart) {
    fake_ui().create_main_window_result = -1;
    EXPECT_EQ(start_application(), -1);
    EXPECT_EQ(steps().back(), "create_main_window");
    shut_down();  // nothing was started, so nothing is saved
    EXPECT_TRUE(fake_ui().ini_writes.empty());

    reset_fake_ui();
    fake_ui().create_children_result = -1;
    EXPECT_EQ(start_application(), -1);
    EXPECT_EQ(steps().back(), "create_children");
}

TEST_F(StartUp, ShutDownSavesThenReleasesThenQuits) {
    const std::string left = dir.write("a.txt", "one\ntwo\n");
    ASSERT_EQ(parse_command_line(("-f1 \"" + left + "\"").c_str()), 0);
    ASSERT_EQ(start_application(), 0);
    ASSERT_EQ(merge_document.left.line_count, 2);
    ui_calls().clear();
    shut_down();
    EXPECT_EQ(ui_calls(), (Calls{"release_gdi", "post_quit"}));
    EXPECT_TRUE(merge_document.left.lines.empty());  // the texts are released
    EXPECT_EQ(fake_ini_get("Options", "Tab size"), "8");
    EXPECT_EQ(fake_ini_get("Font", "Title Font name"), "Terminal");
}

// Quit asks only while choices are unwritten; on No nothing at all happens.
TEST_F(StartUp, QuitAsksWhileChoicesAreUnwritten) {
    const std::string left = dir.write("a.txt", "one\ntwo\n");
    const std::string right = dir.write("b.txt", "one\n2\n");
    ASSERT_EQ(parse_command_line(("-f1 \"" + left + "\" -f2 \"" + right + "\"").c_str()), 0);
    ASSERT_EQ(start_application(), 0);
    compare_files();
    EXPECT_TRUE(confirm_quit());  // compared, nothing chosen
    EXPECT_TRUE(fake_platform().questions.empty());
    choose_block(SIDE_RIGHT, 0);
    fake_platform().answers = {ANSWER_NO};
    ui_calls().clear();
    fake_ui().ini_writes.clear();
    quit_command();
    EXPECT_EQ(ui_calls(), Calls{"ask"});
    ASSERT_EQ(fake_platform().questions.size(), 1u);
    EXPECT_EQ(fake_platform().questions[0].caption, "Confirm the operation");
    EXPECT_EQ(fake_platform().questions[0].text,
              "The merged file has not been written.\nQuit anyway ?");
    EXPECT_EQ(fake_platform().questions[0].buttons, BUTTONS_YES_NO);
    EXPECT_TRUE(fake_ui().ini_writes.empty());
    EXPECT_EQ(merge_document.left.line_count, 2);
    // Closing the box otherwise counts as No.
    EXPECT_FALSE(confirm_quit());
    // Undone back to the comparison: nothing to lose.
    undo_choice();
    EXPECT_TRUE(confirm_quit());
    redo_choice();
    fake_platform().answers = {ANSWER_YES};
    ui_calls().clear();
    quit_command();
    EXPECT_EQ(ui_calls(), (Calls{"ask", "release_gdi", "post_quit"}));
}

TEST_F(StartUp, QuitAfterTheChoicesWereWrittenAsksNothing) {
    const std::string left = dir.write("a.txt", "one\ntwo\n");
    const std::string right = dir.write("b.txt", "one\n2\n");
    ASSERT_EQ(parse_command_line(("-f1 \"" + left + "\" -f2 \"" + right + "\"").c_str()), 0);
    ASSERT_EQ(start_application(), 0);
    compare_files();
    choose_all_from(SIDE_LEFT);
    ASSERT_EQ(write_merged(dir.file("out.txt").c_str()), 0);
    ui_calls().clear();
    quit_command();
    EXPECT_EQ(ui_calls(), (Calls{"release_gdi", "post_quit"}));
    EXPECT_TRUE(fake_platform().questions.empty());
}

}  // namespace
