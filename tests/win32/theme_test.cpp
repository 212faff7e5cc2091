// The looks of the panes: pixels read back in light, dark and high contrast, the
// choice kept in the settings file, and Windows' app mode and high-contrast mode
// followed while the program runs. Leaves test-output/pairex-dark.bmp and
// pairex-high-contrast.bmp.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "merge/document.h"
#include "resources/command_ids.h"
#include "tests/support/temp_dir.h"
#include "tests/win32/capture.h"
#include "tests/win32/driver.h"
#include "ui/scrolling.h"
#include "ui/view/dpi_scale.h"
#include "ui/view/theme_palette.h"
#include "ui/win32/theme_win32.h"
#include "ui/win32/ui_state.h"

namespace {

const wchar_t PERSONALIZE[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Themes\\Personalize";

Rgb rgb(RowColor c) {
    return {c.red, c.green, c.blue};
}
Rgb system(int index) {
    const COLORREF c = GetSysColor(index);
    return {GetRValue(c), GetGValue(c), GetBValue(c)};
}

// The colours a look gives a pane: the window, then own, filler and chosen rows, the
// text, the title bars.
struct LookColors {
    Rgb window, own, filler, chosen, text, title;
};
const LookColors LIGHT = {WHITE, GREEN, YELLOW, CYAN, {0, 0, 0}, {192, 192, 192}};
const LookColors DARK = {rgb(DARK_PALETTE.window), rgb(DARK_PALETTE.own),
                         rgb(DARK_PALETTE.filler), rgb(DARK_PALETTE.chosen),
                         rgb(DARK_PALETTE.text),   rgb(DARK_PALETTE.title_fill)};

int line_height() {
    return view_metrics.line_height;
}

// Whether a pixel close to `c` (antialiased text) lies in the row's left half.
bool row_shows(const Capture& c, int row, Rgb color) {
    for (int y = row * line_height(); y < (row + 1) * line_height(); ++y) {
        for (int x = 0; x < c.width() / 2; ++x) {
            const Rgb p = c.at(x, y);
            if (std::abs(p.r - color.r) + std::abs(p.g - color.g) + std::abs(p.b - color.b) < 40) {
                return true;
            }
        }
    }
    return false;
}

// The left pane's rows 0..3 (common, own, filler, common), with block 0 chosen or not,
// and the title bar.
void expect_look(const LookColors& look, bool chosen) {
    const Capture pane(ui_state.left_pane);
    const Rgb own = chosen ? look.chosen : look.own;
    const Rgb filler = chosen ? look.chosen : look.filler;
    const std::vector<Rgb> fills = {look.window, own, filler, look.window};
    for (int row = 0; row < 4; ++row) {
        EXPECT_EQ(row_fill(pane, row), fills[static_cast<std::size_t>(row)]) << "row " << row;
    }
    EXPECT_TRUE(row_shows(pane, 0, look.text)) << "text of a common row";
    EXPECT_EQ(Capture(ui_state.left_title).at(2, 2), look.title);
}

bool menu_checked(int id) {
    return (GetMenuState(GetMenu(ui_state.main_window), static_cast<UINT>(id), MF_BYCOMMAND) &
            MF_CHECKED) != 0;
}

void set_apps_light(DWORD value) {
    RegSetKeyValueW(HKEY_CURRENT_USER, PERSONALIZE, L"AppsUseLightTheme", REG_DWORD, &value,
                    sizeof value);
}

// The pixels of a margin bar at x over the row that are `color`: a solid bar covers the
// row, a dotted one about half of it, none nothing.
int bar_pixels(const Capture& c, int row, int x, Rgb color) {
    int count = 0;
    for (int y = row * line_height(); y < (row + 1) * line_height(); ++y) {
        count += c.at(x, y) == color ? 1 : 0;
    }
    return count;
}

class Theme : public ::testing::Test {
protected:
    void SetUp() override { reset_program_state(); }
    void TearDown() override {
        high_contrast_on = saved_high_contrast;
        RegDeleteKeyValueW(HKEY_CURRENT_USER, PERSONALIZE, L"AppsUseLightTheme");
        reset_program_state();
    }

    void run() {
        const std::string left = dir.write("left.txt", "same1\nold\nsame2\nsame3\n");
        const std::string right = dir.write("right.txt", "same1\nnew1\nnew2\nsame2\nsame3\n");
        driver.steps.insert(driver.steps.begin(), ProgramDriver::wait_until([] {
                                return merge_document.not_compared == 0;
                            }));
        driver.steps.push_back(ProgramDriver::post(CMD_QUIT));
        driver.run(("-f1 \"" + left + "\" -f2 \"" + right + "\"").c_str());
        EXPECT_FALSE(driver.timed_out()) << "script stopped at a step that never completed";
        EXPECT_TRUE(driver.finished());
    }

    static void save_picture(const char* name) {
        RedrawWindow(ui_state.main_window, nullptr, nullptr,
                     RDW_INVALIDATE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
        save_window_picture(ui_state.main_window, name);
    }

    static void choose_left_block() {
        SendMessageA(ui_state.left_pane, WM_LBUTTONDOWN, MK_LBUTTON,
                     MAKELPARAM(20, 2 * line_height() + line_height() / 2));
    }

    bool (*saved_high_contrast)() = high_contrast_on;
    TempDir dir;
    ProgramDriver driver;
};

// Light, chosen in the settings file, is the program's first look; Dark from the menu
// paints every row state, the text and the title bars in the dark palette with the
// radio mark on its item; Light again is exact, and the last choice is kept.
TEST_F(Theme, MenuSwitchesBetweenLightAndDarkAndTheChoiceIsKept) {
    ini_set("Options", "Theme", "1");
    driver.steps = {
        ProgramDriver::check([] {
            expect_look(LIGHT, false);
            EXPECT_TRUE(menu_checked(CMD_THEME_LIGHT));
        }),
        ProgramDriver::post(CMD_THEME_DARK),
        ProgramDriver::check([] {
            expect_look(DARK, false);
            choose_left_block();
            expect_look(DARK, true);
            EXPECT_TRUE(menu_checked(CMD_THEME_DARK));
            EXPECT_FALSE(menu_checked(CMD_THEME_LIGHT));
            EXPECT_FALSE(menu_checked(CMD_THEME_FOLLOW_WINDOWS));
            save_picture("pairex-dark.bmp");
        }),
        ProgramDriver::post(CMD_THEME_LIGHT),
        ProgramDriver::check([] { expect_look(LIGHT, true); }),
        ProgramDriver::post(CMD_THEME_DARK),
    };
    run();
    EXPECT_EQ(ini_get("Options", "Theme"), "2");
}

// A stored value outside 0-2 follows Windows, and is written back as 0. Windows' dark
// app mode is taken at start, its change to light while running; then high contrast
// paints with the system's colours and marks each state in the margin.
TEST_F(Theme, FollowsWindowsAppModeAndHighContrastWhileRunning) {
    ini_set("Options", "Theme", "7");
    set_apps_light(0);
    driver.steps = {
        ProgramDriver::check([] {
            expect_look(DARK, false);
            EXPECT_TRUE(menu_checked(CMD_THEME_FOLLOW_WINDOWS));
            set_apps_light(1);
            SendMessageW(ui_state.main_window, WM_SETTINGCHANGE, 0,
                         reinterpret_cast<LPARAM>(L"ImmersiveColorSet"));
            expect_look(LIGHT, false);
            high_contrast_on = [] { return true; };
            SendMessageW(ui_state.main_window, WM_SETTINGCHANGE, SPI_SETHIGHCONTRAST, 0);
            const LookColors contrast = {system(COLOR_WINDOW),     system(COLOR_WINDOW),
                                         system(COLOR_WINDOW),     system(COLOR_HIGHLIGHT),
                                         system(COLOR_WINDOWTEXT), system(COLOR_BTNFACE)};
            expect_look(contrast, false);
            choose_left_block();
            expect_look(contrast, true);
            // Rows 0..3: none; solid, dotted (each with a second bar: chosen); none.
            const int unit = dpi_scale(2, view_metrics.dpi);
            const Capture pane(ui_state.left_pane);
            const Rgb mark = system(COLOR_HIGHLIGHTTEXT);
            const int h = line_height();
            EXPECT_EQ(bar_pixels(pane, 0, unit / 2, system(COLOR_WINDOWTEXT)), 0);
            EXPECT_EQ(bar_pixels(pane, 1, unit / 2, mark), h);
            EXPECT_NEAR(bar_pixels(pane, 2, unit / 2, mark), h / 2, unit);
            EXPECT_EQ(bar_pixels(pane, 1, unit / 2 + 2 * unit, mark), h);
            EXPECT_EQ(bar_pixels(pane, 2, unit / 2 + 2 * unit, mark), h);
            EXPECT_EQ(bar_pixels(pane, 3, unit / 2, system(COLOR_WINDOWTEXT)), 0);
            save_picture("pairex-high-contrast.bmp");
        }),
    };
    run();
    EXPECT_EQ(ini_get("Options", "Theme"), "0");
}

}  // namespace
