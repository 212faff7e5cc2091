// The directory walk over two directories of N files each: a third of them pairs with the
// same size and stamp, a third found on one side only, a third pairs that differ in
// content (or, with a KIND, all of one kind). The first question is answered "Yes to
// all", every differing pair taken from the left and written. Prints the walk's time
// per file, so that two sizes show whether it is linear.
// Usage: dir_walk_bench FILES WORK_DIRECTORY [mixed|identical|onesided|differing]
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "common/paths.h"
#include "dircompare/dir_walk.h"
#include "merge/document.h"
#include "merge/file_layer.h"
#include "merge/merge_platform.h"
#include "merge/output.h"
#include "merge/selection.h"

namespace fs = std::filesystem;

namespace {

std::deque<Request> posted;
long questions = 0;

void write_file(const fs::path& path, const std::string& text, fs::file_time_type when) {
    std::ofstream(path, std::ios::binary) << text;
    fs::last_write_time(path, when);
}

// The kinds of file the bench makes: all three in turn, or one alone.
enum Kind { SAME_STAMP = 0, ONE_SIDED = 1, DIFFERING = 2, MIXED = 3 };

// Returns the number of files the target must hold afterwards.
long make_directories(const fs::path& root, long files, Kind only) {
    const fs::file_time_type base = fs::file_time_type::clock::now() - std::chrono::hours(48);
    long due = 0;
    for (long i = 0; i < files; ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "f%07ld", i);
        const std::string text = "line one of " + std::string(name) + "\nline two\nline three\n";
        const auto when = base + std::chrono::minutes(i % 1000);
        switch (only == MIXED ? static_cast<Kind>(i % 3) : only) {
            case SAME_STAMP:  // same size and stamp
                write_file(root / "d1" / name, text, when);
                write_file(root / "d2" / name, text, when);
                ++due;
                break;
            case ONE_SIDED:  // one side only, on each side
                write_file(root / "d1" / (std::string(name) + "a"), text, when);
                write_file(root / "d2" / (std::string(name) + "b"), text, when);
                due += 2;
                break;
            default:  // differing contents
                write_file(root / "d1" / name, text + "left\n", when);
                write_file(root / "d2" / name, text + "right\n", when + std::chrono::hours(1));
                ++due;
                break;
        }
    }
    return due;
}

void run_walk(const fs::path& root) {
    start_dir_walk((root / "d1").string(), (root / "d2").string(), (root / "target").string());
    dir_walk_step();
    while (merge_document.directory_mode != 0) {
        if (merge_document.left.own_blocks.has_value()) {
            choose_all_from(SIDE_LEFT);
            write_command();
        }
        if (posted.empty()) {
            std::fprintf(stderr, "the walk stopped without a request\n");
            std::exit(1);
        }
        const Request r = posted.front();
        posted.pop_front();
        if (r == REQUEST_NEXT_PAIR) {
            dir_walk_step();
        } else if (r == REQUEST_CANCEL) {
            end_dir_walk();
        }
    }
}

// The file system's part of the walk alone: the same look-ups and copies into a fresh
// directory, for the files the walk put into the target. Returns seconds.
double copies_alone(const fs::path& root) {
    fs::create_directories(root / "copies");
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(root / "target")) {
        names.push_back(e.path().filename().string());
    }
    const auto t0 = std::chrono::steady_clock::now();
    for (const std::string& name : names) {
        const fs::path from = root / (name.back() == 'b' ? "d2" : "d1") / name;
        const fs::path to = root / "copies" / name;
        std::error_code ec;
        if (!fs::exists(to, ec)) {
            fs::copy_file(from, to, ec);
        }
    }
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
}

}  // namespace

// The merge layer's window system: nothing to show; Yes to every question; requests
// queue for the loop above.
void platform_repaint_pane(Side) {}
void platform_repaint_title(Side) {}
void platform_repaint_position_bar() {}
void platform_set_scroll_range(int32_t, int32_t) {}
void platform_set_scroll_position(int32_t) {}
void platform_redraw_scroll_bar() {}
void platform_scroll_panes(int32_t) {}
std::intptr_t platform_show_wait_cursor() {
    return 0;
}
void platform_restore_cursor(std::intptr_t) {}
Answer platform_ask(const char*, const char*, QuestionButtons buttons) {
    ++questions;
    return buttons == BUTTONS_YES_NO_CANCEL_ALL ? ANSWER_YES_TO_ALL : ANSWER_YES;
}
void platform_post_request(Request request) {
    posted.push_back(request);
}
int platform_pane_line_height() {
    return 16;
}
int print_job_start() {
    return -1;
}
void print_line(const char*, std::size_t, int32_t) {}
int print_job_end() {
    return 0;
}
std::string platform_stored_name(const char* path) {
    return path;
}
int platform_commit_rename(const char* from, const char* to) {
    return standard_commit_rename(from, to);
}
FileStamp platform_file_stamp(const char* path) {
    return standard_file_stamp(path);
}

int main(int argc, char** argv) {
    if (argc != 3 && argc != 4) {
        std::fprintf(stderr,
                     "usage: dir_walk_bench FILES WORK_DIRECTORY "
                     "[mixed|identical|onesided|differing]\n");
        return 2;
    }
    const std::string kind = argc == 4 ? argv[3] : "mixed";
    const Kind only = kind == "identical"   ? SAME_STAMP
                      : kind == "onesided"  ? ONE_SIDED
                      : kind == "differing" ? DIFFERING
                                            : MIXED;
    const long files = std::atol(argv[1]);
    const fs::path root = argv[2];
    for (const char* d : {"d1", "d2", "target"}) {
        fs::create_directories(root / d);
    }
    const long due = make_directories(root, files, only);
    const auto t0 = std::chrono::steady_clock::now();
    run_walk(root);
    const auto t1 = std::chrono::steady_clock::now();
    long copied = 0;
    for ([[maybe_unused]] const auto& e : fs::directory_iterator(root / "target")) {
        ++copied;
    }
    const double seconds = std::chrono::duration<double>(t1 - t0).count();
    const double copying = copies_alone(root);
    const double n = static_cast<double>(files);
    std::printf(
        "%ld files a side: walk %.3f s, %.1f us per file a side, %ld questions, "
        "target %ld files (due %ld); the same copies alone %.3f s, walk less copies "
        "%.1f us per file; %.2f ms per file put into the target\n",
        files, seconds, seconds * 1e6 / n, questions, copied, due, copying,
        (seconds - copying) * 1e6 / n, seconds * 1e3 / static_cast<double>(due));
    return copied == due ? 0 : 1;
}
