#include <gtest/gtest.h>

#include <string>

#include "ui/print_layout.h"

namespace {

std::string expanded(const std::string& text, int tab_size) {
    static char out[PRINT_BUFFER_SIZE];
    const std::size_t n = expand_print_line(text.data(), text.size(), tab_size, out);
    EXPECT_EQ(out[n], '\0');
    return std::string(out, n);
}

TEST(PrintLayout, LinesPrintAsUtf8CharactersNeverCut) {
    EXPECT_EQ(expanded("caf\xC3\xA9\t\xFF\n", 2), "caf\xC3\xA9  \xEF\xBF\xBD");
    // A character that would reach past the buffer is left out whole.
    const std::string filler(PRINT_LINE_MAX - 2, 'x');
    EXPECT_EQ(expanded(filler + "\xE4\xB8\xAD", 8), filler);
    EXPECT_EQ(expanded(filler + "ab\xE4\xB8\xAD", 8), filler + "ab");
    EXPECT_EQ(expanded(filler.substr(1) + "\xE4\xB8\xAD", 8), filler.substr(1) + "\xE4\xB8\xAD");
}

TEST(PrintLayout, SixtyLinesPerPagePutLineSixtyAtTheTopOfPageTwo) {
    EXPECT_EQ(print_spot(0, 60, 48), (PrintSpot{0, 0, 0}));
    EXPECT_EQ(print_spot(59, 60, 48), (PrintSpot{0, 59, 59 * 48}));
    EXPECT_EQ(print_spot(60, 60, 48), (PrintSpot{1, 0, 0}));
    EXPECT_EQ(print_spot(121, 60, 48), (PrintSpot{2, 1, 48}));
    EXPECT_FALSE(print_line_starts_page(0, 60));
    EXPECT_FALSE(print_line_starts_page(59, 60));
    EXPECT_TRUE(print_line_starts_page(60, 60));
    EXPECT_FALSE(print_line_starts_page(61, 60));
    EXPECT_TRUE(print_line_starts_page(120, 60));
}

TEST(PrintLayout, ExactlyOnePageOfLinesNeverStartsASecondPage) {
    for (int32_t n = 0; n < 60; ++n) {
        EXPECT_FALSE(print_line_starts_page(n, 60)) << n;
        EXPECT_EQ(print_spot(n, 60, 10).page, 0) << n;
    }
    EXPECT_EQ(print_page_count(60, 60), 1);
    EXPECT_EQ(print_page_count(61, 60), 2);
    EXPECT_EQ(print_page_count(120, 60), 2);
    EXPECT_EQ(print_page_count(1, 60), 1);
    EXPECT_EQ(print_page_count(0, 60), 1);  // the page the job opens
}

TEST(PrintLayout, MetricsFromTheFontAndThePage) {
    EXPECT_EQ(print_line_height(50), 48);
    EXPECT_EQ(print_lines_per_page(3000, 48), 62);
    EXPECT_EQ(print_lines_per_page(3000, 50), 60);
}

TEST(PrintLayout, DegenerateMetricsNeverDivideByZero) {
    // A font of two device units or less, a row taller than the page, and a zero row
    // height from a failed measurement still give one row per page at least.
    EXPECT_EQ(print_line_height(2), 1);
    EXPECT_EQ(print_line_height(0), 1);
    EXPECT_EQ(print_lines_per_page(40, 48), 1);
    EXPECT_EQ(print_lines_per_page(3000, 0), 3000);
    EXPECT_EQ(print_spot(5, 0, 10), (PrintSpot{5, 0, 0}));
    EXPECT_TRUE(print_line_starts_page(1, 0));
    EXPECT_EQ(print_page_count(7, 0), 7);
    EXPECT_EQ(print_spot(-3, 60, 10), (PrintSpot{0, 0, 0}));
}

TEST(PrintLayout, TabsBecomeTheTabSizeInBlanksAndTheLineFeedIsDropped) {
    EXPECT_EQ(expanded("a\tb\n", 4), "a    b");
    EXPECT_EQ(expanded("a\tb\n", 8), "a        b");
    EXPECT_EQ(expanded("\t\tx\n", 1), "  x");
    EXPECT_EQ(expanded("no break at the end", 4), "no break at the end");
    EXPECT_EQ(expanded("\n", 4), "");
    EXPECT_EQ(expanded("", 4), "");
    // Only the final line feed goes; a lone carriage return or any other byte stays.
    EXPECT_EQ(expanded("a\nb\r\n", 4), "a\nb\r");
}

TEST(PrintLayout, TabSizeOfZeroOrBelowMakesTabsDisappear) {
    EXPECT_EQ(expanded("a\tb\n", 0), "ab");
    EXPECT_EQ(expanded("a\t\tb\n", -3), "ab");
}

TEST(PrintLayout, NulBytesArePrintedWithTheRestOfTheLine) {
    const std::string line("a\0b\tc\n", 6);
    EXPECT_EQ(expanded(line, 2), std::string("a\0b  c", 6));
}

TEST(PrintLayout, LongLinesArePrintedAsTheirFirstCharactersOnly) {
    const std::string long_line = std::string(20000, 'x') + "\n";
    EXPECT_EQ(expanded(long_line, 8), std::string(PRINT_LINE_MAX, 'x'));
    // Tabs that grow past the buffer stop at its end, even for a huge tab size.
    const std::string tabs = std::string(3000, '\t') + "end\n";
    EXPECT_EQ(expanded(tabs, 8), std::string(PRINT_LINE_MAX, ' '));
    EXPECT_EQ(expanded("a\tb\n", 2000000000), "a" + std::string(PRINT_LINE_MAX - 1, ' '));
    // A line that fits exactly keeps its last character.
    const std::string exact = std::string(PRINT_LINE_MAX - 1, 'y') + "z\n";
    EXPECT_EQ(expanded(exact, 8), exact.substr(0, PRINT_LINE_MAX));
}

}  // namespace
