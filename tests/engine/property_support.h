#ifndef PAIREX_TESTS_ENGINE_PROPERTY_SUPPORT_H
#define PAIREX_TESTS_ENGINE_PROPERTY_SUPPORT_H

// Shared by the engine's property tests (property_*_test.cpp): seeded random file
// pairs, a model of what the engine must treat as equal, the checker of one run's
// listing, and the runner. The model and checker are in property_model.cpp, the
// generator in property_generator.cpp, the runner in property_runner.cpp.

#include <random>
#include <string>
#include <vector>

#include "tests/support/fake_report.h"
#include "tests/support/temp_dir.h"

namespace property {

constexpr unsigned DEFAULT_SEED = 20261207;

struct Options {
    bool a = false, b = false, w = false, i = false, B = false;
    bool t = false, T = false, H = false, s = false;
};

std::string describe(const Options& o);

// One generated pair: raw bytes as written to disk.
struct Case {
    std::string first, second;
    Options opt;
    unsigned spelling = 0;  // seeds how the argument vector spells the options
};

// --- The model (property_model.cpp)

// Text mode: carriage returns vanish, Ctrl-Z ends the data.
std::string text_mode(const std::string& raw);
bool is_white(unsigned char c);
// `s` quoted, with control and non-ASCII bytes escaped, for failure messages.
std::string escaped(const std::string& s);

struct Outcome {
    std::vector<std::string> argv;
    int result = -99;
    bool listing_exists = false;
    std::string listing_raw;
    std::vector<ReportedMessage> messages;
};

// Checks one outcome against the model. Returns "" when every property holds, else
// what broke.
std::string check_listing(const Case& c, const std::string& p1, const std::string& p2,
                          const Outcome& out);

// --- Running the engine (property_runner.cpp)

// `stale`: leave a listing of an earlier run at the path, which the run must replace.
Outcome run_engine(std::vector<std::string> words, const std::string& listing_path,
                   bool stale = false);
// The argument vector for a pair: options in varied but equivalent spellings
// (separate, clustered, long names, -o attached or not, operands first or last).
std::vector<std::string> make_argv(const Options& o, const std::string& p1, const std::string& p2,
                                   const std::string& out, unsigned spelling);
// Runs one case and checks it; "" when it holds.
std::string run_and_check(const Case& c, const TempDir& dir, Outcome* outcome = nullptr);
// Makes a failing case smaller, line by line and option by option, while it still
// fails, so that the report shows a pair small enough to reason about.
Case shrink(Case c, const TempDir& dir);
// What failed, the argument vector, both files and the listing, for a failure message.
std::string failure_report(const Case& c, const TempDir& dir);

// --- Generating pairs (property_generator.cpp)

class Generator {
public:
    explicit Generator(unsigned seed) : rng_(seed) {}

    std::mt19937& rng() { return rng_; }
    int below(int n) { return static_cast<int>(rng_() % static_cast<unsigned>(n)); }
    bool chance(int percent) { return below(100) < percent; }

    Case make_case();
    Case make_binary_case();

private:
    int line_count();
    char random_byte();
    std::string white_run();
    std::string make_line();
    std::string pick();
    std::vector<std::string> make_lines(int n);
    std::string variant(const std::string& s);
    std::vector<std::string> edit(std::vector<std::string> l, int edits);
    std::string serialise(const std::vector<std::string>& lines);

    std::mt19937 rng_;
    std::vector<std::string> pool_;
    int style_ = 0;
    bool nul_ok_ = false;
};

}  // namespace property

#endif
