// The desktop conventions in the real program: the mouse wheels, files dropped on the
// window, undo and redo of choices by their keys, the keys that move between blocks,
// the question before a merge is lost on quit, and the exit status for "outf".
#include <gtest/gtest.h>

#include "ui/win32/windows_api.h"

#include <shlobj.h>  // DROPFILES

#include <cstring>
#include <string>
#include <vector>

#include "merge/document.h"
#include "merge/selection.h"
#include "resources/command_ids.h"
#include "tests/support/temp_dir.h"
#include "tests/win32/capture.h"
#include "tests/win32/driver.h"
#include "ui/drop_files.h"
#include "ui/scrolling.h"
#include "ui/startup.h"
#include "ui/win32/ui_state.h"

namespace {

using Seen = std::vector<SeenDialog>;

bool compared() {
    return merge_document.not_compared == 0;
}

// The centre of a window in screen coordinates, which wheel messages carry.
LPARAM centre_of(HWND window) {
    RECT r;
    GetWindowRect(window, &r);
    return MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2);
}

void wheel(HWND target, int delta, WORD keys, HWND pointer_over, UINT message = WM_MOUSEWHEEL) {
    SendMessageA(target, message, MAKEWPARAM(keys, static_cast<WORD>(static_cast<short>(delta))),
                 centre_of(pointer_over));
}

enum Modifier { NONE = 0, CTRL = 1, SHIFT = 2, ALT = 4 };

// A key pressed with modifiers, as the message loop sees it: the modifiers' state set
// for the thread, the key's down message posted to the main window.
ProgramDriver::Step press(WPARAM key, int modifiers) {
    return [key, modifiers] {
        BYTE state[256] = {};
        state[VK_CONTROL] = (modifiers & CTRL) ? 0x80 : 0;
        state[VK_SHIFT] = (modifiers & SHIFT) ? 0x80 : 0;
        state[VK_MENU] = (modifiers & ALT) ? 0x80 : 0;
        SetKeyboardState(state);
        const bool alt = (modifiers & ALT) != 0;
        PostMessageA(ui_state.main_window, alt ? WM_SYSKEYDOWN : WM_KEYDOWN, key,
                     alt ? (1 << 29) | 1 : 1);
        return true;
    };
}

// Releases every modifier once the key has been handled.
ProgramDriver::Step release_keys() {
    return [] {
        BYTE state[256] = {};
        SetKeyboardState(state);
        return true;
    };
}

// One step per key: press, release.
void add_key(std::vector<ProgramDriver::Step>& steps, WPARAM key, int modifiers) {
    steps.push_back(press(key, modifiers));
    steps.push_back(release_keys());
}

// A drop of `files` at `point` (client coordinates of the main window), as the shell
// hands it over.
HGLOBAL make_drop(const std::vector<std::string>& files, POINT point) {
    std::size_t bytes = sizeof(DROPFILES) + 1;
    for (const std::string& f : files) {
        bytes += f.size() + 1;
    }
    HGLOBAL memory = GlobalAlloc(GHND, bytes);
    auto* drop = static_cast<DROPFILES*>(GlobalLock(memory));
    drop->pFiles = sizeof(DROPFILES);
    drop->pt = point;
    drop->fNC = FALSE;
    drop->fWide = FALSE;
    char* names = reinterpret_cast<char*>(drop + 1);
    for (const std::string& f : files) {
        std::memcpy(names, f.c_str(), f.size() + 1);
        names += f.size() + 1;
    }
    *names = '\0';
    GlobalUnlock(memory);
    return memory;
}

// The centre of a child window in the main window's client coordinates.
POINT client_centre(HWND child) {
    RECT r;
    GetWindowRect(child, &r);
    POINT p = {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    ScreenToClient(ui_state.main_window, &p);
    return p;
}

void drop(const std::vector<std::string>& files, HWND on) {
    SendMessageA(ui_state.main_window, WM_DROPFILES,
                 reinterpret_cast<WPARAM>(make_drop(files, client_centre(on))), 0);
}

std::string numbered_lines(const char* word, int count) {
    std::string text;
    for (int i = 0; i < count; ++i) {
        text += word + std::to_string(i) + "\n";
    }
    return text;
}

// The rows above the band at the bottom that a vertical step repaints without erasing
// (where text drawn twice may differ in its edges) show the same pixels.
bool same_top_rows(const Capture& a, const Capture& b) {
    const int rows = view_metrics.page_rows - 8;
    for (int y = 0; y < rows * view_metrics.line_height; ++y) {
        for (int x = 0; x < a.width(); ++x) {
            if (!(a.at(x, y) == b.at(x, y))) {
                return false;
            }
        }
    }
    return rows > 10;
}

class Conventions : public ::testing::Test {
protected:
    void SetUp() override {
        GetCurrentDirectoryA(MAX_PATH, start_directory);
        reset_program_state();
    }
    void TearDown() override {
        release_keys()();
        reset_program_state();
        // The save dialog moves the current directory; later tests write relative names.
        SetCurrentDirectoryA(start_directory);
    }

    int run(const std::string& command_line) {
        const int code = driver.run(command_line.c_str());
        EXPECT_FALSE(driver.timed_out()) << "script stopped at a step that never completed";
        EXPECT_TRUE(driver.finished());
        return code;
    }
    std::string pair(const std::string& left_text, const std::string& right_text) {
        return "-f1 \"" + dir.write("left.txt", left_text) + "\" -f2 \"" +
               dir.write("right.txt", right_text) + "\"";
    }

    char start_directory[MAX_PATH] = {};
    TempDir dir;
    ProgramDriver driver;
};

TEST_F(Conventions, TheWheelScrollsBothPanesThreeRowsANotchLikeTheKeys) {
    const std::string text = numbered_lines("row ", 300);
    std::vector<Capture> by_keys;
    driver.steps = {
        ProgramDriver::wait_until(compared),
        // Three rows down by the keys, for the pixels to compare with.
        ProgramDriver::check([&] {
            for (int i = 0; i < 3; ++i) {
                SendMessageA(ui_state.main_window, WM_KEYDOWN, VK_DOWN, 0);
            }
            by_keys = {Capture(ui_state.left_pane), Capture(ui_state.right_pane)};
            go_to_row(0);
        }),
        ProgramDriver::check([&] {
            wheel(ui_state.main_window, -WHEEL_DELTA, 0, ui_state.left_pane);
            EXPECT_EQ(merge_document.top_row, 3);
            EXPECT_EQ(GetScrollPos(ui_state.vertical_scrollbar, SB_CTL), 4);
            EXPECT_TRUE(same_top_rows(Capture(ui_state.left_pane), by_keys[0]));
            EXPECT_TRUE(same_top_rows(Capture(ui_state.right_pane), by_keys[1]));
            // A touchpad's quarter notches add up to the same three rows.
            for (int i = 0; i < 4; ++i) {
                wheel(ui_state.main_window, -WHEEL_DELTA / 4, 0, ui_state.right_pane);
            }
            EXPECT_EQ(merge_document.top_row, 6);
            // Sent to a pane, as a system that scrolls the window under the pointer does.
            wheel(ui_state.left_pane, WHEEL_DELTA, 0, ui_state.left_pane);
            EXPECT_EQ(merge_document.top_row, 3);
        }),
        // The system's "one page at a time".
        ProgramDriver::check([] {
            SystemParametersInfoA(SPI_SETWHEELSCROLLLINES, WHEEL_PAGESCROLL, nullptr, 0);
            wheel(ui_state.main_window, -WHEEL_DELTA, 0, ui_state.left_pane);
            SystemParametersInfoA(SPI_SETWHEELSCROLLLINES, 3, nullptr, 0);
            EXPECT_EQ(merge_document.top_row, 3 + view_metrics.page_rows);
        }),
        // Sideways: Shift with the wheel, or the tilt wheel, moves the pane under the
        // pointer only.
        ProgramDriver::check([] {
            wheel(ui_state.main_window, -WHEEL_DELTA, MK_SHIFT, ui_state.left_pane);
            EXPECT_EQ(merge_document.left.first_column, 3u);
            EXPECT_EQ(merge_document.right.first_column, 0u);
            wheel(ui_state.main_window, WHEEL_DELTA, 0, ui_state.right_title, WM_MOUSEHWHEEL);
            EXPECT_EQ(merge_document.right.first_column, 3u);
            EXPECT_EQ(GetScrollPos(GetWindow(ui_state.right_pane, GW_CHILD), SB_CTL), 3);
            wheel(ui_state.main_window, WHEEL_DELTA, MK_SHIFT, ui_state.left_pane);
            EXPECT_EQ(merge_document.left.first_column, 0u);
        }),
        ProgramDriver::post(CMD_QUIT),
    };
    run(pair(text, text + "extra\n"));
}

TEST_F(Conventions, DroppedFilesLoadAndCompareAndBadDropsAreRefused) {
    const std::string left = dir.write("dropped left.txt", "same\nold\n");
    const std::string right = dir.write("dropped right.txt", "same\nnew\n");
    const std::string third = dir.write("third.txt", "x\n");
    const std::string sub = dir.file("a directory");
    CreateDirectoryA(sub.c_str(), nullptr);
    driver.answers = {{IDOK, {}}, {IDOK, {}}};
    driver.steps = {
        ProgramDriver::check([] {
            EXPECT_NE(GetWindowLongPtrA(ui_state.main_window, GWL_EXSTYLE) & WS_EX_ACCEPTFILES, 0);
        }),
        // One file on the right title bar: File 2, nothing to compare yet.
        ProgramDriver::check([&] {
            drop({right}, ui_state.right_title);
            EXPECT_EQ(merge_document.right.path, right);
            EXPECT_STREQ(merge_document.left.path, "");
        }),
        // Two together: File 1 and File 2 in their order, then compared at once.
        ProgramDriver::check([&] {
            drop({left, right}, ui_state.right_pane);
        }),
        ProgramDriver::wait_until(compared),
        ProgramDriver::check([&] {
            EXPECT_EQ(merge_document.left.path, left);
            EXPECT_EQ(merge_document.right.path, right);
            EXPECT_TRUE(merge_document.left.own_blocks.has_value());
        }),
        // Three files, then a directory: refused, nothing changes.
        ProgramDriver::check([&] {
            drop({third, left, right}, ui_state.left_pane);
        }),
        ProgramDriver::check([&] { drop({sub}, ui_state.left_pane); }),
        ProgramDriver::check([&] {
            EXPECT_EQ(merge_document.left.path, left);
            EXPECT_EQ(merge_document.not_compared, 0);
            EXPECT_TRUE(merge_document.left.own_blocks.has_value());
        }),
        ProgramDriver::post(CMD_QUIT),
    };
    run("");
    EXPECT_EQ(driver.seen, (Seen{{"Warning", DROP_TOO_MANY},
                                 {"Warning", format_message(DROP_DIRECTORY, sub.c_str())}}));
}

// Rows: 0 common, 1 "old" against "new1", 2 a left filler row against "new2", 3 common.
TEST_F(Conventions, UndoAndRedoKeysGiveTheColoursBack) {
    auto left_rows = [] {
        const Capture c(ui_state.left_pane);
        return std::vector<Rgb>{row_fill(c, 1), row_fill(c, 2)};
    };
    driver.steps = {ProgramDriver::wait_until(compared), ProgramDriver::check([&] {
                        EXPECT_EQ(left_rows(), (std::vector<Rgb>{GREEN, YELLOW}));
                    }),
                    ProgramDriver::post(CMD_FROM_LEFT), ProgramDriver::check([&] {
                        EXPECT_EQ(left_rows(), (std::vector<Rgb>{CYAN, CYAN}));
                    })};
    add_key(driver.steps, 'Z', CTRL);
    driver.steps.push_back(ProgramDriver::check([&] {
        EXPECT_EQ(left_rows(), (std::vector<Rgb>{GREEN, YELLOW}));
        EXPECT_EQ(row_fill(Capture(ui_state.right_pane), 1), GREEN);
    }));
    add_key(driver.steps, 'Y', CTRL);
    driver.steps.push_back(ProgramDriver::check([&] {
        EXPECT_EQ(left_rows(), (std::vector<Rgb>{CYAN, CYAN}));
    }));
    add_key(driver.steps, 'Z', CTRL);
    add_key(driver.steps, 'Z', CTRL | SHIFT);  // redo as well
    driver.steps.push_back(ProgramDriver::check([&] {
        EXPECT_EQ(left_rows(), (std::vector<Rgb>{CYAN, CYAN}));
    }));
    driver.steps.push_back(ProgramDriver::post(CMD_QUIT));
    run(pair("same1\nold\nsame2\n", "same1\nnew1\nnew2\nsame2\n"));
    EXPECT_EQ(driver.quit_questions, 1);
}

TEST_F(Conventions, FunctionAndAltKeysMoveBetweenBlocks) {
    std::string left_text = numbered_lines("line ", 200);
    std::string right_text = left_text;
    right_text.replace(right_text.find("line 50\n"), 8, "changed 50\n");
    right_text.replace(right_text.find("line 120\n"), 9, "changed 120\n");
    right_text.replace(right_text.find("line 180\n"), 9, "changed 180\n");
    auto top_is = [](int32_t row) {
        return ProgramDriver::check([row] { EXPECT_EQ(merge_document.top_row, row); });
    };
    driver.steps = {ProgramDriver::wait_until(compared)};
    add_key(driver.steps, VK_F8, NONE);
    driver.steps.push_back(top_is(50));
    add_key(driver.steps, VK_DOWN, ALT);
    driver.steps.push_back(top_is(120));
    add_key(driver.steps, VK_F7, NONE);
    driver.steps.push_back(top_is(50));
    add_key(driver.steps, VK_END, ALT);
    driver.steps.push_back(top_is(180));
    add_key(driver.steps, VK_UP, ALT);
    driver.steps.push_back(top_is(120));
    add_key(driver.steps, VK_HOME, ALT);
    driver.steps.push_back(top_is(50));
    add_key(driver.steps, 'N', CTRL);  // the old keys stay
    driver.steps.push_back(top_is(120));
    driver.steps.push_back(ProgramDriver::post(CMD_QUIT));
    run(pair(left_text, right_text));
}

TEST_F(Conventions, QuitWithUnwrittenChoicesAsksAndNoKeepsTheProgram) {
    driver.confirm_quit_question = false;
    const SeenDialog question{"Confirm the operation", QUIT_QUESTION};
    driver.answers = {{IDNO, {}}, {IDNO, {}}, {IDYES, {}}};
    driver.steps = {ProgramDriver::wait_until(compared), ProgramDriver::post(CMD_FROM_RIGHT)};
    add_key(driver.steps, 'X', ALT);  // Alt+X: No
    driver.steps.push_back(ProgramDriver::wait_until([this] { return driver.seen.size() == 1; }));
    driver.steps.push_back(
        ProgramDriver::check([] { PostMessageA(ui_state.main_window, WM_CLOSE, 0, 0); }));
    driver.steps.push_back(ProgramDriver::wait_until([this] { return driver.seen.size() == 2; }));
    driver.steps.push_back(ProgramDriver::check([] {
        EXPECT_TRUE(IsWindow(ui_state.main_window));
        EXPECT_TRUE(merge_document.right.own_blocks.has_value());
        EXPECT_EQ((*merge_document.right.own_blocks)[0].chosen, 1u);
    }));
    driver.steps.push_back(press('X', ALT));  // Yes: the program ends with this step
    run(pair("a\nb\n", "a\nc\n"));
    EXPECT_EQ(driver.seen, (Seen{question, question, question}));
    EXPECT_EQ(ini_get("Options", "Tab size"), "8");  // shut down as usual
}

TEST_F(Conventions, QuitWithoutChoicesOrAfterWritingAsksNothing) {
    driver.confirm_quit_question = false;
    const std::string out = dir.file("merged.txt");
    driver.answers = {{IDOK, out}};
    driver.steps = {
        ProgramDriver::wait_until(compared), ProgramDriver::post(CMD_FROM_LEFT),
        ProgramDriver::post(CMD_WRITE), ProgramDriver::wait_until([&] { return exists(out); }),
        ProgramDriver::check([] { PostMessageA(ui_state.main_window, WM_CLOSE, 0, 0); })};
    run(pair("a\nb\n", "a\nc\n"));
    ASSERT_EQ(driver.seen.size(), 1u);
    EXPECT_EQ(driver.seen[0].caption, "Save As");
    EXPECT_FALSE(IsWindow(ui_state.main_window));
}

TEST_F(Conventions, ExitStatusTellsWhetherOutfWasWritten) {
    const std::string out = dir.file("out.txt");
    const std::string files = pair("a\nb\n", "a\nc\n");
    driver.answers = {{IDOK, out}};
    driver.steps = {ProgramDriver::wait_until(compared), ProgramDriver::post(CMD_FROM_RIGHT),
                    ProgramDriver::post(CMD_WRITE),
                    ProgramDriver::wait_until([&] { return exists(out); }),
                    ProgramDriver::post(CMD_QUIT)};
    EXPECT_EQ(run(files + " -outf \"" + out + "\""), 0);
    EXPECT_EQ(read_bytes(out), "a\r\nc\r\n");

    // Chosen, printed nowhere, not written: 1.
    reset_program_state();
    ProgramDriver unwritten;
    unwritten.steps = {ProgramDriver::wait_until(compared), ProgramDriver::post(CMD_FROM_LEFT),
                       ProgramDriver::post(CMD_QUIT)};
    EXPECT_EQ(unwritten.run((files + " -outf \"" + dir.file("other.txt") + "\"").c_str()), 1);
    EXPECT_EQ(unwritten.quit_questions, 1);

    // Written elsewhere than "outf": still 1.
    reset_program_state();
    ProgramDriver elsewhere;
    elsewhere.answers = {{IDOK, dir.file("elsewhere.txt")}};
    elsewhere.steps = {ProgramDriver::wait_until(compared), ProgramDriver::post(CMD_FROM_LEFT),
                       ProgramDriver::post(CMD_WRITE),
                       ProgramDriver::wait_until([&] { return exists(dir.file("elsewhere.txt")); }),
                       ProgramDriver::post(CMD_QUIT)};
    EXPECT_EQ(elsewhere.run((files + " -outf \"" + dir.file("third.txt") + "\"").c_str()), 1);
    EXPECT_TRUE(elsewhere.finished());
}

// "outf" as a version-control tool passes it: a name relative to the directory the
// program starts in. The save dialog offers it, and confirming it as offered writes
// there, wherever the last save went.
TEST_F(Conventions, ARelativeOutfIsWrittenWhereTheProgramStarted) {
    const std::string files = pair("a\nb\n", "a\nc\n");
    const std::string elsewhere = dir.file("elsewhere");
    CreateDirectoryA(elsewhere.c_str(), nullptr);
    ini_set("Files", "Out dir", (elsewhere + "\\").c_str());
    SetCurrentDirectoryA(dir.path().c_str());  // TearDown goes back
    driver.answers = {{IDOK, {}}, {IDYES, {}}};
    dir.write("merged.txt", "conflict\n");
    driver.steps = {ProgramDriver::wait_until(compared), ProgramDriver::post(CMD_FROM_RIGHT),
                    ProgramDriver::post(CMD_WRITE),
                    ProgramDriver::wait_until([&] { return exists(dir.file("merged.bak")); }),
                    ProgramDriver::post(CMD_QUIT)};
    EXPECT_EQ(run(files + " -outf merged.txt"), 0);
    EXPECT_EQ(read_bytes(dir.file("merged.txt")), "a\r\nc\r\n");
    EXPECT_FALSE(exists(elsewhere + "\\merged.txt"));
    ASSERT_EQ(driver.seen.size(), 2u);
    EXPECT_EQ(driver.seen[1].caption, "Confirm the operation");
}

}  // namespace
