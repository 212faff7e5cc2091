// Tests of the property tests' own tools: the checker must reject corrupted listings,
// and the listing reader must parse and replay every command.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/engine/listing_apply.h"
#include "tests/engine/property_support.h"

namespace {

using namespace property;

using listing::Hunk;
using listing::Lines;

// The checker is only as good as what it rejects: listings of real runs, corrupted
// in ways an engine fault would, must fail it.
TEST(EngineProperty, CheckerRejectsCorruptedListings) {
    Generator gen(DEFAULT_SEED + 3);
    TempDir dir;
    int cases = 0, dropped_hunks = 0, dropped_detected = 0;
    for (int n = 0; n < 2000 && cases < 300; ++n) {
        const Case c = gen.make_case();
        Outcome out;
        ASSERT_EQ(run_and_check(c, dir, &out), "") << failure_report(c, dir);
        if (out.result != 1 || c.opt.t) {
            continue;
        }
        ++cases;
        const std::string p1 = dir.file("1"), p2 = dir.file("2");
        const std::string& raw = out.listing_raw;
        // A changed byte in a quoted line (every listed line is "< x" or "> x" or longer).
        const std::size_t marker =
            raw.find("\n< ") != std::string::npos ? raw.find("\n< ") + 3 : raw.find("\n> ") + 3;
        if (marker != std::string::npos + 3 && marker < raw.size()) {
            Outcome bad = out;
            bad.listing_raw.insert(marker, "\x01");
            EXPECT_NE(check_listing(c, p1, p2, bad), "") << "inserted byte in " << escaped(raw);
        }
        // The last line feed missing.
        Outcome cut = out;
        cut.listing_raw.pop_back();
        EXPECT_NE(check_listing(c, p1, p2, cut), "") << escaped(raw);
        // A hunk left out (the first of several, or the only one).
        std::vector<std::size_t> headers;
        for (std::size_t k = 0; k < raw.size(); k = raw.find('\n', k) + 1) {
            if (raw[k] >= '0' && raw[k] <= '9') {
                headers.push_back(k);
            }
            if (raw.find('\n', k) == std::string::npos) {
                break;
            }
        }
        ASSERT_FALSE(headers.empty()) << escaped(raw);
        Outcome fewer = out;
        const std::size_t end = headers.size() > 1 ? headers[1] : raw.size();
        fewer.listing_raw.erase(headers[0], end - headers[0]);
        if (fewer.listing_raw.empty()) {
            fewer.result = 0;  // otherwise "result 1 with no hunk" is too easy a catch
        }
        ++dropped_hunks;
        dropped_detected += check_listing(c, p1, p2, fewer) != "";
        // The result code turned round.
        Outcome flipped = out;
        flipped.result = 0;
        EXPECT_NE(check_listing(c, p1, p2, flipped), "") << escaped(raw);
    }
    ASSERT_GE(cases, 200);
    // A left-out hunk can go unnoticed only where the listing was not minimal.
    EXPECT_GE(dropped_detected * 100, dropped_hunks * 95);
}

// The helper itself: a hand-made listing with every command, an incomplete last line
// and a malformed header.
TEST(ListingApply, ParsesAndReplaysEveryCommand) {
    const Lines first = listing::split_lines("a\nb\nc\nd\ne");
    const std::string text =
        "0a1\n> z\n"
        "2,3c3\n< b\n< c\n---\n> B\n"
        "5c5,6\n< eNo newline at end of file\n---\n> e\n> fNo newline at end of file\n";
    std::vector<Hunk> hunks;
    std::string error;
    ASSERT_TRUE(listing::parse(text, ' ', hunks, error)) << error;
    ASSERT_EQ(hunks.size(), 3u);
    EXPECT_EQ(hunks[0].first_lo, 1);
    EXPECT_EQ(hunks[0].first_hi, 0);
    EXPECT_EQ(hunks[1].deleted, (std::vector<std::string>{"b", "c"}));
    Lines result;
    ASSERT_TRUE(listing::apply(hunks, first, result, error)) << error;
    EXPECT_EQ(listing::join_lines(result), "z\na\nB\nd\ne\nf");

    const Lines deleted_tail = listing::split_lines("a\nb");
    ASSERT_TRUE(listing::parse("2d1\n< bNo newline at end of file\n", ' ', hunks, error));
    ASSERT_TRUE(listing::apply(hunks, deleted_tail, result, error));
    EXPECT_EQ(listing::join_lines(result), "a\n");

    for (const char* bad : {"1,1c1\n< a\n---\n> b\n", "1c1\n< a\n> b\n", "x1d0\n< a\n", "1d0\n< a",
                            "0,1a1\n> a\n", "1d0\n<\ta\n", "01d0\n< a\n"}) {
        EXPECT_FALSE(listing::parse(bad, ' ', hunks, error)) << bad;
    }
    ASSERT_TRUE(listing::parse("1d0\n< a\n1d0\n< a\n", ' ', hunks, error));
    EXPECT_FALSE(listing::apply(hunks, first, result, error));
}

}  // namespace
