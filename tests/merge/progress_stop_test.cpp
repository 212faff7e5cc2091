// A load or a comparison the user stops leaves the document as it was, says nothing and
// leaves no temporary file; a file another program changes while it is read is named.
#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "merge/blocks.h"
#include "merge/comparison.h"
#include "tests/merge/merge_test_util.h"
#include "tests/support/progress_recorder.h"

namespace {

class StoppedWork : public OwnTmpMergeTest {};

TEST_F(StoppedWork, LeavesTheComparedDocumentAsItWas) {
    load(SIDE_LEFT, "l.txt", lf_lines({"a", "b", "c", "d"}));
    load(SIDE_RIGHT, "r.txt", lf_lines({"x", "a", "c", "d", "e"}));
    compare_files();
    const int32_t blocks = block_count();
    ASSERT_GT(blocks, 0);
    const std::string right_path = merge_document.right.path;
    const std::string other = dir.write("other.txt", lf_lines({"new", "text"}));
    {
        ProgressRecorder recorder(1);
        compare_files();
        EXPECT_EQ(recorder.polls.at(0).activity, "Comparing");
        EXPECT_EQ(load_side(other.c_str(), SIDE_RIGHT), -1);
        EXPECT_EQ(recorder.polls.at(1).activity, "Loading");
    }
    EXPECT_EQ(block_count(), blocks);
    EXPECT_EQ(merge_document.right.path, right_path);
    EXPECT_EQ(merge_document.right.line_count, 5);
    EXPECT_EQ(message_texts(), std::vector<std::string>{});
    EXPECT_TRUE(fake_platform().posted.empty());
    EXPECT_TRUE(std::filesystem::is_empty(dir.file("tmp")));
}

// A comparison shows one share (ProgressPart): the engine's steps up to four fifths of
// it, the steps of a listing long enough to poll in the rest, never going back.
TEST_F(StoppedWork, AComparisonsShareGrowsThroughTheEngineAndItsListing) {
    load(SIDE_LEFT, "l.txt", lf_lines({"a", std::string(300000, 'x'), "c"}));
    load(SIDE_RIGHT, "r.txt", lf_lines({"a", std::string(300000, 'y'), "c"}));
    ProgressRecorder recorder;
    compare_files();
    ASSERT_GT(block_count(), 0);
    std::uint64_t last = 0;
    std::size_t listing_polls = 0;
    for (const ProgressPoll& poll : recorder.polls) {
        EXPECT_EQ(poll.activity, "Comparing");
        EXPECT_EQ(poll.total, 1000u);
        EXPECT_GE(poll.done, last);
        last = poll.done;
        listing_polls += poll.done > 800 ? 1 : 0;
    }
    EXPECT_GE(listing_polls, 5u);  // the listing holds both lines: ten blocks of reading
    EXPECT_EQ(last, 1000u);
}

// Another program writes, cuts or removes the file while it is read: the load names it
// and the side keeps what it had.
TEST_F(StoppedWork, AFileChangedWhileItIsReadIsNamedAndNotShown) {
    const std::string kept = load(SIDE_LEFT, "kept.txt", lf_lines({"kept"}));
    const std::string path = dir.file("changing.txt");
    // Each returns whether the change could be made (Windows keeps an open file).
    const std::vector<std::pair<const char*, std::function<bool()>>> changes = {
        {"grown",
         [&] {
             dir.write("changing.txt", lf_lines({"one", "two", "three", "four"}));
             return true;
         }},
        {"cut",
         [&] {
             dir.write("changing.txt", "o");
             return true;
         }},
        {"removed",
         [&] {
             std::error_code ec;
             return std::filesystem::remove(path, ec);
         }},
    };
    for (const auto& [name, make_change] : changes) {
        SCOPED_TRACE(name);
        const std::function<bool()>& change = make_change;  // a lambda cannot take a binding
        dir.write("changing.txt", lf_lines({"one", "two"}));
        clear_reported_messages();
        bool changed = false;
        {
            ProgressRecorder recorder;
            recorder.at_poll = [&] { changed = changed || change(); };
            if (load_side(path.c_str(), SIDE_LEFT) == 0) {
                EXPECT_FALSE(changed) << "a changed file was shown";
                continue;
            }
        }
        EXPECT_TRUE(changed);
        EXPECT_EQ(message_texts(),
                  std::vector<std::string>{"File " + path + " changed while it was being read"});
        EXPECT_EQ(merge_document.left.path, kept);
        EXPECT_EQ(merge_document.left.line_count, 1);
    }
}

}  // namespace
