#include "tests/dircompare/dir_walk_fixture.h"

#include <chrono>

#include "merge/comparison.h"
#include "merge/output.h"

namespace fs = std::filesystem;

void DirWalkTest::SetUp() {
    MergeTest::SetUp();
    clear_scripted_directories();
    dir_walk = DirWalk{};
}

void DirWalkTest::TearDown() {
    dir_walk = DirWalk{};
    clear_scripted_directories();
    MergeTest::TearDown();
}

fs::file_time_type stamp(int offset) {
    // A whole minute well inside the years the date and time words hold.
    using namespace std::chrono;
    const sys_seconds at = sys_days{year{2021} / 3 / 14} + hours{10} + minutes{offset};
    return time_point_cast<fs::file_time_type::duration>(file_clock::from_sys(at));
}

std::string DirWalkTest::put(const TempDir& dir, const std::string& name, const std::string& bytes,
                             int minutes) {
    const std::string path = dir.write(name, bytes);
    fs::last_write_time(path, stamp(minutes));
    return path;
}

int DirWalkTest::start(const std::string& dir1, const std::string& dir2,
                       const std::string& target_dir) {
    if (start_dir_walk(dir1, dir2, target_dir) != 0) {
        return -1;
    }
    const int first = dir_walk_step();
    deliver();
    return first;
}

void DirWalkTest::deliver() {
    for (int r = take_posted_request(); r != NO_REQUEST; r = take_posted_request()) {
        if (r == REQUEST_NEXT_PAIR) {
            dir_walk_step();
        } else if (r == REQUEST_CANCEL) {
            end_dir_walk();
        } else if (r == REQUEST_COMPARE_FILES) {
            compare_files();
        }
    }
}

std::vector<std::string> DirWalkTest::questions() {
    std::vector<std::string> texts;
    for (const AskedQuestion& q : fake_platform().questions) {
        texts.push_back(q.text);
    }
    return texts;
}

std::map<std::string, std::string> files_of(const std::string& dir) {
    std::map<std::string, std::string> files;
    std::error_code ec;
    for (const fs::directory_entry& e : fs::directory_iterator(dir, ec)) {
        if (e.is_regular_file()) {
            files[e.path().filename().string()] = read_bytes(e.path().string());
        }
    }
    return files;
}

std::string one_sided_question(const std::string& name, const std::string& dir) {
    return "The file " + name + " exists \nonly in " + dir +
           ".\nCopy it to the destination directory ?";
}
