// side_by_side: runs pairex-diff and `wc -l` on the same pair alternately and prints
// the median wall, user and system time of each, their ratio, and the peak memory.
//
//   side_by_side ROUNDS DIFF FIRST SECOND LISTING [OPTION...]
//
// One warm-up round first (it fills the page cache); every figure comes from the
// kernel's accounting of the child (wait4), with microsecond resolution.

#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
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

}  // namespace

int main(int argc, char** argv) {
    if (argc < 6) {
        std::fprintf(stderr, "usage: side_by_side ROUNDS DIFF FIRST SECOND LISTING [OPTION...]\n");
        return 2;
    }
    const int rounds = std::max(1, std::atoi(argv[1]));
    std::vector<std::string> diff = {argv[2]};
    for (int i = 6; i < argc; ++i) {
        diff.emplace_back(argv[i]);
    }
    diff.insert(diff.end(), {"-o", argv[5], argv[3], argv[4]});
    const std::vector<std::string> wc = {"wc", "-l", argv[3], argv[4]};
    run(diff);
    run(wc);
    std::vector<Sample> d, w;
    for (int r = 0; r < rounds; ++r) {
        d.push_back(run(diff));
        w.push_back(run(wc));
        if (d.back().status < 0 || d.back().status > 1 || w.back().status != 0) {
            std::fprintf(stderr, "side_by_side: a run failed (status %d, wc %d)\n", d.back().status,
                         w.back().status);
            return 1;
        }
    }
    const Summary sd = summarise(d);
    const Summary sw = summarise(w);
    std::printf("%-12s %9s %9s %9s %9s\n", "", "wall s", "user s", "system s", "peak MB");
    std::printf("%-12s %9.4f %9.4f %9.4f %9.1f\n", "pairex-diff", sd.wall, sd.user, sd.system,
                static_cast<double>(sd.peak_kb) / 1024);
    std::printf("%-12s %9.4f %9.4f %9.4f %9.1f\n", "wc -l", sw.wall, sw.user, sw.system,
                static_cast<double>(sw.peak_kb) / 1024);
    struct stat a {};
    struct stat b {};
    stat(argv[3], &a);
    stat(argv[4], &b);
    const double size = static_cast<double>(a.st_size) + static_cast<double>(b.st_size);
    std::printf(
        "ratio of medians (wall): %.1f; system share of the engine's time: %.2f; "
        "peak memory / pair size: %.2f\n",
        sd.wall / sw.wall, sd.system / (sd.user + sd.system),
        static_cast<double>(sd.peak_kb) * 1024 / size);
    return 0;
}
