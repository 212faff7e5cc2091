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
#include "merge/resolution.h"
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

// One line of a drawn conflict file, with its end.
struct DrawnLine {
    std::string text;
    std::string end;
};
using DrawnLines = std::vector<DrawnLine>;

// A part of a drawn conflict file: common lines, or a conflict.
struct DrawnPart {
    bool conflict = false;
    DrawnLines common, ours, base, theirs;
    bool has_base = false;
    std::size_t marker = 7;
};

std::string joined(const DrawnLines& lines) {
    std::string s;
    for (const DrawnLine& l : lines) {
        s += l.text + l.end;
    }
    return s;
}

// Random conflict files: LF, CR LF or mixed ends (where a text always has the same end),
// conflicts with and without base sections, empty parts, longer markers, a last line
// without a line feed.
class DrawnConflictFile {
public:
    explicit DrawnConflictFile(std::mt19937& random) : random_(random) {
        style_ = pick(3);
        const int parts = 1 + pick(6);
        for (int p = 0; p < parts; ++p) {
            DrawnPart part;
            part.conflict = pick(2) != 0;
            if (!part.conflict) {
                part.common = lines(pick(4));
            } else {
                part.marker = pick(4) == 0 ? 9 : 7;
                part.ours = lines(pick(3));
                part.has_base = pick(2) == 0;
                part.base = part.has_base ? lines(pick(3)) : DrawnLines();
                part.theirs = lines(pick(3));
            }
            parts_.push_back(part);
        }
        if (pick(3) == 0) {
            DrawnPart tail;
            tail.common = {{pick(2) == 0 ? "tail" : "ta\x1ail\r", ""}};
            parts_.push_back(tail);
        }
    }
    const std::vector<DrawnPart>& parts() const { return parts_; }
    int conflicts() const {
        int n = 0;
        for (const DrawnPart& p : parts_) {
            n += p.conflict ? 1 : 0;
        }
        return n;
    }
    // The file git left.
    std::string file() const {
        std::string s;
        for (const DrawnPart& p : parts_) {
            if (!p.conflict) {
                s += joined(p.common);
                continue;
            }
            auto marker = [&](char c, const char* label) {
                return line(std::string(p.marker, c) + (label[0] != '\0' ? " " : "") + label);
            };
            s += marker('<', "HEAD") + joined(p.ours);
            if (p.has_base) {
                s += marker('|', "base") + joined(p.base);
            }
            s += marker('=', "") + joined(p.theirs) + marker('>', "topic");
        }
        return s;
    }
    // The file had `side` won every conflict.
    std::string side(Side side) const {
        std::string s;
        for (const DrawnPart& p : parts_) {
            s += joined(p.conflict ? (side == SIDE_LEFT ? p.ours : p.theirs) : p.common);
        }
        return s;
    }
    int pick(int n) { return static_cast<int>(random_() % static_cast<unsigned>(n)); }
    // 0: LF, 1: CR LF, 2: mixed, where a text always has the same end.
    bool ends_in_crlf(const std::string& text) const {
        return style_ == 1 || (style_ == 2 && text[0] % 2 == 0);
    }
    std::string line(const std::string& text) const {
        return text + (ends_in_crlf(text) ? "\r\n" : "\n");
    }

private:
    // Texts hold lone carriage returns and Ctrl-Z bytes, and may end in a carriage
    // return before CR LF ("top\r\r\n").
    DrawnLines lines(int count) {
        DrawnLines out;
        for (int i = 0; i < count; ++i) {
            std::string text;
            for (int c = 1 + pick(3); c > 0; --c) {
                text += "abcde\r\x1a"[pick(7)];
            }
            const bool crlf = ends_in_crlf(text);
            if (!crlf && text.ends_with('\r')) {
                text += 'z';  // else its carriage return would end it
            }
            out.push_back({text, crlf ? "\r\n" : "\n"});
        }
        return out;
    }
    std::mt19937& random_;
    int style_ = 0;
    std::vector<DrawnPart> parts_;
};

// Random conflict files: choosing every block from one side writes exactly what git
// would have written had that side won, built here from the parts.
TEST_F(ConflictMode, ChoosingOneSideWritesThatSideExactly) {
    std::mt19937 random(20261209);
    for (int round = 0; round < 150; ++round) {
        SCOPED_TRACE(round);
        const DrawnConflictFile drawn(random);
        const std::string file = drawn.file();
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
            ASSERT_EQ(read_bytes(path), drawn.side(side)) << file;
            for (const ReportedMessage& m : reported_messages()) {
                ASSERT_NE(m.severity, SEVERITY_WARNING) << m.text;  // nothing is lost to warn of
            }
        }
        clear_reported_messages();
    }
    EXPECT_EQ(names(), std::set<std::string>{"notes.txt"});
}

// Every resolution of every conflict: one block per conflict, and the file written is
// the parts in order, a side's lines with their own ends, the rest ending as the line
// before the conflict does; "Take base" only where a base section is.
TEST_F(ConflictMode, EveryResolutionWritesItsParts) {
    std::mt19937 random(20261210);
    for (int round = 0; round < 300; ++round) {
        SCOPED_TRACE(round);
        DrawnConflictFile drawn(random);
        const std::string file = drawn.file();
        const std::string path = dir.write("notes.txt", file);
        if (load_conflict_file(path.c_str()) != 0) {
            continue;  // no conflict was drawn
        }
        compare_files();
        ASSERT_EQ(block_count(), drawn.conflicts()) << file;
        // The ours text as the left side holds it: the end of the line before each
        // conflict, and the first line's.
        DrawnLines ours;
        for (const DrawnPart& p : drawn.parts()) {
            const DrawnLines& l = p.conflict ? p.ours : p.common;
            ours.insert(ours.end(), l.begin(), l.end());
        }
        std::string first_end = "\n";
        for (const Side side : {SIDE_RIGHT, SIDE_LEFT}) {
            const std::string text = drawn.side(side);
            const std::size_t feed = text.find('\n');
            if (feed != std::string::npos) {
                first_end = feed > 0 && text[feed - 1] == '\r' ? "\r\n" : "\n";
            }
        }
        std::string want;
        std::size_t ours_so_far = 0;
        int32_t k = 0;
        for (const DrawnPart& p : drawn.parts()) {
            if (!p.conflict) {
                want += joined(p.common);
                ours_so_far += p.common.size();
                continue;
            }
            ASSERT_EQ(can_take_base(k), p.has_base);
            const std::string end = ours_so_far > 0 ? ours[ours_so_far - 1].end : first_end;
            ours_so_far += p.ours.size();
            auto ended = [&](const DrawnLines& lines) {
                std::string s;
                for (const DrawnLine& l : lines) {
                    s += l.text + end;
                }
                return s;
            };
            merge_document.current_block = k++;
            const int kind = drawn.pick(p.has_base ? 6 : 5);
            if (kind == 5) {
                resolve_current_block(RESOLVED_BASE);
                want += ended(p.base);
            } else if (kind == 4) {
                const DrawnLines edit(static_cast<std::size_t>(drawn.pick(3)), {"é 編", "\n"});
                ASSERT_EQ(edit_current_block(joined(edit)), 0);
                want += ended(edit);
            } else {
                static const Resolution kinds[] = {RESOLVED_LEFT, RESOLVED_RIGHT,
                                                   RESOLVED_LEFT_RIGHT, RESOLVED_RIGHT_LEFT};
                resolve_current_block(kinds[kind]);
                want += kind == 0   ? joined(p.ours)
                        : kind == 1 ? joined(p.theirs)
                        : kind == 2 ? ended(p.ours) + ended(p.theirs)
                                    : ended(p.theirs) + ended(p.ours);
            }
        }
        ASSERT_EQ(write_command(), 0);
        ASSERT_EQ(read_bytes(path), want) << file;
        clear_reported_messages();
    }
}

}  // namespace
