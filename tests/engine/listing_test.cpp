#include <gtest/gtest.h>

#include <string>

#include "tests/engine/engine_run.h"

namespace {

// Compares two texts and returns the listing ("" when nothing was written).
class Listing : public ::testing::Test {
protected:
    TempDir dir;
    std::string out = dir.file("out.lst");
    int result = 0;

    std::string listing(const std::string& first, const std::string& second,
                        std::vector<std::string> options = {}) {
        const std::string a = dir.write("a.txt", first);
        const std::string b = dir.write("b.txt", second);
        std::remove(out.c_str());
        options.insert(options.end(), {"-o", out, a, b});
        result = run_engine(options).result;
        return read_bytes(out);
    }
};

std::string lines(int from, int to, const std::string& prefix = "l") {
    std::string s;
    for (int i = from; i <= to; ++i) {
        s += prefix + std::to_string(i) + "\n";
    }
    return s;
}

TEST_F(Listing, ChangeAddAndDeleteForms) {
    // Lines 3 and 4 replaced by one line.
    EXPECT_EQ(listing(lines(1, 6), lines(1, 2) + "new\n" + lines(5, 6)),
              on_disk("3,4c3\n< l3\n< l4\n---\n> new\n"));
    EXPECT_EQ(result, 1);
    // Two lines added after line 7.
    EXPECT_EQ(listing(lines(1, 10), lines(1, 7) + "x\ny\n" + lines(8, 10)),
              on_disk("7a8,9\n> x\n> y\n"));
    // Line 12 deleted; it would have followed line 10 of the second file.
    EXPECT_EQ(
        listing(lines(1, 9) + "a\nb\nc\n" + lines(20, 22), lines(1, 9) + "a\nb\n" + lines(20, 22)),
        on_disk("12d11\n< c\n"));
    EXPECT_EQ(listing(lines(1, 5), lines(1, 4) + "five\n"), on_disk("5c5\n< l5\n---\n> five\n"));
}

TEST_F(Listing, StartAndWholeFileRanges) {
    EXPECT_EQ(listing(lines(1, 3), "a\nb\n" + lines(1, 3)), on_disk("0a1,2\n> a\n> b\n"));
    EXPECT_EQ(listing(lines(1, 3), ""), on_disk("1,3d0\n< l1\n< l2\n< l3\n"));
    EXPECT_EQ(listing("", "x\ny\nz\n"), on_disk("0a1,3\n> x\n> y\n> z\n"));
    EXPECT_EQ(listing("", ""), "");
    EXPECT_EQ(result, 0);
}

TEST_F(Listing, MissingFinalLineFeed) {
    EXPECT_EQ(listing("a\nlast", "a\nother\n"),
              on_disk("2c2\n< lastNo newline at end of file\n---\n> other\n"));
    // The same text with and without the final line feed is not identical...
    EXPECT_EQ(listing("abc", "abc\n"),
              on_disk("1c1\n< abcNo newline at end of file\n---\n> abc\n"));
    EXPECT_EQ(result, 1);
    // ...unless -B completes the line silently.
    EXPECT_EQ(listing("abc", "abc\n", {"-B"}), "");
    EXPECT_EQ(result, 0);
    EXPECT_EQ(listing("x\n", "x\nabc", {}), on_disk("1a2\n> abcNo newline at end of file\n"));
}

TEST_F(Listing, TextModeInput) {
    EXPECT_EQ(listing("a\r\nb\r\nc\r\n", "a\nb\nc\n"), "");
    EXPECT_EQ(result, 0);
    // Ctrl-Z ends the data.
    EXPECT_EQ(listing("a\nb\n\x1a"
                      "garbage\n",
                      "a\nb\n"),
              "");
    EXPECT_EQ(result, 0);
}

TEST_F(Listing, WhiteSpaceAndCaseRules) {
    listing("a  b\n", "a b \n", {"-b"});
    EXPECT_EQ(result, 0);
    listing("a  b\n", "ab\n", {"-b"});
    EXPECT_EQ(result, 1);
    listing("a b\n", "ab\n", {"-w"});
    EXPECT_EQ(result, 0);
    listing("a\t\xa0 b\x0b\n", "ab\n", {"-w"});
    EXPECT_EQ(result, 0);
    listing("ABC\n", "abc\n", {"-i"});
    EXPECT_EQ(result, 0);
    listing("\xc4\n", "\xe4\n", {"-i"});
    EXPECT_EQ(result, 1);
    listing("A  B\n", "a b\n", {"-i", "-b"});
    EXPECT_EQ(result, 0);
    // Equal under the rules, but the listing still shows the real text of other lines.
    EXPECT_EQ(listing("X\nsame\n", "x\nSAME\nmore\n", {"-i"}), on_disk("2a3\n> more\n"));
}

TEST_F(Listing, BlankHunkFiltering) {
    EXPECT_EQ(listing("a\nb\n", "a\n\n\nb\n", {"-B"}), "");
    EXPECT_EQ(result, 0);
    EXPECT_TRUE(exists(out));
    EXPECT_EQ(listing("a\nb\n", "a\n\n\nb\n", {"-B", "-s"}).substr(0, 6), "Files ");
    EXPECT_EQ(listing("a\nb\n", "a\n\nz\nb\n", {"-B"}), on_disk("1a2,3\n> \n> z\n"));
    EXPECT_EQ(result, 1);
    // A line of blanks is not empty.
    EXPECT_EQ(listing("a\n", "a\n \n", {"-B"}), on_disk("1a2\n>  \n"));
    // Only the ignorable hunk is dropped.
    EXPECT_EQ(listing(lines(1, 9), lines(1, 2) + "\n" + lines(3, 8) + "changed\n", {"-B"}),
              on_disk("9c10\n< l9\n---\n> changed\n"));
}

TEST_F(Listing, TabExpansionAndMarkerTab) {
    EXPECT_EQ(listing("a\tb\n", "c\n", {"-t"}), on_disk("1c1\n< a       b\n---\n> c\n"));
    EXPECT_EQ(listing("a\tb\n", "c\n", {"-T"}), on_disk("1c1\n<\ta\tb\n---\n>\tc\n"));
    EXPECT_EQ(listing("12345678\tx\n\by\n", "z\n", {"-t"}),
              on_disk("1,2c1\n< 12345678        x\n< y\n---\n> z\n"));
    EXPECT_EQ(listing("a\x01\tb\n", "c\n", {"-t"}), on_disk("1c1\n< a\x01       b\n---\n> c\n"));
}

TEST_F(Listing, InsertionInARunIsReportedAsItsLastCopy) {
    EXPECT_EQ(listing("a\nb\nb\nc\n", "a\nb\nb\nb\nc\n"), on_disk("3a4\n> b\n"));
    EXPECT_EQ(listing("x\ny\nx\ny\n", "x\ny\nx\ny\nx\ny\n"), on_disk("4a5,6\n> x\n> y\n"));
}

TEST_F(Listing, LineNumbersCountTheIdenticalPrefix) {
    const std::string head = lines(1, 500, "head");
    const std::string tail = lines(1, 500, "tail");
    EXPECT_EQ(listing(head + "old\n" + tail, head + "new\n" + tail),
              on_disk("501c501\n< old\n---\n> new\n"));
    // A change right after the prefix and one at the very end.
    EXPECT_EQ(listing(head + "x\n", head + "y\n"), on_disk("501c501\n< x\n---\n> y\n"));
}

TEST_F(Listing, LinesWithoutPartnerAmongRepeatedLines) {
    // Many blank and brace lines: the discarding of lines with many partners must not
    // lose changes.
    std::string first;
    std::string second;
    for (int i = 0; i < 300; ++i) {
        first += "{\n\n}\n";
        second += "{\n\n}\n";
        if (i % 50 == 7) {
            first += "only first " + std::to_string(i) + "\n";
        }
        if (i % 60 == 11) {
            second += "only second " + std::to_string(i) + "\n";
        }
    }
    const std::string text = listing(first, second);
    EXPECT_EQ(result, 1);
    int first_lines = 0;
    int second_lines = 0;
    for (std::size_t p = 0; (p = text.find("< only first", p)) != std::string::npos; ++p) {
        ++first_lines;
    }
    for (std::size_t p = 0; (p = text.find("> only second", p)) != std::string::npos; ++p) {
        ++second_lines;
    }
    EXPECT_EQ(first_lines, 6);
    EXPECT_EQ(second_lines, 5);
    EXPECT_EQ(text.find("< {"), std::string::npos);
    EXPECT_EQ(text.find("> {"), std::string::npos);
}

TEST_F(Listing, BinaryDetection) {
    listing(std::string("x\0y", 3), std::string("x\0z", 3));
    EXPECT_EQ(result, 1);
    // The differing-binaries message is dropped: the output file is not open then.
    EXPECT_FALSE(exists(out));
    listing(std::string("x\0y", 3), std::string("x\0y", 3));
    EXPECT_EQ(result, 0);
    // Equal size, last byte differs.
    std::string big(20000, 'b');
    big[5] = '\0';
    std::string other = big;
    other.back() = 'c';
    listing(big, other);
    EXPECT_EQ(result, 1);
    // A zero byte beyond the first 8192 bytes is not seen: the pair is text.
    std::string late(9000, 'q');
    late[8500] = '\0';
    late += "\n";
    EXPECT_TRUE(listing(late, "q\n").starts_with(on_disk("1c1\n")));
    // -a compares a binary pair as text.
    EXPECT_EQ(listing(std::string("a\nx\0y\n", 6), std::string("a\nx\0z\n", 6), {"-a"}),
              on_disk(std::string("2c2\n< x\0y\n---\n> x\0z\n", 20)));
}

// Binary files are compared as stored: text mode would call these pairs equal.
TEST_F(Listing, BinaryPairsDifferingAfterCtrlZOrInCarriageReturnsDiffer) {
    listing(std::string("a\0\x1a"
                        "abc",
                        6),
            std::string("a\0\x1a"
                        "xyz",
                        6));
    EXPECT_EQ(result, 1);
    listing(std::string("a\0\rb", 4), std::string("a\0b\r", 4));
    EXPECT_EQ(result, 1);
    listing(std::string("a\0\rb", 4), std::string("a\0\rb", 4));
    EXPECT_EQ(result, 0);
}

TEST_F(Listing, LongLinesAndHeuristic) {
    const std::string huge(300000, 'w');
    EXPECT_EQ(listing("a\n" + huge + "\n", "a\n" + huge + "x\n"),
              on_disk("2c2\n< " + huge + "\n---\n> " + huge + "x\n"));
    // -H gives a listing too on long, very different inputs.
    std::string first;
    std::string second;
    for (int i = 0; i < 3000; ++i) {
        first += std::to_string(i % 97) + "\n";
        second += std::to_string((i * 7) % 89) + "\n";
    }
    const std::string text = listing(first, second, {"-H"});
    EXPECT_EQ(result, 1);
    EXPECT_FALSE(text.empty());
}

}  // namespace
