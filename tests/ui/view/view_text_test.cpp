#include "ui/view/view_text.h"

#include <gtest/gtest.h>

#include <string>

#include "merge/blocks.h"
#include "merge/selection.h"
#include "tests/merge/merge_test_util.h"

namespace {

std::string expand(const std::string& s, int tab, bool doubling = true,
                   std::size_t capacity = 16384) {
    std::string target(capacity, '\x7f');
    expand_display_text(s.c_str(), target.data(), capacity, doubling, tab);
    return target.c_str();
}

TEST(ExpandDisplayText, TabsBecomeTabSizeBlanksWherever) {
    EXPECT_EQ(expand("a\tb", 8), "a        b");
    EXPECT_EQ(expand("abc\tb", 3), "abc   b");
    EXPECT_EQ(expand("a\tb", 0), "ab");
    EXPECT_EQ(expand("a\tb", -4), "ab");
}

TEST(ExpandDisplayText, AmpersandsAndTrailingControls) {
    EXPECT_EQ(expand("R&D", 8), "R&&D");
    EXPECT_EQ(expand("R&D", 8, false), "R&D");
    EXPECT_EQ(expand("line\r", 8), "line");
    EXPECT_EQ(expand("line\f", 8), "line");
    EXPECT_EQ(expand("line\x7f", 8), "line");
    EXPECT_EQ(expand("line ", 8), "line ");
    EXPECT_EQ(expand("\x01", 8), "");
    // Only the last character is dropped.
    EXPECT_EQ(expand("a\x01\x02", 8), "a\x01");
}

TEST(ExpandDisplayText, CapacityIsNeverExceeded) {
    EXPECT_EQ(expand("abcdef", 8, true, 4), "abc");
    EXPECT_EQ(expand("a\tb", 8, true, 5), "a   ");
    // A doubled ampersand cut in half leaves one.
    EXPECT_EQ(expand("ab&c", 8, true, 4), "ab&");
    std::string one(1, 'x');
    expand_display_text("abc", one.data(), 1, true, 8);
    EXPECT_EQ(one[0], '\0');
}

TEST(ExpandDisplayText, NulBytesShowAsAPlaceholderWithoutEndingTheRow) {
    const std::string dot = NUL_PLACEHOLDER;
    std::string target(16, '\x7f');
    expand_display_text(std::string_view("a\0b\0", 4), target.data(), target.size(), true, 8);
    EXPECT_EQ(std::string(target.c_str()), "a" + dot + "b" + dot);
    // A placeholder that does not fit whole is left out.
    std::string small(3, '\x7f');
    expand_display_text(std::string_view("a\0", 2), small.data(), small.size(), true, 8);
    EXPECT_EQ(std::string(small.c_str()), "a");
}

TEST(ExpandDisplayText, ShowsCharactersAsUtf8WhateverTheCharset) {
    std::string target(64, '\x7f');
    // Broken bytes of UTF-8 text show as U+FFFD, one each; characters pass whole.
    expand_display_text(std::string_view("caf\xC3\xA9 \xE9\xFF\xF0\x9F\x98\x80"), target.data(),
                        target.size(), true, 8, CHARSET_UTF8);
    EXPECT_EQ(std::string(target.c_str()), "caf\xC3\xA9 \xEF\xBF\xBD\xEF\xBF\xBD\xF0\x9F\x98\x80");
    // 8-bit text goes through the ANSI decoder (Windows-1252 unless replaced).
    expand_display_text(std::string_view("caf\xE9\t\x80\xA0&"), target.data(), target.size(), true,
                        2, CHARSET_8BIT);
    EXPECT_EQ(std::string(target.c_str()), "caf\xC3\xA9  \xE2\x82\xAC\xC2\xA0&&");
}

TEST(ExpandDisplayText, ACharacterThatDoesNotFitIsLeftOutWhole) {
    // "ab" and then four bytes that would reach past a capacity of 5.
    EXPECT_EQ(expand("ab\xF0\x9F\x98\x80", 8, true, 5), "ab");
    EXPECT_EQ(expand("ab\xE4\xB8\xAD", 8, true, 6), "ab\xE4\xB8\xAD");
    EXPECT_EQ(expand("ab\xE4\xB8\xAD", 8, true, 5), "ab");
    EXPECT_EQ(expand("ab\xFF", 8, true, 5), "ab");  // U+FFFD is three bytes as well
}

TEST(DisplayColumns, CountCharactersWithTheirMarksAndDoubledAmpersands) {
    // e + combining acute, an emoji, "&&" (one ampersand), a CJK character, "x".
    const std::string text =
        "e\xCC\x81\xF0\x9F\x98\x80&&\xE4\xB8\xAD"
        "x";
    EXPECT_EQ(display_column_offset(text, 0), 0u);
    EXPECT_EQ(display_column_offset(text, 1), 3u);
    EXPECT_EQ(display_column_offset(text, 2), 7u);
    EXPECT_EQ(display_column_offset(text, 3), 9u);
    EXPECT_EQ(display_column_offset(text, 4), 12u);
    EXPECT_EQ(display_column_offset(text, 5), text.size());
    EXPECT_EQ(display_column_offset(text, 99), text.size());
}

class RowModel : public MergeTest {};

TEST_F(RowModel, ColumnsAndTheRowLimitCountCharacters) {
    // 300 Cyrillic letters (two bytes each) with a combining breve on every tenth.
    std::string line;
    std::vector<std::string> letters;
    for (int i = 0; i < 300; ++i) {
        std::string letter = i % 10 == 0 ? "\xD0\xB8\xCC\x86" : "\xD0\x96";
        letters.push_back(letter);
        line += letter;
    }
    load(SIDE_LEFT, "a.txt", line + "\n");
    const auto join = [&](std::size_t from, std::size_t count) {
        std::string out;
        for (std::size_t i = from; i < from + count && i < letters.size(); ++i) {
            out += letters[i];
        }
        return out;
    };
    EXPECT_EQ(describe_row(merge_document.left, 0, RowFormat{}).text, join(0, 256));
    EXPECT_EQ(describe_row(merge_document.left, 0, RowFormat{true, 8}).text,
              "1       " + join(0, 248));
    merge_document.left.first_column = 100;
    EXPECT_EQ(describe_row(merge_document.left, 0, RowFormat{}).text, join(100, 200));
    merge_document.left.first_column = 0;
}

TEST_F(RowModel, EightBitAndBrokenBytesShowAsCharactersButStayInTheText) {
    load(SIDE_LEFT, "a.txt", "caf\xE9 na\xEFve\n");  // Windows-1252: no UTF-8 sequence
    load(SIDE_RIGHT, "b.txt", "\xD0\x9F\xD1\x80\xD0\xB8 \xFF\n");  // mostly UTF-8
    ASSERT_EQ(merge_document.left.charset, CHARSET_8BIT);
    ASSERT_EQ(merge_document.right.charset, CHARSET_UTF8);
    EXPECT_EQ(describe_row(merge_document.left, 0, RowFormat{}).text, "caf\xC3\xA9 na\xC3\xAFve");
    EXPECT_EQ(describe_row(merge_document.right, 0, RowFormat{}).text,
              "\xD0\x9F\xD1\x80\xD0\xB8 \xEF\xBF\xBD");
    EXPECT_EQ(line_text(merge_document.left, 0), "caf\xE9 na\xEFve");
    EXPECT_EQ(line_text(merge_document.right, 0), "\xD0\x9F\xD1\x80\xD0\xB8 \xFF");
    merge_document.left.first_column = 4;
    EXPECT_EQ(describe_row(merge_document.left, 0, RowFormat{}).text, " na\xC3\xAFve");
    merge_document.left.first_column = 0;
}

TEST_F(RowModel, LineWithNulBytesShowsAllOfIt) {
    load(SIDE_LEFT, "a.txt", std::string("x\0y\nz\n", 6));
    const RowView row = describe_row(merge_document.left, 0, RowFormat{});
    std::string expected = "x";
    expected += NUL_PLACEHOLDER;
    expected += 'y';
    EXPECT_EQ(row.text, expected);
    EXPECT_EQ(describe_row(merge_document.left, 1, RowFormat{}).text, "z");
}

TEST_F(RowModel, LineNumbersAndColumns) {
    std::vector<std::string> lines;
    for (int i = 1; i <= 12; ++i) {
        lines.push_back(i == 7 ? "" : i == 12 ? "x" : "line " + std::to_string(i));
    }
    load(SIDE_LEFT, "a.txt", lf_lines(lines));
    RowFormat numbered{true, 8};
    EXPECT_EQ(describe_row(merge_document.left, 11, numbered).text, "12      x");
    EXPECT_EQ(describe_row(merge_document.left, 6, numbered).text, "7       ");
    EXPECT_EQ(describe_row(merge_document.left, 0, RowFormat{}).text, "line 1");
    EXPECT_EQ(describe_row(merge_document.left, 0, RowFormat{}).state, ROW_COMMON);
    EXPECT_EQ(describe_row(merge_document.left, 12, RowFormat{}).state, ROW_PAST_END);

    merge_document.left.first_column = 3;
    EXPECT_EQ(describe_row(merge_document.left, 11, RowFormat{}).text, "");
    EXPECT_EQ(describe_row(merge_document.left, 11, numbered).text, "12      ");
    EXPECT_EQ(describe_row(merge_document.left, 0, RowFormat{}).text, "e 1");
    merge_document.left.first_column = 0;
}

TEST_F(RowModel, LongLinesAreCutTo256Characters) {
    std::string longline;
    for (int i = 0; i < 300; ++i) {
        longline += static_cast<char>('a' + i % 26);
    }
    load(SIDE_LEFT, "a.txt", longline + "\n");
    const std::string plain = describe_row(merge_document.left, 0, RowFormat{}).text;
    EXPECT_EQ(plain, longline.substr(0, 256));
    const std::string numbered = describe_row(merge_document.left, 0, RowFormat{true, 8}).text;
    EXPECT_EQ(numbered, "1       " + longline.substr(0, 248));
    merge_document.left.first_column = 100;
    EXPECT_EQ(describe_row(merge_document.left, 0, RowFormat{}).text, longline.substr(100, 200));
    merge_document.left.first_column = 0;
}

TEST_F(RowModel, BlockRowStatesOnBothSides) {
    // Block 0: left line 2 changed into right lines 2..4 (two left filler rows);
    // block 1: right line 6 inserted after left line 4 (one left filler row).
    load(SIDE_LEFT, "a.txt", lf_lines({"same", "old", "s2", "s3"}));
    load(SIDE_RIGHT, "b.txt", lf_lines({"same", "n1", "n2", "n3", "s2", "s3", "added"}));
    install_listing("2c2,4\n< old\n---\n> n1\n> n2\n> n3\n4a7\n> added\n");
    const MergeSide& left = merge_document.left;
    const MergeSide& right = merge_document.right;
    const RowFormat f;
    EXPECT_EQ(describe_row(left, 0, f).state, ROW_COMMON);
    EXPECT_EQ(describe_row(left, 1, f).state, ROW_OWN);
    EXPECT_EQ(describe_row(left, 1, f).text, "old");
    EXPECT_EQ(describe_row(left, 2, f).state, ROW_FILLER);
    EXPECT_EQ(describe_row(left, 2, f).text, "");
    EXPECT_EQ(describe_row(left, 3, f).state, ROW_FILLER);
    EXPECT_EQ(describe_row(left, 4, f).text, "s2");
    EXPECT_EQ(describe_row(left, 6, f).state, ROW_FILLER);
    EXPECT_EQ(describe_row(left, 6, f).block, 1);
    EXPECT_EQ(describe_row(left, 7, f).state, ROW_PAST_END);
    EXPECT_EQ(describe_row(right, 3, f).state, ROW_OWN);
    EXPECT_EQ(describe_row(right, 3, f).text, "n3");
    EXPECT_EQ(describe_row(right, 6, f).state, ROW_OWN);

    choose_block(SIDE_LEFT, 0);
    EXPECT_EQ(describe_row(left, 1, f).state, ROW_OWN_CHOSEN);
    EXPECT_EQ(describe_row(left, 2, f).state, ROW_FILLER_CHOSEN);
    EXPECT_EQ(describe_row(right, 1, f).state, ROW_OWN);
    choose_block(SIDE_RIGHT, 1);
    EXPECT_EQ(describe_row(right, 6, f).state, ROW_OWN_CHOSEN);
    EXPECT_EQ(describe_row(left, 6, f).state, ROW_FILLER);
}

TEST(RowsInBand, CoversPartialRows) {
    EXPECT_EQ(rows_in_band(0, 100, 16).first, 0);
    EXPECT_EQ(rows_in_band(0, 100, 16).limit, 7);
    EXPECT_EQ(rows_in_band(17, 31, 16).first, 1);
    EXPECT_EQ(rows_in_band(17, 31, 16).limit, 2);
    EXPECT_EQ(rows_in_band(0, 100, 0).limit, 0);
}

}  // namespace
