// Long work in the real program: the window answers and shows how far the work came,
// Escape stops it, and what was there before stays. A second thread plays the user.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <filesystem>
#include <string>
#include <thread>

#include "common/progress.h"
#include "merge/document.h"
#include "resources/command_ids.h"
#include "tests/support/random_lines.h"
#include "tests/support/temp_dir.h"
#include "tests/win32/driver.h"
#include "ui/directory_commands.h"
#include "ui/win32/question_box.h"
#include "ui/win32/ui_state.h"

namespace {

// The user: waits until the title names the work, asks the window a few times how it
// is (each answer's time kept), then presses Escape, or closes the window.
struct User {
    explicit User(const wchar_t* word, bool closes = false) : waits_for(word), closes(closes) {}
    const wchar_t* waits_for;
    bool closes;
    DWORD stopped_at = 0;
    std::wstring title;
    DWORD slowest_answer_ms = 0;
    std::atomic<bool> acted{false};

    void run() {
        const DWORD deadline = GetTickCount() + 60000;
        wchar_t text[256] = {};
        while (GetTickCount() < deadline) {
            HWND window = ui_state.main_window;
            DWORD_PTR r = 0;
            if (window != nullptr &&
                SendMessageTimeoutW(window, WM_GETTEXT, 256, reinterpret_cast<LPARAM>(text),
                                    SMTO_NORMAL, 1000, &r) != 0 &&
                std::wcsstr(text, waits_for) != nullptr) {
                break;
            }
            Sleep(10);
        }
        title = text;
        for (int i = 0; i < 5; ++i) {
            DWORD_PTR r = 0;
            const DWORD start = GetTickCount();
            if (SendMessageTimeoutW(ui_state.main_window, WM_NULL, 0, 0, SMTO_NORMAL, 2000, &r) ==
                0) {
                slowest_answer_ms = 2000;
            }
            slowest_answer_ms = std::max(slowest_answer_ms, GetTickCount() - start);
            Sleep(40);
        }
        // Posted: while the work runs, only its polls take messages.
        stopped_at = GetTickCount();
        if (closes) {
            PostMessageW(ui_state.main_window, WM_CLOSE, 0, 0);
        } else {
            PostMessageW(ui_state.main_window, WM_KEYDOWN, VK_ESCAPE, 1);
        }
        acted = true;
    }
};

std::wstring window_title() {
    wchar_t text[256] = {};
    GetWindowTextW(ui_state.main_window, text, 256);
    return text;
}

class ProgressFlow : public ::testing::Test {
protected:
    void SetUp() override { reset_program_state(); }
    void TearDown() override { reset_program_state(); }

    void run(const std::string& command_line) {
        driver.timeout_ms = 90000;
        driver.run(command_line.c_str());
        EXPECT_FALSE(driver.timed_out()) << "script stopped at a step that never completed";
        EXPECT_TRUE(driver.finished());
    }
    static DialogAnswer pick(const std::string& dir) {
        return {IDOK, dir + "\\" + DIRECTORY_PICK_NAME};
    }

    TempDir dir;
    ProgramDriver driver;
};

// Lines drawn from four: seconds of work for the engine.
TEST_F(ProgressFlow, ALongComparisonAnswersShowsProgressAndStopsOnEscape) {
    const std::string left = dir.write("a.txt", random_lines::four_symbol_text(1, 1000000));
    const std::string right = dir.write("b.txt", random_lines::four_symbol_text(2, 1000000));
    User user(L"Comparing");
    std::thread user_thread([&] { user.run(); });
    driver.steps = {
        ProgramDriver::wait_until([&] { return user.acted && !progress_busy(); }),
        ProgramDriver::check([&] {
            EXPECT_NE(merge_document.not_compared, 0);
            EXPECT_FALSE(merge_document.left.own_blocks.has_value());
            EXPECT_EQ(merge_document.left.line_count, 1000000);
        }),
        ProgramDriver::wait_until([] { return window_title().find(L" - ") == std::wstring::npos; }),
        ProgramDriver::post(CMD_QUIT),
    };
    run("-f1 \"" + left + "\" -f2 \"" + right + "\"");
    user_thread.join();
    EXPECT_NE(user.title.find(L"% (Esc stops)"), std::wstring::npos);
    EXPECT_LT(user.slowest_answer_ms, 100u);
    EXPECT_TRUE(driver.seen.empty());
}

// Closing the window stops the comparison, then closes it: the program ends at once,
// without a question (nothing was chosen yet).
TEST_F(ProgressFlow, ClosingTheWindowDuringAComparisonStopsItAndEnds) {
    const std::string left = dir.write("a.txt", random_lines::four_symbol_text(4, 1000000));
    const std::string right = dir.write("b.txt", random_lines::four_symbol_text(5, 1000000));
    User user(L"Comparing", true);
    std::thread user_thread([&] { user.run(); });
    driver.timeout_ms = 90000;
    driver.steps = {ProgramDriver::wait_until([] { return false; })};
    driver.run(("-f1 \"" + left + "\" -f2 \"" + right + "\"").c_str());
    const DWORD ended_after = GetTickCount() - user.stopped_at;
    user_thread.join();
    EXPECT_FALSE(driver.timed_out()) << "the close was lost";
    EXPECT_TRUE(user.acted);
    EXPECT_LT(ended_after, 2000u);
    EXPECT_TRUE(driver.seen.empty());
}

// Escape waiting when a load begins stops it: the compared pair stays, nothing is said.
TEST_F(ProgressFlow, AStoppedLoadLeavesThePreviousDocument) {
    const std::string left = dir.write("l.txt", "one\ntwo\n");
    const std::string right = dir.write("r.txt", "one\n2\n");
    const std::string big = dir.write("big.txt", random_lines::four_symbol_text(3, 200000));
    DWORD since = 0;
    driver.steps = {
        ProgramDriver::wait_until([] { return merge_document.left.own_blocks.has_value(); }),
        ProgramDriver::wait_until([&] {
            since = since == 0 ? GetTickCount() : since;
            return GetTickCount() - since > 100;  // past the poll interval
        }),
        ProgramDriver::check([&] {
            PostMessageW(ui_state.main_window, WM_KEYDOWN, VK_ESCAPE, 1);
            EXPECT_EQ(load_side(big.c_str(), SIDE_LEFT), -1);
            EXPECT_EQ(std::string(merge_document.left.path), left);
            EXPECT_EQ(merge_document.left.line_count, 2);
            EXPECT_TRUE(merge_document.left.own_blocks.has_value());
        }),
        ProgramDriver::post(CMD_QUIT),
    };
    run("-f1 \"" + left + "\" -f2 \"" + right + "\"");
    EXPECT_TRUE(driver.seen.empty());
}

// The walk's question answered by the buttons' ids: "No to all" copies nothing and asks
// once, "Yes to all" copies every file and asks once.
TEST_F(ProgressFlow, AnswersToAllInAWalk) {
    const TempDir d1;
    const TempDir d2;
    for (int i = 0; i < 200; ++i) {
        char name[16];
        std::snprintf(name, sizeof name, "f%03d.txt", i);
        d1.write(name, std::string(name) + " in full\n");
    }
    for (const int button : {QUESTION_NO_TO_ALL, QUESTION_YES_TO_ALL}) {
        const TempDir target;
        driver.seen.clear();
        driver.answers = {
            pick(d1.path()), pick(d2.path()), pick(target.path()), {button, {}}, {IDOK, {}}};
        driver.steps = {
            ProgramDriver::post(CMD_COMPARE_DIRS),
            ProgramDriver::wait_until(
                [] { return merge_document.directory_mode == 0 && !progress_busy(); }),
            ProgramDriver::post(CMD_QUIT),
        };
        run("");
        ASSERT_EQ(driver.seen.size(), 5u);  // the pickers, one question, the success
        EXPECT_EQ(driver.seen[3].caption, "Confirm the operation");
        int copied = 0;
        for (const auto& e : std::filesystem::directory_iterator(target.path())) {
            const std::string name = e.path().filename().string();
            EXPECT_EQ(read_bytes(e.path().string()), name + " in full\n");
            ++copied;
        }
        EXPECT_EQ(copied, button == QUESTION_YES_TO_ALL ? 200 : 0);
    }
}

}  // namespace
