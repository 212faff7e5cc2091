#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "merge/conflict_file.h"

namespace {

// Splits bytes at line feeds as a load does; a carriage return just before a line feed
// belongs to the end.
std::vector<EndedLine> split_ended_lines(std::string_view bytes) {
    std::vector<EndedLine> lines;
    std::size_t start = 0;
    while (start < bytes.size()) {
        const std::size_t feed = bytes.find('\n', start);
        if (feed == std::string_view::npos) {
            lines.push_back({bytes.substr(start), ENDS_NONE});
            break;
        }
        const bool cr = feed > start && bytes[feed - 1] == '\r';
        lines.push_back(
            {bytes.substr(start, feed - start - (cr ? 1 : 0)), cr ? ENDS_CRLF : ENDS_LF});
        start = feed + 1;
    }
    return lines;
}

// A side as bytes: each line with its own end.
std::string joined(const std::vector<EndedLine>& lines) {
    std::string s;
    for (const EndedLine& l : lines) {
        s += l.text;
        s += line_end_bytes(l.end);
    }
    return s;
}

struct Read {
    bool ok = false;
    std::string ours, theirs;
    ConflictSides sides;
    MarkerError error;
};

Read read(const std::string& bytes) {
    // The sides point into the lines, and they into `bytes`: keep both alive.
    static std::string kept;
    static std::vector<EndedLine> lines;
    kept = bytes;
    lines = split_ended_lines(kept);
    Read r;
    r.ok = read_conflict_markers(lines, r.sides, r.error);
    r.ours = joined(r.sides.lines[0]);
    r.theirs = joined(r.sides.lines[1]);
    return r;
}

TEST(ConflictMarkers, MergeStyleWithLabels) {
    const Read r = read(
        "keep\n<<<<<<< HEAD\nmine\n=======\ntheirs 1\ntheirs 2\n>>>>>>> feature:notes.txt\ntail\n");
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(r.ours, "keep\nmine\ntail\n");
    EXPECT_EQ(r.theirs, "keep\ntheirs 1\ntheirs 2\ntail\n");
    EXPECT_EQ(r.sides.labels[0], "HEAD");
    EXPECT_EQ(r.sides.labels[1], "feature:notes.txt");
    EXPECT_EQ(r.sides.conflicts, 1);
}

TEST(ConflictMarkers, BaseSectionsBelongToNeitherSide) {
    // diff3: the whole base; zdiff3: the same markers, common lines moved out.
    const Read diff3 =
        read("<<<<<<< ours\na\nb\n||||||| base\nold\n=======\na\nc\n>>>>>>> theirs\n");
    ASSERT_TRUE(diff3.ok);
    EXPECT_EQ(diff3.ours, "a\nb\n");
    EXPECT_EQ(diff3.theirs, "a\nc\n");
    // Its base lines are kept apart (the views last until the next read).
    ASSERT_EQ(diff3.sides.base_lines.size(), 1u);
    EXPECT_EQ(diff3.sides.base_lines[0].text, "old");
    const Read zdiff3 = read(
        "a\n<<<<<<< ours\nb\n||||||| base\n=======\nc\n>>>>>>> theirs\nz\n"
        "<<<<<<< ours\n||||||| base\ngone\n=======\nnew\n>>>>>>> theirs\n");
    ASSERT_TRUE(zdiff3.ok);
    EXPECT_EQ(zdiff3.ours, "a\nb\nz\n");
    EXPECT_EQ(zdiff3.theirs, "a\nc\nz\nnew\n");
    EXPECT_EQ(zdiff3.sides.conflicts, 2);
    // Each conflict's ranges (an empty base is a base).
    EXPECT_EQ(diff3.sides.ranges, (std::vector<ConflictRange>{{{0, 0}, {2, 2}, 0, 1, true}}));
    ASSERT_EQ(zdiff3.sides.base_lines.size(), 1u);
    EXPECT_EQ(zdiff3.sides.base_lines[0].text, "gone");
    EXPECT_EQ(zdiff3.sides.ranges, (std::vector<ConflictRange>{{{1, 1}, {1, 1}, 0, 0, true},
                                                               {{3, 3}, {0, 1}, 0, 1, true}}));
    const Read merge = read("<<<<<<< o\nb\n=======\n>>>>>>> t\n");
    EXPECT_EQ(merge.sides.ranges, (std::vector<ConflictRange>{{{0, 0}, {1, 0}, 0, 0, false}}));
}

TEST(ConflictMarkers, LineEndsAndTheMissingFinalFeedStay) {
    const Read crlf = read("a\r\n<<<<<<< o\r\nb\r\n=======\r\nc\r\n>>>>>>> t\r\nz\r\n");
    ASSERT_TRUE(crlf.ok);
    EXPECT_EQ(crlf.ours, "a\r\nb\r\nz\r\n");
    EXPECT_EQ(crlf.theirs, "a\r\nc\r\nz\r\n");
    EXPECT_EQ(crlf.sides.labels[0], "o");  // no carriage return in a label
    const Read mixed = read("a\n<<<<<<< o\nb\r\n=======\nc\n>>>>>>> t\nlast");
    ASSERT_TRUE(mixed.ok);
    EXPECT_EQ(mixed.ours, "a\nb\r\nlast");
    EXPECT_EQ(mixed.theirs, "a\nc\nlast");
}

TEST(ConflictMarkers, AtTheFirstAndLastLineWithAnEmptySide) {
    const Read r =
        read("<<<<<<<\n=======\nnew\n>>>>>>>\nmid\n<<<<<<< o\nend\n=======\n>>>>>>> t\n");
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(r.ours, "mid\nend\n");
    EXPECT_EQ(r.theirs, "new\nmid\n");
    EXPECT_EQ(r.sides.labels[0], "");  // a marker without a label
    EXPECT_EQ(r.sides.labels[1], "");
}

TEST(ConflictMarkers, LongerMarkersHoldShorterOnesAsText) {
    const Read r =
        read("<<<<<<<<< o\n<<<<<<< text\n=======\n|||||||\n=========\n>>>>>>> text\n>>>>>>>>> t\n");
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(r.ours, "<<<<<<< text\n=======\n|||||||\n");
    EXPECT_EQ(r.theirs, ">>>>>>> text\n");
    EXPECT_EQ(r.sides.labels[1], "t");
}

TEST(ConflictMarkers, TextThatOnlyLooksLikeMarkers) {
    // Short runs, runs glued to text, and headings underlined outside a conflict.
    const Read r = read("<<<<<< six\n<<<<<<<<x\nTitle\n=======\n>>>>>>>>quote\n");
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(r.sides.conflicts, 0);
    EXPECT_EQ(r.ours, r.theirs);
}

TEST(ConflictMarkers, UnbalancedAndNestedAreRefusedWithTheLine) {
    struct Case {
        const char* text;
        int32_t line;
        const char* what;
    };
    const Case cases[] = {
        {"a\n<<<<<<< o\nb\n=======\nc\n", 2, "conflict not closed"},
        {"a\n<<<<<<< o\nb\n", 2, "conflict not closed"},
        {"a\n>>>>>>> t\n", 2, "conflict marker outside a conflict"},
        {"||||||| base\n", 1, "conflict marker outside a conflict"},
        {"<<<<<<< o\nb\n>>>>>>> t\n", 3, "conflict marker out of order"},
        {"<<<<<<< o\n=======\n=======\n>>>>>>> t\n", 3, "conflict marker out of order"},
        {"<<<<<<< o\n=======\n||||||| b\n>>>>>>> t\n", 3, "conflict marker out of order"},
        {"<<<<<<< o\n<<<<<<< p\n=======\n>>>>>>> t\n", 2, "conflict marker inside a conflict"},
        // A closing marker of another length does not close the conflict.
        {"<<<<<<<<< o\n=========\n>>>>>>> t\n", 1, "conflict not closed"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        const Read r = read(c.text);
        EXPECT_FALSE(r.ok);
        EXPECT_EQ(r.error.line, c.line);
        EXPECT_EQ(r.error.what, c.what);
    }
}

}  // namespace
