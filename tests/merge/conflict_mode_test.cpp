// Conflict mode over the real engine: a file with conflict markers loads as two sides,
// compares to its conflicts, and Write puts the chosen text back into that file.
#include <filesystem>
#include <memory>
#include <random>
#include <set>
#include <string>

#include "merge/blocks.h"
#include "merge/comparison.h"
#include "merge/conflict_mode.h"
#include "merge/history.h"
#include "merge/output.h"
#include "merge/selection.h"
#include "tests/merge/merge_test_util.h"
#include "tests/support/faulty_file_layer.h"

namespace {

namespace fs = std::filesystem;

class ConflictMode : public OwnTmpMergeTest {
protected:
    // Writes `bytes` as notes.txt, loads it in conflict mode and compares.
    std::string open(const std::string& bytes) {
        const std::string path = dir.write("notes.txt", bytes);
        EXPECT_EQ(load_conflict_file(path.c_str()), 0);
        EXPECT_TRUE(in_conflict_mode());
        compare_files();
        return path;
    }
    // The names in the test directory and its TMP, but the directory TMP itself.
    std::set<std::string> names() const {
        std::set<std::string> found;
        for (const auto& e : fs::recursive_directory_iterator(dir.path())) {
            if (e.path().filename() != "tmp") {
                found.insert(e.path().filename().string());
            }
        }
        return found;
    }
};

const std::string LF_FILE =
    "title\n<<<<<<< HEAD\nours\n=======\ntheirs\n>>>>>>> feature\nmiddle\n"
    "<<<<<<< HEAD\nx\n||||||| base\nold\n=======\ny\n>>>>>>> feature\nlast line";

TEST_F(ConflictMode, WriteReplacesTheFileWithNoQuestionDialogOrBackup) {
    const std::string path = open(LF_FILE);
    EXPECT_EQ(side_title(merge_document.left), path + " (HEAD)");
    EXPECT_EQ(side_title(merge_document.right), path + " (feature)");
    EXPECT_EQ(block_count(), 2);  // the conflicts, and nothing else
    EXPECT_TRUE(reported_messages().empty());

    choose_block(SIDE_RIGHT, 0);
    choose_block(SIDE_LEFT, 1);
    merge_written_hook = [](const char* p) { fake_platform().calls.push_back(p); };
    EXPECT_EQ(write_command(), 0);
    merge_written_hook = nullptr;
    // Every line as git wrote it, the last one still without a line feed.
    EXPECT_EQ(read_bytes(path), "title\ntheirs\nmiddle\nx\nlast line");
    EXPECT_EQ(fake_platform().save_dialogs, 0);
    EXPECT_TRUE(fake_platform().questions.empty());
    EXPECT_EQ(count_calls(path), 1);
    EXPECT_EQ(names(), std::set<std::string>{"notes.txt"});  // no .bak, no temporary
    EXPECT_TRUE(reported_messages().empty());
}

TEST_F(ConflictMode, UnresolvedBlockAndFailedWriteLeaveTheFile) {
    const std::string path = open(LF_FILE);
    choose_block(SIDE_LEFT, 0);
    EXPECT_EQ(write_conflict_file(), 1);
    EXPECT_EQ(
        reported_messages(),
        (std::vector<ReportedMessage>{{"You have unresolved difference(s) !", SEVERITY_ERROR}}));
    choose_block(SIDE_LEFT, 1);
    for (const FileFaults& faults :
         {FileFaults{.fail_after_bytes = 5}, FileFaults{.fail_close = true},
          FileFaults{.fail_commit = true}}) {
        clear_reported_messages();
        ScopedFileFaults faulty(faults);
        EXPECT_EQ(write_conflict_file(), -1);
        EXPECT_FALSE(reported_messages().empty());
        EXPECT_EQ(read_bytes(path), LF_FILE);
        EXPECT_EQ(names(), std::set<std::string>{"notes.txt"});
    }
}

TEST_F(ConflictMode, CrLfEncodingAndMarkStay) {
    const std::string bom = "\xEF\xBB\xBF";
    const std::string path =
        open(bom + "a\r\n<<<<<<< ours\r\nb\r\n=======\r\nc\r\n>>>>>>> theirs\r\nz\r\n");
    choose_all_from(SIDE_RIGHT);
    EXPECT_EQ(write_conflict_file(), 0);
    EXPECT_EQ(read_bytes(path), bom + "a\r\nc\r\nz\r\n");
}

TEST_F(ConflictMode, FileWithoutMarkersShowsOnBothSides) {
    const std::string path = dir.write("plain.txt", "one\ntwo\n");
    EXPECT_EQ(load_conflict_file(path.c_str()), 1);
    EXPECT_EQ(reported_messages(),
              (std::vector<ReportedMessage>{{path + " has no conflict markers", SEVERITY_INFO}}));
    EXPECT_FALSE(in_conflict_mode());
    for (const MergeSide* s : {&merge_document.left, &merge_document.right}) {
        EXPECT_EQ(s->line_count, 2);
        EXPECT_EQ(line_text(*s, 1), "two");
        EXPECT_EQ(side_title(*s), path);
    }
}

TEST_F(ConflictMode, BadMarkersLoadNothing) {
    load(SIDE_LEFT, "before.txt", "kept\n");
    const std::string bad = "a\n<<<<<<< o\nb\n<<<<<<< p\n";
    const std::string path = dir.write("bad.txt", bad);
    clear_reported_messages();
    EXPECT_EQ(load_conflict_file(path.c_str()), -1);
    EXPECT_EQ(reported_messages(),
              (std::vector<ReportedMessage>{
                  {path + ", line 4: conflict marker inside a conflict", SEVERITY_ERROR}}));
    EXPECT_EQ(line_text(merge_document.left, 0), "kept");
    EXPECT_FALSE(in_conflict_mode());
    EXPECT_EQ(read_bytes(path), bad);
}

TEST_F(ConflictMode, LoadingAnotherFileEndsConflictMode) {
    open(LF_FILE);
    load(SIDE_LEFT, "other.txt", "title\n");
    EXPECT_FALSE(in_conflict_mode());
    // The right side still holds "theirs", not the file's bytes: the engine compares it.
    compare_files();
    choose_all_from(SIDE_RIGHT);
    fake_platform().save_results = {dir.file("out.txt")};
    EXPECT_EQ(write_command(), 0);
    EXPECT_EQ(read_bytes(dir.file("out.txt")),
              with_line_ends({"title", "theirs", "middle", "y", "last line"}));
}

// Another program changed (or removed) the file Write would replace since it was
// loaded: Write asks, No leaves the file as the other program left it, Yes writes. In
// conflict mode that file is FILE; in an ordinary merge, the input chosen as target.
TEST_F(ConflictMode, WriteAsksBeforeReplacingAFileChangedSinceItWasLoaded) {
    const std::string changed = "the other program's text\n";
    struct Case {
        const char* name;
        bool conflict_mode;
        bool removed;
    };
    for (const Case& c : {Case{"conflict", true, false}, Case{"conflict, removed", true, true},
                          Case{"onto an input", false, false}}) {
        SCOPED_TRACE(c.name);
        std::string path;
        if (c.conflict_mode) {
            path = open(LF_FILE);
        } else {
            path = load(SIDE_LEFT, "left.txt", "a\nb\n");
            load(SIDE_RIGHT, "right.txt", "a\nc\n");
            compare_files();
        }
        choose_all_from(SIDE_RIGHT);
        if (c.removed) {
            fs::remove(path);
        } else {
            dir.write(fs::path(path).filename().string(), changed);
        }
        auto write = [&] {
            return c.conflict_mode ? write_conflict_file() : write_merged(path.c_str());
        };
        // An ordinary merge first asks whether to replace the existing file.
        const std::size_t replace_questions = c.conflict_mode ? 0 : 1;
        reset_fake_platform();
        fake_platform().answers = {ANSWER_YES, ANSWER_NO};
        if (c.conflict_mode) {
            fake_platform().answers.pop_front();
        }
        EXPECT_EQ(write(), -1);
        ASSERT_EQ(fake_platform().questions.size(), replace_questions + 1);
        const AskedQuestion& asked = fake_platform().questions.back();
        EXPECT_EQ(asked.caption, "Confirm the operation");
        EXPECT_EQ(asked.text,
                  "File " + path + " changed on disk since it was loaded.\nWrite anyway ?");
        EXPECT_EQ(asked.buttons, BUTTONS_YES_NO);
        EXPECT_EQ(file_exists(path.c_str()), !c.removed);
        if (!c.removed) {
            EXPECT_EQ(read_bytes(path), changed);
        }
        fake_platform().answers = {ANSWER_YES, ANSWER_YES};
        EXPECT_EQ(write(), 0);
        EXPECT_EQ(read_bytes(path), c.conflict_mode ? "title\ntheirs\nmiddle\ny\nlast line"
                                                    : with_line_ends({"a", "c"}));
        // What this write left is no change by another program.
        fake_platform().questions.clear();
        fake_platform().answers = {ANSWER_YES};
        EXPECT_EQ(write(), 0);
        EXPECT_EQ(fake_platform().questions.size(), replace_questions);
        EXPECT_TRUE(reported_messages().empty());
        fs::remove(dir.file("left.bak"));
    }
}

// Random conflict files: choosing every block from one side writes exactly what git
// would have written had that side won, built here from the parts.
TEST_F(ConflictMode, ChoosingOneSideWritesThatSideExactly) {
    std::mt19937 random(20261209);
    auto pick = [&](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
    for (int round = 0; round < 150; ++round) {
        SCOPED_TRACE(round);
        // 0: LF, 1: CR LF, 2: mixed, where a text always has the same end so that the
        // lines the engine pairs up end alike. Texts hold lone carriage returns and
        // Ctrl-Z bytes, and may end in a carriage return before CR LF ("top\r\r\n").
        const int style = pick(3);
        auto line = [&](std::string text) {
            const bool crlf = style == 1 || (style == 2 && text[0] % 2 == 0);
            if (!crlf && text.ends_with('\r')) {
                text += 'z';  // else its carriage return would end it
            }
            return text + (crlf ? "\r\n" : "\n");
        };
        auto lines = [&](int count) {
            std::string s;
            for (int i = 0; i < count; ++i) {
                std::string text;
                for (int c = 1 + pick(3); c > 0; --c) {
                    text += "abcde\r\x1a"[pick(7)];
                }
                s += line(text);
            }
            return s;
        };
        std::string file, ours, theirs;
        const int parts = 1 + pick(6);
        for (int p = 0; p < parts; ++p) {
            if (pick(2) == 0) {
                const std::string common = lines(pick(4));
                file += common;
                ours += common;
                theirs += common;
                continue;
            }
            const std::string size(pick(4) == 0 ? 9 : 7, ' ');
            auto marker = [&](char c, const char* label) {
                return line(std::string(size.size(), c) + (label[0] != '\0' ? " " : "") + label);
            };
            const std::string mine = lines(pick(3));
            const std::string yours = lines(pick(3));
            file += marker('<', "HEAD") + mine;
            if (pick(2) == 0) {
                file += marker('|', "base") + lines(pick(3));
            }
            file += line(std::string(size.size(), '=')) + yours + marker('>', "topic");
            ours += mine;
            theirs += yours;
        }
        if (pick(3) == 0) {
            const std::string last = pick(2) == 0 ? "tail" : "ta\x1ail\r";
            file += last;
            ours += last;
            theirs += last;
        }
        for (const Side side : {SIDE_LEFT, SIDE_RIGHT}) {
            const std::string path = dir.write("notes.txt", file);
            const int loaded = load_conflict_file(path.c_str());
            ASSERT_NE(loaded, -1) << file;
            if (loaded == 1) {
                break;  // no conflict was drawn
            }
            compare_files();
            choose_all_from(side);
            ASSERT_EQ(write_command(), 0);
            ASSERT_EQ(read_bytes(path), side == SIDE_LEFT ? ours : theirs) << file;
            for (const ReportedMessage& m : reported_messages()) {
                ASSERT_NE(m.severity, SEVERITY_WARNING) << m.text;  // nothing is lost to warn of
            }
        }
        clear_reported_messages();
    }
    EXPECT_EQ(names(), std::set<std::string>{"notes.txt"});
}

}  // namespace
