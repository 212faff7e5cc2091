// Property tests over seeded random file pairs, through the real engine: heights of
// the two columns agree, and the merged file is the interleaving that the engine's
// listing describes for the choices made.
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "common/textio.h"
#include "engine/engine.h"
#include "merge/blocks.h"
#include "merge/selection.h"
#include "merge/comparison.h"
#include "merge/output.h"
#include "tests/merge/merge_test_util.h"

namespace {

constexpr int PAIRS = 1000;

struct Hunk {
    int l0, l1;  // 0-based half-open left range [l0, l1)
    int r0, r1;
};

struct Pair {
    std::vector<std::string> left, right;
    std::string left_bytes, right_bytes;
};

std::string random_line(std::mt19937& rng, bool spaces) {
    static const char* const words[] = {"alpha", "beta", "gamma", "delta", "", "x = 1;", "}"};
    std::string line = words[rng() % 7];
    if (spaces && rng() % 4 == 0) {
        // White space the engine's -w ignores and the blank test agrees on.
        const std::string pad = rng() % 2 ? " " : "\t ";
        line = rng() % 2 ? pad + line : line + pad;
    }
    return line;
}

std::string to_bytes(std::mt19937& rng, const std::vector<std::string>& lines) {
    const bool crlf = rng() % 3 == 0;
    const bool final_newline = rng() % 4 != 0;
    std::string s;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        s += lines[i];
        if (i + 1 < lines.size() || final_newline) {
            s += crlf ? "\r\n" : "\n";
        }
    }
    return s;
}

Pair random_pair(std::mt19937& rng, bool spaces) {
    Pair p;
    const int n = 1 + static_cast<int>(rng() % 40);
    for (int i = 0; i < n; ++i) {
        p.left.push_back(random_line(rng, spaces));
    }
    for (const std::string& line : p.left) {
        switch (rng() % 10) {
            case 0:  // dropped
                break;
            case 1:  // replaced
                p.right.push_back(random_line(rng, spaces));
                break;
            case 2:  // something inserted before it
                p.right.push_back(random_line(rng, spaces));
                p.right.push_back(line);
                break;
            default:
                p.right.push_back(line);
        }
    }
    if (p.right.empty() || rng() % 5 == 0) {
        p.right.push_back(random_line(rng, spaces));
    }
    // A last line without a line feed is still a line; the texts we compare against
    // must not end in an empty last line that a reader would not see.
    for (auto* lines : {&p.left, &p.right}) {
        if (lines->back().empty()) {
            lines->back() = "end";
        }
    }
    p.left_bytes = to_bytes(rng, p.left);
    p.right_bytes = to_bytes(rng, p.right);
    return p;
}

// The hunks of a normal listing, read from its headers alone.
std::vector<Hunk> read_hunks(const std::string& listing) {
    std::vector<Hunk> hunks;
    std::size_t pos = 0;
    while (pos < listing.size()) {
        std::size_t end = listing.find('\n', pos);
        if (end == std::string::npos) {
            end = listing.size();
        }
        const std::string line = listing.substr(pos, end - pos);
        pos = end + 1;
        if (line.empty() || line[0] < '0' || line[0] > '9') {
            continue;
        }
        int a = 0, b = 0, c = 0, d = 0;
        char op = 0;
        std::size_t i = 0;
        auto number = [&](int& v) {
            v = 0;
            while (i < line.size() && std::isdigit(static_cast<unsigned char>(line[i]))) {
                v = v * 10 + (line[i++] - '0');
            }
        };
        number(a);
        b = a;
        if (line[i] == ',') {
            ++i;
            number(b);
        }
        op = line[i++];
        number(c);
        d = c;
        if (i < line.size() && line[i] == ',') {
            ++i;
            number(d);
        }
        Hunk h{};
        h.l0 = op == 'a' ? a : a - 1;
        h.l1 = op == 'a' ? a : b;
        h.r0 = op == 'd' ? c : c - 1;
        h.r1 = op == 'd' ? c : d;
        hunks.push_back(h);
    }
    return hunks;
}

// Common lines from the left, each hunk from the side chosen for it.
std::vector<std::string> interleave(const Pair& p, const std::vector<Hunk>& hunks,
                                    const std::vector<Side>& choice) {
    std::vector<std::string> out;
    int a = 0;
    for (std::size_t k = 0; k < hunks.size(); ++k) {
        out.insert(out.end(), p.left.begin() + a, p.left.begin() + hunks[k].l0);
        if (choice[k] == SIDE_LEFT) {
            out.insert(out.end(), p.left.begin() + hunks[k].l0, p.left.begin() + hunks[k].l1);
        } else {
            out.insert(out.end(), p.right.begin() + hunks[k].r0, p.right.begin() + hunks[k].r1);
        }
        a = hunks[k].l1;
    }
    out.insert(out.end(), p.left.begin() + a, p.left.end());
    return out;
}

int64_t column_height(const MergeSide& s) {
    int64_t rows = s.line_count;
    for (const DiffBlock& b : *s.filler_blocks) {
        if (is_end(b)) {
            break;
        }
        if (is_present(b)) {
            rows += b.last - b.first + 1;
        }
    }
    return rows;
}

class MergeProperty : public MergeTest, public ::testing::WithParamInterface<int> {
protected:
    // The engine's own listing for the pair, for the test's independent reading.
    std::string listing_of(const std::string& l, const std::string& r, bool compress) {
        const std::string out = dir.file("oracle.lst");
        std::vector<std::string> args = {"diff", "-a"};
        if (compress) {
            args.push_back("-w");
        }
        args.insert(args.end(), {"-o", out, l, r});
        std::vector<char*> argv;
        for (std::string& s : args) {
            argv.push_back(s.data());
        }
        argv.push_back(nullptr);
        std::filesystem::remove(out);
        engine_run(static_cast<int>(args.size()), argv.data());
        std::string text;
        read_text_file(out.c_str(), text);
        return text;
    }
};

TEST_P(MergeProperty, MergedTextFollowsTheChoices) {
    const bool compress = GetParam() != 0;
    std::mt19937 rng(compress ? 20261207u : 19700101u);
    const ScopedEnv tmp("TMP", dir.path());
    int with_blocks = 0;
    for (int pair = 0; pair < PAIRS; ++pair) {
        SCOPED_TRACE("pair " + std::to_string(pair));
        const Pair p = random_pair(rng, compress);
        const std::string l = dir.write("left.txt", p.left_bytes);
        const std::string r = dir.write("right.txt", p.right_bytes);
        merge_document = MergeDocument{};
        merge_document.compress_spaces = compress ? 1 : 0;
        clear_reported_messages();
        ASSERT_EQ(load_side(l.c_str(), SIDE_LEFT), 0);
        ASSERT_EQ(load_side(r.c_str(), SIDE_RIGHT), 0);
        compare_files();
        ASSERT_EQ(merge_document.not_compared, 0);
        const std::vector<Hunk> hunks = read_hunks(listing_of(l, r, compress));
        if (!merge_document.left.own_blocks) {
            ASSERT_TRUE(hunks.empty());
            continue;
        }
        ++with_blocks;
        ASSERT_TRUE(reported_messages().empty());
        ASSERT_EQ(column_height(merge_document.left), column_height(merge_document.right));
        ASSERT_EQ(merge_document.total_rows, column_height(merge_document.left));
        ASSERT_EQ(block_count(), static_cast<int32_t>(hunks.size()));

        std::vector<Side> choice(hunks.size(), SIDE_LEFT);
        choose_all_from(SIDE_LEFT);
        ASSERT_EQ(merged_text(), with_line_ends(p.left));

        unselect_all();
        choose_all_from(SIDE_RIGHT);
        choice.assign(hunks.size(), SIDE_RIGHT);
        const std::string all_right = with_line_ends(interleave(p, hunks, choice));
        ASSERT_EQ(merged_text(), all_right);
        if (!compress) {
            ASSERT_EQ(all_right, with_line_ends(p.right));
        }

        // Each block's first aligned row, found by walking with Next from the top.
        std::vector<int32_t> starts;
        for (int32_t s = find_block_row(-1, DIRECTION_NEXT); s != -1;
             s = find_block_row(s - 1, DIRECTION_NEXT)) {
            starts.push_back(s);
        }
        ASSERT_EQ(starts.size(), hunks.size());

        unselect_all();
        for (std::size_t k = 0; k < hunks.size(); ++k) {
            choice[k] = rng() % 2 ? SIDE_LEFT : SIDE_RIGHT;
            if (rng() % 2) {
                choose_block(choice[k], static_cast<int32_t>(k));
            } else {
                // A click on the block's first row, which both columns share.
                merge_document.top_row = 0;
                choose_by_click(choice[k], (starts[k] - 1) * fake_platform().line_height);
            }
        }
        ASSERT_EQ(merged_text(), with_line_ends(interleave(p, hunks, choice)));
    }
    EXPECT_GT(with_blocks, PAIRS / 2);
}

INSTANTIATE_TEST_SUITE_P(CompressSpaces, MergeProperty, ::testing::Values(0, 1));

}  // namespace
