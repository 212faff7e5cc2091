#ifndef PAIREX_TESTS_DIRCOMPARE_DIR_WALK_FIXTURE_H
#define PAIREX_TESTS_DIRCOMPARE_DIR_WALK_FIXTURE_H

#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "dircompare/dir_walk.h"
#include "tests/merge/merge_test_util.h"
#include "tests/support/std_dir_search.h"

// A walk over three real temporary directories, with the merge layer's fake answering
// the questions and the test delivering the posted commands.
class DirWalkTest : public MergeTest {
protected:
    void SetUp() override;
    void TearDown() override;

    // Writes `bytes` to `name` in `dir` with a last write `minutes` after a fixed time.
    static std::string put(const TempDir& dir, const std::string& name, const std::string& bytes,
                           int minutes = 0);
    // Starts the walk and runs its first step; then delivers the posted commands until
    // none is left or a pair waits in the panes. Returns the walk's first step result.
    int start(const std::string& dir1, const std::string& dir2, const std::string& target);
    // Delivers posted commands (next pair: a step; cancel: the end) until none is left.
    void deliver();
    // The texts of the questions asked so far.
    static std::vector<std::string> questions();

    TempDir d1;
    TempDir d2;
    TempDir target;
};

// Every regular file of `dir`: name -> bytes.
std::map<std::string, std::string> files_of(const std::string& dir);

// The one-sided question for `name` in `dir`.
std::string one_sided_question(const std::string& name, const std::string& dir);

// A fixed last-write time plus `offset` minutes.
std::filesystem::file_time_type stamp(int offset);

#endif
