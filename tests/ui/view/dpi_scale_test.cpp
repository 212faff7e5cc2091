#include <gtest/gtest.h>

#include <climits>

#include "ui/view/dpi_scale.h"

namespace {

TEST(DpiScale, BaseDpiKeepsEveryValue) {
    for (int v : {-12, -1, 0, 1, 4, 17, 20, INT_MAX, INT_MIN}) {
        EXPECT_EQ(dpi_scale(v, BASE_DPI), v);
        EXPECT_EQ(dpi_unscale(v, BASE_DPI), v);
    }
}

TEST(DpiScale, RoundsHalvesAwayFromZero) {
    EXPECT_EQ(dpi_scale(4, 144), 6);
    EXPECT_EQ(dpi_scale(1, 144), 2);    // 1.5
    EXPECT_EQ(dpi_scale(17, 144), 26);  // 25.5
    EXPECT_EQ(dpi_scale(-12, 144), -18);
    EXPECT_EQ(dpi_scale(-13, 144), -20);  // -19.5: a font no smaller than asked
    EXPECT_EQ(dpi_scale(1, 120), 1);      // 1.25
    EXPECT_EQ(dpi_scale(4, 120), 5);
    EXPECT_EQ(dpi_scale(-12, 192), -24);
    EXPECT_EQ(dpi_unscale(-18, 144), -12);
    EXPECT_EQ(dpi_unscale(-22, 144), -15);  // -14.67
}

TEST(DpiScale, NoDpiIsTakenAsBase) {
    EXPECT_EQ(dpi_scale(17, 0), 17);
    EXPECT_EQ(dpi_unscale(17, -5), 17);
}

TEST(DpiScale, HeldToTheIntRange) {
    EXPECT_EQ(dpi_scale(INT_MAX, 192), INT_MAX);
    EXPECT_EQ(dpi_scale(INT_MIN, 192), INT_MIN);
}

TEST(DpiScale, StoredHeightsSurviveARoundTrip) {
    // A font size stored at 96 DPI, made at the window's DPI and written back, must come
    // back unchanged, or every start would drift it.
    for (int dpi : {96, 120, 144, 168, 192, 240, 288}) {
        for (int v = -200; v <= 200; ++v) {
            ASSERT_EQ(dpi_unscale(dpi_scale(v, dpi), dpi), v) << v << " at " << dpi;
        }
    }
}

}  // namespace
