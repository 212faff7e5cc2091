// The walk's copies do not wait for the disk; their safety is the rename that takes
// the target's name only while it is free. A fault at any step leaves the target as
// it was, reported, and no temporary file behind.
#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

#include "common/native_file.h"
#include "common/paths.h"
#include "common/report.h"
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

// Another program writes to a source while the walk copies it, on each of the walk's
// copy paths: the file is reported by name, the target stays as it was, no temporary
// file is left, and the walk goes on to the next file.
TEST_F(DirWalkTest, ASourceChangedWhileCopiedIsReportedAndNotWritten) {
    enum Path { NEW_TARGET, SAME_PAIR, SAME_PAIR_RIGHT, REPLACING };
    const std::string original = "original bytes\n";
    struct Change {
        const char* name;
        std::string bytes;  // what the source holds afterwards
    };
    const Change changes[] = {
        {"grown", original + "more\n"}, {"cut", "orig"}, {"same size", "ORIGINAL BYTES\n"}};
    for (const Path path : {NEW_TARGET, SAME_PAIR, SAME_PAIR_RIGHT, REPLACING}) {
        const std::string changed =
            join_dir_file((path == SAME_PAIR_RIGHT ? d2 : d1).path(), "a.txt");
        for (const Change& change : changes) {
            SCOPED_TRACE(std::to_string(path) + " " + change.name);
            for (const TempDir* dir : {&d1, &d2, &target}) {
                std::filesystem::remove_all(dir->path());
                std::filesystem::create_directory(dir->path());
            }
            put(d1, "a.txt", original);
            put(d1, "b.txt", "next\n");
            Files expected{{"b.txt", "next\n"}};
            if (path == SAME_PAIR || path == SAME_PAIR_RIGHT) {
                put(d2, "a.txt", original);
            } else if (path == REPLACING) {
                put(target, "a.txt", "old\n");
                expected["a.txt"] = "old\n";
            }
            reset_fake_platform();
            clear_reported_messages();
            fake_platform().answers = {ANSWER_YES_TO_ALL, ANSWER_YES_TO_ALL};
            FileFaults faults;
            // Replacing, the first copy finds the name taken and the second replaces it.
            faults.change_at_write = path == REPLACING ? 2 : 1;
            faults.change = [&] {
                std::ofstream(native_path(changed), std::ios::binary) << change.bytes;
            };
            {
                const ScopedFileFaults faulty(faults);
                start(d1.path(), d2.path(), target.path());
            }
            EXPECT_EQ(files_of(target.path()), expected);
            EXPECT_EQ(message_texts(), (std::vector<std::string>{
                                           format_message(FILE_CHANGED_WHILE_READ, changed.c_str()),
                                           WALK_DONE_MESSAGE}));
        }
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
