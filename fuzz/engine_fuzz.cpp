// Fuzzes the difference engine end to end: an option set and two files from the input,
// sometimes directory operands or a missing path. The engine must return one of its
// result codes without a crash, a leak or a sanitizer report.
//
// Input layout: bytes 0-1 pick options (one bit per letter of OPTION_LETTERS, two more
// bits for a rejected option), byte 2 the operand shape, bytes 3-4 where the rest is
// split into the first and the second file.

#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "engine/engine.h"

namespace {

namespace fs = std::filesystem;

constexpr const char* OPTION_LETTERS = "abBHiNPrstTw";
// Larger inputs only slow the search down; the engine's limits are not about size.
constexpr std::size_t MAX_INPUT = 64 * 1024;

std::string g_root;

void remove_root() {
    std::error_code ec;
    fs::remove_all(g_root, ec);
}

// A temporary tree of our own per process, so that parallel fuzz jobs do not meet.
const std::string& root() {
    if (g_root.empty()) {
        g_root = (fs::temp_directory_path() / ("pairex-fuzz-" + std::to_string(getpid()))).string();
        std::error_code ec;
        fs::remove_all(g_root, ec);
        fs::create_directories(g_root + "/L/s");
        fs::create_directories(g_root + "/R/s");
        fs::create_directories(g_root + "/R/only_dir");
        std::atexit(remove_root);
    }
    return g_root;
}

void write_file(const std::string& path, const uint8_t* data, std::size_t size) {
    FILE* f = std::fopen(path.c_str(), "wb");
    if (f == nullptr) {
        std::abort();
    }
    if (size > 0 && std::fwrite(data, 1, size, f) != size) {
        std::abort();
    }
    std::fclose(f);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    if (size < 5 || size > MAX_INPUT) {
        return 0;
    }
    const std::string& r = root();
    const unsigned option_bits = data[0] | (data[1] << 8);
    const unsigned shape = data[2] % 16;
    const std::size_t rest = size - 5;
    const std::size_t split = ((data[3] << 8) | data[4]) % (rest + 1);
    const uint8_t* first = data + 5;
    const uint8_t* second = first + split;

    // The pair, and the same pair crossed in a subdirectory and a one-sided entry, so
    // that directory operands have something to walk.
    write_file(r + "/L/f", first, split);
    write_file(r + "/R/f", second, rest - split);
    if (shape == 8 || shape == 14) {
        // Only the directory walks read these; file writes dominate the run time.
        write_file(r + "/L/s/g", second, rest - split);
        write_file(r + "/R/s/g", first, split);
        write_file(r + "/L/only_file", first, split);
    }

    std::vector<std::string> words = {"pairex-diff"};
    std::string cluster = "-";
    for (int k = 0; OPTION_LETTERS[k] != '\0'; ++k) {
        if (option_bits & (1u << k)) {
            cluster += OPTION_LETTERS[k];
        }
    }
    if (cluster.size() > 1) {
        words.push_back(cluster);
    }
    const bool rejected = (option_bits >> 12 & 3) == 3;
    if (rejected) {
        static const char* const bad[] = {"-c", "-I", "--in=x", "-q"};
        words.push_back(bad[(option_bits >> 14) & 3]);
    }
    words.push_back("-o");
    words.push_back(r + "/o");

    std::string a = r + "/L/f", b = r + "/R/f";
    switch (shape) {
        case 8:
            a = r + "/L";
            b = r + "/R";
            break;
        case 9:
            b = r + "/R";  // compares L/f with R/f
            break;
        case 10:
            a = r + "/R";
            b = r + "/L/f";
            break;
        case 11:
            b = r + "/missing";
            break;
        case 12:
            a = r + "/missing";
            break;
        case 13:
            b = a;
            break;
        case 14:
            a = r + "/L/s";
            b = r + "/R/s";
            break;
        default:
            break;
    }
    words.push_back(a);
    words.push_back(b);

    std::vector<char*> argv;
    for (std::string& w : words) {
        argv.push_back(w.data());
    }
    argv.push_back(nullptr);
    const int result = engine_run(static_cast<int>(words.size()), argv.data());
    if (result < -1 || result > 2) {
        std::abort();
    }
    if (rejected && result != -1) {
        std::abort();
    }
    // A file against itself is identical whatever the options.
    if (!rejected && shape == 13 && result != 0) {
        std::abort();
    }
    return 0;
}
