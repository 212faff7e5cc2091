#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include "merge/blocks.h"
#include "merge/selection.h"
#include "common/textio.h"
#include "merge/comparison.h"
#include "tests/merge/merge_test_util.h"

namespace {

namespace fs = std::filesystem;

// Every run gets its own TMP so that leftover listing files can be seen.
class Comparison : public OwnTmpMergeTest {
protected:
    int files_in_tmp() {
        int n = 0;
        for ([[maybe_unused]] const auto& e : fs::directory_iterator(dir.file("tmp"))) {
            ++n;
        }
        return n;
    }
};

TEST_F(Comparison, DifferencesAreInstalledAndTheListingRemoved) {
    load(SIDE_LEFT, "l.txt", lf_lines({"a", "b", "c", "d"}));
    load(SIDE_RIGHT, "r.txt", lf_lines({"x", "a", "c", "d", "e"}));
    merge_document.auto_walk = 1;
    reset_fake_platform();
    compare_files();

    const MergeDocument& doc = merge_document;
    EXPECT_EQ(doc.not_compared, 0);
    EXPECT_EQ(block_count(), 3);  // 0a1, 2d2, 4a5
    EXPECT_EQ(doc.total_rows, 6);
    EXPECT_EQ(fake_platform().scroll_max, 6);
    EXPECT_EQ(fake_platform().cursor_depth, 0);
    EXPECT_EQ(count_calls("wait_cursor"), 1);
    EXPECT_EQ(count_calls("redraw_scroll_bar"), 1);
    EXPECT_EQ(take_posted_request(), REQUEST_FIRST);
    EXPECT_EQ(files_in_tmp(), 0);
    EXPECT_TRUE(reported_messages().empty());
    go_first();
    EXPECT_EQ(doc.top_row, 0);
}

// A UTF-8 mark once showed as a difference on line 1 that nobody could see.
TEST_F(Comparison, MarkedAndUnmarkedUtf8OfOneTextAreIdentical) {
    load(SIDE_LEFT, "l.txt", "\xEF\xBB\xBF" + lf_lines({"a", "b"}));
    load(SIDE_RIGHT, "r.txt", lf_lines({"a", "b"}));
    EXPECT_EQ(run_comparison(merge_document.left.path, merge_document.right.path), 1);
    EXPECT_EQ(message_texts(), (std::vector<std::string>{"Files are identical"}));
    EXPECT_EQ(files_in_tmp(), 0);  // listing and comparison copy both gone
}

TEST_F(Comparison, Utf16FileIsComparedByItsLines) {
    std::string utf16 = "\xFF\xFE";
    for (char c : std::string("one\r\ntwo\r\nthree\r\nfour\r\n")) {
        utf16 += c;
        utf16 += '\0';
    }
    load(SIDE_LEFT, "l.txt", utf16);
    load(SIDE_RIGHT, "r.txt", lf_lines({"one", "2", "three", "four"}));
    compare_files();
    ASSERT_EQ(block_count(), 1);
    EXPECT_EQ((*merge_document.left.own_blocks)[0].first, 2);  // 2c2: line numbers of the text
    EXPECT_EQ((*merge_document.right.own_blocks)[0].last, 2);
    EXPECT_EQ(files_in_tmp(), 0);

    // The copies go however the run ends.
    comparison_engine = [](int, char**) { return 2; };
    merge_document.not_compared = 1;
    EXPECT_EQ(run_comparison(merge_document.left.path, merge_document.right.path), -1);
    EXPECT_EQ(files_in_tmp(), 0);
}

TEST_F(Comparison, CompressSpacesPassesTheWhiteSpaceOption) {
    load(SIDE_LEFT, "l.txt", lf_lines({"a b", "c"}));
    load(SIDE_RIGHT, "r.txt", lf_lines({"a  \tb ", "c"}));
    compare_files();
    ASSERT_EQ(block_count(), 1);

    merge_document.compress_spaces = 1;
    merge_document.not_compared = 1;
    EXPECT_EQ(run_comparison(merge_document.left.path, merge_document.right.path), 1);
    EXPECT_EQ(reported_messages(),
              (std::vector<ReportedMessage>{{"Files are identical", SEVERITY_INFO}}));
    EXPECT_EQ(block_count(), 1);  // the tables of the earlier run stay
    EXPECT_EQ(merge_document.not_compared, 0);
    EXPECT_EQ(files_in_tmp(), 0);
}

TEST_F(Comparison, IdenticalPairInDirectoryModeIsCopiedAndSkipped) {
    static int copies = 0;
    copies = 0;
    dir_walk_copy_identical = [] { ++copies; };
    load(SIDE_LEFT, "l.txt", lf_lines({"same"}));
    load(SIDE_RIGHT, "r.txt", "same\r\n");
    merge_document.directory_mode = 1;
    compare_files();
    EXPECT_EQ(copies, 1);
    EXPECT_EQ(take_posted_request(), REQUEST_NEXT_PAIR);
    EXPECT_EQ(take_posted_request(), NO_REQUEST);
    EXPECT_TRUE(reported_messages().empty());
    EXPECT_EQ(merge_document.left.line_count, 0);  // reset
    EXPECT_STREQ(merge_document.right.path, "");
}

TEST_F(Comparison, UnreadableInputLeavesTheDocumentUncompared) {
    load(SIDE_LEFT, "l.txt", lf_lines({"a"}));
    const std::string right = load(SIDE_RIGHT, "r.txt", lf_lines({"b"}));
    fs::remove(right);
    reset_fake_platform();
    compare_files();
    ASSERT_FALSE(reported_messages().empty());
    EXPECT_EQ(reported_messages().back(),
              (ReportedMessage{"Could not open temporary file", SEVERITY_ERROR}));
    EXPECT_EQ(merge_document.not_compared, 1);
    EXPECT_FALSE(merge_document.left.own_blocks);
    EXPECT_EQ(fake_platform().cursor_depth, 0);
    EXPECT_EQ(count_calls("redraw_scroll_bar"), 0);
    EXPECT_EQ(files_in_tmp(), 0);
}

// The blocks must describe the lines on screen: a listing of what the file holds now
// would point choices at lines the panes do not have.
TEST_F(Comparison, AFileChangedSinceItWasLoadedIsComparedAsShown) {
    const std::string left = load(SIDE_LEFT, "l.txt", lf_lines({"a", "b", "c", "d"}));
    load(SIDE_RIGHT, "r.txt", "a\nX\nc\nd");  // no final line feed
    TempDir::write_at(left, "q\n");
    compare_files();
    EXPECT_TRUE(reported_messages().empty());
    ASSERT_EQ(block_count(), 2);  // 2c2 and 4c4 (the line feed)
    EXPECT_EQ((*merge_document.left.own_blocks)[0].first, 2);
    EXPECT_EQ((*merge_document.right.own_blocks)[1].last, 4);
    EXPECT_EQ(merge_document.left.line_count, 4);
    EXPECT_EQ(line_text(merge_document.left, 3), "d");
    EXPECT_EQ(line_text(merge_document.right, 3), "d");
    EXPECT_EQ(files_in_tmp(), 0);
}

TEST_F(Comparison, TablesThatCannotBeHadLeaveTheDocumentAsItWas) {
    load(SIDE_LEFT, "l.txt", lf_lines({"a", "b", "c", "d", "e", "f"}));
    load(SIDE_RIGHT, "r.txt", lf_lines({"x", "b", "y", "d", "z", "f"}));
    merge_simulated_memory_limit = 2 * sizeof(DiffBlock);
    EXPECT_EQ(run_comparison(merge_document.left.path, merge_document.right.path), -1);
    EXPECT_EQ(message_texts(), (std::vector<std::string>{"Not enough memory"}));
    EXPECT_EQ(merge_document.not_compared, 1);
    EXPECT_FALSE(merge_document.left.own_blocks);
    EXPECT_EQ(files_in_tmp(), 0);
    EXPECT_EQ(fake_platform().cursor_depth, 0);
}

// A file new on one side (an empty file on the other) once could not be compared,
// and so not merged at all: Write answered that the files were not compared.
TEST_F(Comparison, AnEmptySideIsComparedAndMergedLikeAnyOther) {
    for (const Side empty : {SIDE_LEFT, SIDE_RIGHT}) {
        SCOPED_TRACE(empty == SIDE_LEFT ? "empty left" : "empty right");
        const Side full = empty == SIDE_LEFT ? SIDE_RIGHT : SIDE_LEFT;
        merge_document = MergeDocument{};
        load(empty, "empty.txt", "");
        load(full, "full.txt", lf_lines({"a", "b", "c"}));
        reset_fake_platform();
        clear_reported_messages();
        compare_files();
        EXPECT_EQ(merge_document.not_compared, 0);
        ASSERT_EQ(block_count(), 1);
        EXPECT_EQ(merge_document.total_rows, 3);
        EXPECT_EQ(fake_platform().scroll_max, 3);
        EXPECT_EQ(row_to_line(side_of(empty), 0), -1);  // filler rows against a, b, c
        EXPECT_EQ(row_to_line(side_of(full), 2), 2);
        EXPECT_EQ(find_block_row(-1, DIRECTION_NEXT), 1);

        choose_block(full, 0);
        EXPECT_EQ(merged_text(), with_line_ends({"a", "b", "c"}));
        choose_block(empty, 0);
        EXPECT_EQ(merged_text(), "");  // the empty side chosen: an empty file
        EXPECT_TRUE(reported_messages().empty());
    }
}

TEST_F(Comparison, TwoEmptyFilesAreIdentical) {
    load(SIDE_LEFT, "l.txt", "");
    load(SIDE_RIGHT, "r.txt", "");
    compare_files();
    EXPECT_EQ(merge_document.not_compared, 0);
    EXPECT_FALSE(merge_document.left.own_blocks);
    EXPECT_EQ(message_texts(), (std::vector<std::string>{"Files are identical"}));
    clear_reported_messages();
    EXPECT_EQ(merged_text(), "");  // the left file copied: empty
    EXPECT_TRUE(reported_messages().empty());
}

TEST_F(Comparison, EngineArgumentVector) {
    using V = std::vector<std::string>;
    EXPECT_EQ(comparison_arguments("t", "l", "r"), (V{"diff", "-s", "-a", "-o", "t", "l", "r"}));
    merge_document.compress_spaces = 1;
    EXPECT_EQ(comparison_arguments("t", "l", "r"),
              (V{"diff", "-s", "-a", "-w", "-o", "t", "l", "r"}));
}

// Stands in for the engine: records its arguments, writes a canned listing to -o.
struct FakeEngine {
    static inline std::vector<std::string> args;
    static inline std::string listing;
    static inline int result = 1;
    static int run(int argc, char** argv) {
        args.assign(argv, argv + argc);
        FILE* f = std::fopen(args.at(argc - 3).c_str(), "w");
        std::fputs(listing.c_str(), f);
        std::fclose(f);
        return result;
    }
};

TEST_F(Comparison, TheEngineGetsExactlyTheVectorAndAFreshListingName) {
    load(SIDE_LEFT, "l.txt", lf_lines({"a"}));
    load(SIDE_RIGHT, "r.txt", lf_lines({"b"}));
    comparison_engine = FakeEngine::run;
    FakeEngine::listing = "1c1\n< a\n---\n> b\n";
    FakeEngine::result = 1;
    merge_document.compress_spaces = 1;
    EXPECT_EQ(run_comparison(merge_document.left.path, merge_document.right.path), 0);
    const std::vector<std::string>& a = FakeEngine::args;
    ASSERT_EQ(a.size(), 8u);
    const std::string prefix = dir.file("tmp") + PATH_SEPARATOR + "diff";
    EXPECT_EQ(a[5].compare(0, prefix.size(), prefix), 0) << a[5];
    EXPECT_EQ(a, (std::vector<std::string>{"diff", "-s", "-a", "-w", "-o", a[5],
                                           merge_document.left.path, merge_document.right.path}));
    EXPECT_FALSE(exists(a[5]));
}

TEST_F(Comparison, AnEmptyListingIsComparedWithoutBlocks) {
    load(SIDE_LEFT, "l.txt", lf_lines({"a"}));
    load(SIDE_RIGHT, "r.txt", lf_lines({"a"}));
    comparison_engine = FakeEngine::run;
    FakeEngine::listing = "";
    FakeEngine::result = 0;
    EXPECT_EQ(run_comparison(merge_document.left.path, merge_document.right.path), 0);
    ASSERT_TRUE(merge_document.left.own_blocks);
    EXPECT_EQ(block_count(), 0);
    EXPECT_EQ(merge_document.not_compared, 0);
    EXPECT_TRUE(reported_messages().empty());
    EXPECT_EQ(merged_text(), with_line_ends({"a"}));
}

TEST_F(Comparison, EngineTroubleDiscardsAShortListing) {
    load(SIDE_LEFT, "l.txt", lf_lines({"a", "b"}));
    load(SIDE_RIGHT, "r.txt", lf_lines({"x", "y"}));
    comparison_engine = FakeEngine::run;
    FakeEngine::listing = "1c1\n< a\n";  // the second hunk never reached the disk
    FakeEngine::result = 2;
    EXPECT_EQ(run_comparison(merge_document.left.path, merge_document.right.path), -1);
    EXPECT_FALSE(merge_document.left.own_blocks);
    EXPECT_EQ(merge_document.not_compared, 1);
    EXPECT_TRUE(reported_messages().empty());  // the engine has reported it
    EXPECT_EQ(files_in_tmp(), 0);
    EXPECT_EQ(fake_platform().cursor_depth, 0);
}

TEST_F(Comparison, ALongTemporaryPathTravelsWhole) {
    std::string deep = dir.file("tmp");
    while (deep.size() < 200) {
        deep = join_dir_file(deep, "nested-directory");
        fs::create_directory(deep);
    }
    const ScopedEnv long_tmp("TMP", deep);
    load(SIDE_LEFT, "l.txt", lf_lines({"a", "b"}));
    load(SIDE_RIGHT, "r.txt", lf_lines({"a", "c"}));
    EXPECT_EQ(run_comparison(merge_document.left.path, merge_document.right.path), 0);
    EXPECT_EQ(block_count(), 1);
    EXPECT_TRUE(fs::is_empty(deep));
}

TEST_F(Comparison, TemporaryNameBeginsWithDiffAndFallsBackToTheCurrentDirectory) {
    std::string name;
    ASSERT_EQ(make_temp_listing_name(name), 0);
    const std::string prefix = dir.file("tmp") + PATH_SEPARATOR + "diff";
    EXPECT_EQ(name.compare(0, prefix.size(), prefix), 0) << name;
    const ScopedEnv missing("TMP", dir.file("not-there"));
    ASSERT_EQ(make_temp_listing_name(name), 0);
    EXPECT_EQ(name.compare(0, 4, "diff"), 0) << name;
    EXPECT_EQ(name.find(PATH_SEPARATOR), std::string::npos);
}

}  // namespace
