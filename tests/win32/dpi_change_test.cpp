// A DPI change while the program runs (the window moved to a monitor of another
// scale): fonts remade at the new DPI, every measure taken again, the suggested
// rectangle taken, the stored font sizes left as they were.
#include <gtest/gtest.h>

#include "resources/command_ids.h"
#include "tests/win32/driver.h"
#include "ui/layout.h"
#include "ui/scrolling.h"
#include "ui/settings.h"
#include "ui/win32/dpi_win32.h"
#include "ui/win32/ui_state.h"

namespace {

ChildRect rect_in_main(HWND window) {
    RECT r;
    GetWindowRect(window, &r);
    MapWindowPoints(nullptr, ui_state.main_window, reinterpret_cast<POINT*>(&r), 2);
    return {r.left, r.top, r.right - r.left, r.bottom - r.top};
}

LONG font_height(HFONT font) {
    LOGFONTA lf = {};
    GetObjectA(font, sizeof lf, &lf);
    return lf.lfHeight;
}

// Sends the system's DPI-change message for `dpi` with the window's rectangle grown by
// the ratio of the DPIs; returns that rectangle.
RECT change_dpi(int dpi) {
    RECT r;
    GetWindowRect(ui_state.main_window, &r);
    const int width = MulDiv(r.right - r.left, dpi, view_metrics.dpi);
    const int height = MulDiv(r.bottom - r.top, dpi, view_metrics.dpi);
    RECT suggested = {r.left, r.top, r.left + width, r.top + height};
    SendMessageA(ui_state.main_window, WM_DPICHANGED, MAKEWPARAM(dpi, dpi),
                 reinterpret_cast<LPARAM>(&suggested));
    return suggested;
}

void expect_children_in_place() {
    RECT client;
    GetClientRect(ui_state.main_window, &client);
    const ChildLayout l = compute_layout(client.right, client.bottom, view_metrics.title_height,
                                         view_metrics.vscroll_width, view_metrics.dpi);
    EXPECT_EQ(rect_in_main(ui_state.left_title), l.left_title);
    EXPECT_EQ(rect_in_main(ui_state.left_pane), l.left_pane);
    EXPECT_EQ(rect_in_main(ui_state.position_bar), l.position_bar);
    EXPECT_EQ(rect_in_main(ui_state.right_pane), l.right_pane);
    // The panes' own scrollbars follow the new height even where a pane kept its size.
    for (HWND pane : {ui_state.left_pane, ui_state.right_pane}) {
        RECT bar;
        GetWindowRect(GetWindow(pane, GW_CHILD), &bar);
        EXPECT_EQ(bar.bottom - bar.top, view_metrics.hscroll_height);
    }
}

TEST(DpiChange, RemeasuresAtTheNewDpiAndBack) {
    reset_program_state();
    ViewMetrics at96;
    ProgramDriver driver;
    driver.steps = {
        ProgramDriver::check([&] {
            at96 = view_metrics;
            ASSERT_EQ(at96.dpi, 96);  // the shared test prefix
            EXPECT_EQ(font_height(ui_state.text_font), -12);
            // Small enough that 150 % of it fits the screen.
            SetWindowPos(ui_state.main_window, nullptr, 0, 0, 640, 480, SWP_NOZORDER);
        }),
        ProgramDriver::check([&] {
            const RECT suggested = change_dpi(144);
            EXPECT_EQ(view_metrics.dpi, 144);
            RECT window;
            GetWindowRect(ui_state.main_window, &window);
            EXPECT_EQ(window.right - window.left, suggested.right - suggested.left);
            EXPECT_EQ(window.bottom - window.top, suggested.bottom - suggested.top);
            EXPECT_EQ(font_height(ui_state.text_font), -18);
            EXPECT_EQ(font_height(ui_state.title_font), -18);
            EXPECT_NEAR(view_metrics.line_height, 1.5 * at96.line_height, 1.0);
            EXPECT_NEAR(view_metrics.title_height, 1.5 * at96.title_height, 1.0);
            EXPECT_EQ(view_metrics.vscroll_width, metric_for_dpi(SM_CXVSCROLL, 144));
            EXPECT_GT(view_metrics.vscroll_width, at96.vscroll_width);
            expect_children_in_place();
            // Kept at 96 DPI, for the settings file.
            EXPECT_EQ(settings.text_font.height, -12);
            EXPECT_EQ(settings.title_font.height, -12);
        }),
        ProgramDriver::check([&] {
            change_dpi(96);
            EXPECT_EQ(view_metrics.dpi, 96);
            EXPECT_EQ(view_metrics.line_height, at96.line_height);
            EXPECT_EQ(view_metrics.title_height, at96.title_height);
            EXPECT_EQ(view_metrics.vscroll_width, at96.vscroll_width);
            EXPECT_EQ(font_height(ui_state.text_font), -12);
            expect_children_in_place();
        }),
        ProgramDriver::post(CMD_QUIT),
    };
    driver.run("");
    EXPECT_FALSE(driver.timed_out());
    EXPECT_TRUE(driver.finished());
    EXPECT_EQ(ini_get("Font", "Point size"), "-12");
    EXPECT_EQ(ini_get("Font", "Title Point size"), "-12");
    reset_program_state();
}

}  // namespace
