// The engine's shortcuts (lines hashed a word at a time, the second file's lines
// checked first against the first file's line in step, files mapped rather than read)
// must not change a listing or a result: the same pairs run with them on and off give
// the same bytes.

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "tests/engine/engine_run.h"
#include "tests/engine/property_support.h"

namespace {

struct Listed {
    int result;
    std::string listing;
    bool exists;
};

Listed run_pair(const std::vector<std::string>& options, const std::string& p1,
                const std::string& p2, const std::string& out, bool fast) {
    engine_set_fast_paths(fast);
    // Every file may be mapped, so that small pairs take that way too.
    engine_set_mapping(1, nullptr);
    std::remove(out.c_str());
    std::vector<std::string> args = options;
    args.insert(args.end(), {"-o", out, p1, p2});
    const EngineRun run = run_engine(args);
    engine_set_fast_paths(true);
    engine_set_mapping(std::size_t{1} << 20, nullptr);
    return {run.result, read_bytes(out), exists(out)};
}

// Shapes the shortcuts must get right: line lengths around a word, lines ending right
// before the data's end, no final line feed, carriage returns and a Ctrl-Z removed by
// text mode, empty files, repeated lines that make the second file drift from the
// first, zero bytes inside lines under -a.
std::vector<std::pair<std::string, std::string>> edge_pairs() {
    std::string words_a, words_b;
    for (int n = 0; n < 40; ++n) {
        words_a += std::string(static_cast<std::size_t>(n), 'x') + "\n";
        words_b += std::string(static_cast<std::size_t>(n == 17 ? 18 : n), 'x') + "\n";
    }
    // Data ending at, just before and just after a page's end: the spare bytes and the
    // line feed completion may append fall on the last mapped page or the next one.
    std::vector<std::pair<std::string, std::string>> pairs;
    for (const std::size_t size : {4095, 4096, 4097, 8183, 8191, 8192}) {
        std::string lines;
        while (lines.size() < size) {
            lines += std::string(lines.size() % 50, 'p') + "\n";
        }
        lines.resize(size);
        std::string other = lines;
        other[size / 2] = other[size / 2] == 'q' ? 'r' : 'q';
        pairs.emplace_back(lines, other);
        pairs.emplace_back(lines, lines + "tail");
        pairs.emplace_back(lines.substr(0, size - 1) + "\n", lines);
    }
    std::vector<std::pair<std::string, std::string>> shapes = {
        {"", ""},
        {"", "a\n"},
        {"a", "a\n"},
        {"1234567\n12345678\n", "1234567\n123456789"},
        {"12345678", "12345679"},
        {words_a, words_b},
        {"a\r\nb\r\nc\r\n", "a\nb\nc\nd\n"},
        {"a\nb\n\x1a"
         "hidden\n",
         "a\nb\nvisible\n"},
        {"x\ny\nx\ny\nz\n", "y\nx\ny\nx\nz\nx\n"},
        {std::string("a\0b\nc\n", 6), std::string("a\0c\nc\n", 6)},
        {"  a b\n\tc\nd\n", "a  b\nc\n\td \n"},
        {"A\nb\nC\n", "a\nB\nc\n"},
    };
    pairs.insert(pairs.end(), shapes.begin(), shapes.end());
    return pairs;
}

TEST(FastPaths, SameListingsWithAndWithoutShortcuts) {
    TempDir dir;
    const std::string out = dir.file("out.lst");
    const std::vector<std::vector<std::string>> option_sets = {
        {"-a"}, {"-a", "-s", "-w"}, {"-a", "-b"}, {"-a", "-i"}, {"-a", "-B"}, {"-a", "-H"}};
    std::vector<std::pair<std::string, std::string>> pairs = edge_pairs();
    property::Generator gen(property::DEFAULT_SEED + 7);
    for (int n = 0; n < 400; ++n) {
        const property::Case c = gen.make_case();
        pairs.emplace_back(c.first, c.second);
    }
    for (std::size_t k = 0; k < pairs.size(); ++k) {
        const std::string p1 = dir.write("a.txt", pairs[k].first);
        const std::string p2 = dir.write("b.txt", pairs[k].second);
        for (const auto& options : option_sets) {
            const Listed fast = run_pair(options, p1, p2, out, true);
            const Listed slow = run_pair(options, p1, p2, out, false);
            const std::string what = "pair " + std::to_string(k) + ": " +
                                     property::escaped(pairs[k].first.substr(0, 80)) + " against " +
                                     property::escaped(pairs[k].second.substr(0, 80)) + ", " +
                                     options.back();
            ASSERT_EQ(fast.result, slow.result) << what;
            ASSERT_EQ(fast.exists, slow.exists) << what;
            ASSERT_EQ(fast.listing, slow.listing) << what;
        }
    }
}

// Lines that differ only in their white space, with every white byte, at every place
// of an eight-byte word and in runs of any length, and lines that differ in one byte
// or in letter case: -w (and -i) must find exactly the partners it finds byte by byte.
TEST(FastPaths, WhiteSpaceRulesFindTheSamePartners) {
    TempDir dir;
    const std::string out = dir.file("out.lst");
    const std::string whites = std::string("\b\t\v\f ", 5) + "\xA0";
    const std::string others = std::string("aZ09~_\x80\x9F\xA1\xFF\x7F\x01\0", 13);
    property::Generator gen(property::DEFAULT_SEED + 11);
    std::mt19937& rng = gen.rng();
    const auto pick = [&](const std::string& from) {
        return from[std::uniform_int_distribution<std::size_t>(0, from.size() - 1)(rng)];
    };
    const auto with_blanks = [&](const std::string& bytes) {
        std::string line;
        for (const char c : bytes) {
            const int run = std::uniform_int_distribution<int>(-6, 10)(rng);
            for (int i = 0; i < run; ++i) {
                line += pick(whites);
            }
            line += c;
        }
        return line + std::string(rng() % 3, ' ') + "\n";
    };
    for (int n = 0; n < 60; ++n) {
        std::string first;
        std::string second;
        for (int k = 0; k < 30; ++k) {
            std::string bytes;
            const std::size_t length = rng() % 40;
            for (std::size_t i = 0; i < length; ++i) {
                bytes += pick(others);
            }
            first += with_blanks(bytes);
            std::string other = bytes;
            if (!other.empty() && rng() % 4 == 0) {
                char& c = other[rng() % other.size()];
                c = c == 'a' ? 'A' : (c == 'Z' ? 'z' : 'q');
            }
            second += with_blanks(other);
        }
        const std::string p1 = dir.write("a.txt", first);
        const std::string p2 = dir.write("b.txt", second);
        for (const std::vector<std::string>& options :
             {std::vector<std::string>{"-a", "-w"}, {"-a", "-w", "-i"}, {"-a", "-s", "-w"}}) {
            const Listed fast = run_pair(options, p1, p2, out, true);
            const Listed slow = run_pair(options, p1, p2, out, false);
            const std::string what =
                "pair " + std::to_string(n) + " with " + options[1] + " " + options.back();
            ASSERT_EQ(fast.result, slow.result) << what;
            ASSERT_EQ(fast.listing, slow.listing) << what;
        }
    }
}

// Tables carved out of freed ones: with every table block kept, pairs compared one by
// one and a directory of pairs compared in one run (blocks freed by one pair, carved for
// the next) give the listings they give without.
TEST(FastPaths, KeptTableBlocksChangeNoListing) {
    TempDir dir;
    const std::string out = dir.file("out.lst");
    const auto run_kept = [&](const std::vector<std::string>& args, bool keep) {
        engine_set_block_keeping(keep ? 1 : 0);
        std::remove(out.c_str());
        std::vector<std::string> all = {"-o", out};
        all.insert(all.end(), args.begin(), args.end());
        const EngineRun run = run_engine(all);
#if defined(_WIN32)
        engine_set_block_keeping(std::size_t{1} << 20);
#else
        engine_set_block_keeping(0);
#endif
        return std::make_pair(run.result, read_bytes(out));
    };
    std::vector<std::pair<std::string, std::string>> pairs = edge_pairs();
    property::Generator gen(property::DEFAULT_SEED + 13);
    for (int n = 0; n < 200; ++n) {
        const property::Case c = gen.make_case();
        pairs.emplace_back(c.first, c.second);
    }
    TempDir left;
    TempDir right;
    for (std::size_t k = 0; k < pairs.size(); ++k) {
        std::string name = std::to_string(k);  // "p" + ... trips a false -Wrestrict of GCC 12
        name += ".txt";
        const std::string p1 = left.write(name, pairs[k].first);
        const std::string p2 = right.write(name, pairs[k].second);
        for (const std::vector<std::string>& options :
             {std::vector<std::string>{"-a"}, {"-a", "-s", "-w"}, {"-a", "-H"}}) {
            std::vector<std::string> args = options;
            args.insert(args.end(), {p1, p2});
            ASSERT_EQ(run_kept(args, true), run_kept(args, false))
                << "pair " << k << " with " << options.back();
        }
    }
    const std::vector<std::string> walk = {"-a", left.path(), right.path()};
    ASSERT_EQ(run_kept(walk, true), run_kept(walk, false));
}

// Pairs large enough for both files to be hashed, counted and marked at once, one on
// another thread: with the line count guessed right, and guessed far too short (long
// lines before the first difference, short ones after it), so that the tables grow once
// the shared hashing has filled them. The listings are those of one file after the other.
TEST(FastPaths, WorkingOnBothFilesAtOnceChangesNoListing) {
    TempDir dir;
    const std::string out = dir.file("out.lst");
    std::string long_prefix;
    for (int n = 0; n < 12; ++n) {
        long_prefix += std::string(1000, static_cast<char>('a' + n)) + "\n";
    }
    std::string first;
    std::string second;
    for (int n = 0; n < 150000; ++n) {
        // Repeated lines make classes of many lines; every 997th line differs.
        const std::string line =
            "line " + std::to_string(n % 40000) + (n % 3 == 0 ? "  x" : "") + "\n";
        first += line;
        second += n % 997 == 0 ? "other " + std::to_string(n) + "\n" : line;
        if (n % 5003 == 0) {
            second += "inserted\n";
        }
    }
    second.pop_back();  // no final line feed
    for (const std::string& prefix : {std::string(), long_prefix}) {
        const std::string p1 = dir.write("a.txt", prefix + first);
        const std::string p2 = dir.write("b.txt", prefix + second);
        for (const std::vector<std::string>& options :
             {std::vector<std::string>{"-a"}, {"-a", "-s", "-w"}}) {
            const Listed fast = run_pair(options, p1, p2, out, true);
            const Listed slow = run_pair(options, p1, p2, out, false);
            ASSERT_EQ(fast.result, 1);
            ASSERT_EQ(fast.result, slow.result);
            ASSERT_GT(fast.listing.size(), 1000u);
            ASSERT_EQ(fast.listing, slow.listing)
                << "prefix of " << prefix.size() << " bytes, " << options.back();
        }
    }
}

}  // namespace
