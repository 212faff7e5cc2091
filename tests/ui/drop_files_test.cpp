// Files dropped on the main window: which side a point stands for, what one or two
// files load, and the drops that are refused without changing anything.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "common/report.h"
#include "merge/document.h"
#include "tests/support/fake_platform.h"
#include "tests/support/fake_report.h"
#include "tests/support/temp_dir.h"
#include "tests/ui/fake_ui.h"
#include "ui/drop_files.h"
#include "ui/layout.h"

namespace {

bool inside(const ChildRect& r, int x, int y) {
    return x >= r.x && x < r.x + r.width && y >= r.y && y < r.y + r.height;
}

// Every pixel of a title bar or pane belongs to its own side, for odd and even widths.
TEST(DropTarget, TitleBarsAndPanesBelongToTheirSide) {
    for (int width : {200, 201, 800, 1023}) {
        const int height = 300;
        const ChildLayout l = compute_layout(width, height, 20, 17, 96);
        for (int y = 0; y < height; y += 7) {
            for (int x = 0; x < width; ++x) {
                const std::optional<Side> side = side_at_point(width, height, x, y);
                ASSERT_TRUE(side.has_value()) << x << "," << y;
                if (inside(l.left_title, x, y) || inside(l.left_pane, x, y)) {
                    ASSERT_EQ(*side, SIDE_LEFT) << width << ": " << x << "," << y;
                }
                if (inside(l.right_title, x, y) || inside(l.right_pane, x, y)) {
                    ASSERT_EQ(*side, SIDE_RIGHT) << width << ": " << x << "," << y;
                }
            }
        }
        EXPECT_FALSE(side_at_point(width, height, -1, 5));
        EXPECT_FALSE(side_at_point(width, height, width, 5));
        EXPECT_FALSE(side_at_point(width, height, 5, height));
    }
    EXPECT_FALSE(side_at_point(0, 0, 0, 0));
}

class Drop : public ::testing::Test {
protected:
    void SetUp() override {
        reset_fake_ui();
        left = dir.write("left.txt", "a\nb\n");
        right = dir.write("right.txt", "a\nc\nd\n");
    }
    static std::vector<std::string> messages() {
        std::vector<std::string> out;
        for (const ReportedMessage& m : reported_messages()) {
            out.push_back(m.text);
        }
        return out;
    }
    TempDir dir;
    std::string left;
    std::string right;
};

TEST_F(Drop, TwoFilesLoadInOrderAndAreCompared) {
    EXPECT_EQ(drop_files({left, right}, SIDE_RIGHT), 0);
    EXPECT_EQ(merge_document.left.path, left);
    EXPECT_EQ(merge_document.right.path, right);
    EXPECT_EQ(fake_platform().posted, (std::deque<Request>{REQUEST_COMPARE_FILES}));
}

TEST_F(Drop, OneFileLoadsWhereItFellAndComparesOnceBothSidesHoldOne) {
    EXPECT_EQ(drop_files({right}, SIDE_RIGHT), 0);
    EXPECT_EQ(merge_document.right.path, right);
    EXPECT_STREQ(merge_document.left.path, "");
    EXPECT_TRUE(fake_platform().posted.empty());
    EXPECT_EQ(drop_files({left}, SIDE_LEFT), 0);
    EXPECT_EQ(merge_document.left.path, left);
    EXPECT_EQ(fake_platform().posted, (std::deque<Request>{REQUEST_COMPARE_FILES}));
}

TEST_F(Drop, RefusedDropsSayWhyAndChangeNothing) {
    ASSERT_EQ(drop_files({left, right}, std::nullopt), 0);
    fake_platform().posted.clear();
    ui_calls().clear();
    const std::string third = dir.write("third.txt", "x\n");
    const std::string sub = dir.file("sub");
    std::filesystem::create_directory(sub);

    EXPECT_EQ(drop_files({third, left, right}, SIDE_LEFT), 1);
    EXPECT_EQ(drop_files({sub}, SIDE_RIGHT), 1);
    EXPECT_EQ(drop_files({third, sub}, SIDE_RIGHT), 1);
    EXPECT_EQ(drop_files({third}, std::nullopt), 1);
    merge_document.directory_mode = 1;
    EXPECT_EQ(drop_files({third}, SIDE_LEFT), 1);
    merge_document.directory_mode = 0;
    const std::string directory = format_message(DROP_DIRECTORY, sub.c_str());
    EXPECT_EQ(messages(), (std::vector<std::string>{DROP_TOO_MANY, directory, directory,
                                                    DROP_OUTSIDE, DROP_DURING_WALK}));
    for (const ReportedMessage& m : reported_messages()) {
        EXPECT_EQ(m.severity, SEVERITY_WARNING);
    }
    EXPECT_EQ(merge_document.left.path, left);
    EXPECT_EQ(merge_document.right.path, right);
    EXPECT_TRUE(fake_platform().posted.empty());
    EXPECT_TRUE(ui_calls().empty());  // not even a repaint
}

TEST_F(Drop, AFileThatCannotBeReadIsReportedByTheLoadAndNothingIsCompared) {
    EXPECT_EQ(drop_files({left, dir.file("missing.txt")}, SIDE_LEFT), -1);
    EXPECT_EQ(messages(),
              (std::vector<std::string>{"Unable to open file " + dir.file("missing.txt")}));
    EXPECT_STREQ(merge_document.right.path, "");
    EXPECT_TRUE(fake_platform().posted.empty());
    // A path the limit refuses is refused whole, never cut to another name.
    EXPECT_EQ(drop_files({dir.file(std::string(300, 'n'))}, SIDE_RIGHT), -1);
    EXPECT_STREQ(merge_document.right.path, "");
}

}  // namespace
