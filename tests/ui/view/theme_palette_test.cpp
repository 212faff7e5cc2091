#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "ui/view/theme_palette.h"

namespace {

struct Named {
    const char* name;
    RowColor color;
};

// The fills of a palette that carry text: every row state and origin, and the marks
// behind the characters that differ.
std::vector<Named> text_fills(const ThemePalette& p) {
    return {{"window", p.window},
            {"own", p.own},
            {"filler", p.filler},
            {"chosen", p.chosen},
            {"own mark", p.own_mark},
            {"chosen mark", p.chosen_mark},
            {"base", p.base},
            {"edited", p.edited},
            {"from left", p.merged_from_left},
            {"from right", p.merged_from_right},
            {"from both", p.merged_from_both},
            {"open", p.merged_open}};
}

double distance(RowColor a, RowColor b) {
    const double r = a.red - b.red;
    const double g = a.green - b.green;
    const double bl = a.blue - b.blue;
    return std::sqrt(r * r + g * g + bl * bl);
}

TEST(ThemePalette, ContrastRatioMeetsItsReferencePoints) {
    EXPECT_NEAR(contrast_ratio({0, 0, 0}, {255, 255, 255}), 21.0, 1e-9);
    EXPECT_NEAR(contrast_ratio({119, 119, 119}, {255, 255, 255}), 4.48, 0.01);
    EXPECT_NEAR(contrast_ratio({10, 20, 30}, {10, 20, 30}), 1.0, 1e-9);
}

// Text on every fill reads at 4.5:1 at least, the title bars' too, the position bar's
// marks at 3:1 (a graphic); and the row states' fills differ from each other clearly.
TEST(ThemePalette, EveryStateIsReadableAndDistinctInBothLooks) {
    for (const auto& [look, palette] :
         {std::pair{"light", &LIGHT_PALETTE}, std::pair{"dark", &DARK_PALETTE}}) {
        SCOPED_TRACE(look);
        const ThemePalette& p = *palette;
        const std::vector<Named> fills = text_fills(p);
        for (const Named& fill : fills) {
            EXPECT_GE(contrast_ratio(p.text, fill.color), 4.5) << fill.name;
        }
        EXPECT_GE(contrast_ratio(p.title_text, p.title_fill), 4.5);
        EXPECT_GE(contrast_ratio(p.base_preview_text, p.merged_open), 4.5);
        EXPECT_GE(contrast_ratio(p.current_block, p.window), 3.0);  // a graphic
        EXPECT_GE(contrast_ratio(p.bar_mark, p.bar_fill), 3.0);
        for (std::size_t i = 0; i < fills.size(); ++i) {
            for (std::size_t j = i + 1; j < fills.size(); ++j) {
                EXPECT_GE(distance(fills[i].color, fills[j].color), 24.0)
                    << fills[i].name << " and " << fills[j].name;
            }
        }
    }
}

// High contrast has the system's colours only: each state differs by its margin mark.
TEST(ThemePalette, MarginMarksTellEveryRowStateApart) {
    const RowState states[] = {ROW_COMMON, ROW_OWN, ROW_OWN_CHOSEN, ROW_FILLER, ROW_FILLER_CHOSEN};
    EXPECT_EQ(margin_mark(ROW_COMMON), (MarginMark{false, false, false}));
    for (RowState a : states) {
        for (RowState b : states) {
            EXPECT_EQ(a == b, margin_mark(a) == margin_mark(b)) << a << " " << b;
        }
    }
}

}  // namespace
