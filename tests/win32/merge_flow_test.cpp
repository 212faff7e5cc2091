// The program with the merge layer: files named on the command line are loaded and
// compared at once, a side is chosen, the merged file is written through the save
// dialog, and bad input gets its message while the program goes on.
#include <gtest/gtest.h>

#include <string>

#include "merge/document.h"
#include "merge/output.h"
#include "resources/command_ids.h"
#include "tests/support/temp_dir.h"
#include "tests/win32/driver.h"
#include "ui/commands.h"
#include "ui/scrolling.h"
#include "ui/win32/ui_state.h"

namespace {

using Seen = std::vector<SeenDialog>;

class MergeFlow : public ::testing::Test {
protected:
    void SetUp() override { reset_program_state(); }
    void TearDown() override { reset_program_state(); }

    void run(const std::string& command_line) {
        driver.run(command_line.c_str());
        EXPECT_FALSE(driver.timed_out()) << "script stopped at a step that never completed";
        EXPECT_TRUE(driver.finished());
    }

    static std::string quoted(const std::string& path) { return "\"" + path + "\""; }

    TempDir dir;
    ProgramDriver driver;
};

bool compared() {
    return merge_document.not_compared == 0;
}

TEST_F(MergeFlow, BothFilesCompareAtOnceThenFromLeftIsWritten) {
    std::string left = dir.write("left side.txt", "one\ntwo\nthree\nfour\n");
    std::string right = dir.write("right.txt", "one\n2\nthree\nfour\nfive");
    std::string out = dir.file("merged.txt");
    driver.steps = {
        ProgramDriver::wait_until(compared),
        ProgramDriver::check([&] {
            EXPECT_STREQ(merge_document.left.path, left.c_str());
            EXPECT_STREQ(merge_document.right.path, right.c_str());
            ASSERT_TRUE(merge_document.left.own_blocks.has_value());
            EXPECT_EQ(merge_document.total_rows, 5);
            EXPECT_EQ(GetScrollPos(ui_state.vertical_scrollbar, SB_CTL), 1);
        }),
        ProgramDriver::post(CMD_FROM_LEFT),
        ProgramDriver::post(CMD_WRITE),
        ProgramDriver::wait_until([&] { return exists(out); }),
        ProgramDriver::post(CMD_QUIT),
    };
    driver.answers = {{IDOK, out}};
    run("-f1 " + quoted(left) + " -f2 " + quoted(right));
    ASSERT_EQ(driver.seen.size(), 1u);
    EXPECT_EQ(driver.seen[0].caption, "Save As");
    EXPECT_EQ(read_bytes(out), "one\r\ntwo\r\nthree\r\nfour\r\n");
    EXPECT_EQ(ini_get("Files", "Out dir"), dir.path() + "\\");
}

TEST_F(MergeFlow, OnlyF1LoadsTheLeftSideAndComparesNothing) {
    std::string left = dir.write("a.txt", "x\n");
    driver.steps = {
        ProgramDriver::check([] {
            EXPECT_EQ(merge_document.left.line_count, 1);
            EXPECT_EQ(merge_document.right.line_count, 0);
        }),
        ProgramDriver::post(CMD_QUIT),
    };
    run("-f1 " + left);
    EXPECT_EQ(merge_document.not_compared, 1);
    EXPECT_TRUE(driver.seen.empty());
}

TEST_F(MergeFlow, NameIsFoundInTheDirectoryOfD1) {
    dir.write("only-here.txt", "a\nb\n");
    std::string right = dir.write("r.txt", "a\nc\n");
    ini_set("Files", "Dir name 1", (dir.path() + "\\").c_str());
    driver.steps = {ProgramDriver::wait_until(compared), ProgramDriver::post(CMD_QUIT)};
    run("-f1 only-here.txt -f2 " + right);
    EXPECT_EQ(std::string(merge_document.left.path), dir.path() + "\\only-here.txt");
}

TEST_F(MergeFlow, MissingFileIsReportedAndComparesNothing) {
    std::string right = dir.write("r.txt", "a\n");
    driver.steps = {ProgramDriver::post(CMD_QUIT)};
    run("-f1 no-such-file.txt -f2 " + right);
    EXPECT_EQ(driver.seen, (Seen{{"Error", "Unable to open file no-such-file.txt"}}));
    EXPECT_EQ(merge_document.left.line_count, 0);
    EXPECT_EQ(merge_document.not_compared, 1);
}

TEST_F(MergeFlow, IdenticalFilesAreReported) {
    std::string left = dir.write("a.txt", "same\n");
    std::string right = dir.write("b.txt", "same\r\n");
    driver.answers = {{IDOK, {}}};
    driver.steps = {ProgramDriver::wait_until([this] { return !driver.seen.empty(); }),
                    ProgramDriver::post(CMD_QUIT)};
    run("-f1 " + left + " -f2 " + right);
    EXPECT_EQ(driver.seen, (Seen{{"Info", "Files are identical"}}));
}

TEST_F(MergeFlow, WriteBeforeAComparisonIsRefused) {
    driver.answers = {{IDOK, dir.file("out.txt")}, {IDOK, {}}};
    driver.steps = {ProgramDriver::post(CMD_WRITE),
                    ProgramDriver::wait_until([this] { return driver.seen.size() == 2; }),
                    ProgramDriver::post(CMD_QUIT)};
    run("");
    ASSERT_EQ(driver.seen.size(), 2u);
    EXPECT_EQ(driver.seen[1], (SeenDialog{"Info", "Files have not been compared yet"}));
    EXPECT_FALSE(exists(dir.file("out.txt")));
}

TEST_F(MergeFlow, PickedFileThatCannotBeOpenedKeepsTheSide) {
    std::string left = dir.write("a.txt", "a\n");
    driver.answers = {{IDOK, dir.file("missing.txt")}, {IDOK, {}}};
    driver.steps = {ProgramDriver::post(CMD_FILE1),
                    ProgramDriver::wait_until([this] { return driver.seen.size() == 2; }),
                    ProgramDriver::post(CMD_QUIT)};
    run("-f1 " + left);
    ASSERT_EQ(driver.seen.size(), 2u);
    EXPECT_EQ(driver.seen[0].caption, "Open file 1");
    EXPECT_EQ(driver.seen[1],
              (SeenDialog{"Error", "Unable to open file " + dir.file("missing.txt")}));
    EXPECT_STREQ(merge_document.left.path, left.c_str());
    // The picker still remembers where the user went.
    EXPECT_EQ(ini_get("Files", "Dir name 1"), dir.path());
}

TEST_F(MergeFlow, ReplacingAnExistingFileAsksAndKeepsABackup) {
    std::string left = dir.write("l.txt", "a\nb\n");
    std::string right = dir.write("r.txt", "a\nc\n");
    std::string out = dir.write("out.txt", "old\n");
    driver.answers = {{IDOK, out}, {IDYES, {}}};
    driver.steps = {ProgramDriver::wait_until(compared), ProgramDriver::post(CMD_FROM_RIGHT),
                    ProgramDriver::post(CMD_WRITE),
                    ProgramDriver::wait_until([&] { return exists(dir.file("out.bak")); }),
                    ProgramDriver::post(CMD_QUIT)};
    run("-f1 " + left + " -f2 " + right);
    ASSERT_EQ(driver.seen.size(), 2u);
    EXPECT_EQ(driver.seen[1].caption, "Confirm the operation");
    EXPECT_EQ(read_bytes(dir.file("out.bak")), "old\n");
    EXPECT_EQ(read_bytes(out), "a\r\nc\r\n");
}

TEST_F(MergeFlow, ClickInAPaneChoosesThatSide) {
    std::string left = dir.write("l.txt", "one\ntwo\nthree\n");
    std::string right = dir.write("r.txt", "one\n2\nthree\n");
    driver.steps = {
        ProgramDriver::wait_until(compared),
        ProgramDriver::check([] {
            int y = view_metrics.line_height + 1;  // the second row: block 0
            SendMessageA(ui_state.right_pane, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, y));
            ASSERT_TRUE(merge_document.right.own_blocks.has_value());
            EXPECT_EQ((*merge_document.right.own_blocks)[0].chosen, 1u);
            EXPECT_EQ((*merge_document.left.own_blocks)[0].chosen, 0u);
            // A click on a common row changes nothing.
            SendMessageA(ui_state.left_pane, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 1));
            EXPECT_EQ((*merge_document.left.own_blocks)[0].chosen, 0u);
        }),
        ProgramDriver::post(CMD_QUIT),
    };
    run("-f1 " + left + " -f2 " + right);
}

TEST_F(MergeFlow, EveryCommandRunsInTheRealProgramAndItGoesOn) {
    std::string left = dir.write("l.txt", "a\nb\nc\n");
    std::string right = dir.write("r.txt", "a\nB\nc\nd\n");
    auto no_dialog = [] { return FindWindowA("#32770", nullptr) == nullptr; };
    driver.steps = {ProgramDriver::wait_until(compared)};
    for (const CommandInfo& command : command_table()) {
        if (command.id == CMD_QUIT) {
            continue;
        }
        driver.steps.push_back(ProgramDriver::post(command.id));
        driver.steps.push_back(ProgramDriver::wait_until(no_dialog));
    }
    driver.steps.push_back(ProgramDriver::check([] {
        EXPECT_TRUE(IsWindow(ui_state.main_window));
        EXPECT_EQ(merge_document.left.line_count, 3);
        EXPECT_EQ(merge_document.right.line_count, 4);
    }));
    driver.steps.push_back(ProgramDriver::post(CMD_QUIT));
    run("-f1 " + left + " -f2 " + right);
    // The dialogs, pickers and the save dialog were cancelled; Write and Print met the
    // open blocks, or the choices that From Left and From Right made.
    std::vector<std::string> captions;
    for (const SeenDialog& d : driver.seen) {
        captions.push_back(d.caption);
    }
    EXPECT_EQ(captions, (std::vector<std::string>{"Font", "Tab size", "Font", "Pairex help",
                                                  "Error", "Open file 1", "Open file 2", "Save As",
                                                  "About PAIREX", "Directory 1", "Edit block"}));
    ASSERT_EQ(driver.seen.size(), 11u);
    EXPECT_EQ(driver.seen[4].text, "You have unresolved difference(s) !");
}

TEST_F(MergeFlow, KeysScrollThePanes) {
    std::string text;
    for (int i = 0; i < 300; ++i) {
        text += "line " + std::to_string(i) + "\n";
    }
    std::string left = dir.write("l.txt", text);
    std::string right = dir.write("r.txt", text + "extra\n");
    auto key = [](WPARAM vk) { SendMessageA(ui_state.main_window, WM_KEYDOWN, vk, 0); };
    auto point_at = [](HWND window) {
        RECT r;
        GetWindowRect(window, &r);
        SetCursorPos((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    };
    driver.steps = {
        ProgramDriver::wait_until(compared),
        ProgramDriver::check([&] {
            key(VK_DOWN);
            key(VK_DOWN);
            EXPECT_EQ(merge_document.top_row, 2);
            EXPECT_EQ(GetScrollPos(ui_state.vertical_scrollbar, SB_CTL), 3);
            key(VK_UP);
            EXPECT_EQ(merge_document.top_row, 1);
            key(VK_NEXT);
            EXPECT_GT(merge_document.top_row, 2);
            point_at(ui_state.position_bar);
            key(VK_RIGHT);  // not over the left pane: the right one scrolls
            EXPECT_EQ(merge_document.right.first_column, 1u);
            EXPECT_EQ(merge_document.left.first_column, 0u);
            point_at(ui_state.left_pane);
            key(VK_END);
            EXPECT_EQ(merge_document.left.first_column, 79u);
            key(VK_HOME);
            EXPECT_EQ(merge_document.left.first_column, 0u);
        }),
        ProgramDriver::check([] {
            // The shared scrollbar's thumb released at position 1 shows row 0.
            SendMessageA(ui_state.position_bar, WM_VSCROLL, MAKEWPARAM(SB_THUMBPOSITION, 1),
                         reinterpret_cast<LPARAM>(ui_state.vertical_scrollbar));
            EXPECT_EQ(merge_document.top_row, 0);
        }),
        ProgramDriver::post(CMD_END),
        ProgramDriver::check(
            [] { EXPECT_EQ(merge_document.top_row, merge_document.total_rows - 1); }),
        ProgramDriver::post(CMD_QUIT),
    };
    run("-f1 " + left + " -f2 " + right);
}

}  // namespace
