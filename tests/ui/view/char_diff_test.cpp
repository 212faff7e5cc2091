#include "ui/view/char_diff.h"

#include <gtest/gtest.h>

#include <random>
#include <string_view>
#include <tuple>
#include <string>
#include <vector>

#include "common/unicode.h"
#include "ui/view/edit_script.h"

namespace {

// Length of a longest common subsequence, the slow way.
int lcs_length(const std::string& a, const std::string& b) {
    std::vector<std::vector<int>> t(a.size() + 1, std::vector<int>(b.size() + 1, 0));
    for (std::size_t i = 1; i <= a.size(); ++i) {
        for (std::size_t j = 1; j <= b.size(); ++j) {
            t[i][j] =
                a[i - 1] == b[j - 1] ? t[i - 1][j - 1] + 1 : std::max(t[i - 1][j], t[i][j - 1]);
        }
    }
    return t[a.size()][b.size()];
}

std::string kept(const std::string& s, const std::vector<uint8_t>& changed) {
    std::string out;
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (changed[i] == 0) {
            out += s[i];
        }
    }
    return out;
}

TEST(ShortestEdit, IsShortestAndKeepsACommonSubsequenceOnRandomPairs) {
    std::mt19937 rng(7);
    for (int round = 0; round < 2000; ++round) {
        std::string a(rng() % 14, 'a');
        std::string b(rng() % 14, 'a');
        for (char& c : a) {
            c = static_cast<char>('a' + rng() % 3);
        }
        for (char& c : b) {
            c = static_cast<char>('a' + rng() % 3);
        }
        std::vector<uint8_t> da;
        std::vector<uint8_t> db;
        ASSERT_TRUE(shortest_edit(
            static_cast<int32_t>(a.size()), static_cast<int32_t>(b.size()),
            [&](int32_t i, int32_t j) { return a[i] == b[j]; }, 64, da, db));
        const int edits = static_cast<int>(std::count(da.begin(), da.end(), 1) +
                                           std::count(db.begin(), db.end(), 1));
        const int common = lcs_length(a, b);
        ASSERT_EQ(edits, static_cast<int>(a.size() + b.size()) - 2 * common) << a << " / " << b;
        ASSERT_EQ(kept(a, da), kept(b, db)) << a << " / " << b;
    }
}

TEST(ShortestEdit, GivesUpPastItsCostLimit) {
    const std::string a = "abcdefgh";
    const std::string b = "ABCDEFGH";
    std::vector<uint8_t> da;
    std::vector<uint8_t> db;
    auto equal = [&](int32_t i, int32_t j) { return a[i] == b[j]; };
    EXPECT_FALSE(shortest_edit(8, 8, equal, 15, da, db));
    EXPECT_EQ(std::count(da.begin(), da.end(), 1), 0);
    EXPECT_TRUE(shortest_edit(8, 8, equal, 16, da, db));
    EXPECT_EQ(std::count(da.begin(), da.end(), 1), 8);
    EXPECT_TRUE(shortest_edit(0, 0, equal, 0, da, db));
}

using Spans = MarkSpans;

TEST(CompareDisplayTexts, ACharacterChangedInAWordIsMarkedAlone) {
    const LineMarks m = compare_display_texts("the quick brown fox", "the quick brawn fox", false);
    EXPECT_EQ(m.left, (Spans{{12, 13}}));
    EXPECT_EQ(m.right, (Spans{{12, 13}}));
    // A UTF-8 sequence is one character.
    const LineMarks u = compare_display_texts("caf\xC3\xA9 au lait", "cafe au lait", false);
    EXPECT_EQ(u.left, (Spans{{3, 5}}));
    EXPECT_EQ(u.right, (Spans{{3, 4}}));
}

TEST(CompareDisplayTexts, AReplacedWordIsMarkedWhole) {
    const LineMarks m = compare_display_texts("alpha beta gamma", "alpha delta gamma", false);
    EXPECT_EQ(m.left, (Spans{{6, 10}}));
    EXPECT_EQ(m.right, (Spans{{6, 11}}));
    const LineMarks two = compare_display_texts("f(one, two);", "f(uno, two, dos);", false);
    EXPECT_EQ(two.left, (Spans{{2, 5}}));
    EXPECT_EQ(two.right, (Spans{{2, 5}, {10, 15}}));
}

TEST(CompareDisplayTexts, InsertionsAtEitherEndAndAnEmptyLine) {
    LineMarks m = compare_display_texts("world", "hello world", false);
    EXPECT_EQ(m.left, Spans{});
    EXPECT_EQ(m.right, (Spans{{0, 6}}));
    m = compare_display_texts("hello", "hello world", false);
    EXPECT_EQ(m.left, Spans{});
    EXPECT_EQ(m.right, (Spans{{5, 11}}));
    m = compare_display_texts("abc", "", false);
    EXPECT_EQ(m.left, (Spans{{0, 3}}));
    EXPECT_EQ(m.right, Spans{});
    m = compare_display_texts("same", "same", false);
    EXPECT_TRUE(m.left.empty() && m.right.empty());
}

TEST(CompareDisplayTexts, ADoubledAmpersandIsOneCharacter) {
    LineMarks m = compare_display_texts("R&&D x", "R&&D y", false);
    EXPECT_EQ(m.left, (Spans{{5, 6}}));
    m = compare_display_texts("a&&b", "a+b", false);
    EXPECT_EQ(m.left, (Spans{{1, 3}}));
    EXPECT_EQ(m.right, (Spans{{1, 2}}));
}

TEST(CompareDisplayTexts, IgnoredWhiteSpaceIsNeitherComparedNorMarked) {
    LineMarks m = compare_display_texts("a  b", "a b", true);
    EXPECT_TRUE(m.left.empty() && m.right.empty());
    m = compare_display_texts("foo bar", "foobar", true);
    EXPECT_TRUE(m.left.empty() && m.right.empty());
    m = compare_display_texts("  x = 1", "x=2", true);
    EXPECT_EQ(m.left, (Spans{{6, 7}}));
    EXPECT_EQ(m.right, (Spans{{2, 3}}));
    m = compare_display_texts("new words here", "", true);
    EXPECT_EQ(m.left, (Spans{{0, 3}, {4, 9}, {10, 14}}));
    // Not ignored, white space is a difference like any other.
    m = compare_display_texts("a b", "a  b", false);
    EXPECT_FALSE(m.right.empty());
}

TEST(CompareDisplayTexts, WhiteSpaceIsTheEnginesAndCharactersAreWhole) {
    // No-break spaces are white space; the 0xA0 inside U+5800 is not.
    LineMarks m = compare_display_texts(
        "a\xC2\xA0"
        "b",
        "a b", true);
    EXPECT_TRUE(m.left.empty() && m.right.empty());
    m = compare_display_texts("x \xE5\xA0\x80", "x \xE5\x80\xA0", true);
    EXPECT_EQ(m.left, (Spans{{2, 5}}));
    EXPECT_EQ(m.right, (Spans{{2, 5}}));
    // A combining mark added is marked with its base.
    m = compare_display_texts("cafe ole", "cafe\xCC\x81 ole", false);
    EXPECT_EQ(m.left, (Spans{{3, 4}}));
    EXPECT_EQ(m.right, (Spans{{3, 6}}));
    // Backspace is white space as in the engine.
    m = compare_display_texts("a\bb", "ab", true);
    EXPECT_TRUE(m.left.empty() && m.right.empty());
}

TEST(CompareDisplayTexts, TextsTooDifferentAreMarkedBetweenTheirCommonEnds) {
    std::mt19937 rng(3);
    std::string a = "head ";
    std::string b = "head ";
    for (int i = 0; i < 600; ++i) {
        a += static_cast<char>('a' + rng() % 26);
        a += ' ';
        b += static_cast<char>('a' + rng() % 26);
        b += ';';
    }
    a += " tail";
    b += " tail";
    const LineMarks m = compare_display_texts(a, b, false);
    ASSERT_FALSE(m.left.empty());
    EXPECT_EQ(m.left.front().begin, 5u);
    EXPECT_EQ(m.left.back().end, a.size() - 4);
    EXPECT_EQ(m.right.back().end, b.size() - 4);
}

TEST(DifferingMiddles, CommonEndsCutBetweenCharacters) {
    DifferingMiddles d = differing_middles("abcdef", "abcXdef", false);
    EXPECT_EQ(d.left_begin, 3u);
    EXPECT_EQ(d.left_end, 3u);
    EXPECT_EQ(d.right_begin, 3u);
    EXPECT_EQ(d.right_end, 4u);
    // \xC3\xA9 and \xC3\xA8 share their first byte, which still belongs to the middle.
    d = differing_middles("x\xC3\xA9y", "x\xC3\xA8y", false);
    EXPECT_EQ(d.left_begin, 1u);
    EXPECT_EQ(d.left_end, 3u);
    d = differing_middles("aaa", "aaaa", false);
    EXPECT_EQ(d.left_end - d.left_begin, 0u);
    EXPECT_EQ(d.right_end - d.right_begin, 1u);
    d = differing_middles("a b  c", "ab c", true);
    EXPECT_EQ(d.left_begin, d.left_end);
    EXPECT_EQ(d.right_begin, d.right_end);
    // Whole characters: a combining mark keeps its base in the middle, U+5800 and
    // U+5020 (which share their first byte) differ whole.
    d = differing_middles("cafe!", "cafe\xCC\x81!", false);
    EXPECT_EQ(d.left_begin, 3u);
    EXPECT_EQ(d.right_end, 6u);
    d = differing_middles("\xE5\xA0\x80", "\xE5\x80\xA0", true);
    EXPECT_EQ(d.left_begin, 0u);
    EXPECT_EQ(d.left_end, 3u);
    d = differing_middles(
        "a\xC2\xA0"
        "b",
        "ab", true);
    EXPECT_EQ(d.left_begin, d.left_end);
    d = differing_middles("x  NEW  y", "x y", true);
    EXPECT_EQ(d.left_begin, 3u);
    EXPECT_EQ(d.left_end, 6u);
}

// The model of differing_middles without white space: both texts cut into characters,
// the equal ones counted from the start, then from the end without crossing those.
DifferingMiddles middles_by_characters(std::string_view a, std::string_view b) {
    auto cut = [](std::string_view s) {
        std::vector<std::string_view> out;
        for (std::size_t at = 0; at < s.size();) {
            const std::size_t next = next_character(s, at);
            out.push_back(s.substr(at, next - at));
            at = next;
        }
        return out;
    };
    const auto ca = cut(a);
    const auto cb = cut(b);
    std::size_t i = 0;
    while (i < ca.size() && i < cb.size() && ca[i] == cb[i]) {
        ++i;
    }
    std::size_t ea = ca.size();
    std::size_t eb = cb.size();
    while (ea > i && eb > i && ca[ea - 1] == cb[eb - 1]) {
        --ea;
        --eb;
    }
    auto bytes = [](const std::vector<std::string_view>& c, std::size_t n) {
        std::size_t size = 0;
        for (std::size_t k = 0; k < n; ++k) {
            size += c[k].size();
        }
        return size;
    };
    return {bytes(ca, i), bytes(ca, ea), bytes(cb, i), bytes(cb, eb)};
}

TEST(DifferingMiddles, FoundInBytesTheyCutWhereCharactersDo) {
    // ASCII, two-, three- and four-byte characters, combining marks (also first in a
    // text), and pairs sharing their first bytes.
    const char* const pieces[] = {"a",
                                  "b",
                                  " ",
                                  "\xC3\xA9",
                                  "\xC3\xA8",
                                  "\xCC\x81",
                                  "\xCC\x82",
                                  "\xE5\xA0\x80",
                                  "\xE5\x80\xA0",
                                  "\xF0\x9F\x98\x80"};
    std::mt19937 rng(33);
    auto piece = [&] { return std::string(pieces[rng() % std::size(pieces)]); };
    for (int round = 0; round < 3000; ++round) {
        std::string base;
        for (unsigned n = rng() % 12; n > 0; --n) {
            base += piece();
        }
        std::string texts[2] = {base, base};
        for (std::string& t : texts) {
            for (unsigned edits = rng() % 3; edits > 0; --edits) {
                t.insert(t.empty() ? 0 : rng() % (t.size() + 1), piece());
            }
            if (!is_valid_utf8(t)) {
                t = base + piece();
            }
        }
        const DifferingMiddles got = differing_middles(texts[0], texts[1], false);
        const DifferingMiddles want = middles_by_characters(texts[0], texts[1]);
        ASSERT_EQ(std::tie(got.left_begin, got.left_end, got.right_begin, got.right_end),
                  std::tie(want.left_begin, want.left_end, want.right_begin, want.right_end))
            << "\"" << texts[0] << "\" against \"" << texts[1] << "\"";
    }
}

}  // namespace
