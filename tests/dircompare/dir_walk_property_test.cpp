// Random directory pairs walked with every copy confirmed and every differing pair
// taken from the left and written: the target must hold exactly what each kind of
// entry promises, and neither input directory may change by a byte.
#include <gtest/gtest.h>

#include <cctype>
#include <filesystem>
#include <random>
#include <set>
#include <string>

#include "common/textio.h"
#include "merge/document.h"
#include "merge/output.h"
#include "merge/selection.h"
#include "tests/dircompare/dir_walk_fixture.h"

namespace {

enum Kind { ONLY_LEFT, ONLY_RIGHT, SAME_STAMP, IDENTICAL, DIFFERING, KIND_COUNT };

using Files = std::map<std::string, std::string>;

class Generator {
public:
    explicit Generator(unsigned seed) : rng_(seed) {}

    int below(int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng_); }

    // A name unique in the pair without regard to case.
    std::string fresh_name(std::set<std::string>& folded) {
        for (;;) {
            std::string name;
            const int length = 1 + below(6);
            for (int i = 0; i < length; ++i) {
                name += "abcAB_9-"[below(8)];
            }
            name += below(2) ? ".txt" : "";
            std::string key = name;
            for (char& c : key) {
                c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
            }
            if (folded.insert(key).second) {
                return name;
            }
        }
    }

    // The same name in other letter case now and then.
    std::string recased(const std::string& name) {
        std::string out = name;
        for (char& c : out) {
            if (below(3) == 0) {
                c = static_cast<char>(std::isupper(static_cast<unsigned char>(c))
                                          ? std::tolower(static_cast<unsigned char>(c))
                                          : std::toupper(static_cast<unsigned char>(c)));
            }
        }
        return out;
    }

    // Any bytes at all, for files that are only ever copied.
    std::string bytes(int max_length) {
        std::string s(static_cast<std::size_t>(below(max_length + 1)), '\0');
        for (char& c : s) {
            c = static_cast<char>(below(256));
        }
        return s;
    }

    // Lines of printable text, each ended by a line feed; at least one line.
    std::vector<std::string> lines() {
        std::vector<std::string> out(static_cast<std::size_t>(1 + below(6)));
        for (std::string& line : out) {
            const int length = below(8);
            for (int i = 0; i < length; ++i) {
                line += static_cast<char>('a' + below(4));
            }
        }
        return out;
    }

private:
    std::mt19937 rng_;
};

std::string joined(const std::vector<std::string>& lines, const std::string& end) {
    std::string s;
    for (const std::string& l : lines) {
        s += l + end;
    }
    return s;
}

class DirWalkProperty : public DirWalkTest {
protected:
    // Fills d1 and d2 with one random pair of directories; returns the target's due.
    Files make_pair(Generator& g) {
        Files due;
        std::set<std::string> folded;
        const int count = g.below(9);
        for (int i = 0; i < count; ++i) {
            const std::string name = g.fresh_name(folded);
            const std::string other = g.recased(name);
            const int minutes = g.below(1000);
            switch (g.below(KIND_COUNT)) {
                case ONLY_LEFT:
                    due[name] = read_bytes(put(d1, name, g.bytes(40), minutes));
                    break;
                case ONLY_RIGHT:
                    due[other] = read_bytes(put(d2, other, g.bytes(40), minutes));
                    break;
                case SAME_STAMP: {  // same size and stamp, the bytes may differ
                    const std::vector<std::string> lines = g.lines();
                    const std::string left = joined(lines, "\n");
                    std::string right = left;
                    for (char& c : right) {
                        if (c != '\n' && g.below(8) == 0) {
                            c = static_cast<char>('a' + g.below(3));
                        }
                    }
                    put(d1, name, left, minutes);
                    put(d2, other, right, minutes);
                    // The same bytes are copied; others are merged from the left.
                    due[name] = right == left ? left : joined(lines, LINE_END);
                    break;
                }
                case IDENTICAL: {
                    const std::string text = joined(g.lines(), "\n");
                    put(d1, name, text, minutes);
                    put(d2, other, text, minutes + 1 + g.below(50));
                    due[name] = text;
                    break;
                }
                default: {
                    std::vector<std::string> left = g.lines();
                    std::vector<std::string> right = left;
                    right[static_cast<std::size_t>(g.below(static_cast<int>(right.size())))] += "x";
                    if (g.below(2)) {
                        right.push_back("tail");
                    }
                    put(d1, name, joined(left, "\n"), minutes);
                    put(d2, other, joined(right, "\n"), minutes + 1 + g.below(50));
                    due[name] = joined(left, LINE_END);
                    break;
                }
            }
        }
        return due;
    }

    // Runs the walk to its end: Yes to every question, From Left then Write for every
    // pair that waits. Returns false when it did not end.
    bool walk() {
        if (start_dir_walk(d1.path(), d2.path(), target.path()) != 0) {
            return false;
        }
        fake_platform().answers.assign(100, ANSWER_YES);
        dir_walk_step();
        for (int guard = 0; guard < 200 && merge_document.directory_mode != 0; ++guard) {
            fake_platform().answers.assign(100, ANSWER_YES);
            if (merge_document.left.own_blocks.has_value()) {
                choose_all_from(SIDE_LEFT);
                write_command();
            }
            deliver();
        }
        return merge_document.directory_mode == 0;
    }

    void clear(const TempDir& d) {
        for (const auto& [name, bytes] : files_of(d.path())) {
            std::filesystem::remove(d.file(name));
        }
    }
};

TEST_F(DirWalkProperty, TargetHoldsExactlyWhatEachEntryPromises) {
    constexpr unsigned SEED = 20240611;
    constexpr int PAIRS = 300;
    Generator g(SEED);
    for (int run = 0; run < PAIRS; ++run) {
        SCOPED_TRACE("pair " + std::to_string(run) + " of seed " + std::to_string(SEED));
        clear(d1);
        clear(d2);
        clear(target);
        clear_reported_messages();
        reset_fake_platform();
        const Files due = make_pair(g);
        const Files before1 = files_of(d1.path());
        const Files before2 = files_of(d2.path());
        ASSERT_TRUE(walk());
        EXPECT_EQ(reported_messages(),
                  (std::vector<ReportedMessage>{
                      {"Directories have been \nsuccessfully compared", SEVERITY_INFO}}));
        EXPECT_EQ(files_of(target.path()), due);
        EXPECT_EQ(files_of(d1.path()), before1);
        EXPECT_EQ(files_of(d2.path()), before2);
        if (HasFailure()) {
            break;
        }
    }
}

}  // namespace
