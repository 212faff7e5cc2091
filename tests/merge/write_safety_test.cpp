// Writes that cannot half-happen, and files that writes and copies must never touch:
// faults injected at every step leave the target and its backup as they were.
#include <filesystem>
#include <set>
#include <string>

#include "common/textio.h"
#include "merge/output.h"
#include "merge/replace_file.h"
#include "merge/selection.h"
#include "tests/merge/merge_test_util.h"
#include "tests/support/faulty_file_layer.h"

namespace {

namespace fs = std::filesystem;

std::set<std::string> names_in(const std::string& dir) {
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(dir)) {
        names.insert(entry.path().filename().string());
    }
    return names;
}

// left.txt and right.txt (one block, the right side chosen) and an output directory
// holding the target and, optionally, an older backup.
class WriteSafety : public MergeTest {
protected:
    void SetUp() override {
        MergeTest::SetUp();
        left = load(SIDE_LEFT, "left.txt", lf_lines({"keep", "old", "tail"}));
        right = load(SIDE_RIGHT, "right.txt", lf_lines({"keep", "new", "tail"}));
        install_listing("2c2\n< old\n---\n> new\n");
        choose_all_from(SIDE_RIGHT);
        fs::create_directory(out_dir());
    }
    std::string out_dir() const { return dir.file("out"); }
    std::string out(const std::string& name) const { return join_dir_file(out_dir(), name); }

    // Every write from here is answered Yes and must leave the files as they are now.
    void expect_unchanged(const std::set<std::string>& before,
                          const std::vector<std::pair<std::string, std::string>>& contents) {
        EXPECT_EQ(names_in(out_dir()), before);
        for (const auto& [name, bytes] : contents) {
            EXPECT_EQ(read_bytes(out(name)), bytes) << name;
        }
    }

    std::string left, right;
};

const std::string MERGED = with_line_ends({"keep", "new", "tail"});
using Messages = std::vector<ReportedMessage>;
const Messages WRITE_FAILED = {{"Error writing output file", SEVERITY_ERROR},
                               {"Unable to merge files", SEVERITY_ERROR}};
const Messages BACKUP_FAILED = {{"Unable to create backup file", SEVERITY_WARNING},
                                {"Unable to merge files", SEVERITY_ERROR}};

TEST_F(WriteSafety, FullDiskAtAnyByteLeavesTargetAndBackupAsTheyWere) {
    TempDir::write_at(out("t.txt"), "old target");
    TempDir::write_at(out("t.bak"), "old backup");
    const auto before = names_in(out_dir());
    for (long long n = 0; n < static_cast<long long>(MERGED.size()); ++n) {
        SCOPED_TRACE("bytes " + std::to_string(n));
        clear_reported_messages();
        fake_platform().answers = {ANSWER_YES};
        ScopedFileFaults faults({.fail_after_bytes = n});
        EXPECT_EQ(write_merged(out("t.txt").c_str()), -1);
        EXPECT_EQ(reported_messages(), WRITE_FAILED);
        expect_unchanged(before, {{"t.txt", "old target"}, {"t.bak", "old backup"}});
    }
}

TEST_F(WriteSafety, FailedCloseOrLastRenameLeavesTargetAndBackupAsTheyWere) {
    TempDir::write_at(out("t.txt"), "old target");
    TempDir::write_at(out("t.bak"), "old backup");
    const auto before = names_in(out_dir());
    for (const FileFaults& f : {FileFaults{.fail_close = true}, FileFaults{.fail_commit = true}}) {
        clear_reported_messages();
        fake_platform().answers = {ANSWER_YES};
        ScopedFileFaults faults(f);
        EXPECT_EQ(write_merged(out("t.txt").c_str()), -1);
        EXPECT_EQ(reported_messages(), WRITE_FAILED);
        expect_unchanged(before, {{"t.txt", "old target"}, {"t.bak", "old backup"}});
    }
}

TEST_F(WriteSafety, FailedBackupRenameStopsTheWrite) {
    TempDir::write_at(out("t.txt"), "old target");
    TempDir::write_at(out("t.bak"), "old backup");
    const auto before = names_in(out_dir());
    // The older backup is moved aside first (rename 1), then the target becomes the
    // backup (rename 2).
    for (int n : {1, 2}) {
        SCOPED_TRACE("rename " + std::to_string(n));
        clear_reported_messages();
        fake_platform().answers = {ANSWER_YES};
        ScopedFileFaults faults({.fail_rename = n});
        EXPECT_EQ(write_merged(out("t.txt").c_str()), -1);
        EXPECT_EQ(reported_messages(), BACKUP_FAILED);
        expect_unchanged(before, {{"t.txt", "old target"}, {"t.bak", "old backup"}});
    }
    fake_platform().answers = {ANSWER_YES};
    EXPECT_EQ(write_merged(out("t.txt").c_str()), 0);
    expect_unchanged(before, {{"t.txt", MERGED}, {"t.bak", "old target"}});
}

// Only an old backup may be replaced. A directory at the backup name was once renamed
// to a "~px" name and left there, and a read-only old backup was moved aside for good
// (it could not be deleted); both now refuse the write and the copy, moving nothing.
TEST_F(WriteSafety, WhatIsNotAnOldBackupStaysWhereItIs) {
    for (const bool directory : {true, false}) {
        SCOPED_TRACE(directory ? "directory" : "read-only file");
        fs::remove_all(out_dir());
        fs::create_directory(out_dir());
        TempDir::write_at(out("t.txt"), "old target");
        if (directory) {
            fs::create_directory(out("t.bak"));
            TempDir::write_at(out("t.bak") + PATH_SEPARATOR + "inside", "kept");
        } else {
            TempDir::write_at(out("t.bak"), "old backup");
            fs::permissions(
                out("t.bak"),
                fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                fs::perm_options::remove);
        }
        const auto before = names_in(out_dir());
        clear_reported_messages();
        fake_platform().answers = {ANSWER_YES};
        EXPECT_EQ(write_merged(out("t.txt").c_str()), -1);
        EXPECT_EQ(reported_messages(), BACKUP_FAILED);
        fake_platform().answers = {ANSWER_YES};
        EXPECT_EQ(copy_with_confirmation(left.c_str(), out("t.txt").c_str()), -1);
        EXPECT_EQ(make_backup(out("t.txt").c_str()), -1);
        expect_unchanged(before, {{"t.txt", "old target"}});
        if (directory) {
            EXPECT_EQ(read_bytes(out("t.bak") + PATH_SEPARATOR + "inside"), "kept");
        } else {
            EXPECT_EQ(read_bytes(out("t.bak")), "old backup");
            fs::permissions(out("t.bak"), fs::perms::owner_write, fs::perm_options::add);
        }
    }
}

// When the old backup, moved aside, cannot be deleted at the end, the write is undone
// rather than leave it under its temporary name.
TEST_F(WriteSafety, AnOldBackupThatCannotBeDeletedUndoesTheWrite) {
    TempDir::write_at(out("t.txt"), "old target");
    TempDir::write_at(out("t.bak"), "old backup");
    const auto before = names_in(out_dir());
    fake_platform().answers = {ANSWER_YES};
    {
        ScopedFileFaults faults({.fail_remove_suffix = ".bak"});
        EXPECT_EQ(write_merged(out("t.txt").c_str()), -1);
    }
    EXPECT_EQ(reported_messages(), BACKUP_FAILED);
    expect_unchanged(before, {{"t.txt", "old target"}, {"t.bak", "old backup"}});
}

TEST_F(WriteSafety, BakTargetWithoutBackupKeepsItsContentOnFailure) {
    TempDir::write_at(out("notes.bak"), "precious");
    for (const FileFaults& f : {FileFaults{.fail_after_bytes = 3}, FileFaults{.fail_close = true},
                                FileFaults{.fail_commit = true}}) {
        clear_reported_messages();
        fake_platform().answers = {ANSWER_YES};
        ScopedFileFaults faults(f);
        EXPECT_EQ(write_merged(out("notes.bak").c_str()), -1);
        EXPECT_EQ(reported_messages(), WRITE_FAILED);
        expect_unchanged({"notes.bak"}, {{"notes.bak", "precious"}});
    }
}

TEST_F(WriteSafety, NewTargetIsAbsentAfterAFailure) {
    ScopedFileFaults faults({.fail_after_bytes = 5});
    EXPECT_EQ(write_merged(out("new.txt").c_str()), -1);
    EXPECT_TRUE(names_in(out_dir()).empty());
}

TEST_F(WriteSafety, CopyFaultsLeaveTheDestinationAsItWas) {
    free_blocks();  // identical files: the left file is copied
    TempDir::write_at(out("d.txt"), "old dest");
    TempDir::write_at(out("d.bak"), "old backup");
    const auto before = names_in(out_dir());
    const std::string source = read_bytes(left);
    struct Case {
        FileFaults faults;
        int result;
    };
    for (const Case& c : {Case{{.fail_after_bytes = 4}, 1}, Case{{.fail_close = true}, 1},
                          Case{{.fail_rename = 2}, -1}, Case{{.fail_commit = true}, 1}}) {
        fake_platform().answers = {ANSWER_YES};
        ScopedFileFaults faults(c.faults);
        EXPECT_EQ(copy_with_confirmation(left.c_str(), out("d.txt").c_str()), c.result);
        expect_unchanged(before, {{"d.txt", "old dest"}, {"d.bak", "old backup"}});
    }
    fake_platform().answers = {ANSWER_YES};
    EXPECT_EQ(copy_with_confirmation(left.c_str(), out("d.txt").c_str()), 0);
    expect_unchanged(before, {{"d.txt", source}, {"d.bak", "old dest"}});
    EXPECT_EQ(read_bytes(left), source);
}

// Copying x.bak over x.txt once deleted the source as "the old backup" and then copied
// from a name that was gone, reporting success.
TEST_F(WriteSafety, CopyNeverDeletesItsSourceAsTheOldBackup) {
    free_blocks();
    merge_document.left.path[0] = merge_document.right.path[0] = '\0';
    TempDir::write_at(out("x.bak"), "source");
    TempDir::write_at(out("x.txt"), "dest");
    fake_platform().answers = {ANSWER_YES};
    EXPECT_EQ(copy_with_confirmation(out("x.bak").c_str(), out("x.txt").c_str()), -1);
    EXPECT_EQ(message_texts(), (std::vector<std::string>{"Cannot replace " + out("x.bak") +
                                                         ": it is in use as an input"}));
    expect_unchanged({"x.bak", "x.txt"}, {{"x.bak", "source"}, {"x.txt", "dest"}});
    EXPECT_TRUE(fake_platform().questions.empty());  // refused before asking
}

// Comparing x.txt with x.bak and writing to x.txt once deleted the input x.bak.
TEST_F(WriteSafety, WriteNeverDeletesAnInputAsTheOldBackup) {
    const std::string x = dir.write("x.txt", lf_lines({"keep", "old", "tail"}));
    const std::string xbak = dir.write("x.bak", lf_lines({"keep", "new", "tail"}));
    ASSERT_EQ(load_side(x.c_str(), SIDE_LEFT), 0);
    ASSERT_EQ(load_side(xbak.c_str(), SIDE_RIGHT), 0);
    install_listing("2c2\n< old\n---\n> new\n");
    choose_all_from(SIDE_RIGHT);
    clear_reported_messages();
    fake_platform().answers = {ANSWER_YES};
    EXPECT_EQ(write_merged(x.c_str()), -1);
    EXPECT_EQ(message_texts(),
              (std::vector<std::string>{"Cannot replace " + xbak + ": it is in use as an input"}));
    EXPECT_EQ(read_bytes(xbak), lf_lines({"keep", "new", "tail"}));
    EXPECT_EQ(read_bytes(x), lf_lines({"keep", "old", "tail"}));
}

TEST_F(WriteSafety, IdenticalFilesOntoAnInputUnderAnotherSpellingDoNothing) {
    free_blocks();
    const std::string before = read_bytes(left);
    const std::string dotted =
        join_dir_file(dir.path(), std::string(".") + PATH_SEPARATOR + "left.txt");
    const std::string up_and_down =
        join_dir_file(out_dir(), std::string("..") + PATH_SEPARATOR + "right.txt");
    for (const std::string& spelling : {dotted, up_and_down}) {
        EXPECT_EQ(write_merged(spelling.c_str()), 0);
    }
#ifdef _WIN32
    std::string upper = left;
    for (char& c : upper) {
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    EXPECT_EQ(write_merged(upper.c_str()), 0);
#endif
    const fs::path relative = fs::relative(left);
    if (!relative.empty()) {
        EXPECT_EQ(write_merged(relative.string().c_str()), 0);
    }
    EXPECT_TRUE(fake_platform().questions.empty());
    EXPECT_TRUE(reported_messages().empty());
    EXPECT_EQ(read_bytes(left), before);
    EXPECT_FALSE(exists(dir.file("left.bak")));
}

TEST_F(WriteSafety, DirectoryOrReadOnlyTargetIsRefusedAndLeftAlone) {
    fs::create_directory(out("sub"));
    EXPECT_EQ(write_merged(out("sub").c_str()), -1);
    EXPECT_EQ(copy_with_confirmation(left.c_str(), out("sub").c_str()), -1);
    const std::string refused = "Cannot write to " + out("sub") + ": it is a directory";
    EXPECT_EQ(message_texts(), (std::vector<std::string>{refused, refused}));
    EXPECT_TRUE(fs::is_directory(out("sub")));
    EXPECT_FALSE(exists(out("sub.bak")));

    clear_reported_messages();
    TempDir::write_at(out("ro.txt"), "read only");
    fs::permissions(out("ro.txt"),
                    fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                    fs::perm_options::remove);
    EXPECT_EQ(write_merged(out("ro.txt").c_str()), -1);
    EXPECT_EQ(message_texts(),
              (std::vector<std::string>{"Cannot write to " + out("ro.txt") + ": it is read-only"}));
    EXPECT_EQ(read_bytes(out("ro.txt")), "read only");
    EXPECT_FALSE(exists(out("ro.bak")));
    fs::permissions(out("ro.txt"), fs::perms::owner_write, fs::perm_options::add);
}

// Writing to an input under its short name once renamed the input to the backup of
// the short name and wrote the merge under the short name: the long name was gone.
// The file is asked about, backed up and replaced under the name it is stored as.
TEST_F(WriteSafety, ATargetIsReplacedUnderItsStoredName) {
    TempDir::write_at(out("rightinputfile.txt"), "old");
    fake_platform().stored_names[out("RIGH~RLU.TXT")] = out("rightinputfile.txt");
    fake_platform().answers = {ANSWER_YES};
    EXPECT_EQ(write_merged(out("RIGH~RLU.TXT").c_str()), 0);
    ASSERT_EQ(fake_platform().questions.size(), 1u);
    EXPECT_EQ(fake_platform().questions[0].text,
              "File " + out("rightinputfile.txt") + " already exists.\nSave anyway ?");
    EXPECT_EQ(names_in(out_dir()),
              (std::set<std::string>{"rightinputfile.bak", "rightinputfile.txt"}));
    EXPECT_EQ(read_bytes(out("rightinputfile.txt")), MERGED);
    EXPECT_EQ(read_bytes(out("rightinputfile.bak")), "old");

    // A copy (identical files, or the directory walk) too.
    free_blocks();
    fake_platform().answers = {ANSWER_YES};
    EXPECT_EQ(copy_with_confirmation(left.c_str(), out("RIGH~RLU.TXT").c_str()), 0);
    EXPECT_EQ(names_in(out_dir()),
              (std::set<std::string>{"rightinputfile.bak", "rightinputfile.txt"}));
    EXPECT_EQ(read_bytes(out("rightinputfile.txt")), read_bytes(left));
    EXPECT_EQ(read_bytes(out("rightinputfile.bak")), MERGED);
}

TEST_F(WriteSafety, DotfileIsBackedUpWithItsWholeName) {
    TempDir::write_at(out(".profile"), "p");
    EXPECT_EQ(make_backup(out(".profile").c_str()), 0);
    EXPECT_EQ(names_in(out_dir()), (std::set<std::string>{".profile.bak"}));
    EXPECT_EQ(backup_name("a.b.txt"), "a.b.bak");
    EXPECT_EQ(backup_name(".profile.bak"), "");
}

}  // namespace
