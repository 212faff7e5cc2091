// The walk's copies do not wait for the disk; their safety is the rename that takes
// the target's name only while it is free. A fault at any step leaves the target as
// it was, reported, and no temporary file behind.
#include <gtest/gtest.h>

#include <string>

#include "merge/file_layer.h"
#include "merge/replace_file.h"
#include "tests/dircompare/dir_walk_fixture.h"
#include "tests/support/fake_report.h"
#include "tests/support/faulty_file_layer.h"

namespace {

using Files = std::map<std::string, std::string>;

TEST_F(DirWalkTest, ACopyFaultLeavesTheTargetAsItWas) {
    struct Case {
        const char* name;
        FileFaults faults;
        bool copied;  // the copies arrive anyway (by the ordinary way)
    };
    FileFaults write_fails;
    write_fails.fail_after_bytes = 3;
    FileFaults close_fails;
    close_fails.fail_close = true;
    FileFaults rename_new_fails;
    rename_new_fails.fail_rename_new = true;
    const Case cases[] = {
        {"none", FileFaults{}, true},
        {"a write", write_fails, false},
        {"the close", close_fails, false},
        {"the rename to a free name", rename_new_fails, true},
    };
    put(d1, "a.txt", "first file\n");
    put(d1, "b.bin", std::string("\0\r\n\x1A", 4));
    const Files sources = files_of(d1.path());
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::filesystem::remove_all(target.path());
        std::filesystem::create_directory(target.path());
        reset_fake_platform();
        clear_reported_messages();
        fake_platform().answers = {ANSWER_YES_TO_ALL};
        {
            const ScopedFileFaults faults(c.faults);
            start(d1.path(), d2.path(), target.path());
        }
        // Whole copies or nothing: no temporary file, no half file.
        EXPECT_EQ(files_of(target.path()), c.copied ? sources : Files{});
        EXPECT_EQ(message_texts().size(), c.copied ? 1u : 3u);  // each failure, the end
        EXPECT_EQ(merge_document.directory_mode, 0);
    }
}

// The rename that takes a free name never replaces what stands there, whatever it is.
TEST(RenameNew, NeverReplaces) {
    const TempDir dir;
    const std::string from = dir.write("from", "new");
    const std::string taken = dir.write("taken", "old");
    std::filesystem::create_directory(dir.file("sub"));
    const FileLayer layer = standard_file_layer();
    EXPECT_NE(layer.rename_new(from.c_str(), taken.c_str()), 0);
    EXPECT_NE(layer.rename_new(from.c_str(), dir.file("sub").c_str()), 0);
    EXPECT_EQ(files_of(dir.path()), (Files{{"from", "new"}, {"taken", "old"}}));
    EXPECT_EQ(layer.rename_new(from.c_str(), dir.file("free").c_str()), 0);
    EXPECT_EQ(files_of(dir.path()), (Files{{"free", "new"}, {"taken", "old"}}));
}

}  // namespace
