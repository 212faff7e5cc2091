// The characters that differ within changed lines, as the user sees them: the darker
// shade read back column by column, with the option on and off, across a restart.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "merge/document.h"
#include "resources/command_ids.h"
#include "tests/support/temp_dir.h"
#include "tests/win32/capture.h"
#include "tests/win32/driver.h"
#include "ui/scrolling.h"
#include "ui/settings.h"
#include "ui/view/change_marks.h"
#include "ui/view/dpi_scale.h"
#include "ui/win32/ui_state.h"

namespace {

constexpr COLORREF DARK_GREEN = COLOR_CHANGED_MARK;
constexpr COLORREF DARK_CYAN = COLOR_CHOSEN_MARK;

// The pixels of one pane row, read from the screen.
class RowPixels {
public:
    RowPixels(HWND pane, int row) {
        UpdateWindow(pane);
        RECT r;
        GetClientRect(pane, &r);
        width_ = r.right;
        height_ = view_metrics.line_height;
        HDC screen = GetDC(pane);
        pixels_ = grab(screen, width_, height_, row * height_);
        ReleaseDC(pane, screen);
    }

    // The columns in which some pixel of the row has `color`.
    std::vector<bool> columns_with(COLORREF color) const {
        const uint32_t want = (GetRValue(color) << 16) | (GetGValue(color) << 8) | GetBValue(color);
        std::vector<bool> out(static_cast<std::size_t>(width_), false);
        for (int y = 0; y < height_; ++y) {
            for (int x = 0; x < width_; ++x) {
                if ((pixels_[static_cast<std::size_t>(y) * width_ + x] & 0xFFFFFF) == want) {
                    out[static_cast<std::size_t>(x)] = true;
                }
            }
        }
        return out;
    }
    bool has(COLORREF color) const {
        const std::vector<bool> c = columns_with(color);
        return std::find(c.begin(), c.end(), true) != c.end();
    }
    int width() const { return width_; }

private:
    int width_ = 0;
    int height_ = 0;
    std::vector<uint32_t> pixels_;
};

// Width of `text` in the panes' font.
int text_width(const std::string& text) {
    HDC dc = GetDC(ui_state.left_pane);
    HGDIOBJ old = SelectObject(dc, ui_state.text_font);
    SIZE size = {};
    GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.size()), &size);
    SelectObject(dc, old);
    ReleaseDC(ui_state.left_pane, dc);
    return size.cx;
}

// The row has `color` in exactly the columns under text[from, to) and nowhere else.
void expect_shade_under(HWND pane, int row, COLORREF color, const std::string& text,
                        std::size_t from, std::size_t to) {
    const RowPixels pixels(pane, row);
    const int x0 = text_width(text.substr(0, from));
    const int x1 = text_width(text.substr(0, to));
    ASSERT_LT(x0, x1);
    const std::vector<bool> shaded = pixels.columns_with(color);
    for (int x = 0; x < pixels.width(); ++x) {
        ASSERT_EQ(shaded[static_cast<std::size_t>(x)], x >= x0 && x < x1)
            << "row " << row << ", column " << x << " (word at " << x0 << ".." << x1 << ")";
    }
}

void expect_no_shade(HWND pane, int row) {
    const RowPixels pixels(pane, row);
    EXPECT_FALSE(pixels.has(DARK_GREEN)) << "row " << row;
    EXPECT_FALSE(pixels.has(DARK_CYAN)) << "row " << row;
}

bool highlight_checked() {
    return (GetMenuState(GetMenu(ui_state.main_window), CMD_HIGHLIGHT_CHANGES, MF_BYCOMMAND) &
            MF_CHECKED) != 0;
}

bool compared() {
    return merge_document.not_compared == 0;
}

const char* const LEFT_LINE = "alpha beta gamma";
const char* const RIGHT_LINE = "alpha delta gamma";

class Highlight : public ::testing::Test {
protected:
    void SetUp() override { reset_program_state(); }
    void TearDown() override { reset_program_state(); }

    void run() {
        const std::string left =
            dir.write("left.txt", std::string("first\n") + LEFT_LINE + "\nlast\n");
        const std::string right =
            dir.write("right.txt", std::string("first\n") + RIGHT_LINE + "\nlast\n");
        driver.steps.push_back(ProgramDriver::post(CMD_QUIT));
        driver.run(("-f1 \"" + left + "\" -f2 \"" + right + "\"").c_str());
        EXPECT_FALSE(driver.timed_out()) << "script stopped at a step that never completed";
        EXPECT_TRUE(driver.finished());
    }

    TempDir dir;
    ProgramDriver driver;
};

TEST_F(Highlight, TheChangedWordIsShadedExactlyUnderItAndOnlyWhileTheOptionIsOn) {
    driver.steps = {
        ProgramDriver::wait_until(compared),
        ProgramDriver::check([] {
            EXPECT_TRUE(highlight_checked());  // on by default
            expect_shade_under(ui_state.left_pane, 1, DARK_GREEN, LEFT_LINE, 6, 10);
            expect_shade_under(ui_state.right_pane, 1, DARK_GREEN, RIGHT_LINE, 6, 11);
            for (HWND pane : {ui_state.left_pane, ui_state.right_pane}) {
                expect_no_shade(pane, 0);
                expect_no_shade(pane, 2);
            }
        }),
        // Chosen rows take the darker cyan; the other side keeps its green.
        ProgramDriver::check([] {
            SendMessageA(ui_state.left_pane, WM_LBUTTONDOWN, MK_LBUTTON,
                         MAKELPARAM(5, view_metrics.line_height + view_metrics.line_height / 2));
            expect_shade_under(ui_state.left_pane, 1, DARK_CYAN, LEFT_LINE, 6, 10);
            EXPECT_FALSE(RowPixels(ui_state.left_pane, 1).has(DARK_GREEN));
            expect_shade_under(ui_state.right_pane, 1, DARK_GREEN, RIGHT_LINE, 6, 11);
        }),
        // Scrolled right by three columns, the shade moves with its word.
        ProgramDriver::check([] {
            for (int i = 0; i < 3; ++i) {
                scroll_horizontal(SIDE_RIGHT, SCROLL_LINE_FORWARD);
            }
            expect_shade_under(ui_state.right_pane, 1, DARK_GREEN, std::string(RIGHT_LINE + 3), 3,
                               8);
            scroll_horizontal(SIDE_RIGHT, SCROLL_START);
        }),
        ProgramDriver::post(CMD_HIGHLIGHT_CHANGES),
        ProgramDriver::wait_until([] { return !highlight_checked(); }),
        ProgramDriver::check([] {
            for (HWND pane : {ui_state.left_pane, ui_state.right_pane}) {
                for (int row = 0; row < 3; ++row) {
                    expect_no_shade(pane, row);
                }
            }
            EXPECT_TRUE(RowPixels(ui_state.left_pane, 1).has(COLOR_CHOSEN));
            EXPECT_TRUE(RowPixels(ui_state.right_pane, 1).has(COLOR_CHANGED));
        }),
    };
    run();
    EXPECT_EQ(ini_get("Options", "Highlight changes"), "0");
}

TEST_F(Highlight, TheSettingSurvivesARestart) {
    ini_set("Options", "Highlight changes", "0");
    driver.steps = {
        ProgramDriver::wait_until(compared),
        ProgramDriver::check([] {
            EXPECT_FALSE(highlight_checked());
            expect_no_shade(ui_state.left_pane, 1);
        }),
        ProgramDriver::post(CMD_HIGHLIGHT_CHANGES),
        ProgramDriver::wait_until(highlight_checked),
        ProgramDriver::check(
            [] { expect_shade_under(ui_state.left_pane, 1, DARK_GREEN, LEFT_LINE, 6, 10); }),
    };
    run();
    EXPECT_EQ(ini_get("Options", "Highlight changes"), "1");
}

TEST_F(Highlight, ALineTooLongForMarksSaysSoAtTheRowsEndAndIsWrittenWhole) {
    std::string left_line(MARKS_LINE_LIMIT + 100, 'w');
    std::string right_line = left_line;
    left_line[10] = 'a';
    right_line[10] = 'b';
    const std::string left = dir.write("left.txt", "first\n" + left_line + "\nlast\n");
    const std::string right = dir.write("right.txt", "first\n" + right_line + "\nlast\n");
    const std::string out = dir.file("merged.txt");
    driver.answers = {{IDOK, out}};
    driver.steps = {
        ProgramDriver::wait_until(compared),
        // The shade is the note's background alone: one stretch ending at the row's end,
        // as wide as the note and its margins; the changed letter is not marked.
        ProgramDriver::check([] {
            const int note = text_width(MARKS_GIVEN_UP_NOTE) + 2 * dpi_scale(4, view_metrics.dpi);
            for (HWND pane : {ui_state.left_pane, ui_state.right_pane}) {
                const RowPixels pixels(pane, 1);
                const std::vector<bool> shaded = pixels.columns_with(DARK_GREEN);
                ASSERT_GT(pixels.width(), note);
                const auto first = static_cast<int>(std::find(shaded.begin(), shaded.end(), true) -
                                                    shaded.begin());
                EXPECT_NEAR(first, pixels.width() - note, 2);
                EXPECT_TRUE(
                    std::all_of(shaded.begin() + first, shaded.end(), [](bool b) { return b; }));
                expect_no_shade(pane, 0);
            }
        }),
        ProgramDriver::post(CMD_FROM_LEFT),
        ProgramDriver::post(CMD_WRITE),
        ProgramDriver::wait_until([this] { return driver.answers.empty(); }),
        ProgramDriver::post(CMD_QUIT),
    };
    driver.run(("-f1 \"" + left + "\" -f2 \"" + right + "\"").c_str());
    EXPECT_FALSE(driver.timed_out()) << "script stopped at a step that never completed";
    EXPECT_TRUE(read_bytes(out) == "first\r\n" + left_line + "\r\nlast\r\n");
}

}  // namespace
