#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "tests/ui/fake_ui.h"
#include "ui/settings.h"
#include "ui/tab_size_text.h"

namespace {

using Calls = std::vector<std::string>;

TEST(TabSizeText, TakesALeadingSignedNumberAfterBlanks) {
    EXPECT_EQ(parse_tab_size_text("4"), 4);
    EXPECT_EQ(parse_tab_size_text("  4"), 4);
    EXPECT_EQ(parse_tab_size_text("\t4"), 4);
    EXPECT_EQ(parse_tab_size_text("+4"), 4);
    EXPECT_EQ(parse_tab_size_text("-3"), -3);
    EXPECT_EQ(parse_tab_size_text("0"), 0);
    EXPECT_EQ(parse_tab_size_text("007"), 7);
    // Whatever follows the digits does not matter.
    EXPECT_EQ(parse_tab_size_text("4x"), 4);
    EXPECT_EQ(parse_tab_size_text("12 34"), 12);
}

TEST(TabSizeText, TextWithoutALeadingNumberNamesNoSize) {
    for (const char* text : {"", "   ", "x4", "abc", "+", "-", "- 3", "+-3"}) {
        EXPECT_EQ(parse_tab_size_text(text), std::nullopt) << '"' << text << '"';
    }
}

TEST(TabSizeText, ReadsOnlyTheFirstNineCharacters) {
    EXPECT_EQ(parse_tab_size_text("123456789"), 123456789);
    EXPECT_EQ(parse_tab_size_text("1234567890"), 123456789);
    // Blanks count towards the nine: the digits after them are cut too.
    EXPECT_EQ(parse_tab_size_text("       12345"), 12);
    EXPECT_EQ(parse_tab_size_text("         5"), std::nullopt);
    EXPECT_EQ(parse_tab_size_text("-12345678901"), -12345678);
}

TEST(TabSizeText, NumbersBeyondTheIntRangeAreCutNotOverflowed) {
    EXPECT_EQ(parse_tab_size_text("99999999999999999999"), 999999999);
    EXPECT_EQ(parse_tab_size_text("2147483648"), 214748364);
    EXPECT_EQ(parse_tab_size_text("-2147483649"), -21474836);
}

TEST(TabSizeText, ANumberBecomesTheTabSizeAndRepaintsBothPanes) {
    reset_fake_ui();
    ui_calls().clear();
    EXPECT_TRUE(apply_tab_size_text(" -3"));
    EXPECT_EQ(settings.tab_size, -3);
    EXPECT_EQ(ui_calls(), (Calls{"repaint_pane left", "repaint_pane right"}));
}

TEST(TabSizeText, AnythingElseKeepsTheSizeAndRepaintsNothing) {
    reset_fake_ui();
    settings.tab_size = 5;
    ui_calls().clear();
    EXPECT_FALSE(apply_tab_size_text("tab"));
    EXPECT_FALSE(apply_tab_size_text(""));
    EXPECT_EQ(settings.tab_size, 5);
    EXPECT_TRUE(ui_calls().empty());
}

}  // namespace
