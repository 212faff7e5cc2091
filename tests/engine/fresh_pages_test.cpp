// Bringing a table's pages in (common/fresh_pages.h) must never reach an entry the table
// or a table carved beside it still holds: a bringer that scribbles over every range it
// is given leaves each listing as it is without one, with table blocks kept and carved
// or not. Large tables must be brought in at all.

#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "common/fresh_pages.h"
#include "tests/engine/engine_run.h"
#include "tests/support/random_lines.h"

namespace {

// Counted from the run's thread and the thread that brings in beside it.
std::atomic<std::size_t> brought_bytes{0};

void scribble(void* block, std::size_t bytes) {
    std::memset(block, 0xA5, bytes);
    brought_bytes += bytes;
}

// Pairs whose tables pass the bringing's threshold: words with scattered edits and
// repeated lines; one-letter lines, whose line tables outgrow their first guess and
// leave freed blocks to carve from; and 300,000 lines each once, with scattered edits,
// whose kept sequences are carved past the part of the class table's block that was
// brought in, behind tables carved before them.
std::vector<std::pair<std::string, std::string>> large_pairs() {
    std::mt19937 rng(20261210);
    const auto word_line = [&] {
        std::string line;
        for (unsigned n = rng() % 6; n != 0; --n) {
            line += std::to_string(rng() % 5000) + " ";
        }
        return line + "\n";
    };
    std::string words_a;
    std::string words_b;
    for (int i = 0; i < 40000; ++i) {
        const std::string line = i % 97 == 0 ? std::string("repeated\n") : word_line();
        words_a += line;
        const unsigned edit = rng() % 200;
        words_b += edit == 0 ? word_line() : edit == 1 ? std::string() : line;
        if (edit == 2) {
            words_b += word_line() + line;
        }
    }
    std::string once_a;
    std::string once_b;
    for (int i = 0; i < 300000; ++i) {
        const std::string line = "line number " + std::to_string(i) + "\n";
        once_a += line;
        once_b += rng() % 500 == 0 ? "changed " + line : line;
    }
    return {{words_a, words_b},
            {random_lines::four_symbol_text(1, 100000), random_lines::four_symbol_text(2, 100000)},
            {once_a, once_b}};
}

}  // namespace

TEST(FreshPages, BringingInChangesNoListing) {
    TempDir dir;
    const std::string out = dir.file("out.lst");
    const auto listing = [&](const std::vector<std::string>& options, const std::string& p1,
                             const std::string& p2, bool bring) {
        bring_in_pages = bring ? scribble : nullptr;
        std::remove(out.c_str());
        std::vector<std::string> args = options;
        args.insert(args.end(), {"-o", out, p1, p2});
        const int result = run_engine(args).result;
        bring_in_pages = nullptr;
        return std::make_pair(result, read_bytes(out));
    };
    brought_bytes = 0;
    const std::vector<std::pair<std::string, std::string>> pairs = large_pairs();
    for (std::size_t k = 0; k < pairs.size(); ++k) {
        const std::string p1 = dir.write("a.txt", pairs[k].first);
        const std::string p2 = dir.write("b.txt", pairs[k].second);
        for (const std::size_t keep_from : {std::size_t{1}, std::size_t{1} << 20}) {
            engine_set_block_keeping(keep_from);
            for (const std::vector<std::string>& options :
                 {std::vector<std::string>{"-a"}, {"-a", "-s", "-w"}}) {
                const std::string what = "pair " + std::to_string(k) + ", blocks kept from " +
                                         std::to_string(keep_from) + ", " + options.back();
                EXPECT_EQ(listing(options, p1, p2, true), listing(options, p1, p2, false)) << what;
            }
        }
    }
    engine_set_block_keeping(std::size_t{1} << 20);
    EXPECT_GT(brought_bytes, std::size_t{1} << 20);
}
