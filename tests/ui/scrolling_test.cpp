#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "merge/document.h"
#include "tests/support/fake_platform.h"
#include "tests/ui/fake_ui.h"
#include "ui/scrolling.h"

namespace {

using Calls = std::vector<std::string>;

class Navigation : public ::testing::Test {
protected:
    void SetUp() override {
        reset_fake_ui();
        merge_document.total_rows = 100;
        fake_platform().scroll_position = 1;  // the thumb shows row 0
        view_metrics.page_rows = 20;
    }
    Calls key(ScrollKey k) {
        ui_calls().clear();
        route_scroll_key(k);
        return ui_calls();
    }
};

TEST_F(Navigation, VerticalKeysScrollBothPanesWithinTheRows) {
    EXPECT_EQ(key(KEY_UP), Calls{});  // held at the top: nothing moves
    EXPECT_EQ(key(KEY_DOWN), (Calls{"scroll_position 2", "scroll_panes -1"}));
    EXPECT_EQ(key(KEY_PAGE_DOWN), (Calls{"scroll_position 22", "scroll_panes -20"}));
    EXPECT_EQ(merge_document.top_row, 21);
    key(KEY_PAGE_UP);
    key(KEY_PAGE_UP);
    EXPECT_EQ(merge_document.top_row, 0);
    scroll_vertical(SCROLL_FINISH);
    EXPECT_EQ(merge_document.top_row, 99);
    scroll_vertical(SCROLL_THUMB_RELEASED, 1);
    EXPECT_EQ(merge_document.top_row, 0);
    merge_document.total_rows = 0;
    scroll_vertical(SCROLL_FINISH);
    EXPECT_EQ(merge_document.top_row, 0);
}

TEST_F(Navigation, HorizontalKeysGoToThePaneUnderThePointer) {
    EXPECT_EQ(key(KEY_RIGHT), (Calls{"hpos right 1", "repaint_pane right"}));
    fake_ui().pointer_over_left = true;
    EXPECT_EQ(key(KEY_END), (Calls{"hpos left 79", "repaint_pane left"}));
    // Past the scrollbar's end the text goes on scrolling while the thumb stays.
    EXPECT_EQ(key(KEY_RIGHT), (Calls{"hpos left 79", "repaint_pane left"}));
    EXPECT_EQ(merge_document.left.first_column, 80u);
    EXPECT_EQ(key(KEY_LEFT), (Calls{"hpos left 79", "repaint_pane left"}));
    key(KEY_HOME);
    EXPECT_EQ(key(KEY_LEFT), Calls{});  // no change, no repaint
    EXPECT_EQ(merge_document.left.first_column, 0u);
    EXPECT_EQ(merge_document.right.first_column, 1u);
}

}  // namespace
