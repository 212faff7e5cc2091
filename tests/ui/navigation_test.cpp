#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/ui/fake_ui.h"
#include "ui/navigation.h"

namespace {

using Calls = std::vector<std::string>;

class Navigation : public ::testing::Test {
protected:
    void SetUp() override {
        reset_fake_ui();
        fake_ui().total_rows = 100;
        view_metrics.page_rows = 20;
    }
    Calls key(NavigationKey k) {
        fake_ui().calls.clear();
        route_navigation_key(k);
        return fake_ui().calls;
    }
};

TEST_F(Navigation, VerticalKeysScrollBothPanesWithinTheRows) {
    EXPECT_EQ(key(KEY_UP), (Calls{"scroll_to_row 0"}));  // held at the top
    EXPECT_EQ(key(KEY_DOWN), (Calls{"scroll_to_row 1"}));
    EXPECT_EQ(key(KEY_PAGE_DOWN), (Calls{"scroll_to_row 21"}));
    EXPECT_EQ(fake_ui().top_row, 21);
    key(KEY_PAGE_UP);
    key(KEY_PAGE_UP);
    EXPECT_EQ(fake_ui().top_row, 0);
    scroll_vertical(SCROLL_FINISH);
    EXPECT_EQ(fake_ui().top_row, 99);
    scroll_vertical(SCROLL_THUMB_RELEASED, 1);
    EXPECT_EQ(fake_ui().top_row, 0);
    fake_ui().total_rows = 0;
    scroll_vertical(SCROLL_FINISH);
    EXPECT_EQ(fake_ui().top_row, 0);
}

TEST_F(Navigation, HorizontalKeysGoToThePaneUnderThePointer) {
    EXPECT_EQ(key(KEY_RIGHT), (Calls{"hpos right 1", "repaint right"}));
    fake_ui().pointer_over_left = true;
    EXPECT_EQ(key(KEY_END), (Calls{"hpos left 79", "repaint left"}));
    // Past the scrollbar's end the text goes on scrolling while the thumb stays.
    EXPECT_EQ(key(KEY_RIGHT), (Calls{"hpos left 79", "repaint left"}));
    EXPECT_EQ(fake_ui().first_column[0], 80);
    EXPECT_EQ(key(KEY_LEFT), (Calls{"hpos left 79", "repaint left"}));
    key(KEY_HOME);
    EXPECT_EQ(key(KEY_LEFT), Calls{});  // no change, no repaint
    EXPECT_EQ(fake_ui().first_column[0], 0);
    EXPECT_EQ(fake_ui().first_column[1], 1);
}

}  // namespace
