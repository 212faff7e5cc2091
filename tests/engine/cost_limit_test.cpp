// Reordered files are costly for the middle-snake search; past its cost limit the
// search splits at the furthest point it reached. The listings must still turn the
// first file into the second and quote both files exactly.

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "tests/engine/engine_run.h"
#include "tests/engine/listing_apply.h"

namespace {

std::vector<std::string> numbered(int n, std::mt19937& rng) {
    std::vector<std::string> lines;
    for (int i = 0; i < n; ++i) {
        // A few repeated lines among unique ones, as in logs and exports.
        std::string line;
        if (rng() % 16 == 0) {
            line.append("repeated ").append(std::to_string(rng() % 4));
        } else {
            line.append("record ").append(std::to_string(i)).append(" value ");
            line.append(std::to_string(rng() % 100000));
        }
        lines.push_back(line);
    }
    return lines;
}

std::string joined(const std::vector<std::string>& lines, bool final_newline) {
    std::string s;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        s += lines[i];
        if (i + 1 < lines.size() || final_newline) {
            s += '\n';
        }
    }
    return s;
}

// The second file of a reordered pair, by shape.
std::vector<std::string> reorder(std::vector<std::string> l, int shape, std::mt19937& rng) {
    switch (shape) {
        case 0:  // shuffled
            std::shuffle(l.begin(), l.end(), rng);
            break;
        case 1:  // every other line replaced by a line from elsewhere
            for (std::size_t k = 1; k < l.size(); k += 2) {
                l[k] = l[rng() % l.size()];
            }
            break;
        case 2: {  // blocks of 1 to 40 lines put in another order
            std::vector<std::vector<std::string>> blocks;
            for (std::size_t k = 0; k < l.size();) {
                const std::size_t n = std::min<std::size_t>(1 + rng() % 40, l.size() - k);
                blocks.emplace_back(l.begin() + static_cast<long>(k),
                                    l.begin() + static_cast<long>(k + n));
                k += n;
            }
            std::shuffle(blocks.begin(), blocks.end(), rng);
            l.clear();
            for (const auto& b : blocks) {
                l.insert(l.end(), b.begin(), b.end());
            }
            break;
        }
        default:  // sorted by text, then a few lines dropped
            std::sort(l.begin(), l.end());
            for (int k = 0; k < 20 && !l.empty(); ++k) {
                l.erase(l.begin() + static_cast<long>(rng() % l.size()));
            }
            break;
    }
    return l;
}

// Parses the listing, checks that every deleted line quotes the first file, and
// replays it on the first file; "" when the result is the second file.
std::string replay_error(const std::string& first, const std::string& second,
                         const std::string& listing_text) {
    std::vector<listing::Hunk> hunks;
    std::string error;
    if (!listing::parse(listing_text, ' ', hunks, error)) {
        return "unparsable listing: " + error;
    }
    const listing::Lines a = listing::split_lines(first);
    for (const listing::Hunk& h : hunks) {
        for (long k = 0; k < h.first_count(); ++k) {
            const std::string& quoted = h.deleted[static_cast<std::size_t>(k)];
            const std::string& line = a.lines[static_cast<std::size_t>(h.first_lo + k - 1)];
            const bool marked =
                quoted.starts_with(line) && quoted.substr(line.size()) == listing::NO_NEWLINE_TEXT;
            if (quoted != line && !marked) {
                return "hunk at line " + std::to_string(h.first_lo) + " misquotes the first file";
            }
        }
    }
    listing::Lines result;
    if (!listing::apply(hunks, a, result, error)) {
        return "listing does not apply: " + error;
    }
    return result == listing::split_lines(second) ? "" : "replay does not give the second file";
}

std::string without_carriage_returns(const std::string& s) {
    std::string out;
    for (char c : s) {
        if (c != '\r') {
            out += c;
        }
    }
    return out;
}

TEST(CostLimit, ListingsOfReorderedPairsStillApply) {
    std::mt19937 rng(20261207);
    TempDir dir;
    const std::string out = dir.file("out.lst");
    int runs = 0;
    // Sizes below and well above the point where the limit engages (a few thousand
    // lines of cost).
    for (const int lines : {300, 2500, 6000, 9000}) {
        for (int shape = 0; shape < 4; ++shape) {
            const std::vector<std::string> first = numbered(lines, rng);
            const std::vector<std::string> second = reorder(first, shape, rng);
            const bool newline = rng() % 4 != 0;
            const std::string t1 = joined(first, newline);
            const std::string t2 = joined(second, rng() % 4 != 0);
            const std::string p1 = dir.write("a.txt", t1);
            const std::string p2 = dir.write("b.txt", t2);
            for (const char* option : {"-a", "-H"}) {
                std::remove(out.c_str());
                const EngineRun run = run_engine({option, "-o", out, p1, p2});
                const std::string what = std::to_string(lines) + " lines, shape " +
                                         std::to_string(shape) + ", " + option;
                ASSERT_EQ(run.result, t1 == t2 ? 0 : 1) << what;
                ASSERT_TRUE(run.messages.empty()) << what;
                ASSERT_EQ(replay_error(t1, t2, without_carriage_returns(read_bytes(out))), "")
                    << what;
                ++runs;
            }
        }
    }
    EXPECT_EQ(runs, 32);
}

// Lines drawn from two or four distinct ones: nearly every line can match, so the
// searches together spend their budget early and go on at the small limit.
TEST(CostLimit, ListingsStillApplyOnceTheSearchBudgetIsSpent) {
    std::mt19937 rng(20261210);
    TempDir dir;
    const std::string out = dir.file("out.lst");
    for (const unsigned distinct : {2U, 4U}) {
        std::string texts[2];
        for (std::string& t : texts) {
            for (int k = 0; k < 150000; ++k) {
                t += static_cast<char>('a' + rng() % distinct);
                t += '\n';
            }
        }
        const std::string p1 = dir.write("a.txt", texts[0]);
        const std::string p2 = dir.write("b.txt", texts[1]);
        std::remove(out.c_str());
        const EngineRun run = run_engine({"-a", "-o", out, p1, p2});
        const std::string what = std::to_string(distinct) + " distinct lines";
        ASSERT_EQ(run.result, 1) << what;
        EXPECT_EQ(replay_error(texts[0], texts[1], without_carriage_returns(read_bytes(out))), "")
            << what;
    }
}

}  // namespace
