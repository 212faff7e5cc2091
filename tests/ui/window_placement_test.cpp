#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/ui/fake_ui.h"
#include "ui/settings.h"
#include "ui/window_placement.h"

namespace {

// Two monitors side by side, the primary on the left with a taskbar at the bottom.
const ScreenRect PRIMARY = {0, 0, 1920, 1040};
const ScreenRect SECOND = {1920, 0, 3200, 1024};
const std::vector<ScreenRect> TWO = {PRIMARY, SECOND};
constexpr int MIN_W = 136;
constexpr int MIN_H = 39;

ScreenRect at(int left, int top, int width, int height) {
    return {left, top, left + width, top + height};
}

TEST(WindowPlacement, KeptWhereItFits) {
    EXPECT_EQ(place_on_screen(at(100, 80, 800, 600), TWO, MIN_W, MIN_H), at(100, 80, 800, 600));
    // Wholly on the second monitor, and straddling both.
    EXPECT_EQ(place_on_screen(at(2000, 50, 900, 700), TWO, MIN_W, MIN_H), at(2000, 50, 900, 700));
    EXPECT_EQ(place_on_screen(at(1500, 10, 900, 700), TWO, MIN_W, MIN_H), at(1500, 10, 900, 700));
    // Partly off the right edge, but enough of the caption to grab stays.
    EXPECT_EQ(place_on_screen(at(3100, 300, 600, 400), TWO, MIN_W, MIN_H), at(3100, 300, 600, 400));
}

TEST(WindowPlacement, OffEveryMonitorMovesToTheNearest) {
    // Saved on a third monitor to the right that is gone: onto the second, at its edge.
    EXPECT_EQ(place_on_screen(at(3400, 100, 800, 600), TWO, MIN_W, MIN_H), at(2400, 100, 800, 600));
    // Above the primary one: pulled down to its top, left kept.
    EXPECT_EQ(place_on_screen(at(300, -900, 800, 600), TWO, MIN_W, MIN_H), at(300, 0, 800, 600));
    // Far off to the left and below: the primary's bottom-left corner.
    EXPECT_EQ(place_on_screen(at(-5000, 5000, 800, 600), TWO, MIN_W, MIN_H), at(0, 440, 800, 600));
    // The second monitor unplugged: a window saved there comes back to the primary.
    EXPECT_EQ(place_on_screen(at(2000, 50, 900, 700), {PRIMARY}, MIN_W, MIN_H),
              at(1020, 50, 900, 700));
}

TEST(WindowPlacement, EquallyNearGoesToTheEarliestArea) {
    // Exactly between two work areas 100 pixels apart on each side.
    const std::vector<ScreenRect> areas = {{0, 0, 1000, 800}, {1400, 0, 2400, 800}};
    EXPECT_EQ(place_on_screen(at(1100, 100, 200, 200), areas, MIN_W, MIN_H),
              at(800, 100, 200, 200));
    const std::vector<ScreenRect> swapped = {areas[1], areas[0]};
    EXPECT_EQ(place_on_screen(at(1100, 100, 200, 200), swapped, MIN_W, MIN_H),
              at(1400, 100, 200, 200));
}

TEST(WindowPlacement, CaptionOutOfReachIsPulledBack) {
    // Its caption above the screen: the window overlaps the primary, but cannot be dragged.
    EXPECT_EQ(place_on_screen(at(100, -20, 800, 600), TWO, MIN_W, MIN_H), at(100, 0, 800, 600));
    // Only 40 pixels of its caption on the screen at the left edge.
    EXPECT_EQ(place_on_screen(at(-760, 100, 800, 600), TWO, MIN_W, MIN_H), at(0, 100, 800, 600));
    // Its caption in the last rows of the work area.
    EXPECT_EQ(place_on_screen(at(100, 1000, 800, 600), TWO, MIN_W, MIN_H), at(100, 440, 800, 600));
}

TEST(WindowPlacement, LargerThanItsHomeShrinksToIt) {
    const std::vector<ScreenRect> small = {{0, 0, 1024, 728}};
    EXPECT_EQ(place_on_screen(at(50, 50, 1600, 1000), small, MIN_W, MIN_H), at(0, 0, 1024, 728));
    // Tinier than the system allows is brought up to the minimum when it moves.
    EXPECT_EQ(place_on_screen(at(-500, 20, 10, 5), small, MIN_W, MIN_H), at(0, 20, MIN_W, MIN_H));
    // Without any monitor there is nothing to hold it to.
    EXPECT_EQ(place_on_screen(at(-500, 20, 10, 5), {}, MIN_W, MIN_H), at(-500, 20, 10, 5));
}

TEST(WindowPlacement, NegativeCoordinatesOfAMonitorLeftOfThePrimary) {
    const std::vector<ScreenRect> areas = {PRIMARY, {-1280, 0, 0, 1024}};
    EXPECT_EQ(place_on_screen(at(-1200, 40, 900, 700), areas, MIN_W, MIN_H),
              at(-1200, 40, 900, 700));
    // That monitor gone: onto the primary's left edge.
    EXPECT_EQ(place_on_screen(at(-1200, 40, 900, 700), {PRIMARY}, MIN_W, MIN_H),
              at(0, 40, 900, 700));
}

class PlacementKeys : public ::testing::Test {
protected:
    void SetUp() override { reset_fake_ui(); }
};

TEST_F(PlacementKeys, WrittenInMiscAndReadBack) {
    WindowPlacement saved;
    saved.known = true;
    saved.normal = at(-300, 25, 1000, 700);
    saved.maximized = true;
    write_window_placement(saved);
    EXPECT_EQ(fake_ui().ini_writes,
              (std::vector<std::string>{"Misc/Window left=-300", "Misc/Window top=25",
                                        "Misc/Window width=1000", "Misc/Window height=700",
                                        "Misc/Window maximized=1"}));
    const WindowPlacement read = read_window_placement();
    EXPECT_TRUE(read.known);
    EXPECT_EQ(read.normal, saved.normal);
    EXPECT_TRUE(read.maximized);
}

TEST_F(PlacementKeys, UnknownWritesNothingAndMissingKeysReadUnknown) {
    write_window_placement(WindowPlacement{});
    EXPECT_TRUE(fake_ui().ini_writes.empty());
    EXPECT_FALSE(read_window_placement().known);
    // One key missing is no placement.
    fake_ini_set("Misc", "Window left", "10");
    fake_ini_set("Misc", "Window top", "10");
    fake_ini_set("Misc", "Window width", "500");
    EXPECT_FALSE(read_window_placement().known);
    fake_ini_set("Misc", "Window height", "400");
    const WindowPlacement read = read_window_placement();
    EXPECT_TRUE(read.known);
    EXPECT_EQ(read.normal, at(10, 10, 500, 400));
    EXPECT_FALSE(read.maximized);
}

TEST_F(PlacementKeys, ValuesNoWindowCanHaveAreIgnored) {
    auto store = [](const char* left, const char* top, const char* width, const char* height) {
        fake_ini_set("Misc", "Window left", left);
        fake_ini_set("Misc", "Window top", top);
        fake_ini_set("Misc", "Window width", width);
        fake_ini_set("Misc", "Window height", height);
        return read_window_placement().known;
    };
    EXPECT_TRUE(store("-32767", "32767", "32767", "1"));
    EXPECT_FALSE(store("0", "0", "0", "400"));
    EXPECT_FALSE(store("0", "0", "500", "-4"));
    EXPECT_FALSE(store("40000", "0", "500", "400"));
    EXPECT_FALSE(store("0", "0", "99999999999", "400"));  // held to INT_MAX, still too big
    EXPECT_FALSE(store("0", "-2147483648", "500", "400"));
    EXPECT_TRUE(store("x", "0", "500", "400"));  // garbage reads as 0, a place like any
    // A maximised flag other than 0 or 1 is taken as 0.
    fake_ini_set("Misc", "Window maximized", "7");
    EXPECT_FALSE(read_window_placement().maximized);
}

TEST_F(PlacementKeys, SaveSettingsWritesThePlacementLast) {
    read_options_settings();
    EXPECT_FALSE(settings.window.known);
    settings.window = {true, at(5, 6, 700, 500), false};
    fake_ui().ini_writes.clear();
    save_settings();
    ASSERT_GE(fake_ui().ini_writes.size(), 5u);
    const std::vector<std::string> tail(fake_ui().ini_writes.end() - 5, fake_ui().ini_writes.end());
    EXPECT_EQ(tail, (std::vector<std::string>{"Misc/Window left=5", "Misc/Window top=6",
                                              "Misc/Window width=700", "Misc/Window height=500",
                                              "Misc/Window maximized=0"}));
    // The next start reads it before any window exists.
    settings.window = {};
    read_options_settings();
    EXPECT_TRUE(settings.window.known);
    EXPECT_EQ(settings.window.normal, at(5, 6, 700, 500));
}

}  // namespace
