// The panes and the position bar as the user sees them: pixels read back from the
// windows after a real comparison, row by row, before and after clicks and scrolling.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "merge/document.h"
#include "resources/command_ids.h"
#include "tests/support/temp_dir.h"
#include "tests/win32/capture.h"
#include "tests/win32/driver.h"
#include "ui/navigation.h"
#include "ui/settings.h"
#include "ui/ui_platform.h"
#include "ui/view/position_marks.h"
#include "ui/win32/ui_state.h"

namespace {

int line_height() {
    return view_metrics.line_height;
}

// True when some pixel of the row's left part is dark: text is drawn there.
bool row_has_text(const Capture& c, int row) {
    for (int y = row * line_height(); y < (row + 1) * line_height(); ++y) {
        for (int x = 0; x < c.width() / 2; ++x) {
            const Rgb p = c.at(x, y);
            if (p.r < 96 && p.g < 96 && p.b < 96) {
                return true;
            }
        }
    }
    return false;
}

// The x one past the rightmost dark pixel of a row (0 when the row has no text).
int text_extent(const Capture& c, int row) {
    int extent = 0;
    for (int y = row * line_height(); y < (row + 1) * line_height(); ++y) {
        for (int x = 0; x < c.width() - 8; ++x) {
            const Rgb p = c.at(x, y);
            if (p.r < 96 && p.g < 96 && p.b < 96 && x + 1 > extent) {
                extent = x + 1;
            }
        }
    }
    return extent;
}

class Panes : public ::testing::Test {
protected:
    void SetUp() override { reset_program_state(); }
    void TearDown() override { reset_program_state(); }

    void run(const std::string& left, const std::string& right) {
        driver.steps.push_back(ProgramDriver::post(CMD_QUIT));
        driver.run(("-f1 \"" + left + "\" -f2 \"" + right + "\"").c_str());
        EXPECT_FALSE(driver.timed_out()) << "script stopped at a step that never completed";
        EXPECT_TRUE(driver.finished());
    }

    static bool compared() { return merge_document.not_compared == 0; }

    static void expect_rows(HWND pane, const std::vector<Rgb>& fills,
                            const std::vector<bool>& text) {
        const Capture c(pane);
        for (std::size_t i = 0; i < fills.size(); ++i) {
            EXPECT_EQ(row_fill(c, static_cast<int>(i)), fills[i]) << "row " << i;
            EXPECT_EQ(row_has_text(c, static_cast<int>(i)), text[i]) << "row " << i;
        }
    }

    static void click(HWND pane, int row) {
        SendMessageA(pane, WM_LBUTTONDOWN, MK_LBUTTON,
                     MAKELPARAM(5, row * line_height() + line_height() / 2));
    }

    TempDir dir;
    ProgramDriver driver;
};

// Rows: 0 common; 1 left "old" against right "new1"; 2 a left filler row against
// "new2"; 3, 4 common; 5 a left filler row against the added "added"; 6 past the end.
const char* const LEFT_TEXT = "same1\nold\nsame2\nsame3\n";
const char* const RIGHT_TEXT = "same1\nnew1\nnew2\nsame2\nsame3\nadded\n";

TEST_F(Panes, RowsShowTheirStateAndTextThenFollowClicks) {
    const std::string left = dir.write("left.txt", LEFT_TEXT);
    const std::string right = dir.write("right.txt", RIGHT_TEXT);
    const std::string out = dir.file("merged.txt");
    driver.steps = {
        ProgramDriver::wait_until(compared),
        ProgramDriver::check([] {
            ASSERT_GT(line_height(), 4);
            expect_rows(ui_state.left_pane, {WHITE, GREEN, YELLOW, WHITE, WHITE, YELLOW, WHITE},
                        {true, true, false, true, true, false, false});
            expect_rows(ui_state.right_pane, {WHITE, GREEN, GREEN, WHITE, WHITE, GREEN, WHITE},
                        {true, true, true, true, true, true, false});
        }),
        // A click on the left filler row gives block 0 to the left side.
        ProgramDriver::check([] {
            click(ui_state.left_pane, 2);
            expect_rows(ui_state.left_pane, {WHITE, CYAN, CYAN, WHITE}, {true, true, false, true});
            expect_rows(ui_state.right_pane, {WHITE, GREEN, GREEN, WHITE},
                        {true, true, true, true});
        }),
        // A click on the right side's own line gives block 1 to the right side; a click
        // below the last row changes nothing.
        ProgramDriver::check([] {
            click(ui_state.right_pane, 5);
            click(ui_state.right_pane, 9);
            expect_rows(ui_state.right_pane, {WHITE, GREEN, GREEN, WHITE, WHITE, CYAN},
                        {true, true, true, true, true, true});
            expect_rows(ui_state.left_pane, {WHITE, CYAN, CYAN, WHITE, WHITE, YELLOW},
                        {true, true, false, true, true, false});
            RedrawWindow(ui_state.main_window, nullptr, nullptr,
                         RDW_INVALIDATE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
            save_window_picture(ui_state.main_window, "pairex-panes.bmp");
        }),
        // Choosing the other side again moves the colours back.
        ProgramDriver::check([] {
            click(ui_state.right_pane, 1);
            expect_rows(ui_state.left_pane, {WHITE, GREEN, YELLOW}, {true, true, false});
            expect_rows(ui_state.right_pane, {WHITE, CYAN, CYAN}, {true, true, true});
        }),
        // Write gives the merge of the clicked choices.
        ProgramDriver::post(CMD_WRITE),
        ProgramDriver::wait_until([&] { return exists(out); }),
    };
    driver.answers = {{IDOK, out}};
    run(left, right);
    EXPECT_EQ(read_bytes(out), "same1\r\nnew1\r\nnew2\r\nsame2\r\nsame3\r\nadded\r\n");
}

// The quick menu's commands reach the pane, which hands them to the main window.
TEST_F(Panes, QuickMenuCommandsRunThroughThePane) {
    const std::string left = dir.write("left.txt", LEFT_TEXT);
    const std::string right = dir.write("right.txt", RIGHT_TEXT);
    driver.steps = {
        ProgramDriver::wait_until(compared),
        ProgramDriver::check([] {
            SendMessageA(ui_state.left_pane, WM_COMMAND, CMD_FROM_RIGHT, 0);
            expect_rows(ui_state.right_pane, {WHITE, CYAN, CYAN, WHITE, WHITE, CYAN},
                        {true, true, true, true, true, true});
            expect_rows(ui_state.left_pane, {WHITE, GREEN, YELLOW, WHITE, WHITE, YELLOW},
                        {true, true, false, true, true, false});
            SendMessageA(ui_state.right_pane, WM_COMMAND, CMD_UNSELECT_ALL, 0);
            expect_rows(ui_state.right_pane, {WHITE, GREEN}, {true, true});
        }),
    };
    run(left, right);
}

TEST_F(Panes, PositionBarMarksEveryBlockStart) {
    std::string left_text;
    std::string right_text;
    for (int i = 0; i < 200; ++i) {
        const std::string line = "line " + std::to_string(i) + "\n";
        left_text += line;
        right_text += (i == 20 || i == 150) ? "changed\n" : line;
        if (i == 100) {
            right_text += "inserted\n";
        }
    }
    const std::string left = dir.write("left.txt", left_text);
    const std::string right = dir.write("right.txt", right_text);
    driver.steps = {
        ProgramDriver::wait_until(compared),
        ProgramDriver::check([] {
            const Capture c(ui_state.position_bar);
            const std::vector<int32_t> marks =
                position_marks(merge_document.left, merge_document.total_rows, c.height(),
                               GetSystemMetrics(SM_CYVSCROLL), GetSystemMetrics(SM_CXVSCROLL));
            ASSERT_EQ(marks.size(), 3u);
            for (int32_t y : marks) {
                EXPECT_EQ(c.at(1, y), (Rgb{0, 0, 0})) << "mark at " << y;
                EXPECT_EQ(c.at(c.width() - 2, y), (Rgb{0, 0, 0})) << "mark at " << y;
                EXPECT_EQ(c.at(1, y + 3), WHITE) << "below the mark at " << y;
            }
            EXPECT_LT(marks[0], marks[1]);
            EXPECT_LT(marks[1], marks[2]);
        }),
    };
    run(left, right);
}

TEST_F(Panes, ScrollingBringsTheRightRowsIntoViewInBothPanes) {
    std::string left_text;
    std::string right_text;
    for (int i = 0; i < 300; ++i) {
        const std::string line = "row " + std::to_string(i) + "\n";
        left_text += line;
        right_text += i == 200 ? "changed\n" : line;
    }
    const std::string left = dir.write("left.txt", left_text);
    const std::string right = dir.write("right.txt", right_text);
    driver.steps = {
        ProgramDriver::wait_until(compared),
        ProgramDriver::post(CMD_NEXT),
        ProgramDriver::wait_until([] { return merge_document.top_row == 200; }),
        ProgramDriver::check([] {
            expect_rows(ui_state.left_pane, {GREEN, WHITE}, {true, true});
            expect_rows(ui_state.right_pane, {GREEN, WHITE}, {true, true});
            EXPECT_EQ(GetScrollPos(ui_state.vertical_scrollbar, SB_CTL), 201);
        }),
        // Page Down moves a page; the changed row leaves the top.
        ProgramDriver::check([] {
            route_navigation_key(KEY_PAGE_DOWN);
            EXPECT_EQ(merge_document.top_row, 200 + view_metrics.page_rows);
            expect_rows(ui_state.left_pane, {WHITE}, {true});
        }),
        // Prev comes back to the block.
        ProgramDriver::post(CMD_PREV),
        ProgramDriver::wait_until([] { return merge_document.top_row == 200; }),
        ProgramDriver::check([] { expect_rows(ui_state.right_pane, {GREEN}, {true}); }),
        // The thumb released at position 1 shows row 0.
        ProgramDriver::check([] {
            SendMessageA(ui_state.position_bar, WM_VSCROLL, MAKEWPARAM(SB_THUMBPOSITION, 1),
                         reinterpret_cast<LPARAM>(ui_state.vertical_scrollbar));
            EXPECT_EQ(merge_document.top_row, 0);
            expect_rows(ui_state.left_pane, {WHITE}, {true});
        }),
        // End puts the last row at the top; the row below it is past the end.
        ProgramDriver::post(CMD_END),
        ProgramDriver::wait_until([] { return merge_document.top_row == 299; }),
        ProgramDriver::check([] {
            expect_rows(ui_state.left_pane, {WHITE, WHITE}, {true, false});
        }),
        // Horizontal End shows column 79 on: the short rows are empty there.
        ProgramDriver::check([] {
            scroll_horizontal(SIDE_LEFT, SCROLL_FINISH);
            EXPECT_EQ(merge_document.left.first_column, 79u);
            expect_rows(ui_state.left_pane, {WHITE}, {false});
            expect_rows(ui_state.right_pane, {WHITE}, {true});
            scroll_horizontal(SIDE_LEFT, SCROLL_START);
            expect_rows(ui_state.left_pane, {WHITE}, {true});
        }),
    };
    run(left, right);
}

TEST_F(Panes, LineStepsPaintExactlyWhatAFullRepaintPaints) {
    // A step moves the pixels and repaints the band next to the moved rows; text drawn
    // twice there (the band not erased first) shows as bold letters.
    std::string left_text;
    std::string right_text;
    for (int i = 0; i < 200; ++i) {
        left_text += "line number " + std::to_string(i) + " with some text\n";
        right_text +=
            (i % 7 == 3 ? "other " : "line number ") + std::to_string(i) + " with some text\n";
    }
    const std::string left = dir.write("left.txt", left_text);
    const std::string right = dir.write("right.txt", right_text);
    driver.steps = {
        ProgramDriver::wait_until(compared),
        ProgramDriver::check([] {
            for (int i = 0; i < 5; ++i) {
                route_navigation_key(KEY_DOWN);
            }
            route_navigation_key(KEY_UP);
            for (HWND pane : {ui_state.left_pane, ui_state.right_pane}) {
                const Capture stepped(pane);
                InvalidateRect(pane, nullptr, TRUE);
                const Capture repainted(pane);
                EXPECT_TRUE(stepped == repainted);
            }
        }),
    };
    run(left, right);
}

TEST_F(Panes, LineNumbersAndTabSizeRepaint) {
    const std::string left = dir.write("left.txt", "a\n\nb\tc\n");
    const std::string right = dir.write("right.txt", "a\n\nx\nb\tc\n");
    driver.steps = {
        ProgramDriver::wait_until(compared),
        ProgramDriver::check([] {
            expect_rows(ui_state.left_pane, {WHITE, WHITE, YELLOW, WHITE},
                        {true, false, false, true});
        }),
        ProgramDriver::post(CMD_LINE_NUMBERS),
        ProgramDriver::wait_until([] {
            return (GetMenuState(GetMenu(ui_state.main_window), CMD_LINE_NUMBERS, MF_BYCOMMAND) &
                    MF_CHECKED) != 0;
        }),
        ProgramDriver::check([] {
            expect_rows(ui_state.left_pane, {WHITE, WHITE, YELLOW, WHITE},
                        {true, true, false, true});
        }),
        ProgramDriver::post(CMD_LINE_NUMBERS),
        // A tab is as many blanks as the tab size: the row's text ends further right
        // with a larger size.
        ProgramDriver::check([] {
            settings.tab_size = 1;
            platform_repaint_panes();
            const int narrow = text_extent(Capture(ui_state.left_pane), 3);
            settings.tab_size = 12;
            platform_repaint_panes();
            const int wide = text_extent(Capture(ui_state.left_pane), 3);
            EXPECT_GT(narrow, 0);
            EXPECT_GT(wide, narrow);
            settings.tab_size = 8;
        }),
    };
    run(left, right);
}

}  // namespace
