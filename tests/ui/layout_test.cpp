#include <gtest/gtest.h>

#include "ui/layout.h"

namespace {

TEST(Layout, EightHundredBySixHundred) {
    ChildLayout l = compute_layout(800, 600, 20, 17);
    EXPECT_EQ(l.left_title, (ChildRect{0, 0, 400, 20}));
    EXPECT_EQ(l.right_title, (ChildRect{400, 0, 400, 20}));
    EXPECT_EQ(l.left_pane, (ChildRect{0, 20, 388, 580}));
    EXPECT_EQ(l.position_bar, (ChildRect{388, 20, 24, 580}));
    EXPECT_EQ(l.right_pane, (ChildRect{412, 20, 388, 580}));
    EXPECT_EQ(l.vertical_scrollbar, (ChildRect{4, 0, 14, 580}));
}

TEST(Layout, OddWidthsRoundDown) {
    // An odd client width leaves one column past the right pane; an even scrollbar
    // width is used as it is.
    ChildLayout l = compute_layout(801, 100, 10, 16);
    EXPECT_EQ(l.position_bar, (ChildRect{388, 10, 24, 90}));
    EXPECT_EQ(l.right_pane, (ChildRect{412, 10, 388, 90}));
    EXPECT_EQ(l.right_title, (ChildRect{400, 0, 400, 10}));
    EXPECT_EQ(l.vertical_scrollbar.width, 14);
}

}  // namespace
