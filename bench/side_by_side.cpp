// side_by_side: runs pairex-diff and `wc -l` on the same pair alternately and prints
// the median wall, user and system time of each, their ratio, and the peak memory.
//
//   side_by_side [--before OLD_DIFF] ROUNDS DIFF FIRST SECOND LISTING [OPTION...]
//
// With --before, an older pairex-diff takes its turn in each round too, so that a
// change is measured against the same moments of the machine's load (its listing goes
// to LISTING.before and must equal the new one). One warm-up round first (it fills the
// page cache); every figure comes from the kernel's accounting of the child (wait4),
// with microsecond resolution.

#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

struct Sample {
    double wall = 0, user = 0, system = 0;
    long peak_kb = 0;
    int status = -1;
};

double seconds(const timeval& t) {
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) / 1e6;
}

Sample run(std::vector<std::string> words) {
    std::vector<char*> argv;
    argv.reserve(words.size() + 1);
    for (std::string& w : words) {
        argv.push_back(w.data());
    }
    argv.push_back(nullptr);
    Sample s;
    const auto t0 = std::chrono::steady_clock::now();
    const pid_t pid = fork();
    if (pid == 0) {
        // Neither program's output is part of the measure.
        if (std::freopen("/dev/null", "w", stdout) == nullptr) {
            _exit(127);
        }
        execvp(argv[0], argv.data());
        _exit(127);
    }
    int status = 0;
    rusage usage{};
    if (pid < 0 || wait4(pid, &status, 0, &usage) != pid) {
        return s;
    }
    s.wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    s.user = seconds(usage.ru_utime);
    s.system = seconds(usage.ru_stime);
    s.peak_kb = usage.ru_maxrss;
    s.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return s;
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    const std::size_t n = v.size();
    return n % 2 == 1 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

struct Summary {
    double wall, user, system;
    long peak_kb;
};

Summary summarise(const std::vector<Sample>& samples) {
    std::vector<double> wall, user, system;
    long peak = 0;
    for (const Sample& s : samples) {
        wall.push_back(s.wall);
        user.push_back(s.user);
        system.push_back(s.system);
        peak = std::max(peak, s.peak_kb);
    }
    return {median(wall), median(user), median(system), peak};
}

bool same_bytes(const char* a, const char* b) {
    std::ifstream fa(a, std::ios::binary);
    std::ifstream fb(b, std::ios::binary);
    const std::string da((std::istreambuf_iterator<char>(fa)), std::istreambuf_iterator<char>());
    const std::string db((std::istreambuf_iterator<char>(fb)), std::istreambuf_iterator<char>());
    return fa.good() == fb.good() && da == db;
}

void print_row(const char* name, const Summary& s) {
    std::printf("%-12s %9.4f %9.4f %9.4f %9.1f\n", name, s.wall, s.user, s.system,
                static_cast<double>(s.peak_kb) / 1024);
}

// Prints the medians of each program, the ratios and the engine's peak over the pair.
void report(const std::vector<Sample>& d, const std::vector<Sample>& w,
            const std::vector<Sample>& o, const char* first, const char* second) {
    const Summary sd = summarise(d);
    const Summary sw = summarise(w);
    std::printf("%-12s %9s %9s %9s %9s\n", "", "wall s", "user s", "system s", "peak MB");
    if (!o.empty()) {
        print_row("before", summarise(o));
    }
    print_row("pairex-diff", sd);
    print_row("wc -l", sw);
    struct stat a {};
    struct stat b {};
    stat(first, &a);
    stat(second, &b);
    const double size = static_cast<double>(a.st_size) + static_cast<double>(b.st_size);
    if (!o.empty()) {
        std::printf("ratio of medians (wall), before: %.1f\n", summarise(o).wall / sw.wall);
    }
    std::printf(
        "ratio of medians (wall): %.1f; system share of the engine's time: %.2f; "
        "peak memory / pair size: %.2f\n",
        sd.wall / sw.wall, sd.system / (sd.user + sd.system),
        static_cast<double>(sd.peak_kb) * 1024 / size);
}

}  // namespace

int main(int argc, char** argv) {
    std::string before;
    if (argc > 2 && std::string(argv[1]) == "--before") {
        before = argv[2];
        argv += 2;
        argc -= 2;
    }
    if (argc < 6) {
        std::fprintf(stderr,
                     "usage: side_by_side [--before OLD_DIFF] ROUNDS DIFF FIRST SECOND LISTING "
                     "[OPTION...]\n");
        return 2;
    }
    const int rounds = std::max(1, std::atoi(argv[1]));
    std::vector<std::string> diff = {argv[2]};
    for (int i = 6; i < argc; ++i) {
        diff.emplace_back(argv[i]);
    }
    std::vector<std::string> old_diff = diff;
    old_diff[0] = before;
    const std::string old_listing = std::string(argv[5]) + ".before";
    diff.insert(diff.end(), {"-o", argv[5], argv[3], argv[4]});
    old_diff.insert(old_diff.end(), {"-o", old_listing, argv[3], argv[4]});
    const std::vector<std::string> wc = {"wc", "-l", argv[3], argv[4]};
    run(diff);
    run(wc);
    if (!before.empty()) {
        run(old_diff);
        if (!same_bytes(argv[5], old_listing.c_str())) {
            std::fprintf(stderr, "side_by_side: the listings of %s and %s differ\n", argv[2],
                         before.c_str());
            return 1;
        }
    }
    std::vector<Sample> d, w, o;
    for (int r = 0; r < rounds; ++r) {
        d.push_back(run(diff));
        w.push_back(run(wc));
        if (!before.empty()) {
            o.push_back(run(old_diff));
        }
        if (d.back().status < 0 || d.back().status > 1 || w.back().status != 0 ||
            (!o.empty() && (o.back().status < 0 || o.back().status > 1))) {
            std::fprintf(stderr, "side_by_side: a run failed (status %d, wc %d)\n", d.back().status,
                         w.back().status);
            return 1;
        }
    }
    report(d, w, o, argv[3], argv[4]);
    return 0;
}
