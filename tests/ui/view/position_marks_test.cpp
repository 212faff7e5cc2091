#include "ui/view/position_marks.h"

#include <gtest/gtest.h>

#include "tests/merge/merge_test_util.h"

namespace {

// Built without string concatenation: GCC 12 warns falsely (-Wrestrict) on
// "literal" + std::string at -O3.
std::string numbered(const char* prefix, int i) {
    std::string s(prefix);
    s.append(std::to_string(i));
    return s;
}

class PositionMarks : public MergeTest {};

TEST_F(PositionMarks, FourHundredPixelBar) {
    // 100 aligned rows: block 0 changes left line 1, block 1 is a left filler row at
    // row 100 (a line the right file has after line 99).
    std::vector<std::string> left_lines;
    std::vector<std::string> right_lines;
    for (int i = 1; i <= 99; ++i) {
        left_lines.push_back(numbered("l", i));
        right_lines.push_back(i == 1 ? std::string("changed") : numbered("l", i));
    }
    right_lines.push_back("new");
    load(SIDE_LEFT, "a.txt", lf_lines(left_lines));
    load(SIDE_RIGHT, "b.txt", lf_lines(right_lines));
    install_listing("1c1\n< l1\n---\n> changed\n99a100\n> new\n");
    ASSERT_EQ(merge_document.total_rows, 100);
    const std::vector<int32_t> marks = position_marks(merge_document.left, 100, 400, 17, 17);
    EXPECT_EQ(marks, (std::vector<int32_t>{18, 370}));
}

TEST_F(PositionMarks, OwnLinesAndFillerRowsGetOneMarkEach) {
    load(SIDE_LEFT, "a.txt", lf_lines({"1", "2", "3", "4", "x5", "x6", "7"}));
    load(SIDE_RIGHT, "b.txt", lf_lines({"1", "2", "3", "4", "y5", "y6", "y7", "y8", "y9", "7"}));
    install_listing("5,6c5,9\n< x5\n< x6\n---\n> y5\n> y6\n> y7\n> y8\n> y9\n");
    const int32_t total = merge_document.total_rows;
    ASSERT_EQ(total, 10);
    // With a bar whose span equals the row count, marks sit at row + arrow height.
    const std::vector<int32_t> marks =
        position_marks(merge_document.left, total, 10 + 3 * 15, 17, 17);
    EXPECT_EQ(marks, (std::vector<int32_t>{5 + 15, 7 + 15}));
}

TEST_F(PositionMarks, FollowTheScaledScrollbarAt144Dpi) {
    // The same bar and blocks as at 96 DPI, with every measure 1.5 times as large: the
    // marks keep their places relative to the bar, within a pixel.
    std::vector<std::string> left_lines;
    std::vector<std::string> right_lines;
    for (int i = 1; i <= 99; ++i) {
        left_lines.push_back(numbered("l", i));
        right_lines.push_back(i == 1 ? std::string("changed") : numbered("l", i));
    }
    right_lines.push_back("new");
    load(SIDE_LEFT, "a.txt", lf_lines(left_lines));
    load(SIDE_RIGHT, "b.txt", lf_lines(right_lines));
    install_listing("1c1\n< l1\n---\n> changed\n99a100\n> new\n");
    // 17 at 96 DPI is 25.5 at 144; the system gives 25.
    const std::vector<int32_t> marks = position_marks(merge_document.left, 100, 600, 25, 25);
    ASSERT_EQ(marks.size(), 2u);
    EXPECT_NEAR(marks[0], 18 * 1.5, 1.0);
    EXPECT_NEAR(marks[1], 370 * 1.5, 1.0);
}

// A thousand blocks on a bar of 55 pixels: each row of the bar that holds a mark is
// given once, from the top, the first block's and the last block's among them.
TEST_F(PositionMarks, ManyBlocksOnARowGiveItOneMark) {
    std::vector<std::string> left_lines;
    std::vector<std::string> right_lines;
    std::string listing;
    for (int i = 1; i <= 2000; ++i) {
        left_lines.push_back(numbered("l", i));
        right_lines.push_back(numbered(i % 2 == 0 ? "r" : "l", i));
        if (i % 2 == 0) {
            const std::string n = std::to_string(i);
            listing += n + "c" + n + "\n< l" + n + "\n---\n> r" + n + "\n";
        }
    }
    load(SIDE_LEFT, "a.txt", lf_lines(left_lines));
    load(SIDE_RIGHT, "b.txt", lf_lines(right_lines));
    install_listing(listing);
    ASSERT_EQ(merge_document.total_rows, 2000);
    // The span is 55 - 3 * 15 = 10 pixels: the blocks at rows 2 and 2000 fall on 15 and
    // 25.
    const std::vector<int32_t> marks = position_marks(merge_document.left, 2000, 55, 17, 17);
    EXPECT_EQ(marks, (std::vector<int32_t>{15, 16, 17, 18, 19, 20, 21, 22, 23, 24, 25}));
}

TEST(MarkThickness, OnePixelAt96GrowsWithDpi) {
    EXPECT_EQ(mark_thickness(96), 1);
    EXPECT_EQ(mark_thickness(120), 1);
    EXPECT_EQ(mark_thickness(144), 2);
    EXPECT_EQ(mark_thickness(192), 2);
}

TEST_F(PositionMarks, NothingWithoutTables) {
    load(SIDE_LEFT, "a.txt", lf_lines({"1"}));
    EXPECT_TRUE(position_marks(merge_document.left, 1, 400, 17, 17).empty());
}

TEST(TitleRect, OnePixelInFromTopAndBottom) {
    const TextRect r = title_text_rect({0, 0, 300, 20}, 96);
    EXPECT_EQ(r.top, 1);
    EXPECT_EQ(r.bottom, 19);
    EXPECT_EQ(r.left, 0);
    EXPECT_EQ(r.right, 300);
}

TEST(TitleRect, InsetScalesWithDpi) {
    const TextRect r = title_text_rect({0, 0, 450, 30}, 144);
    EXPECT_EQ(r.top, 2);
    EXPECT_EQ(r.bottom, 28);
}

}  // namespace
