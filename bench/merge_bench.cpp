// Speed of one large merge: load both sides, compare and parse the listing, then write
// the merged file. Usage:
//   merge_bench generate DIR   writes DIR/left.txt and DIR/right.txt (seeded)
//   merge_bench run DIR        loads, compares and writes DIR/merged.txt, printing times
#ifndef _WIN32
#include <sys/resource.h>
#endif

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>

#include "merge/blocks.h"
#include "merge/selection.h"
#include "merge/comparison.h"
#include "merge/document.h"
#include "engine/engine.h"
#include "merge/output.h"

namespace {

constexpr int LINES = 1000000;
constexpr int EDIT_EVERY = 1000;  // 0.1% of the lines

std::string make_line(std::mt19937& rng, int n) {
    static const char* const words[] = {"value", "index",  "count",  "return", "buffer",
                                        "state", "result", "length", "offset", "table"};
    std::string line = std::string(words[rng() % 10]) + "_" + std::to_string(n) + " = ";
    line += words[rng() % 10];
    line += "(" + std::to_string(rng() % 1000) + ");";
    return line;
}

int generate(const std::string& dir) {
    std::mt19937 rng(1000003);
    FILE* left = std::fopen((dir + "/left.txt").c_str(), "wb");
    FILE* right = std::fopen((dir + "/right.txt").c_str(), "wb");
    if (left == nullptr || right == nullptr) {
        std::perror("open");
        return 1;
    }
    for (int i = 0; i < LINES; ++i) {
        const std::string line = make_line(rng, i) + "\n";
        std::fputs(line.c_str(), left);
        if (rng() % EDIT_EVERY != 0) {
            std::fputs(line.c_str(), right);
            continue;
        }
        switch (rng() % 3) {
            case 0:  // changed
                std::fputs((make_line(rng, -i) + "\n").c_str(), right);
                break;
            case 1:  // deleted
                break;
            default:  // two lines inserted
                std::fputs((make_line(rng, -i) + "\n" + make_line(rng, -i - 1) + "\n").c_str(),
                           right);
                std::fputs(line.c_str(), right);
        }
    }
    std::fclose(left);
    std::fclose(right);
    return 0;
}

double seconds_since(std::chrono::steady_clock::time_point t0) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
}

int run(const std::string& dir) {
    const std::string left = dir + "/left.txt";
    const std::string right = dir + "/right.txt";
    const std::string merged = dir + "/merged.txt";
    std::remove(merged.c_str());

    const auto t0 = std::chrono::steady_clock::now();
    if (load_side(left.c_str(), SIDE_LEFT) != 0 || load_side(right.c_str(), SIDE_RIGHT) != 0) {
        return 1;
    }
    const double loaded = seconds_since(t0);
    compare_files();
    const double compared = seconds_since(t0);
    if (merge_document.not_compared != 0) {
        std::fprintf(stderr, "comparison failed\n");
        return 1;
    }
    std::printf("lines: %d left, %d right; blocks: %d; aligned rows: %d\n",
                merge_document.left.line_count, merge_document.right.line_count, block_count(),
                merge_document.total_rows);
    std::printf("load both sides:            %.3f s\n", loaded);
    std::printf("load + compare + parse:     %.3f s\n", compared);

    choose_all_from(SIDE_RIGHT);
    const auto t1 = std::chrono::steady_clock::now();
    if (write_merged(merged.c_str()) != 0) {
        return 1;
    }
    std::printf("write merged file:          %.3f s\n", seconds_since(t1));

#ifndef _WIN32
    struct rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    std::printf("peak RSS after the write:   %ld MB\n", usage.ru_maxrss / 1024);
#endif

    // The engine's share of the comparison, run alone on the same pair.
    std::string args[] = {"diff", "-s", "-a", "-o", dir + "/alone.lst", left, right};
    char* argv[8] = {};
    for (int i = 0; i < 7; ++i) {
        argv[i] = args[i].data();
    }
    const auto t2 = std::chrono::steady_clock::now();
    engine_run(7, argv);
    std::printf("engine alone (same pair):   %.3f s\n", seconds_since(t2));
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: merge_bench generate|run DIR\n");
        return 2;
    }
    const std::string mode = argv[1];
    return mode == "generate" ? generate(argv[2]) : mode == "run" ? run(argv[2]) : 2;
}
