#include "ui/view/change_marks.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "tests/merge/merge_test_util.h"
#include "ui/view/row_colors.h"

namespace {

class ChangeMarks : public MergeTest {
protected:
    void SetUp() override {
        MergeTest::SetUp();
        drop_change_marks();
    }

    // Loads both sides and installs `listing` as their comparison.
    void pair(const std::string& left, const std::string& right, const std::string& listing) {
        load(SIDE_LEFT, "left.txt", left);
        load(SIDE_RIGHT, "right.txt", right);
        install_listing(listing);
    }

    static MarkSpans marks(Side side, int32_t row, const RowFormat& format = RowFormat{}) {
        RowView view = describe_row(side_of(side), row, format);
        mark_row_changes(side, view, format);
        return view.marks;
    }
};

TEST_F(ChangeMarks, OwnLinesPairByTheirPlaceInTheBlockUpToTheShorterSide) {
    // Block 0: left lines 2-4 against right lines 2-3; block 1: right lines 6-7 added.
    pair(lf_lines({"a", "l1", "l2", "l3", "b", "c"}),
         lf_lines({"a", "r1", "r2", "b", "c", "n1", "n2"}), "2,4c2,3\n6a6,7\n");
    EXPECT_EQ(paired_line(SIDE_LEFT, 1, 0), 1);
    EXPECT_EQ(paired_line(SIDE_LEFT, 2, 0), 2);
    EXPECT_EQ(paired_line(SIDE_LEFT, 3, 0), -1);
    EXPECT_EQ(paired_line(SIDE_RIGHT, 1, 0), 1);
    EXPECT_EQ(paired_line(SIDE_RIGHT, 2, 0), 2);
    EXPECT_EQ(paired_line(SIDE_RIGHT, 5, 1), -1);  // the left side has no own lines there
    EXPECT_EQ(paired_line(SIDE_LEFT, 0, -1), -1);
    EXPECT_EQ(paired_line(SIDE_LEFT, 4, 0), -1);  // outside the block
    // Rows: the unpaired third line, filler rows and common lines carry no marks.
    EXPECT_EQ(marks(SIDE_LEFT, 1), (MarkSpans{{0, 2}}));
    EXPECT_EQ(marks(SIDE_RIGHT, 1), (MarkSpans{{0, 2}}));
    EXPECT_TRUE(marks(SIDE_LEFT, 3).empty());
    EXPECT_TRUE(marks(SIDE_RIGHT, 3).empty());
    EXPECT_TRUE(marks(SIDE_LEFT, 0).empty());
    EXPECT_TRUE(marks(SIDE_RIGHT, 6).empty());
}

TEST_F(ChangeMarks, TabsBeforeTheChangeFollowTheTabSize) {
    pair(lf_lines({"\tvalue = 10;"}), lf_lines({"\tvalue = 11;"}), "1c1\n");
    EXPECT_EQ(marks(SIDE_LEFT, 0, RowFormat{false, 4}), (MarkSpans{{12, 14}}));
    EXPECT_EQ(marks(SIDE_RIGHT, 0, RowFormat{false, 8}), (MarkSpans{{16, 18}}));
    EXPECT_EQ(marks(SIDE_LEFT, 0, RowFormat{false, 4}), (MarkSpans{{12, 14}}));
}

TEST_F(ChangeMarks, MarksFollowTheHorizontalOffsetAndTheLineNumber) {
    const std::string common(40, 'x');
    pair(lf_lines({common + " one " + common + " A"}), lf_lines({common + " one " + common + " B"}),
         "1c1\n");
    EXPECT_EQ(marks(SIDE_LEFT, 0), (MarkSpans{{86, 87}}));
    merge_document.left.first_column = 80;
    EXPECT_EQ(marks(SIDE_LEFT, 0), (MarkSpans{{6, 7}}));
    EXPECT_EQ(marks(SIDE_LEFT, 0, RowFormat{true, 8}), (MarkSpans{{14, 15}}));
    // Scrolled past the change, or the change past the row's 256 characters: nothing.
    merge_document.left.first_column = 87;
    EXPECT_TRUE(marks(SIDE_LEFT, 0).empty());
    pair(lf_lines({std::string(300, 'y') + "A"}), lf_lines({std::string(300, 'y') + "B"}), "1c1\n");
    merge_document.left.first_column = 0;
    EXPECT_TRUE(marks(SIDE_LEFT, 0).empty());
    merge_document.left.first_column = 100;
    EXPECT_EQ(marks(SIDE_LEFT, 0), (MarkSpans{{200, 201}}));
}

TEST_F(ChangeMarks, MarksCoverWholeCharactersAndFollowColumnsOfCharacters) {
    // naive against na\xC3\xAFve: the mark covers both bytes of the i with diaeresis.
    pair(lf_lines({"naive text"}), lf_lines({"na\xC3\xAFve text"}), "1c1\n");
    EXPECT_EQ(marks(SIDE_RIGHT, 0), (MarkSpans{{2, 4}}));
    EXPECT_EQ(marks(SIDE_LEFT, 0), (MarkSpans{{2, 3}}));
    // A combining mark added to a base marks the base with it; an emoji is one column.
    pair(lf_lines({"\xF0\x9F\x98\x80 cafe"}), lf_lines({"\xF0\x9F\x98\x80 cafe\xCC\x81"}), "1c1\n");
    EXPECT_EQ(marks(SIDE_RIGHT, 0), (MarkSpans{{8, 11}}));
    side_of(SIDE_RIGHT).first_column = 2;  // "cafe" + mark from its first column
    EXPECT_EQ(marks(SIDE_RIGHT, 0), (MarkSpans{{3, 6}}));
    EXPECT_EQ(marks(SIDE_RIGHT, 0, RowFormat{true, 8}), (MarkSpans{{11, 14}}));
    side_of(SIDE_RIGHT).first_column = 0;
}

TEST_F(ChangeMarks, EightBitSidesAreMarkedInTheirShownCharacters) {
    // Windows-1252 "caf\xE9" shown as UTF-8 against UTF-8 "cafe".
    pair(lf_lines({"caf\xE9 x"}), lf_lines({"cafe x"}), "1c1\n");
    ASSERT_EQ(merge_document.left.charset, CHARSET_8BIT);
    EXPECT_EQ(marks(SIDE_LEFT, 0), (MarkSpans{{3, 5}}));
    EXPECT_EQ(marks(SIDE_RIGHT, 0), (MarkSpans{{3, 4}}));
}

TEST_F(ChangeMarks, LongLinesAreCutBetweenCharacters) {
    // Past the full comparison's limit: the common ends are found in characters, so
    // U+5800 against U+5020 (alike in their first byte) is marked whole.
    const std::string common(5000, 'x');
    pair(lf_lines({common + "\xE5\xA0\x80" + common}), lf_lines({common + "\xE5\x80\xA0" + common}),
         "1c1\n");
    side_of(SIDE_LEFT).first_column = 4990;
    EXPECT_EQ(marks(SIDE_LEFT, 0), (MarkSpans{{10, 13}}));
    side_of(SIDE_LEFT).first_column = 0;
}

TEST_F(ChangeMarks, CompressSpacesLeavesWhiteSpaceDifferencesUnmarked) {
    merge_document.compress_spaces = 1;
    pair(lf_lines({"int  x = 1;", "if (a)"}), lf_lines({"int x=1;", "if (b)  "}), "1,2c1,2\n");
    EXPECT_TRUE(marks(SIDE_LEFT, 0).empty());
    EXPECT_TRUE(marks(SIDE_RIGHT, 0).empty());
    EXPECT_EQ(marks(SIDE_RIGHT, 1), (MarkSpans{{4, 5}}));
    // The flag counts from the next comparison, as for the blocks.
    merge_document.compress_spaces = 0;
    EXPECT_TRUE(marks(SIDE_LEFT, 0).empty());
    install_listing("1,2c1,2\n");
    EXPECT_FALSE(marks(SIDE_LEFT, 0).empty());
}

TEST_F(ChangeMarks, ANewComparisonOrLoadDropsWhatWasKept) {
    pair(lf_lines({"same start A"}), lf_lines({"same start B"}), "1c1\n");
    EXPECT_EQ(marks(SIDE_LEFT, 0), (MarkSpans{{11, 12}}));
    EXPECT_EQ(kept_change_marks(), 1u);
    load(SIDE_LEFT, "left2.txt", lf_lines({"Xame start B"}));
    EXPECT_EQ(kept_change_marks(), 1u);  // nothing is read again before the next paint
    install_listing("1c1\n");
    EXPECT_EQ(marks(SIDE_LEFT, 0), (MarkSpans{{0, 1}}));
    EXPECT_EQ(kept_change_marks(), 1u);
}

TEST_F(ChangeMarks, LongLinesAreComparedByTheirCommonEnds) {
    // Two changes far apart: each on its own up to the full-comparison limit, one
    // stretch from the first to the last beyond it.
    auto line = [](std::size_t length, char first, char last) {
        std::string s(length, 'm');
        s[10] = first;
        s[length - 10] = last;
        return s;
    };
    pair(lf_lines({line(4000, 'a', 'b'), line(5000, 'a', 'b')}),
         lf_lines({line(4000, 'c', 'd'), line(5000, 'c', 'd')}), "1,2c1,2\n");
    merge_document.left.first_column = 0;
    RowView row = describe_row(merge_document.left, 0, RowFormat{});
    mark_row_changes(SIDE_LEFT, row, RowFormat{});
    EXPECT_EQ(row.marks, (MarkSpans{{10, 11}}));  // the other change is off the row
    const LineMarks full = compare_line_pair(line(4000, 'a', 'b'), line(4000, 'c', 'd'), 8, false);
    EXPECT_EQ(full.left, (MarkSpans{{10, 11}, {3990, 3991}}));
    const LineMarks ends = compare_line_pair(line(5000, 'a', 'b'), line(5000, 'c', 'd'), 8, false);
    EXPECT_EQ(ends.left, (MarkSpans{{10, 4991}}));
}

TEST_F(ChangeMarks, AHundredThousandCharacterLineTakesOnePass) {
    std::string text;
    for (int i = 0; i < 100000; ++i) {
        text += static_cast<char>('a' + i % 23);
    }
    const std::string inserted = text.substr(0, 10) + "\t" + text.substr(10);
    // Within the part a row can show, then beyond it.
    LineMarks m = compare_line_pair(text, inserted, 4, false);
    EXPECT_TRUE(m.left.empty());
    EXPECT_EQ(m.right, (MarkSpans{{10, 14}}));
    std::string far = text;
    far[60000] = '#';
    m = compare_line_pair(text, far, 4, false);
    EXPECT_TRUE(m.left.empty() && m.right.empty());
    // Entirely different: marked up to the end of the display text.
    m = compare_line_pair(text, std::string(100000, '-'), 4, false);
    EXPECT_EQ(m.left, (MarkSpans{{0, 16383}}));
    // An ampersand takes two display bytes, a NUL byte its placeholder's two.
    m = compare_line_pair(std::string("&\0"
                                      "x",
                                      3) +
                              text,
                          std::string("&\0"
                                      "y",
                                      3) +
                              text,
                          4, false);
    EXPECT_EQ(m.left, (MarkSpans{{4, 5}}));
}

TEST_F(ChangeMarks, LinesPastTheLimitAreGivenUpAndTheRestMarkedExactly) {
    struct Case {
        std::size_t left_size;
        std::size_t right_size;
        bool given_up;
    };
    const Case cases[] = {
        {MARKS_LINE_LIMIT, MARKS_LINE_LIMIT, false},
        {MARKS_LINE_LIMIT + 1, MARKS_LINE_LIMIT, true},
        {MARKS_LINE_LIMIT, MARKS_LINE_LIMIT + 1, true},
        {3 * MARKS_LINE_LIMIT, 3 * MARKS_LINE_LIMIT, true},
    };
    for (const Case& c : cases) {
        std::string left(c.left_size, 'm');
        std::string right(c.right_size, 'm');
        left[5] = 'a';
        right[5] = 'b';
        pair(lf_lines({"same", left}), lf_lines({"same", right}), "2c2\n");
        for (Side side : {SIDE_LEFT, SIDE_RIGHT}) {
            for (int32_t row : {0, 1}) {
                RowView view = describe_row(side_of(side), row, RowFormat{});
                mark_row_changes(side, view, RowFormat{});
                const bool changed = row == 1;
                EXPECT_EQ(view.marks_given_up, changed && c.given_up)
                    << c.left_size << " " << c.right_size << " row " << row;
                const MarkSpans expected = changed && !c.given_up ? MarkSpans{{5, 6}} : MarkSpans{};
                EXPECT_EQ(view.marks, expected);
            }
        }
    }
}

// WCAG 2 relative luminance and contrast ratio.
double luminance(const RowColor& c) {
    auto channel = [](uint8_t v) {
        const double s = v / 255.0;
        return s <= 0.03928 ? s / 12.92 : std::pow((s + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * channel(c.red) + 0.7152 * channel(c.green) + 0.0722 * channel(c.blue);
}
double contrast(const RowColor& a, const RowColor& b) {
    const double la = luminance(a);
    const double lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

TEST(MarkColours, TextStaysLegibleAndTheShadeStandsOutFromItsRow) {
    const std::pair<RowColor, RowColor> shades[] = {{CHANGED_RGB, CHANGED_MARK_RGB},
                                                    {CHOSEN_RGB, CHOSEN_MARK_RGB}};
    for (const auto& [row, mark] : shades) {
        EXPECT_GE(contrast(ROW_TEXT_RGB, mark), 4.5);
        EXPECT_GE(contrast(row, mark), 2.0);
        // The same hue, darker: every channel scaled alike.
        const double k = static_cast<double>(mark.green) / row.green;
        EXPECT_LT(k, 1.0);
        EXPECT_NEAR(mark.red, row.red * k, 1.0);
        EXPECT_NEAR(mark.blue, row.blue * k, 1.0);
    }
}

}  // namespace
