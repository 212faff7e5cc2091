// The directory walk over two directories of N files each: a third of them pairs with the
// same size and stamp, a third found on one side only, a third pairs that differ in
// content (or, with a KIND, all of one kind). The first question is answered "Yes to
// all", every differing pair taken from the left and written. Prints the walk's time
// per file, so that two sizes show whether it is linear. With "tree", FILES a side are
// spread over FOLDERS folders (mixed thirds) and walked folder pair by folder pair into
// as many target folders, one walk after another; the time of each step counts for the
// kind of file it handled, and the file operations' own times are shown apart;
// "tree-make" only makes the folders, "tree-walk" walks them again into emptied targets.
// Usage: dir_walk_bench FILES WORK_DIRECTORY [mixed|identical|onesided|differing]
//        dir_walk_bench FILES WORK_DIRECTORY tree|tree-make|tree-walk FOLDERS
#include <algorithm>
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
using Clock = std::chrono::steady_clock;

namespace {

std::deque<Request> posted;
long questions = 0;

double seconds_since(Clock::time_point t0) {
    return std::chrono::duration<double>(Clock::now() - t0).count();
}

void write_file(const fs::path& path, const std::string& text, fs::file_time_type when) {
    std::ofstream(path, std::ios::binary) << text;
    fs::last_write_time(path, when);
}

// The kinds of file the bench makes: all three in turn, or one alone.
enum Kind { SAME_STAMP = 0, ONE_SIDED = 1, DIFFERING = 2, MIXED = 3 };
constexpr const char* KIND_NAMES[] = {"identical", "one-sided", "differing"};

// Makes `files` of the kind(s) in d1 and d2 below `root` (only counts them without
// `make`) and an empty target; file numbers start at `first`. Returns the number of
// files the target must hold afterwards.
long make_directories(const fs::path& root, long first, long files, Kind only, bool make = true) {
    fs::remove_all(root / "target");
    for (const char* d : {"d1", "d2", "target"}) {
        fs::create_directories(root / d);
    }
    const fs::file_time_type base = fs::file_time_type::clock::now() - std::chrono::hours(48);
    long due = 0;
    for (long i = first; i < first + files; ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "f%07ld", i);
        const std::string text = "line one of " + std::string(name) + "\nline two\nline three\n";
        const auto when = base + std::chrono::minutes(i % 1000);
        const Kind kind = only == MIXED ? static_cast<Kind>(i % 3) : only;
        if (!make) {
            due += kind == ONE_SIDED ? 2 : 1;
            continue;
        }
        switch (kind) {
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

// Time spent in the steps that handled each kind, and the files they put into the target.
struct KindTimes {
    double seconds[3] = {};
    long files[3] = {};
};
KindTimes kind_times;

// What the next step will handle, from where the listings stand.
Kind next_kind() {
    const DirListing& l1 = dir_walk.listing1;
    const DirListing& l2 = dir_walk.listing2;
    if (l1.exhausted() || l2.exhausted() ||
        compare_entry_names(l1.current_entry().name, l2.current_entry().name) != 0) {
        return ONE_SIDED;
    }
    const DirEntry& a = l1.current_entry();
    const DirEntry& b = l2.current_entry();
    return a.size == b.size && a.mod_date == b.mod_date && a.mod_time == b.mod_time ? SAME_STAMP
                                                                                    : DIFFERING;
}

// One walk; each step's time, up to the next step, counts for the kind it handled.
void run_walk(const fs::path& root) {
    start_dir_walk((root / "d1").string(), (root / "d2").string(), (root / "target").string());
    Kind kind = next_kind();
    bool ends = dir_walk.listing1.exhausted() && dir_walk.listing2.exhausted();
    Clock::time_point t0 = Clock::now();
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
            const Kind next = next_kind();
            const bool last = dir_walk.listing1.exhausted() && dir_walk.listing2.exhausted();
            if (!ends) {
                kind_times.seconds[kind] += seconds_since(t0);
                ++kind_times.files[kind];
            }
            kind = next;
            ends = last;
            t0 = Clock::now();
            dir_walk_step();
        } else if (r == REQUEST_CANCEL) {
            end_dir_walk();
        }
    }
}

// The file operations of the walk's copies and writes, timed through the file layer.
enum Op { OP_CREATE, OP_WRITE, OP_CLOSE, OP_RENAME, OP_COMMIT, OP_RENAME_NEW, OP_REMOVE, OP_COUNT };
constexpr const char* OP_NAMES[] = {"create", "write",      "close", "rename",
                                    "commit", "rename_new", "remove"};
double op_seconds[OP_COUNT] = {};
long op_calls[OP_COUNT] = {};
const FileLayer standard_ops = standard_file_layer();

template <typename F>
auto timed(Op op, F&& f) {
    const Clock::time_point t0 = Clock::now();
    auto result = f();
    op_seconds[op] += seconds_since(t0);
    ++op_calls[op];
    return result;
}

void install_timed_file_layer() {
    file_layer.create = [](const char* p) {
        return timed(OP_CREATE, [&] { return standard_ops.create(p); });
    };
    file_layer.write = [](std::FILE* f, const char* d, std::size_t n) {
        return timed(OP_WRITE, [&] { return standard_ops.write(f, d, n); });
    };
    file_layer.close = [](std::FILE* f, bool durable) {
        return timed(OP_CLOSE, [&] { return standard_ops.close(f, durable); });
    };
    file_layer.rename = [](const char* a, const char* b) {
        return timed(OP_RENAME, [&] { return standard_ops.rename(a, b); });
    };
    file_layer.commit = [](const char* a, const char* b) {
        return timed(OP_COMMIT, [&] { return standard_ops.commit(a, b); });
    };
    file_layer.rename_new = [](const char* a, const char* b) {
        return timed(OP_RENAME_NEW, [&] { return standard_ops.rename_new(a, b); });
    };
    file_layer.remove = [](const char* p) {
        return timed(OP_REMOVE, [&] { return standard_ops.remove(p); });
    };
}

void print_breakdown(double walk_seconds) {
    double in_ops = 0;
    std::printf("file operations:");
    for (int op = 0; op < OP_COUNT; ++op) {
        if (op_calls[op] > 0) {
            std::printf(" %s %ld x %.3f ms;", OP_NAMES[op], op_calls[op],
                        op_seconds[op] * 1e3 / static_cast<double>(op_calls[op]));
        }
        in_ops += op_seconds[op];
    }
    std::printf(" the rest of the walk %.3f s\n", walk_seconds - in_ops);
}

// The file system's part of the walk alone: the same look-ups and copies into a fresh
// directory, for the files the walk put into the target. Returns seconds.
double copies_alone(const fs::path& root) {
    fs::create_directories(root / "copies");
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(root / "target")) {
        names.push_back(e.path().filename().string());
    }
    const auto t0 = Clock::now();
    for (const std::string& name : names) {
        const fs::path from = root / (name.back() == 'b' ? "d2" : "d1") / name;
        const fs::path to = root / "copies" / name;
        std::error_code ec;
        if (!fs::exists(to, ec)) {
            fs::copy_file(from, to, ec);
        }
    }
    return seconds_since(t0);
}

long count_files(const fs::path& dir) {
    long n = 0;
    for ([[maybe_unused]] const auto& e : fs::directory_iterator(dir)) {
        ++n;
    }
    return n;
}

void print_kinds(long folders_done) {
    std::printf("after %ld folders:", folders_done);
    for (int k = 0; k < 3; ++k) {
        std::printf(
            " %s %ld files, %.3f ms per file;", KIND_NAMES[k], kind_times.files[k],
            kind_times.seconds[k] * 1e3 / static_cast<double>(std::max(1L, kind_times.files[k])));
    }
    std::printf("\n");
    std::fflush(stdout);
}

// FILES a side in FOLDERS folder pairs, made (`make`) and each walked in turn
// (`walk`) into an emptied target. Returns 0 when every target folder holds what it
// should.
int run_tree(long files, const fs::path& root, long folders, bool make, bool walk) {
    const long per_folder = files / folders;
    const auto t_make = Clock::now();
    std::vector<long> due(static_cast<std::size_t>(folders));
    for (long f = 0; f < folders; ++f) {
        due[static_cast<std::size_t>(f)] =
            make_directories(root / std::to_string(f), f * per_folder, per_folder, MIXED, make);
    }
    if (make) {
        std::printf("made %ld files a side in %ld folders in %.1f s\n", per_folder * folders,
                    folders, seconds_since(t_make));
        std::fflush(stdout);
    }
    if (!walk) {
        return 0;
    }
    const auto t0 = Clock::now();
    for (long f = 0; f < folders; ++f) {
        run_walk(root / std::to_string(f));
        if ((f + 1) % 100 == 0 && f + 1 < folders) {  // a long run shows how it goes
            print_kinds(f + 1);
        }
    }
    const double seconds = seconds_since(t0);
    int status = 0;
    for (long f = 0; f < folders; ++f) {
        if (count_files(root / std::to_string(f) / "target") != due[static_cast<std::size_t>(f)]) {
            status = 1;
        }
    }
    std::printf(
        "%ld files a side in %ld folders: walk %.1f s, %.3f ms per file a side, %ld "
        "questions%s\n",
        per_folder * folders, folders, seconds, seconds * 1e3 / static_cast<double>(files),
        questions, status == 0 ? "" : ", TARGET WRONG");
    print_kinds(folders);
    print_breakdown(seconds);
    return status;
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
#ifndef _WIN32
// Under Windows the program's own (ui/win32/file_commit_win32.cpp).
std::string platform_stored_name(const char* path) {
    return path;
}
int platform_commit_rename(const char* from, const char* to) {
    return standard_commit_rename(from, to);
}
FileStamp platform_file_stamp(const char* path) {
    return standard_file_stamp(path);
}
FileStamp platform_stream_stamp(std::FILE* stream) {
    return standard_stream_stamp(stream);
}
#endif

int main(int argc, char** argv) {
    const std::string kind = argc >= 4 ? argv[3] : "mixed";
    const bool tree = kind.rfind("tree", 0) == 0;
    if (argc < 3 || argc > 5 || tree != (argc == 5)) {
        std::fprintf(stderr,
                     "usage: dir_walk_bench FILES WORK_DIRECTORY "
                     "[mixed|identical|onesided|differing]\n"
                     "       dir_walk_bench FILES WORK_DIRECTORY tree|tree-make|tree-walk "
                     "FOLDERS\n");
        return 2;
    }
    const long files = std::atol(argv[1]);
    const fs::path root = argv[2];
    install_timed_file_layer();
    if (tree) {
        return run_tree(files, root, std::max(1L, std::atol(argv[4])), kind != "tree-walk",
                        kind != "tree-make");
    }
    const Kind only = kind == "identical"   ? SAME_STAMP
                      : kind == "onesided"  ? ONE_SIDED
                      : kind == "differing" ? DIFFERING
                                            : MIXED;
    const long due = make_directories(root, 0, files, only);
    const auto t0 = Clock::now();
    run_walk(root);
    const double seconds = seconds_since(t0);
    const long copied = count_files(root / "target");
    const double copying = copies_alone(root);
    const double n = static_cast<double>(files);
    std::printf(
        "%ld files a side: walk %.3f s, %.1f us per file a side, %ld questions, "
        "target %ld files (due %ld); the same copies alone %.3f s, walk less copies "
        "%.1f us per file; %.2f ms per file put into the target\n",
        files, seconds, seconds * 1e6 / n, questions, copied, due, copying,
        (seconds - copying) * 1e6 / n, seconds * 1e3 / static_cast<double>(due));
    print_breakdown(seconds);
    return copied == due ? 0 : 1;
}
