// Where the merged view below the panes scrolls: block starts found as the panes find
// them, and the view moving row for row with the panes, over random file pairs.
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "merge/blocks.h"
#include "merge/comparison.h"
#include "merge/document.h"
#include "merge/resolution.h"
#include "tests/support/temp_dir.h"
#include "tests/ui/fake_ui.h"
#include "ui/merged_view.h"
#include "ui/settings.h"

namespace {

std::string random_text(std::mt19937& random, int lines) {
    std::string text;
    for (int i = 0; i < lines; ++i) {
        text += static_cast<char>('a' + random() % 4);
        text += '\n';
    }
    return text;
}

TEST(MergedView, FollowsThePanesAndKeepsTheCurrentBlockWhereThePanesShowIt) {
    std::mt19937 random(31);
    TempDir dir;
    for (int round = 0; round < 60; ++round) {
        SCOPED_TRACE(round);
        reset_fake_ui();
        load_settings();
        const std::string left =
            dir.write("l.txt", random_text(random, 1 + static_cast<int>(random() % 12)));
        const std::string right =
            dir.write("r.txt", random_text(random, 1 + static_cast<int>(random() % 12)));
        ASSERT_EQ(load_side(left.c_str(), SIDE_LEFT), 0);
        ASSERT_EQ(load_side(right.c_str(), SIDE_RIGHT), 0);
        compare_files();
        const int32_t blocks = block_count();
        for (int32_t k = 0; k < blocks; ++k) {
            // The panes' own search finds block k where block_pane_row says it starts.
            int32_t found = -1;
            const int32_t row = block_pane_row(k);
            EXPECT_EQ(find_block_row(row - 1, DIRECTION_NEXT, &found), row + 1);
            EXPECT_EQ(found, k);
            if (random() % 2 == 0) {
                resolve_current_block(random() % 2 ? RESOLVED_LEFT_RIGHT : RESOLVED_RIGHT);
            }
            merge_document.current_block = k;
            const MergedRows& rows = current_merged_rows();
            ASSERT_EQ(rows.block_first.size(), static_cast<std::size_t>(blocks));
            const int32_t first = rows.block_first[static_cast<std::size_t>(k)];
            for (int32_t top = 0; top < merge_document.total_rows; ++top) {
                const int32_t view_top = merged_view_top(rows, top);
                ASSERT_GE(view_top, 0);
                ASSERT_LT(view_top, std::max(rows.row_count, 1));
                // Unless held at an end, the block is as far below the view's top as
                // below the panes'.
                if (view_top > 0 && view_top < rows.row_count - 1) {
                    EXPECT_EQ(first - view_top, row - top);
                }
            }
        }
        EXPECT_EQ(block_pane_row(blocks), -1);
    }
}

}  // namespace
