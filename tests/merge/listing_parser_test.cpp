#include <random>
#include <string>

#include "merge/blocks.h"
#include "merge/selection.h"
#include "merge/listing_parser.h"
#include "merge/realign.h"
#include "tests/merge/merge_test_util.h"
#include "tests/support/progress_recorder.h"
#include "tests/support/random_lines.h"

namespace {

struct Entry {
    int32_t first;
    int32_t last;
    bool operator==(const Entry&) const = default;
};
constexpr Entry ABSENT{BLOCK_ABSENT, BLOCK_ABSENT};
constexpr Entry END{BLOCK_END, BLOCK_END};

std::ostream& operator<<(std::ostream& os, const Entry& e) {
    return os << e.first << ".." << e.last;
}

class ListingParser : public MergeTest {
protected:
    ListingResult parse(const std::string& listing) {
        const std::string path = dir.write("listing.txt", listing);
        TextLineReader reader;
        EXPECT_EQ(reader.open(path.c_str()), 0);
        return parse_listing(reader, tables);
    }
    // Entry k of the four tables: left own, left filler, right own, right filler.
    std::vector<Entry> entry(std::size_t k) const {
        std::vector<Entry> e;
        for (const BlockTable* t :
             {&tables.left_own, &tables.left_filler, &tables.right_own, &tables.right_filler}) {
            e.push_back({(*t)[k].first, (*t)[k].last});
            EXPECT_EQ((*t)[k].chosen, 0u);
        }
        return e;
    }
    std::vector<Entry> one(const std::string& command) {
        EXPECT_EQ(parse(command + "\n"), LISTING_BLOCKS);
        EXPECT_EQ(tables.left_own.size(), 2u);
        EXPECT_EQ(entry(1), (std::vector<Entry>{END, END, END, END}));
        return entry(0);
    }
    BlockTables tables;
};

TEST_F(ListingParser, EveryCommandForm) {
    using V = std::vector<Entry>;
    EXPECT_EQ(one("0a1,2"), (V{ABSENT, {1, 2}, {1, 2}, ABSENT}));
    EXPECT_EQ(one("3,4d2"), (V{{3, 4}, ABSENT, ABSENT, {3, 4}}));
    EXPECT_EQ(one("5c5,7"), (V{{5, 5}, {6, 7}, {5, 7}, ABSENT}));
    EXPECT_EQ(one("5,7c5"), (V{{5, 7}, ABSENT, {5, 5}, {6, 7}}));
    EXPECT_EQ(one("2,3c4,5"), (V{{2, 3}, ABSENT, {4, 5}, ABSENT}));
    EXPECT_EQ(one("7a8,9"), (V{ABSENT, {8, 9}, {8, 9}, ABSENT}));
    EXPECT_EQ(one("12d10"), (V{{12, 12}, ABSENT, ABSENT, {11, 11}}));
}

TEST_F(ListingParser, ContentLinesAndSeparatorsAreSkipped) {
    ASSERT_EQ(parse("1c1\n< 9a9\n---\n> 3d3\n4a5\n> x\n"), LISTING_BLOCKS);
    EXPECT_EQ(tables.left_own.size(), 3u);
    EXPECT_EQ(entry(1)[1], (Entry{5, 5}));
}

// Small tables double; from 4,096 blocks on they grow to what the rest of the listing
// likely holds (its first hunks here are longer than the rest, so the guess falls short
// and they grow again).
TEST_F(ListingParser, TablesGrowPastTwentyAndFortyAndStayEnded) {
    for (const int count : {45, 20000}) {
        std::string listing;
        for (int k = 0; k < count; ++k) {
            const std::string n = std::to_string(2 * k + 1);
            listing += n + "c" + n + (k < 5000 ? "\n< aaaaaaaa\n---\n> b\n" : "\n< a\n---\n> b\n");
        }
        ASSERT_EQ(parse(listing), LISTING_BLOCKS);
        const auto size = static_cast<std::size_t>(count) + 1;
        for (const BlockTable* t :
             {&tables.left_own, &tables.left_filler, &tables.right_own, &tables.right_filler}) {
            ASSERT_EQ(t->size(), size);
            EXPECT_TRUE(is_end((*t)[size - 1]));
        }
        for (std::size_t k : {0u, 19u, 20u, 21u, 39u, 40u, 44u, 4095u, 4096u, 19999u}) {
            if (k < static_cast<std::size_t>(count)) {
                const int32_t line = static_cast<int32_t>(2 * k + 1);
                EXPECT_EQ(entry(k),
                          (std::vector<Entry>{{line, line}, ABSENT, {line, line}, ABSENT}))
                    << k;
            }
        }
    }
}

TEST_F(ListingParser, EmptyListingIsComparedWithoutBlocks) {
    ASSERT_EQ(parse(""), LISTING_BLOCKS);
    EXPECT_EQ(entry(0), (std::vector<Entry>{END, END, END, END}));
    EXPECT_TRUE(reported_messages().empty());
}

TEST_F(ListingParser, IdenticalFilesLine) {
    EXPECT_EQ(parse("Files a.txt and b.txt are identical\n"), LISTING_IDENTICAL);
    EXPECT_TRUE(tables.left_own.empty() && tables.right_filler.empty());
    // Only at the start of a line and with the exact capital.
    EXPECT_EQ(parse("files a and b are identical\n< Files x identical\n"), LISTING_BLOCKS);
}

TEST_F(ListingParser, LongContentLineIsNeverACommand) {
    // A fixed-size read would start a new piece with "5a6" at character 16,383.
    const std::string content = "< " + std::string(16381, 'x') + "5a6,7 " + std::string(5000, 'y');
    ASSERT_EQ(parse("1c1\n" + content + "\n---\n> z\n"), LISTING_BLOCKS);
    EXPECT_EQ(tables.left_own.size(), 2u);
}

TEST_F(ListingParser, AHugeQuotedLineIsReadWithProgressStepsAndAStopLeavesNothing) {
    const std::string listing = "1c1\n< " + std::string(300000, 'x') + "\n---\n> z\n3d1\n";
    for (int stop_at : {0, 3}) {
        const ProgressRecorder recorder(stop_at);
        const ProgressScope work("Comparing");
        EXPECT_EQ(parse(listing), stop_at == 0 ? LISTING_BLOCKS : LISTING_FAILED);
        // One step a block read, the window asked within the line.
        EXPECT_GE(recorder.polls.size(), stop_at == 0 ? 5u : 3u);
        EXPECT_EQ(tables.left_own.size(), stop_at == 0 ? 3u : 0u);
        EXPECT_TRUE(message_texts().empty());  // a stop is the user's: nothing to say
    }
}

TEST_F(ListingParser, MalformedCommandLinesDoNotBreakTheTables) {
    ASSERT_EQ(parse("12\n99999999999999999999c1\n1,2d\n3,1c\n,\n"), LISTING_BLOCKS);
    // "12" has no letter and is ignored; the others fill entries with bounded numbers.
    ASSERT_EQ(tables.left_own.size(), 4u);
    for (std::size_t k = 0; k < 3; ++k) {
        for (const Entry& e : entry(k)) {
            EXPECT_TRUE(e == ABSENT || (e.first >= 0 && e.last >= 0)) << k << " " << e;
        }
    }
}

TEST_F(ListingParser, TableMemoryRefusedLeavesNothing) {
    merge_simulated_memory_limit = 4 * sizeof(DiffBlock);
    std::string listing;
    for (int k = 1; k < 10; ++k) {
        listing += std::to_string(k) + "d0\n";
    }
    EXPECT_EQ(parse(listing), LISTING_FAILED);
    EXPECT_TRUE(tables.left_own.empty());
    EXPECT_EQ(message_texts(), (std::vector<std::string>{"Not enough memory"}));
}

using BlockInsertion = MergeTest;

TEST_F(BlockInsertion, InsertsAnAbsentEntryInAllFourTables) {
    load(SIDE_LEFT, "l.txt", lf_lines({"a", "b"}));
    load(SIDE_RIGHT, "r.txt", lf_lines({"a", "c"}));
    install_listing("2c2\n< b\n---\n> c\n");
    ASSERT_EQ(insert_block(0), 0);
    ASSERT_EQ(insert_block(2), 0);  // just before the end marker
    EXPECT_EQ(insert_block(4), -1);
    for (const auto* t : {&merge_document.left.own_blocks, &merge_document.left.filler_blocks,
                          &merge_document.right.own_blocks, &merge_document.right.filler_blocks}) {
        ASSERT_EQ((*t)->size(), 4u);
        EXPECT_EQ((**t)[0].first, BLOCK_ABSENT);
        EXPECT_EQ((**t)[2].last, BLOCK_ABSENT);
        EXPECT_TRUE(is_end((**t)[3]));
    }
    EXPECT_EQ((*merge_document.left.own_blocks)[1].first, 2);
}

using Realign = MergeTest;

TEST_F(Realign, BlankPairsChangeNothing) {
    load(SIDE_LEFT, "l.txt", lf_lines({"a", "", " \t", "b", "c"}));
    load(SIDE_RIGHT, "r.txt", lf_lines({"a", "\t", "", "b", "x"}));
    install_listing("5c5\n< c\n---\n> x\n");
    ASSERT_EQ(realign_blank_lines(), 0);
    EXPECT_EQ(block_count(), 1);
}

TEST_F(Realign, LoneBlankLinesGetBlocksAndHeightsAgree) {
    // A listing that pairs a blank line with one that is not: the 0xA0 of U+5800 is
    // part of the character, not white space.
    load(SIDE_LEFT, "l.txt", lf_lines({"a", "", "b", "c", "d"}));
    load(SIDE_RIGHT, "r.txt", lf_lines({"a", "\xE5\xA0\x80", "b", "x", "d"}));
    install_listing("4c4\n< c\n---\n> x\n");
    ASSERT_EQ(realign_blank_lines(), 0);
    const MergeSide& l = merge_document.left;
    const MergeSide& r = merge_document.right;
    ASSERT_GE(block_count(), 2);
    EXPECT_EQ((*l.own_blocks)[0].first, 2);  // the lone blank line of the left
    EXPECT_EQ((*r.filler_blocks)[0].first, 2);
    compute_total_rows();
    int64_t right_rows = r.line_count;
    for (const DiffBlock& b : *r.filler_blocks) {
        if (is_present(b)) {
            right_rows += b.last - b.first + 1;
        }
    }
    EXPECT_EQ(merge_document.total_rows, right_rows);
    choose_all_from(SIDE_LEFT);
    EXPECT_EQ(merged_text(), with_line_ends({"a", "", "b", "c", "d"}));
}

TEST(RealignBlankLine, IsWhiteSpaceOnlyInAnyScript) {
    std::mt19937 rng(23);
    for (int i = 0; i < 20000; ++i) {
        const std::string line = random_lines::edited_line(random_lines::random_line(rng), rng);
        ASSERT_EQ(is_blank_line(line, CHARSET_UTF8), random_lines::visible(line, false).empty())
            << line;
    }
    EXPECT_TRUE(is_blank_line("\xC2\xA0 \xA0\b", CHARSET_UTF8));
    EXPECT_FALSE(is_blank_line("\xD0\xA0", CHARSET_UTF8));
}

TEST_F(Realign, ABlankLineNeverFacesOneWithACharacterInRandomText) {
    // Each side random lines, blank ones often (white space of every kind, edited so
    // that a byte may join or break a character); the listing calls all but the last
    // line equal, as -w would have to. After the pass a common row shows two blank
    // lines or two that are not.
    std::mt19937 rng(7);
    const auto line = [&rng] {
        if (rng() % 2 == 0) {
            return random_lines::random_line(rng);
        }
        static const char* const white[] = {" ", "\t", "\xC2\xA0", "\xA0", "\b"};
        std::string blank;
        for (unsigned n = rng() % 4; n > 0; --n) {
            blank += white[rng() % 5];
        }
        return random_lines::edited_line(blank, rng);
    };
    for (int round = 0; round < 20; ++round) {
        std::vector<std::string> left;
        std::vector<std::string> right;
        for (int i = 0; i < 30; ++i) {
            left.push_back(line());
            right.push_back(line());
        }
        left.push_back("end-l");
        right.push_back("end-r");
        load(SIDE_LEFT, "l.txt", lf_lines(left));
        load(SIDE_RIGHT, "r.txt", lf_lines(right));
        install_listing("31c31\n< end-l\n---\n> end-r\n");
        ASSERT_EQ(realign_blank_lines(), 0);
        compute_total_rows();
        const MergeSide& l = merge_document.left;
        const MergeSide& r = merge_document.right;
        for (int32_t row = 0; row < merge_document.total_rows; ++row) {
            const int32_t a = row_to_line(l, row);
            const int32_t b = row_to_line(r, row);
            if (a < 0 || b < 0 || a >= l.line_count || b >= r.line_count ||
                find_block_at(l, a, KIND_OWN_LINE) >= 0 ||
                find_block_at(r, b, KIND_OWN_LINE) >= 0) {
                continue;
            }
            // Each side's white space is that of its charset.
            const auto blank = [](const std::string& text, const MergeSide& side) {
                return side.charset == CHARSET_8BIT
                           ? random_lines::visible_8bit(text, false).empty()
                           : random_lines::visible(text, false).empty();
            };
            ASSERT_EQ(blank(left[a], l), blank(right[b], r))
                << "row " << row << ": " << left[a] << " / " << right[b];
        }
    }
}

TEST_F(Realign, ListingBeyondTheLoadedLinesIsHeldToThem) {
    load(SIDE_LEFT, "l.txt", lf_lines({"a", ""}));
    load(SIDE_RIGHT, "r.txt", lf_lines({"a", "x"}));
    install_listing("40c40\n< q\n---\n> r\n");
    EXPECT_EQ(realign_blank_lines(), 0);  // reads no line past the texts
}

}  // namespace
