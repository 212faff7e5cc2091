// The mouse wheels: deltas add up to whole rows or columns, precision touchpads
// included, and the wheels scroll through the same operations as the keys.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "merge/document.h"
#include "tests/support/fake_platform.h"
#include "tests/ui/fake_ui.h"
#include "ui/scrolling.h"
#include "ui/wheel.h"

namespace {

using Calls = std::vector<std::string>;

TEST(WheelUnits, NotchesAndSmallDeltasAddUpToWholeUnits) {
    WheelAccumulator wheel;
    EXPECT_EQ(wheel_units(wheel, -120, 3), -3);
    EXPECT_EQ(wheel_units(wheel, 240, 3), 6);
    // A touchpad's quarter notches, three quarters of a row each: nothing is lost.
    EXPECT_EQ(wheel_units(wheel, 30, 3), 0);
    EXPECT_EQ(wheel_units(wheel, 30, 3), 1);
    EXPECT_EQ(wheel_units(wheel, 30, 3), 1);
    EXPECT_EQ(wheel_units(wheel, 30, 3), 1);
    EXPECT_EQ(wheel.rest, 0);
    // Settings that do not divide a notch evenly still give their units per notch.
    WheelAccumulator seven;
    int total = 0;
    for (int i = 0; i < 12; ++i) {
        total += wheel_units(seven, 10, 7);  // 12 x 10 = one notch
    }
    EXPECT_EQ(total, 7);
}

TEST(WheelUnits, TurningBackDropsTheOldFractionAndZeroMovesNothing) {
    WheelAccumulator wheel;
    EXPECT_EQ(wheel_units(wheel, 30, 3), 0);   // 3/4 of a row pending upwards
    EXPECT_EQ(wheel_units(wheel, -30, 3), 0);  // the other way: starts afresh
    EXPECT_EQ(wheel_units(wheel, -10, 3), -1);
    EXPECT_EQ(wheel_units(wheel, -120, 0), 0);  // the system says: do not scroll
    EXPECT_EQ(wheel.rest, 0);
    EXPECT_EQ(wheel_units(wheel, 120, -5), 0);
    // Huge settings and deltas do not overflow.
    EXPECT_EQ(wheel_units(wheel, 32767, 1 << 30), 32767LL * (1 << 20) / 120);
}

class Wheel : public ::testing::Test {
protected:
    void SetUp() override {
        reset_fake_ui();
        merge_document.total_rows = 100;
        fake_platform().scroll_position = 1;
        view_metrics.page_rows = 20;
    }
    static Calls calls() {
        Calls c = ui_calls();
        ui_calls().clear();
        return c;
    }
};

TEST_F(Wheel, VerticalWheelScrollsBothPanesByTheSystemSetting) {
    wheel_vertical(-120, {});
    EXPECT_EQ(merge_document.top_row, 3);
    EXPECT_EQ(calls(), (Calls{"scroll_position 4", "scroll_panes -3"}));
    for (int i = 0; i < 3; ++i) {
        wheel_vertical(-40, {});
    }
    EXPECT_EQ(merge_document.top_row, 6);
    wheel_vertical(120, {.units = 1});
    EXPECT_EQ(merge_document.top_row, 5);
    // "One page" per notch moves as Page Down does.
    wheel_vertical(-120, {.units = 1, .page = true});
    EXPECT_EQ(merge_document.top_row, 25);
    // Held within the rows like every vertical scroll.
    wheel_vertical(-120 * 100, {});
    EXPECT_EQ(merge_document.top_row, 99);
    wheel_vertical(120 * 200, {});
    EXPECT_EQ(merge_document.top_row, 0);
    calls();
    wheel_vertical(120, {});  // at the top already: nothing moves
    EXPECT_EQ(calls(), Calls{});
}

TEST_F(Wheel, SidewaysWheelScrollsOnePaneAndNeverBelowColumnZero) {
    wheel_horizontal(SIDE_RIGHT, 120, 3);
    EXPECT_EQ(calls(), (Calls{"hpos right 3", "repaint_pane right"}));
    wheel_horizontal(SIDE_LEFT, 60, 3);
    wheel_horizontal(SIDE_RIGHT, 60, 3);  // the left pane's fraction is not the right's
    EXPECT_EQ(merge_document.left.first_column, 1u);
    EXPECT_EQ(merge_document.right.first_column, 4u);
    calls();
    wheel_horizontal(SIDE_LEFT, -120 * 5, 3);
    EXPECT_EQ(merge_document.left.first_column, 0u);
    EXPECT_EQ(calls(), (Calls{"hpos left 0", "repaint_pane left"}));
    wheel_horizontal(SIDE_LEFT, -120, 3);  // no change: no repaint
    EXPECT_EQ(calls(), Calls{});
    wheel_horizontal(SIDE_LEFT, 120 * 40, 3);  // past the thumb's end the text goes on
    EXPECT_EQ(merge_document.left.first_column, 120u);
    EXPECT_EQ(calls(), (Calls{"hpos left 79", "repaint_pane left"}));
}

}  // namespace
