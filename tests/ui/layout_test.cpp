#include <gtest/gtest.h>

#include "ui/layout.h"

namespace {

TEST(Layout, EightHundredBySixHundred) {
    ChildLayout l = compute_layout(800, 600, 20, 17, 96);
    EXPECT_EQ(l.left_title, (ChildRect{0, 0, 400, 20}));
    EXPECT_EQ(l.right_title, (ChildRect{400, 0, 400, 20}));
    EXPECT_EQ(l.left_pane, (ChildRect{0, 20, 388, 580}));
    EXPECT_EQ(l.position_bar, (ChildRect{388, 20, 24, 580}));
    EXPECT_EQ(l.right_pane, (ChildRect{412, 20, 388, 580}));
    EXPECT_EQ(l.vertical_scrollbar, (ChildRect{4, 0, 14, 580}));
}

TEST(Layout, MergedResultTakesTwoFifthsOfThePanesHeightOnlyWhenOn) {
    const ChildLayout off = compute_layout(800, 600, 20, 17, 96);
    EXPECT_EQ(off.merged_view.width * off.merged_view.height, 0);
    const ChildLayout on = compute_layout(800, 600, 20, 17, 96, true);
    EXPECT_EQ(on.left_title, off.left_title);
    EXPECT_EQ(on.left_pane, (ChildRect{0, 20, 388, 348}));
    EXPECT_EQ(on.position_bar, (ChildRect{388, 20, 24, 348}));
    EXPECT_EQ(on.right_pane, (ChildRect{412, 20, 388, 348}));
    EXPECT_EQ(on.vertical_scrollbar.height, 348);
    EXPECT_EQ(on.merged_view, (ChildRect{0, 368, 800, 232}));
}

TEST(Layout, OddWidthsRoundDown) {
    // An odd client width leaves one column past the right pane; an even scrollbar
    // width is used as it is.
    ChildLayout l = compute_layout(801, 100, 10, 16, 96);
    EXPECT_EQ(l.position_bar, (ChildRect{388, 10, 24, 90}));
    EXPECT_EQ(l.right_pane, (ChildRect{412, 10, 388, 90}));
    EXPECT_EQ(l.right_title, (ChildRect{400, 0, 400, 10}));
    EXPECT_EQ(l.vertical_scrollbar.width, 14);
}

TEST(Layout, At144DpiEveryMeasureGrowsByHalf) {
    // The 800 x 600 window at 150 %: 1200 x 900 pixels, titles 30, scrollbar 26 (17 at
    // 96 DPI gives 25.5, which the system rounds either way).
    ChildLayout l = compute_layout(1200, 900, 30, 26, 144);
    EXPECT_EQ(l.left_title, (ChildRect{0, 0, 600, 30}));
    EXPECT_EQ(l.position_bar, (ChildRect{581, 30, 38, 870}));
    EXPECT_EQ(l.left_pane, (ChildRect{0, 30, 581, 870}));
    EXPECT_EQ(l.right_pane, (ChildRect{619, 30, 581, 870}));
    // Margins of six pixels on each side of the scrollbar: the bar's client area is two
    // pixels narrower than the bar, whose border stays one pixel wide.
    EXPECT_EQ(l.vertical_scrollbar, (ChildRect{6, 0, 24, 870}));
    EXPECT_EQ(l.position_bar.width - 2 - l.vertical_scrollbar.x - l.vertical_scrollbar.width,
              l.vertical_scrollbar.x);
}

TEST(Layout, ProportionsKeptAcrossDpi) {
    const ChildLayout a = compute_layout(800, 600, 20, 17, 96);
    const ChildLayout b = compute_layout(1200, 900, 30, 25, 144);
    const ChildRect* ra[] = {&a.left_title, &a.right_title, &a.left_pane, &a.position_bar,
                             &a.right_pane};
    const ChildRect* rb[] = {&b.left_title, &b.right_title, &b.left_pane, &b.position_bar,
                             &b.right_pane};
    for (int i = 0; i < 5; ++i) {
        SCOPED_TRACE(i);
        EXPECT_NEAR(rb[i]->x, ra[i]->x * 1.5, 1.5);
        EXPECT_NEAR(rb[i]->y, ra[i]->y * 1.5, 1.5);
        EXPECT_NEAR(rb[i]->width, ra[i]->width * 1.5, 1.5);
        EXPECT_NEAR(rb[i]->height, ra[i]->height * 1.5, 1.5);
    }
}

}  // namespace
