// A load or a comparison the user stops leaves the document as it was, says nothing and
// leaves no temporary file.
#include <filesystem>
#include <string>

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

}  // namespace
