// The main window's placement under the real window system: written at quit, restored
// by the next start, maximised state included, and brought back onto the screen.
#include <gtest/gtest.h>

#include <string>

#include "resources/command_ids.h"
#include "tests/win32/driver.h"
#include "ui/win32/ui_state.h"

namespace {

class Placement : public ::testing::Test {
protected:
    void SetUp() override { reset_program_state(); }
    void TearDown() override { reset_program_state(); }

    void run_once() {
        ProgramDriver driver;
        driver.steps = steps;
        driver.steps.push_back(ProgramDriver::post(CMD_QUIT));
        driver.run("");
        EXPECT_FALSE(driver.timed_out());
        steps.clear();
    }

    // A new start in the same process keeps the settings file, as a new process would.
    void restart() {
        const char* keys[] = {"Window left", "Window top", "Window width", "Window height",
                              "Window maximized"};
        std::string values[5];
        for (int i = 0; i < 5; ++i) {
            values[i] = ini_get("Misc", keys[i]);
        }
        reset_program_state();
        for (int i = 0; i < 5; ++i) {
            if (values[i] != "<missing>") {
                ini_set("Misc", keys[i], values[i].c_str());
            }
        }
    }

    std::vector<ProgramDriver::Step> steps;
};

RECT window_rect() {
    RECT r = {};
    GetWindowRect(ui_state.main_window, &r);
    return r;
}

RECT work_area() {
    RECT r = {};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &r, 0);
    return r;
}

TEST_F(Placement, WrittenAtQuitAndRestoredByTheNextStart) {
    steps = {ProgramDriver::check(
        [] { SetWindowPos(ui_state.main_window, nullptr, 60, 70, 700, 500, SWP_NOZORDER); })};
    run_once();
    EXPECT_EQ(ini_get("Misc", "Window left"), "60");
    EXPECT_EQ(ini_get("Misc", "Window top"), "70");
    EXPECT_EQ(ini_get("Misc", "Window width"), "700");
    EXPECT_EQ(ini_get("Misc", "Window height"), "500");
    EXPECT_EQ(ini_get("Misc", "Window maximized"), "0");

    restart();
    RECT seen = {};
    steps = {ProgramDriver::check([&] { seen = window_rect(); })};
    run_once();
    EXPECT_EQ(seen.left, 60);
    EXPECT_EQ(seen.top, 70);
    EXPECT_EQ(seen.right, 760);
    EXPECT_EQ(seen.bottom, 570);
}

TEST_F(Placement, MaximisedKeepsItsNormalRectangle) {
    steps = {ProgramDriver::check([] {
                 SetWindowPos(ui_state.main_window, nullptr, 90, 40, 640, 480, SWP_NOZORDER);
             }),
             ProgramDriver::check([] { ShowWindow(ui_state.main_window, SW_MAXIMIZE); })};
    run_once();
    EXPECT_EQ(ini_get("Misc", "Window maximized"), "1");
    EXPECT_EQ(ini_get("Misc", "Window left"), "90");
    EXPECT_EQ(ini_get("Misc", "Window width"), "640");

    restart();
    bool zoomed = false;
    RECT normal = {};
    steps = {ProgramDriver::check([&] {
        zoomed = IsZoomed(ui_state.main_window) != FALSE;
        WINDOWPLACEMENT wp = {};
        wp.length = sizeof wp;
        GetWindowPlacement(ui_state.main_window, &wp);
        normal = wp.rcNormalPosition;
    })};
    run_once();
    EXPECT_TRUE(zoomed);
    const RECT work = work_area();
    EXPECT_EQ(normal.left + work.left, 90);
    EXPECT_EQ(normal.top + work.top, 40);
    EXPECT_EQ(normal.right - normal.left, 640);
    EXPECT_EQ(normal.bottom - normal.top, 480);
    // Still maximised at the next quit.
    EXPECT_EQ(ini_get("Misc", "Window maximized"), "1");
}

TEST_F(Placement, SavedOffTheScreenOpensOnIt) {
    // Where a second monitor, now gone, stood to the right and below.
    ini_set("Misc", "Window left", "5000");
    ini_set("Misc", "Window top", "3000");
    ini_set("Misc", "Window width", "700");
    ini_set("Misc", "Window height", "500");
    RECT seen = {};
    steps = {ProgramDriver::check([&] { seen = window_rect(); })};
    run_once();
    const RECT work = work_area();
    EXPECT_EQ(seen.right, work.right);
    EXPECT_EQ(seen.bottom, work.bottom);
    EXPECT_EQ(seen.right - seen.left, 700);
    EXPECT_EQ(seen.bottom - seen.top, 500);
}

}  // namespace
