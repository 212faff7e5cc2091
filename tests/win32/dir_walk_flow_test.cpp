// Compare Directories in the real program: the three directory pickers answered through
// their hidden file-name box, the walk's questions with their exact texts, the menu bar
// while walking and after, and the target directory's files on disk.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "common/progress.h"
#include "merge/document.h"
#include "resources/command_ids.h"
#include "tests/support/temp_dir.h"
#include "tests/win32/driver.h"
#include "ui/directory_commands.h"
#include "ui/win32/progress_win32.h"
#include "ui/win32/question_box.h"
#include "ui/win32/ui_state.h"

namespace {

using Seen = std::vector<SeenDialog>;

std::string menu_label(HMENU menu, int position) {
    char label[128] = {};
    GetMenuStringA(menu, static_cast<UINT>(position), label, sizeof label, MF_BYPOSITION);
    return label;
}

// The bar's first label and the first item of the popup it opens.
std::pair<std::string, std::string> first_popup() {
    HMENU bar = GetMenu(ui_state.main_window);
    return {menu_label(bar, 0), menu_label(GetSubMenu(bar, 0), 0)};
}

bool walking() {
    return merge_document.directory_mode != 0;
}

class DirWalkFlow : public ::testing::Test {
protected:
    void SetUp() override { reset_program_state(); }
    void TearDown() override { reset_program_state(); }

    void run() {
        driver.run("");
        EXPECT_FALSE(driver.timed_out()) << "script stopped at a step that never completed";
        EXPECT_TRUE(driver.finished());
    }
    // The pickers' answer: the directory and the stand-in name in the hidden box.
    static DialogAnswer pick(const std::string& dir) {
        return {IDOK, dir + "\\" + DIRECTORY_PICK_NAME};
    }
    static void same_stamp(const std::string& a, const std::string& b) {
        std::filesystem::last_write_time(b, std::filesystem::last_write_time(a));
    }

    TempDir d1;
    TempDir d2;
    TempDir target;
    ProgramDriver driver;
};

TEST_F(DirWalkFlow, TwoDirectoriesAreMergedIntoTheTarget) {
    d1.write("a.txt", "only in one\n");
    d1.write("p.txt", "keep\nleft\n");
    d2.write("P.TXT", "keep\nright\n");
    std::filesystem::last_write_time(
        d2.file("P.TXT"),
        std::filesystem::last_write_time(d1.file("p.txt")) + std::chrono::hours(1));
    d1.write("s.bin", std::string("one\r\n\x1A\x00zz", 9));
    d2.write("s.bin", std::string("one\r\n\x1A\x00zz", 9));
    same_stamp(d1.file("s.bin"), d2.file("s.bin"));
    d2.write("z.txt", "only in two\n");
    std::filesystem::create_directory(d1.file("sub"));
    std::pair<std::string, std::string> during;
    driver.steps = {
        ProgramDriver::check([] {
            EXPECT_EQ(first_popup(),
                      (std::pair<std::string, std::string>{"&File", "File &1            Ctrl+F1"}));
        }),
        ProgramDriver::post(CMD_COMPARE_DIRS),
        ProgramDriver::wait_until([] { return merge_document.left.own_blocks.has_value(); }),
        ProgramDriver::check([&] { during = first_popup(); }),
        ProgramDriver::post(CMD_FROM_LEFT),
        ProgramDriver::post(CMD_WRITE),
        ProgramDriver::wait_until([] { return !walking(); }),
        ProgramDriver::check([] {
            EXPECT_EQ(first_popup(),
                      (std::pair<std::string, std::string>{"File", "File &1            Ctrl+F1"}));
        }),
        ProgramDriver::post(CMD_QUIT),
    };
    driver.answers = {pick(d1.path()), pick(d2.path()), pick(target.path()),
                      {IDYES, {}},     {IDYES, {}},     {IDOK, {}}};
    char before[MAX_PATH] = {};
    char after[MAX_PATH] = {};
    GetCurrentDirectoryA(MAX_PATH, before);
    run();
    // Browsing in the pickers leaves the current directory where it was.
    GetCurrentDirectoryA(MAX_PATH, after);
    EXPECT_STREQ(after, before);
    EXPECT_EQ(during, (std::pair<std::string, std::string>{"File", "&Skip     Alt-S"}));
    const std::string only = " exists \nonly in ";
    EXPECT_EQ(driver.seen,
              (Seen{{"Directory 1", "&Directories:"},
                    {"Directory 2", "&Directories:"},
                    {"Target Directory", "&Directories:"},
                    {"Confirm the operation", "The file a.txt" + only + d1.path() +
                                                  ".\nCopy it to the destination directory ?"},
                    {"Confirm the operation", "The file z.txt" + only + d2.path() +
                                                  ".\nCopy it to the destination directory ?"},
                    {"Info", "Directories have been \nsuccessfully compared"}}));
    EXPECT_EQ(read_bytes(target.file("a.txt")), "only in one\n");
    EXPECT_EQ(read_bytes(target.file("p.txt")), "keep\r\nleft\r\n");
    EXPECT_EQ(read_bytes(target.file("s.bin")), std::string("one\r\n\x1A\x00zz", 9));
    EXPECT_EQ(read_bytes(target.file("z.txt")), "only in two\n");
    EXPECT_FALSE(exists(target.file("sub")));
    EXPECT_EQ(read_bytes(d2.file("s.bin")), std::string("one\r\n\x1A\x00zz", 9));
}

// Equal size and stamp once made the walk copy Directory 1's file unread: a version
// changed on the other side was lost without a trace.
TEST_F(DirWalkFlow, ASameStampPairWithOtherBytesWaitsInThePanes) {
    d1.write("v.txt", "version 1.2.3\n");
    d2.write("v.txt", "version 1.2.4\n");
    same_stamp(d1.file("v.txt"), d2.file("v.txt"));
    driver.steps = {
        ProgramDriver::post(CMD_COMPARE_DIRS),
        ProgramDriver::wait_until([] { return merge_document.left.own_blocks.has_value(); }),
        ProgramDriver::check([this] { EXPECT_FALSE(exists(target.file("v.txt"))); }),
        ProgramDriver::post(CMD_FROM_RIGHT),
        ProgramDriver::post(CMD_WRITE),
        ProgramDriver::wait_until([] { return !walking(); }),
        ProgramDriver::post(CMD_QUIT),
    };
    driver.answers = {pick(d1.path()), pick(d2.path()), pick(target.path()), {IDOK, {}}};
    run();
    EXPECT_EQ(driver.seen.back(),
              (SeenDialog{"Info", "Directories have been \nsuccessfully compared"}));
    EXPECT_EQ(read_bytes(target.file("v.txt")), "version 1.2.4\r\n");
    EXPECT_EQ(read_bytes(d1.file("v.txt")), "version 1.2.3\n");
}

TEST_F(DirWalkFlow, CancellingAPickerOrTheWalkLeavesTheOrdinaryMenu) {
    d1.write("a.txt", "a\n");
    driver.steps = {
        ProgramDriver::post(CMD_COMPARE_DIRS),
        ProgramDriver::wait_until([this] { return driver.seen.size() == 2; }),
        ProgramDriver::check([] {
            EXPECT_FALSE(walking());
            EXPECT_EQ(first_popup().first, "&File");
        }),
        ProgramDriver::post(CMD_COMPARE_DIRS),
        ProgramDriver::wait_until([this] { return driver.seen.size() == 6; }),
        ProgramDriver::wait_until([] { return !walking(); }),
        ProgramDriver::check([] { EXPECT_EQ(first_popup().first, "File"); }),
        ProgramDriver::post(CMD_QUIT),
    };
    driver.answers = {pick(d1.path()), {IDCANCEL, {}},      pick(d1.path()),
                      pick(d2.path()), pick(target.path()), {IDCANCEL, {}}};
    run();
    ASSERT_EQ(driver.seen.size(), 6u);
    EXPECT_EQ(driver.seen[5].caption, "Confirm the operation");
    EXPECT_FALSE(exists(target.file("a.txt")));
}

// The user presses Escape as the walk's poll number `escape_at` comes; polled at every
// step, the stop falls on a known file whatever the machine's speed.
int walk_polls = 0;
int escape_at = 0;
bool poll_pressing_escape(const char* activity, std::uint64_t done, std::uint64_t total,
                          bool visible) {
    if (std::string(activity) == "Comparing directories" && ++walk_polls == escape_at) {
        PostMessageW(ui_state.main_window, WM_KEYDOWN, VK_ESCAPE, 1);
    }
    return window_progress_reporter().poll(activity, done, total, visible);
}
void ended() {
    window_progress_reporter().ended();
}
const ProgressReporter ESCAPE_REPORTER = {poll_pressing_escape, ended};

// Escape during a walk of one-sided files and same-stamp pairs: the target holds the
// files finished before, whole, and nothing else (no temporary file); no success
// message; the ordinary menu returns.
TEST_F(DirWalkFlow, EscapeEndsTheWalkWithTheFinishedFilesOnly) {
    constexpr int FILES = 40;
    constexpr int FINISHED = 25;
    std::vector<std::string> names;
    for (int i = 0; i < FILES; ++i) {
        char name[16];
        std::snprintf(name, sizeof name, "f%02d.txt", i);
        names.emplace_back(name);
        d1.write(name, std::string(static_cast<std::size_t>(i) * 1000, 'x') + name);
        if (i % 2 == 0) {
            d2.write(name, read_bytes(d1.file(name)));
            same_stamp(d1.file(name), d2.file(name));
        }
    }
    walk_polls = 0;
    escape_at = FINISHED + 1;
    driver.steps = {
        ProgramDriver::check(
            [] { progress_set_reporter(&ESCAPE_REPORTER, ProgressClock::duration::zero()); }),
        ProgramDriver::post(CMD_COMPARE_DIRS),
        ProgramDriver::wait_until([] { return !walking() && !progress_busy(); }),
        ProgramDriver::check([] { EXPECT_EQ(first_popup().first, "File"); }),
        ProgramDriver::post(CMD_QUIT),
    };
    driver.answers = {
        pick(d1.path()), pick(d2.path()), pick(target.path()), {QUESTION_YES_TO_ALL, {}}};
    run();
    ASSERT_EQ(driver.seen.size(), 4u);  // the pickers and one question: no success
    std::vector<std::string> in_target;
    for (const auto& e : std::filesystem::directory_iterator(target.path())) {
        const std::string name = e.path().filename().string();
        EXPECT_EQ(read_bytes(e.path().string()), read_bytes(d1.file(name))) << name;
        in_target.push_back(name);
    }
    std::sort(in_target.begin(), in_target.end());
    EXPECT_EQ(in_target, std::vector<std::string>(names.begin(), names.begin() + FINISHED));
}

}  // namespace
