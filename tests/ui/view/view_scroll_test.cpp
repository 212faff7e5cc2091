#include "ui/view/view_scroll.h"

#include <gtest/gtest.h>

namespace {

TEST(VerticalScroll, EveryRequest) {
    // top row 50, page 20, 300 rows
    auto target = [](ScrollRequest r, int32_t thumb = 0) {
        return vertical_scroll_target(r, thumb, 50, 20, 300);
    };
    EXPECT_EQ(target(SCROLL_LINE_BACK), 49);
    EXPECT_EQ(target(SCROLL_LINE_FORWARD), 51);
    EXPECT_EQ(target(SCROLL_PAGE_BACK), 30);
    EXPECT_EQ(target(SCROLL_PAGE_FORWARD), 70);
    EXPECT_EQ(target(SCROLL_THUMB_RELEASED, 1), 0);
    EXPECT_EQ(target(SCROLL_START), 0);
    EXPECT_EQ(target(SCROLL_FINISH), 300);
    EXPECT_FALSE(target(SCROLL_OTHER).has_value());
}

TEST(VerticalScroll, StepsAreHeldToTheRowsAndMovePixels) {
    // End: total_rows asked, the last row comes to the top.
    VerticalStep s = plan_vertical_step(300, 50, 51, 300, 16, 20, 400);
    EXPECT_TRUE(s.moves);
    EXPECT_EQ(s.new_top, 299);
    // Up from row 0 does nothing: the scrollbar already stands at 1.
    s = plan_vertical_step(-1, 0, 1, 300, 16, 20, 400);
    EXPECT_FALSE(s.moves);
    EXPECT_EQ(s.new_top, 0);
    // Down one row: contents move up one row, the band at the bottom is repainted.
    s = plan_vertical_step(51, 50, 51, 300, 16, 20, 400);
    EXPECT_EQ(s.shift, -16);
    EXPECT_EQ(s.band_top, (20 - 1 - 2) * 16 - 1);
    EXPECT_EQ(s.band_bottom, 400);
    // Up two rows: contents move down, the top band is repainted.
    s = plan_vertical_step(48, 50, 51, 300, 16, 20, 400);
    EXPECT_EQ(s.shift, 32);
    EXPECT_EQ(s.band_top, 0);
    EXPECT_EQ(s.band_bottom, 32);
    // A huge jump does not overflow the pixel arithmetic.
    s = plan_vertical_step(2000000000, 0, 1, 2100000000, 1000, 20, 400);
    EXPECT_EQ(s.new_top, 2000000000);
    EXPECT_LT(s.shift, 0);
    EXPECT_LT(s.band_top, 0);
    // No rows at all.
    s = plan_vertical_step(5, 0, 0, 0, 16, 20, 400);
    EXPECT_EQ(s.new_top, 0);
}

TEST(HorizontalScroll, EveryRequestAndNoUpperLimit) {
    EXPECT_EQ(horizontal_scroll_target(SCROLL_LINE_BACK, 0, 0), 0u);
    EXPECT_EQ(horizontal_scroll_target(SCROLL_LINE_BACK, 0, 5), 4u);
    EXPECT_EQ(horizontal_scroll_target(SCROLL_LINE_FORWARD, 0, 5), 6u);
    EXPECT_EQ(horizontal_scroll_target(SCROLL_PAGE_BACK, 0, 5), 0u);
    EXPECT_EQ(horizontal_scroll_target(SCROLL_PAGE_FORWARD, 0, 5), 21u);
    EXPECT_EQ(horizontal_scroll_target(SCROLL_THUMB_RELEASED, 33, 5), 33u);
    EXPECT_EQ(horizontal_scroll_target(SCROLL_START, 0, 50), 0u);
    EXPECT_EQ(horizontal_scroll_target(SCROLL_OTHER, 0, 50), 50u);
    // End, then Right beyond the thumb's range, then Left back.
    uint32_t c = horizontal_scroll_target(SCROLL_FINISH, 0, 0);
    EXPECT_EQ(c, 79u);
    c = horizontal_scroll_target(SCROLL_LINE_FORWARD, 0, c);
    EXPECT_EQ(c, 80u);
    EXPECT_EQ(horizontal_thumb(c), 79);
    c = horizontal_scroll_target(SCROLL_LINE_BACK, 0, c);
    EXPECT_EQ(c, 79u);
    EXPECT_EQ(horizontal_thumb(c), 79);
}

TEST(PageRows, FromPaneHeight) {
    EXPECT_EQ(page_rows(400, 17, 16), 24);
    EXPECT_EQ(page_rows(10, 17, 16), 1);
    EXPECT_EQ(page_rows(400, 17, 0), 1);
}

}  // namespace
