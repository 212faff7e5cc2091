// Which lines the options make equal, in text of any script: white space is skipped
// (-w) or its runs made one (-b), ASCII letters folded (-i), and nothing else, a
// character never equal to another made of its bytes or to the bytes around it.

#include <gtest/gtest.h>

#include <cstdlib>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "tests/engine/engine_run.h"
#include "tests/support/random_lines.h"
#include "tests/support/temp_dir.h"

namespace {

// -b as a model: runs of spaces and tabs become one space, a run at the end none.
std::string squeezed(const std::string& line, bool fold) {
    std::string out;
    for (std::size_t i = 0; i < line.size();) {
        if (line[i] == ' ' || line[i] == '\t') {
            while (i < line.size() && (line[i] == ' ' || line[i] == '\t')) {
                ++i;
            }
            if (i < line.size()) {
                out += ' ';
            }
            continue;
        }
        const char c = line[i++];
        out += fold && c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c;
    }
    return out;
}

bool model_equal(const std::string& a, const std::string& b, bool skip_white, bool squeeze,
                 bool fold, bool eight_bit) {
    if (skip_white && eight_bit) {
        return random_lines::visible_8bit(a, fold) == random_lines::visible_8bit(b, fold);
    }
    if (skip_white) {
        return random_lines::visible(a, fold) == random_lines::visible(b, fold);
    }
    if (squeeze) {
        return squeezed(a, fold) == squeezed(b, fold);
    }
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        const char x = fold && a[i] >= 'A' && a[i] <= 'Z' ? static_cast<char>(a[i] + 32) : a[i];
        const char y = fold && b[i] >= 'A' && b[i] <= 'Z' ? static_cast<char>(b[i] + 32) : b[i];
        if (x != y) {
            return false;
        }
    }
    return true;
}

// Lines of the first file that the listing names as changed or deleted, and lines of
// the second named as changed or added.
std::set<long> listed_lines(const std::string& listing, bool first) {
    std::set<long> out;
    std::size_t at = 0;
    while (at < listing.size()) {
        std::size_t end = listing.find('\n', at);
        if (end == std::string::npos) {
            end = listing.size();
        }
        const std::string line = listing.substr(at, end - at);
        at = end + 1;
        if (line.empty() || line[0] < '0' || line[0] > '9') {
            continue;
        }
        const std::size_t op = line.find_first_of("acd");
        const std::string range = first ? line.substr(0, op) : line.substr(op + 1);
        const bool none = first ? line[op] == 'a' : line[op] == 'd';
        if (none) {
            continue;
        }
        const long lo = std::strtol(range.c_str(), nullptr, 10);
        const std::size_t comma = range.find(',');
        const long hi =
            comma == std::string::npos ? lo : std::strtol(range.c_str() + comma + 1, nullptr, 10);
        for (long n = lo; n <= hi; ++n) {
            out.insert(n);
        }
    }
    return out;
}

struct OptionSet {
    std::vector<std::string> flags;
    bool skip_white, squeeze, fold;
};

// Pairs of random lines, each between two unique anchor lines so that a pair can only
// face its partner; the listing must name exactly the pairs the model calls different.
// With `eight_bit` both files start with a line of lone bytes that makes them 8-bit text
// as a whole (detect_charset).
void check_random_pairs(const OptionSet& options, unsigned seed, bool eight_bit) {
    TempDir dir;
    std::mt19937 rng(seed);
    std::string first = eight_bit ? std::string(8000, '\xE9') + "\n" : std::string();
    std::string second = first;
    const long offset = eight_bit ? 1 : 0;
    std::set<long> expected;
    constexpr int PAIRS = 400;
    for (int k = 0; k < PAIRS; ++k) {
        const std::string a = random_lines::random_line(rng);
        const std::string b =
            rng() % 3 == 0 ? random_lines::random_line(rng) : random_lines::edited_line(a, rng);
        // Two unique lines: a pair that faced another would cost both.
        std::string anchors = "#";
        anchors += std::to_string(k);
        anchors += "\n@";
        anchors += std::to_string(k);
        anchors += '\n';
        first += anchors + a + "\n";
        second += anchors + b + "\n";
        if (!model_equal(a, b, options.skip_white, options.squeeze, options.fold, eight_bit)) {
            expected.insert(3L * k + 3 + offset);
        }
    }
    const std::string p1 = dir.write("a.txt", first);
    const std::string p2 = dir.write("b.txt", second);
    const std::string out = dir.file("out.lst");
    std::vector<std::string> args = options.flags;
    args.insert(args.end(), {"-a", "-o", out, p1, p2});
    const EngineRun run = run_engine(args);
    ASSERT_EQ(run.result, expected.empty() ? 0 : 1);
    std::string listing = read_bytes(out);
    std::string plain;
    for (char c : listing) {
        if (c != '\r') {
            plain += c;
        }
    }
    EXPECT_EQ(listed_lines(plain, true), expected) << "seed " << seed << " 8-bit " << eight_bit;
    EXPECT_EQ(listed_lines(plain, false), expected) << "seed " << seed << " 8-bit " << eight_bit;
}

TEST(WhiteSpace, RandomLinesAreEqualExactlyWhenTheModelSays) {
    const OptionSet sets[] = {
        {{"-w"}, true, false, false},       {{"-w", "-i"}, true, false, true},
        {{"-b"}, false, true, false},       {{"-b", "-i"}, false, true, true},
        {{"-i"}, false, false, true},       {{}, false, false, false},
        {{"-w", "-b"}, true, false, false},
    };
    for (const OptionSet& s : sets) {
        for (unsigned seed = 1; seed <= 4; ++seed) {
            check_random_pairs(s, seed, false);
            check_random_pairs(s, seed, seed % 2 == 0);
        }
    }
}

// The fault pinned: 0xA0 is a continuation byte of both characters, and was skipped as
// white space, leaving E5 80 on each side.
TEST(WhiteSpace, CharactersHoldingA0AreNotWhiteSpace) {
    TempDir dir;
    const std::string out = dir.file("out.lst");
    const std::string p1 = dir.write("a.txt", "x\n\xE5\xA0\x80\ny\n");
    const std::string p2 = dir.write("b.txt", "x\n\xE5\x80\xA0\ny\n");
    EXPECT_EQ(run_engine({"-w", "-o", out, p1, p2}).result, 1);
    EXPECT_EQ(run_engine({"-w", "-i", "-o", out, p1, p2}).result, 1);
    // Cyrillic capital ER (D0 A0) against a lone D0.
    const std::string p3 = dir.write("c.txt", "x\n\xD0\xA0\ny\n");
    const std::string p4 = dir.write("d.txt", "x\n\xD0 \ny\n");
    EXPECT_EQ(run_engine({"-w", "-o", out, p3, p4}).result, 1);
    // A character is never made of bytes that white space kept apart.
    const std::string p5 = dir.write("e.txt", "\xE5\x80\x80\n");
    const std::string p6 = dir.write("f.txt", "\xE5 \x80\x80\n");
    EXPECT_EQ(run_engine({"-w", "-a", "-o", out, p5, p6}).result, 1);
}

TEST(WhiteSpace, NoBreakSpacesAreWhiteSpaceInEitherForm) {
    TempDir dir;
    const std::string out = dir.file("out.lst");
    // U+00A0 in UTF-8, a lone 0xA0 of 8-bit text, and none.
    const std::string p1 = dir.write("a.txt",
                                     "x\na\xC2\xA0"
                                     "b\ny\n");
    const std::string p2 = dir.write("b.txt",
                                     "x\na\xA0"
                                     "b\ny\n");
    const std::string p3 = dir.write("c.txt", "x\nab\ny\n");
    EXPECT_EQ(run_engine({"-w", "-o", out, p1, p2}).result, 0);
    EXPECT_EQ(run_engine({"-w", "-o", out, p1, p3}).result, 0);
    EXPECT_EQ(run_engine({"-w", "-i", "-o", out, p2, p3}).result, 0);
    // -b keeps to spaces and tabs.
    EXPECT_EQ(run_engine({"-b", "-o", out, p1, p3}).result, 1);
    EXPECT_EQ(run_engine({"-o", out, p1, p2}).result, 1);
}

// Which no-break space a line holds depends on its file's charset, decided per file:
// in 8-bit text 0xC2 is a letter and only a lone 0xA0 is white space. Line 1 of each
// file decides its charset; the case is about line 2.
TEST(WhiteSpace, NoBreakSpaceFollowsEachFilesCharset) {
    struct Case {
        const char* what;
        std::string left, right;
        bool differ;
    };
    const std::string utf8 = "na\xC3\xAFve \xD0\x96\n";
    const std::string latin = "na\xEFve \xC6\n";
    const Case cases[] = {
        {"8-bit: C2 is a letter before the no-break space A0", latin + "caf\xE9 \xC2\xA0total\n",
         latin + "caf\xE9 total\n", true},
        {"8-bit: a lone A0 is a no-break space", latin + "caf\xE9\xA0total\n",
         latin + "caf\xE9total\n", false},
        {"8-bit: a letter is not a part of another", latin + "\xC3 \xA9\n", latin + "\xC3\xA9\n",
         false},
        {"UTF-8: C2 A0 is a no-break space", utf8 + "caf\xC3\xA9 \xC2\xA0total\n",
         utf8 + "caf\xC3\xA9 total\n", false},
        {"8-bit against UTF-8: each side by its own rule", latin + "x \xC2\xA0y\n",
         utf8 + "x\xC2\xA0y\n", true},
        {"UTF-8 against 8-bit: each side by its own rule", utf8 + "x\xC2\xA0y\n",
         latin + "x\xC2\xA0y\xA0\n", true},
    };
    TempDir dir;
    const std::string out = dir.file("out.lst");
    for (const Case& c : cases) {
        const std::string p1 = dir.write("a.txt", c.left);
        const std::string p2 = dir.write("b.txt", c.right);
        run_engine({"-w", "-o", out, p1, p2});
        std::string listing;
        for (char ch : read_bytes(out)) {
            if (ch != '\r') {
                listing += ch;
            }
        }
        EXPECT_EQ(listed_lines(listing, true).count(2) == 1, c.differ) << c.what << "\n" << listing;
    }
}

}  // namespace
