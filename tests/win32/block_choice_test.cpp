// The choices that act on the current block, by their command ids in the real program:
// one side, both sides in either order, the base of a conflict (greyed without one),
// Auto walk moving on after each; and the merged result shown below the panes.
#include <gtest/gtest.h>

#include <string>

#include "merge/document.h"
#include "merge/resolution.h"
#include "resources/command_ids.h"
#include "tests/support/temp_dir.h"
#include "tests/win32/capture.h"
#include "tests/win32/driver.h"
#include "ui/scrolling.h"
#include "ui/view/row_colors.h"
#include "ui/win32/merged_pane.h"
#include "ui/win32/ui_state.h"

namespace {

bool compared() {
    return merge_document.not_compared == 0;
}

Rgb rgb(const RowColor& c) {
    return {c.red, c.green, c.blue};
}

RECT rect_of(HWND window) {
    RECT r;
    GetWindowRect(window, &r);
    return r;
}

bool same_rect(const RECT& a, const RECT& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

bool merged_shown() {
    return merged_view_window() != nullptr && IsWindowVisible(merged_view_window());
}

// The Select popup's "Take base" as the menu shows it when opened.
bool take_base_greyed() {
    HMENU select = GetSubMenu(GetMenu(ui_state.main_window), 2);
    SendMessageW(ui_state.main_window, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(select), 2);
    return (GetMenuState(select, CMD_TAKE_BASE, MF_BYCOMMAND) & MF_GRAYED) != 0;
}

// Fill of the merged view's row `row`.
Rgb merged_fill(int row) {
    return row_fill(Capture(merged_view_window()), row);
}

class BlockChoices : public ::testing::Test {
protected:
    void SetUp() override { reset_program_state(); }
    void TearDown() override { reset_program_state(); }
    TempDir dir;
};

TEST_F(BlockChoices, EachChoiceTakesTheCurrentBlockAndAutoWalkMovesOn) {
    struct Case {
        int first, second;
        const char* written;  // nullptr: quit without a Write, which asks first
    };
    const Case cases[] = {
        {CMD_TAKE_LEFT, CMD_LEFT_THEN_RIGHT, "a\r\nb\r\nc\r\nd\r\nD\r\ne\r\n"},
        {CMD_TAKE_RIGHT, CMD_RIGHT_THEN_LEFT, "a\r\nB\r\nc\r\nD\r\nd\r\ne\r\n"},
        {CMD_LEFT_THEN_RIGHT, CMD_TAKE_RIGHT, nullptr},
    };
    const std::string left = dir.write("l.txt", "a\nb\nc\nd\ne\n");
    const std::string right = dir.write("r.txt", "a\nB\nc\nD\ne\n");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.first);
        reset_program_state();
        ini_set("Options", "Auto walk", "1");
        const std::string out = dir.file("out" + std::to_string(c.first) + ".txt");
        ProgramDriver driver;
        driver.answers = {{IDOK, out}};
        driver.steps = {
            ProgramDriver::wait_until(compared),
            ProgramDriver::check([] { EXPECT_EQ(current_block(), 0); }),
            ProgramDriver::post(c.first),
            ProgramDriver::check([] { EXPECT_EQ(current_block(), 1); }),
            ProgramDriver::post(c.second),
        };
        if (c.written != nullptr) {
            driver.steps.push_back(ProgramDriver::post(CMD_WRITE));
            driver.steps.push_back(ProgramDriver::wait_until([&] { return exists(out); }));
        }
        driver.steps.push_back(ProgramDriver::post(CMD_QUIT));
        driver.run(("-f1 \"" + left + "\" -f2 \"" + right + "\"").c_str());
        EXPECT_TRUE(driver.finished());
        EXPECT_EQ(driver.quit_questions, c.written == nullptr ? 1 : 0);
        if (c.written != nullptr) {
            EXPECT_EQ(read_bytes(out), c.written);
        }
    }
}

// A conflict with a base section and one without: "Take base" is offered only for the
// first; the merged result shows the open conflict's base greyed, then each choice in
// its colour, follows Undo and Redo, and leaves the layout as it was when turned off.
TEST_F(BlockChoices, ConflictModeTakesTheBaseAndBothSidesAndTheMergedResultShowsThem) {
    const std::string path = dir.write("c.txt",
                                       "title\n<<<<<<< HEAD\nvalue = 2\n||||||| base\nvalue = 1\n"
                                       "=======\nvalue = 3\n>>>>>>> topic\nmiddle\n"
                                       "<<<<<<< HEAD\nx\n=======\ny\n>>>>>>> topic\nend\n");
    RECT panes_before = {};
    ProgramDriver driver;
    driver.steps = {
        ProgramDriver::wait_until(compared),
        ProgramDriver::check([&] {
            EXPECT_FALSE(merged_shown());
            panes_before = rect_of(ui_state.left_pane);
            EXPECT_FALSE(take_base_greyed());
        }),
        ProgramDriver::post(CMD_MERGED_RESULT),
        ProgramDriver::check([&] {
            ASSERT_TRUE(merged_shown());
            const RECT pane = rect_of(ui_state.left_pane);
            EXPECT_LT(pane.bottom, panes_before.bottom);  // its height comes from the panes
            EXPECT_EQ(rect_of(merged_view_window()).top, pane.bottom);
            EXPECT_EQ(merged_fill(0), WHITE);                 // "title"
            EXPECT_EQ(merged_fill(1), rgb(MERGED_OPEN_RGB));  // the base, greyed
            save_window_picture(ui_state.main_window, "pairex-merged.bmp");
        }),
        ProgramDriver::post(CMD_TAKE_BASE),
        ProgramDriver::post(CMD_LAST),
        ProgramDriver::check([] {
            EXPECT_EQ(block_resolution(0), RESOLVED_BASE);
            EXPECT_EQ(current_block(), 1);
            EXPECT_TRUE(take_base_greyed());
        }),
        ProgramDriver::post(CMD_TAKE_BASE),
        ProgramDriver::check([] { EXPECT_EQ(block_resolution(1), RESOLVED_OPEN); }),
        ProgramDriver::post(CMD_LEFT_THEN_RIGHT),
        // Last scrolled the panes, and the merged result with them: back to the top.
        ProgramDriver::post(CMD_BEGINNING),
        ProgramDriver::check([] {
            EXPECT_EQ(merged_fill(1), rgb(BASE_RGB));  // "value = 1"
            EXPECT_EQ(merged_fill(2), WHITE);          // "middle"
            EXPECT_EQ(merged_fill(3), rgb(MERGED_BOTH_RGB));
            EXPECT_EQ(merged_fill(4), rgb(MERGED_BOTH_RGB));
        }),
        ProgramDriver::post(CMD_UNDO),
        ProgramDriver::check([] {
            EXPECT_EQ(block_resolution(1), RESOLVED_OPEN);
            EXPECT_EQ(merged_fill(3), rgb(MERGED_OPEN_RGB));
        }),
        ProgramDriver::post(CMD_REDO),
        ProgramDriver::post(CMD_WRITE),
        ProgramDriver::post(CMD_MERGED_RESULT),
        ProgramDriver::check([&] {
            EXPECT_FALSE(merged_shown());
            EXPECT_TRUE(same_rect(rect_of(ui_state.left_pane), panes_before));
        }),
        ProgramDriver::post(CMD_MERGED_RESULT),
        ProgramDriver::post(CMD_QUIT),
    };
    driver.run(("-merge \"" + path + "\"").c_str());
    EXPECT_TRUE(driver.finished());
    EXPECT_TRUE(driver.seen.empty());
    EXPECT_EQ(read_bytes(path), "title\nvalue = 1\nmiddle\nx\ny\nend\n");
    EXPECT_EQ(ini_get("Options", "Merged result"), "1");
}

}  // namespace
