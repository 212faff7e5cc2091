// Running the engine on a generated pair, and shrinking a failing pair for its report.

#include <algorithm>
#include <cstdio>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "engine/engine.h"
#include "tests/engine/property_support.h"

namespace property {

// `stale`: leave a listing of an earlier run at the path, which the run must replace.
Outcome run_engine(std::vector<std::string> words, const std::string& listing_path, bool stale) {
    std::remove(listing_path.c_str());
    if (stale) {
        FILE* f = std::fopen(listing_path.c_str(), "wb");
        std::fputs("1c1\n< stale listing of an earlier run\n---\n> x\n", f);
        std::fclose(f);
    }
    Outcome out;
    out.argv = words;
    std::vector<char*> argv;
    for (std::string& w : words) {
        argv.push_back(w.data());
    }
    argv.push_back(nullptr);
    clear_reported_messages();
    out.result = engine_run(static_cast<int>(words.size()), argv.data());
    out.messages = reported_messages();
    out.listing_exists = exists(listing_path);
    out.listing_raw = read_bytes(listing_path);
    return out;
}

// The argument vector for a pair: options in varied but equivalent spellings
// (separate, clustered, long names, -o attached or not, operands first or last).
std::vector<std::string> make_argv(const Options& o, const std::string& p1, const std::string& p2,
                                   const std::string& out, unsigned spelling) {
    std::mt19937 rng(spelling);
    struct Flag {
        bool on;
        char letter;
        const char* long_name;
    };
    const Flag flags[] = {{o.a, 'a', "--te"}, {o.b, 'b', "--ir"}, {o.B, 'B', "--ig"},
                          {o.H, 'H', "--sp"}, {o.i, 'i', "--ie"}, {o.s, 's', "--rp"},
                          {o.t, 't', "--ex"}, {o.T, 'T', "--ii"}, {o.w, 'w', "--ia"}};
    // Units that stay together when shuffled ("-o" and its path).
    std::vector<std::vector<std::string>> opts;
    std::string cluster = "-";
    for (const Flag& f : flags) {
        if (!f.on) {
            continue;
        }
        const unsigned r = rng() % 10;
        if (r == 0) {
            opts.push_back({f.long_name});
        } else if (r < 5) {
            opts.push_back({std::string("-") + f.letter});
        } else {
            cluster += f.letter;
        }
    }
    if (cluster.size() > 1) {
        opts.push_back({cluster});
    }
    switch (rng() % 4) {
        case 0:
            opts.push_back({"-o" + out});
            break;
        case 1:
            opts.push_back({"--ou=" + out});
            break;
        default:
            opts.push_back({"-o", out});
    }
    std::shuffle(opts.begin(), opts.end(), rng);
    std::vector<std::string> words = {"pairex-diff"};
    const bool operand_first = rng() % 5 == 0;
    if (operand_first) {
        words.push_back(p1);
    }
    for (const auto& unit : opts) {
        words.insert(words.end(), unit.begin(), unit.end());
    }
    if (!operand_first) {
        words.push_back(p1);
    }
    words.push_back(p2);
    return words;
}

// Runs one case and checks it; "" when it holds.
std::string run_and_check(const Case& c, const TempDir& dir, Outcome* outcome) {
    const std::string p1 = dir.write("1", c.first);
    const std::string p2 = dir.write("2", c.second);
    const std::string out_path = dir.file("o");
    const Outcome out =
        run_engine(make_argv(c.opt, p1, p2, out_path, c.spelling), out_path, c.spelling % 2 == 0);
    if (outcome != nullptr) {
        *outcome = out;
    }
    return check_listing(c, p1, p2, out);
}

namespace {

// Split raw bytes into pieces that end with a line feed (the last may not).
std::vector<std::string> raw_lines(const std::string& s) {
    std::vector<std::string> out;
    std::size_t start = 0;
    while (start < s.size()) {
        std::size_t nl = s.find('\n', start);
        nl = nl == std::string::npos ? s.size() : nl + 1;
        out.push_back(s.substr(start, nl - start));
        start = nl;
    }
    return out;
}

std::string joined(const std::vector<std::string>& v) {
    std::string out;
    for (const std::string& s : v) {
        out += s;
    }
    return out;
}

}  // namespace

// Makes a failing case smaller, line by line and option by option, while it still
// fails, so that the report shows a pair small enough to reason about.
Case shrink(Case c, const TempDir& dir) {
    int budget = 3000;
    bool progress = true;
    while (progress && budget > 0) {
        progress = false;
        for (std::string Case::*side : {&Case::first, &Case::second}) {
            std::vector<std::string> lines = raw_lines(c.*side);
            for (std::size_t k = 0; k < lines.size() && budget > 0;) {
                Case trial = c;
                std::vector<std::string> fewer = lines;
                fewer.erase(fewer.begin() + static_cast<long>(k));
                trial.*side = joined(fewer);
                --budget;
                if (!run_and_check(trial, dir).empty()) {
                    c = trial;
                    lines = fewer;
                    progress = true;
                } else {
                    ++k;
                }
            }
        }
        for (bool Options::*flag : {&Options::a, &Options::b, &Options::w, &Options::i, &Options::B,
                                    &Options::t, &Options::T, &Options::H, &Options::s}) {
            // Without -a a zero byte makes the pair binary: a different failure.
            const bool needed = flag == &Options::a && (c.first.find('\0') != std::string::npos ||
                                                        c.second.find('\0') != std::string::npos);
            if (c.opt.*flag && !needed && budget-- > 0) {
                Case trial = c;
                trial.opt.*flag = false;
                if (!run_and_check(trial, dir).empty()) {
                    c = trial;
                    progress = true;
                }
            }
        }
    }
    return c;
}

std::string failure_report(const Case& c, const TempDir& dir) {
    Outcome out;
    const std::string why = run_and_check(c, dir, &out);
    std::ostringstream s;
    s << why << "\n  options " << describe(c.opt) << ", argument vector";
    for (const std::string& w : out.argv) {
        s << " " << w;
    }
    s << "\n  first  " << escaped(c.first) << "\n  second " << escaped(c.second) << "\n  result "
      << out.result << ", listing "
      << (out.listing_exists ? escaped(out.listing_raw) : std::string("(none)"));
    return s.str();
}

}  // namespace property
