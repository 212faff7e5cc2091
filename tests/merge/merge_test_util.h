#ifndef PAIREX_TESTS_MERGE_MERGE_TEST_UTIL_H
#define PAIREX_TESTS_MERGE_MERGE_TEST_UTIL_H

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "common/report.h"
#include "merge/document.h"
#include "tests/support/fake_platform.h"
#include "tests/support/fake_report.h"
#include "tests/support/temp_dir.h"

// Every merge test starts from an empty document, a fresh fake and no messages.
class MergeTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Writes `bytes` to a file and loads it into `side`; fails the test on error.
    std::string load(Side side, const std::string& name, const std::string& bytes);
    // Parses `listing` (written to a file) and installs its tables as a comparison
    // that found differences would.
    void install_listing(const std::string& listing);
    // Writes the merged text to a new file and returns its bytes (NOT_WRITTEN when the
    // write did not succeed: an empty merged file is a result of its own).
    std::string merged_text();
    static constexpr const char* NOT_WRITTEN = "(not written)";

    TempDir dir;
};

// Three blocks, for the tests that move between and choose them: left a b c d e f g,
// right a X d e Y Z f. Aligned rows (0-based):
//   0 a|a  1 b|X  2 c|fill  3 d|d  4 e|e  5 fill|Y  6 fill|Z  7 f|f  8 g|fill
// Blocks start at rows 2, 6 and 9 (1-based).
class ThreeBlocks : public MergeTest {
protected:
    void SetUp() override;
};

// Lines joined, each followed by LINE_END (the merged file's expected bytes).
std::string with_line_ends(const std::vector<std::string>& lines);
// Lines joined, each followed by "\n" (input file bytes).
std::string lf_lines(const std::vector<std::string>& lines);
// The texts of messages reported so far.
std::vector<std::string> message_texts();
// Sets an environment variable on either platform.
void set_env(const char* name, const char* value);
void unset_env(const char* name);

// Sets an environment variable for the object's lifetime, then restores it. TMP needs
// this: the tests' own temporary directories are found through it too.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const std::string& value);
    ~ScopedEnv();
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

private:
    std::string name_;
    bool had_ = false;
    std::string old_;
};

// A merge test whose runs get a TMP of their own (the folder "tmp" in the test's
// directory), so that temporary files left behind can be seen.
class OwnTmpMergeTest : public MergeTest {
protected:
    void SetUp() override;
    void TearDown() override;
    std::unique_ptr<ScopedEnv> tmp;
};

#endif
