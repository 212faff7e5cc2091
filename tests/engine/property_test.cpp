// Property tests of the difference engine over many seeded random file pairs: the
// listing must replay the first file into the second (modulo what the options declare
// equal), quote both files exactly, follow the normal-format grammar, and agree with
// the result code.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "common/textio.h"
#include "engine/engine.h"
#include "tests/engine/listing_apply.h"
#include "tests/support/fake_report.h"
#include "tests/support/temp_dir.h"

namespace {

using listing::Hunk;
using listing::Lines;

// Enough pairs to hit the rare shapes (Ctrl-Z, empty files, -B-only hunks) many times;
// fewer under the sanitizers and wine, where each run is slower, never below 2,000.
#if defined(_WIN32)
constexpr int DEFAULT_PAIRS = 2000;
#elif defined(__SANITIZE_ADDRESS__)
constexpr int DEFAULT_PAIRS = 2000;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr int DEFAULT_PAIRS = 2000;
#else
constexpr int DEFAULT_PAIRS = 6000;
#endif
#else
constexpr int DEFAULT_PAIRS = 6000;
#endif

constexpr unsigned DEFAULT_SEED = 20261207;

long env_number(const char* name, long fallback) {
    const char* v = std::getenv(name);
    return v != nullptr && *v != '\0' ? std::strtol(v, nullptr, 10) : fallback;
}

struct Options {
    bool a = false, b = false, w = false, i = false, B = false;
    bool t = false, T = false, H = false, s = false;
};

std::string describe(const Options& o) {
    std::string s;
    const std::pair<bool, char> flags[] = {{o.a, 'a'}, {o.b, 'b'}, {o.B, 'B'},
                                           {o.H, 'H'}, {o.i, 'i'}, {o.s, 's'},
                                           {o.t, 't'}, {o.T, 'T'}, {o.w, 'w'}};
    for (const auto& [on, c] : flags) {
        if (on) {
            s += c;
        }
    }
    return s.empty() ? "(none)" : "-" + s;
}

// One generated pair: raw bytes as written to disk.
struct Case {
    std::string first, second;
    Options opt;
    unsigned spelling = 0;  // seeds how the argument vector spells the options
};

// ---------------------------------------------------------------------------------
// The model: what the engine must treat as equal, written from the documented rules.

// Text mode: carriage returns vanish, Ctrl-Z ends the data.
std::string text_mode(const std::string& raw) {
    std::string out;
    for (char ch : raw) {
        const unsigned char c = static_cast<unsigned char>(ch);
        if (c == 26) {
            break;
        }
        if (c != '\r') {
            out += ch;
        }
    }
    return out;
}

bool is_white(unsigned char c) {
    return c == 8 || c == 9 || c == 11 || c == 12 || c == 13 || c == 32 || c == 160;
}

// The canonical form of a line under -w, -b and -i: two lines are equivalent exactly
// when their canonical forms are equal.
std::string canonical(const std::string& line, const Options& o) {
    std::string out;
    if (o.w) {
        for (char ch : line) {
            if (!is_white(static_cast<unsigned char>(ch))) {
                out += ch;
            }
        }
    } else if (o.b) {
        // Runs of spaces and tabs count as one space; a run at the end counts as nothing.
        std::size_t k = 0;
        while (k < line.size()) {
            if (line[k] == ' ' || line[k] == '\t') {
                while (k < line.size() && (line[k] == ' ' || line[k] == '\t')) {
                    ++k;
                }
                if (k < line.size()) {
                    out += ' ';
                }
            } else {
                out += line[k++];
            }
        }
    } else {
        out = line;
    }
    if (o.i) {
        for (char& ch : out) {
            if (ch >= 'A' && ch <= 'Z') {
                ch = static_cast<char>(ch - 'A' + 'a');
            }
        }
    }
    return out;
}

// A file's lines with their canonical forms, computed once.
struct Text {
    Lines l;
    std::vector<std::string> canon;
    Text(Lines lines, const Options& o) : l(std::move(lines)) {
        for (const std::string& s : l.lines) {
            canon.push_back(canonical(s, o));
        }
    }
    long size() const { return static_cast<long>(l.lines.size()); }
    const std::string& operator[](long k) const { return l.lines[static_cast<std::size_t>(k)]; }
};

// Whether line `k` is the last line and lacks its line feed (-B completes it silently).
bool incomplete(const Text& t, long k, const Options& o) {
    return k + 1 == t.size() && t.l.lacks_final_newline && !o.B;
}

bool lines_match(const Text& x, long i, const Text& y, long j, const Options& o) {
    // A missing final line feed makes a line differ, except under -b and -w (their walk
    // ends at the line feed either way) and -B (the line is completed silently).
    if (!o.b && !o.w && incomplete(x, i, o) != incomplete(y, j, o)) {
        return false;
    }
    return x.canon[static_cast<std::size_t>(i)] == y.canon[static_cast<std::size_t>(j)];
}

// Whether lines [a_lo, a_hi) of `x` and [b_lo, b_hi) of `y` correspond: pairwise
// equivalent, or under -B equivalent once some empty lines are left out on either side.
bool ranges_correspond(const Text& x, long a_lo, long a_hi, const Text& y, long b_lo, long b_hi,
                       const Options& o) {
    const long n = a_hi - a_lo, m = b_hi - b_lo;
    if (!o.B) {
        if (n != m) {
            return false;
        }
        for (long k = 0; k < n; ++k) {
            if (!lines_match(x, a_lo + k, y, b_lo + k, o)) {
                return false;
            }
        }
        return true;
    }
    // reach[i][j]: the first i lines of x's range and the first j of y's correspond.
    std::vector<char> reach(static_cast<std::size_t>((n + 1) * (m + 1)), 0);
    auto at = [&](long i, long j) -> char& {
        return reach[static_cast<std::size_t>(i * (m + 1) + j)];
    };
    at(0, 0) = 1;
    for (long i = 0; i <= n; ++i) {
        for (long j = 0; j <= m; ++j) {
            if (!at(i, j)) {
                continue;
            }
            if (i < n && x[a_lo + i].empty()) {
                at(i + 1, j) = 1;
            }
            if (j < m && y[b_lo + j].empty()) {
                at(i, j + 1) = 1;
            }
            if (i < n && j < m && lines_match(x, a_lo + i, y, b_lo + j, o)) {
                at(i + 1, j + 1) = 1;
            }
        }
    }
    return at(n, m) != 0;
}

// How -t shows a line: tabs to the next multiple of 8, a backspace steps back (and
// vanishes at column 0), other control codes take no column.
std::string expand_tabs(const std::string& line) {
    std::string out;
    int column = 0;
    for (char ch : line) {
        const unsigned char c = static_cast<unsigned char>(ch);
        if (c == '\t') {
            const int n = 8 - column % 8;
            out.append(static_cast<std::size_t>(n), ' ');
            column += n;
        } else if (c == 8) {
            if (column > 0) {
                out += ch;
                --column;
            }
        } else {
            out += ch;
            if ((c >= 32 && c <= 126) || c >= 160) {
                ++column;
            }
        }
    }
    return out;
}

// What the listing must show for line `index0` of a file.
std::string shown(const Text& l, long index0, const Options& o) {
    std::string s = o.t ? expand_tabs(l[index0]) : l[index0];
    if (incomplete(l, index0, o)) {
        s += listing::NO_NEWLINE_TEXT;
    }
    return s;
}

std::string escaped(const std::string& s) {
    std::string out = "\"";
    for (char ch : s) {
        const unsigned char c = static_cast<unsigned char>(ch);
        if (c == '\n') {
            out += "\\n";
        } else if (c == '\t') {
            out += "\\t";
        } else if (c == '\\' || c == '"') {
            out += '\\';
            out += ch;
        } else if (c < 32 || c >= 127) {
            char buf[8];
            std::snprintf(buf, sizeof buf, "\\x%02X", c);
            out += buf;
        } else {
            out += ch;
        }
    }
    return out + "\"";
}

// ---------------------------------------------------------------------------------
// Running the engine.

struct Outcome {
    std::vector<std::string> argv;
    int result = -99;
    bool listing_exists = false;
    std::string listing_raw;
    std::vector<ReportedMessage> messages;
};

// `stale`: leave a listing of an earlier run at the path, which the run must replace.
Outcome run_engine(std::vector<std::string> words, const std::string& listing_path,
                   bool stale = false) {
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

// ---------------------------------------------------------------------------------
// Checking one outcome. Returns "" when every property holds, else what broke.

std::string check_listing(const Case& c, const std::string& p1, const std::string& p2,
                          const Outcome& out) {
    const Options& o = c.opt;
    std::ostringstream why;
    if (!out.messages.empty()) {
        why << "engine reported '" << out.messages.front().text << "'";
        return why.str();
    }
    if (out.result != 0 && out.result != 1) {
        why << "result " << out.result << " for a text pair";
        return why.str();
    }
    if (!out.listing_exists) {
        return "no listing file was written";
    }
    // The listing is written in the platform's text mode; inputs never carry a carriage
    // return into it, so every one must belong to a line end.
    std::string text;
    const std::string& raw = out.listing_raw;
    const std::string line_end = LINE_END;
    for (std::size_t k = 0; k < raw.size(); ++k) {
        if (raw[k] == '\r') {
            if (line_end != "\r\n" || k + 1 >= raw.size() || raw[k + 1] != '\n') {
                return "stray carriage return at listing byte " + std::to_string(k);
            }
            continue;
        }
        if (raw[k] == '\n' && line_end == "\r\n" && (k == 0 || raw[k - 1] != '\r')) {
            return "line feed without carriage return at listing byte " + std::to_string(k);
        }
        text += raw[k];
    }

    const Text f1(listing::split_lines(text_mode(c.first)), o);
    const Text f2(listing::split_lines(text_mode(c.second)), o);
    const long n1 = f1.size();
    const long n2 = f2.size();
    // Line for line equivalent (no empty lines left out, even under -B).
    bool equivalent = n1 == n2;
    for (long k = 0; equivalent && k < n1; ++k) {
        equivalent = lines_match(f1, k, f2, k, o);
    }

    std::vector<Hunk> hunks;
    if (out.result == 0) {
        const std::string expected =
            o.s ? "Files " + p1 + " and " + p2 + " are identical\n" : std::string();
        if (text != expected) {
            return "result 0 but the listing is " + escaped(text) + ", expected " +
                   escaped(expected);
        }
    } else {
        std::string error;
        if (!listing::parse(text, o.T ? '\t' : ' ', hunks, error)) {
            return "malformed listing: " + error;
        }
        if (hunks.empty()) {
            return "result 1 with no hunk listed";
        }
    }

    // Each hunk inside both files, one common line at least between hunks, quoting
    // the files' lines exactly (as shown under -t), never all-empty under -B.
    long prev1 = 0, prev2 = 0;  // lines of each file consumed so far
    for (std::size_t k = 0; k < hunks.size(); ++k) {
        const Hunk& h = hunks[k];
        why << "hunk " << k + 1 << " (" << h.first_lo << ".." << h.first_hi << " " << h.command
            << " " << h.second_lo << ".." << h.second_hi << "): ";
        if (h.first_lo < 1 || h.first_hi > n1 || h.second_lo < 1 || h.second_hi > n2) {
            why << "range outside the files (" << n1 << " and " << n2 << " lines)";
            return why.str();
        }
        if (k > 0 && (h.first_lo <= prev1 + 1 || h.second_lo <= prev2 + 1)) {
            why << "not separated from the previous hunk by a common line";
            return why.str();
        }
        for (long j = 0; j < h.first_count(); ++j) {
            const std::string want = shown(f1, h.first_lo - 1 + j, o);
            if (h.deleted[j] != want) {
                why << "'<' line " << j + 1 << " is " << escaped(h.deleted[j])
                    << ", first file line " << h.first_lo + j << " shows as " << escaped(want);
                return why.str();
            }
        }
        for (long j = 0; j < h.second_count(); ++j) {
            const std::string want = shown(f2, h.second_lo - 1 + j, o);
            if (h.inserted[j] != want) {
                why << "'>' line " << j + 1 << " is " << escaped(h.inserted[j])
                    << ", second file line " << h.second_lo + j << " shows as " << escaped(want);
                return why.str();
            }
        }
        if (o.B) {
            bool all_empty = true;
            for (long j = h.first_lo; j <= h.first_hi; ++j) {
                all_empty = all_empty && f1[j - 1].empty();
            }
            for (long j = h.second_lo; j <= h.second_hi; ++j) {
                all_empty = all_empty && f2[j - 1].empty();
            }
            if (all_empty) {
                why << "listed under -B although all its lines are empty";
                return why.str();
            }
        }
        // The common lines before this hunk must correspond.
        if (!ranges_correspond(f1, prev1, h.first_lo - 1, f2, prev2, h.second_lo - 1, o)) {
            why << "the common lines before it (first " << prev1 + 1 << ".." << h.first_lo - 1
                << ", second " << prev2 + 1 << ".." << h.second_lo - 1 << ") do not correspond";
            return why.str();
        }
        prev1 = h.first_hi;
        prev2 = h.second_hi;
        why.str("");
    }
    if (!ranges_correspond(f1, prev1, n1, f2, prev2, n2, o)) {
        why << "the common lines after the last hunk (first " << prev1 + 1 << ".." << n1
            << ", second " << prev2 + 1 << ".." << n2 << ") do not correspond";
        return why.str();
    }

    // Replaying the listing gives the second file. Under -t the shown texts are no
    // longer the lines, so replay the lines they were checked against above.
    std::vector<Hunk> replay = hunks;
    if (o.t) {
        for (Hunk& h : replay) {
            for (long j = 0; j < h.second_count(); ++j) {
                std::string s = f2[h.second_lo - 1 + j];
                if (incomplete(f2, h.second_lo - 1 + j, o)) {
                    s += listing::NO_NEWLINE_TEXT;
                }
                h.inserted[j] = s;
            }
        }
    }
    Lines replayed;
    std::string error;
    if (!listing::apply(replay, f1.l, replayed, error)) {
        return "listing does not apply: " + error;
    }
    const Text applied(replayed, o);
    if (!ranges_correspond(applied, 0, applied.size(), f2, 0, n2, o)) {
        return "applying the listing does not give the second file";
    }
    if (!o.B && !o.b && !o.w && applied.l.lacks_final_newline != f2.l.lacks_final_newline) {
        return "applying the listing gets the final line feed wrong";
    }

    // The result code agrees with equivalence: equal files list nothing; without -B,
    // files that list nothing are equal (checked by the replay above).
    if (equivalent && out.result != 0) {
        return "the files are equivalent but the result is 1";
    }
    return "";
}

// ---------------------------------------------------------------------------------
// Generating pairs.

class Generator {
public:
    explicit Generator(unsigned seed) : rng_(seed) {}

    std::mt19937& rng() { return rng_; }
    int below(int n) { return static_cast<int>(rng_() % static_cast<unsigned>(n)); }
    bool chance(int percent) { return below(100) < percent; }

    Case make_case() {
        Case c;
        Options& o = c.opt;
        o.a = chance(10);
        o.b = chance(25);
        o.w = chance(20);
        o.i = chance(25);
        o.B = chance(25);
        o.t = chance(15);
        o.T = chance(15);
        o.H = chance(15);
        o.s = chance(20);
        c.spelling = rng_();
        nul_ok_ = o.a && chance(30);
        style_ = below(5);
        pool_.clear();
        const int pool_size = 1 + below(chance(70) ? 6 : 40);
        for (int k = 0; k < pool_size; ++k) {
            pool_.push_back(make_line());
        }

        std::vector<std::string> l1, l2;
        const int shape = below(100);
        if (shape < 1) {
            // Long, with a line replaced at regular steps by another line of the pool:
            // costly searches that still run along long snakes, where the speed
            // heuristic accepts a diagonal early. (Its exhaustive checks under -B would
            // cost more than the rest of the test.)
            o.H = chance(80);
            o.B = false;
            style_ = 1;
            const int n = 3000 + below(5000);
            for (int k = 0, m = n / 4; k < m; ++k) {
                pool_.push_back("line " + std::to_string(k) + " " + make_line());
            }
            l1 = make_lines(n);
            l2 = l1;
            const int step = 15 + below(16);
            for (int k = below(step); k < n; k += step) {
                l2[static_cast<std::size_t>(k)] = pick();
            }
        } else if (shape < 3) {
            // Large and very different: long searches, the speed heuristic's ground.
            o.H = chance(50);
            style_ = chance(50) ? 1 : 3;
            for (int k = 0, n = 20 + below(200); k < n; ++k) {
                pool_.push_back(make_line());
            }
            l1 = make_lines(500 + below(1500));
            l2 = chance(30) ? make_lines(500 + below(1500)) : edit(l1, 100 + below(300));
        } else if (shape < 5) {
            // A prefix of long lines, then many short ones: line tables sized from the
            // prefix's line length must grow.
            style_ = 4;
            l1 = make_lines(10 + below(20));
            l2 = l1;
            style_ = 0;
            const std::vector<std::string> few = make_lines(below(4));
            const std::vector<std::string> many = make_lines(1000 + below(2000));
            l1.insert(l1.end(), few.begin(), few.end());
            l2.insert(l2.end(), many.begin(), many.end());
        } else {
            l1 = make_lines(line_count());
            if (shape < 12) {
                l2 = l1;
            } else if (shape < 22) {
                l2 = make_lines(line_count());
            } else {
                l2 = edit(l1, chance(80) ? 1 + below(5) : 6 + below(30));
            }
        }
        if (chance(50)) {
            std::swap(l1, l2);
        }
        c.first = serialise(l1);
        c.second = serialise(l2);
        return c;
    }

    // A binary pair: a zero byte in the first block of one file at least.
    Case make_binary_case() {
        Case c;
        c.opt.s = chance(50);
        c.spelling = rng_();
        std::string data(static_cast<std::size_t>(1 + below(3000)), '\0');
        for (char& ch : data) {
            ch = static_cast<char>(below(3) == 0 ? 0 : 'a' + below(4));
            if (chance(2)) {
                ch = '\r';
            }
        }
        c.first = data;
        c.second = data;
        const int shape = below(6);
        if (shape == 1) {
            c.second[static_cast<std::size_t>(below(static_cast<int>(data.size())))] ^= 1;
        } else if (shape == 2) {
            c.second.back() ^= 2;
        } else if (shape == 3) {
            c.second += 'z';
        } else if (shape == 4) {
            // Same size on disk, same data as read in text mode, different bytes.
            c.first +=
                "\x1a"
                "abc";
            c.second +=
                "\x1a"
                "xyz";
        } else if (shape == 5) {
            c.first = "text\n";
        }
        if (chance(50)) {
            std::swap(c.first, c.second);
        }
        return c;
    }

private:
    int line_count() {
        const int r = below(100);
        if (r < 5) {
            return 0;
        }
        if (r < 25) {
            return 1 + below(3);
        }
        if (r < 85) {
            return 4 + below(27);
        }
        return 30 + below(250);
    }

    char random_byte() {
        for (;;) {
            const unsigned char c = static_cast<unsigned char>(rng_() & 0xFF);
            if (c == '\n' || c == '\r' || c == 26 || (c == 0 && !nul_ok_)) {
                continue;
            }
            return static_cast<char>(c);
        }
    }

    std::string white_run() {
        static const char* const runs[] = {" ",    " ",  "  ", "\t", " \t", "\t  ",
                                           "\xA0", "\v", "\f", "\b", "   "};
        return runs[below(11)];
    }

    std::string make_line() {
        static const char* const words[] = {"x", "y",   "foo",  "Foo", "FOO",       "bar", "{",
                                            "}", "int", "i++;", "Z9",  "\xE9t\xC9", "a\tb"};
        static const char* const tiny[] = {"a",  "b",  "c",  "A",    "",     " ",
                                           "a ", " a", "\t", "a\tb", "a  b", "a b"};
        std::string s;
        switch (style_) {
            case 0:
                return tiny[below(12)];
            case 1:
            case 2: {
                if (chance(20)) {
                    s += white_run();
                }
                const int n = below(5);
                for (int k = 0; k < n; ++k) {
                    if (k > 0) {
                        s += chance(80) ? white_run() : "";
                    }
                    s += words[below(13)];
                }
                if (chance(20)) {
                    s += white_run();
                }
                return s;
            }
            case 3: {
                const int n = below(20);
                for (int k = 0; k < n; ++k) {
                    s += random_byte();
                }
                return s;
            }
            default: {
                // Long lines, now and then longer than the engine's first block.
                const int n = chance(5) ? 8000 + below(2000) : 60 + below(600);
                for (int k = 0; k < n; ++k) {
                    s += chance(5) ? '\t' : static_cast<char>('a' + below(3));
                }
                return s;
            }
        }
    }

    std::string pick() {
        if (chance(15)) {
            return "";
        }
        if (chance(10)) {
            return make_line();
        }
        return pool_[static_cast<std::size_t>(below(static_cast<int>(pool_.size())))];
    }

    std::vector<std::string> make_lines(int n) {
        std::vector<std::string> out;
        for (int k = 0; k < n; ++k) {
            out.push_back(pick());
        }
        return out;
    }

    // A line that -i, -b or -w may declare equal to `s` (or may not).
    std::string variant(const std::string& s) {
        std::string out;
        switch (below(5)) {
            case 0:
                for (char ch : s) {
                    out += (ch >= 'a' && ch <= 'z' && chance(50))   ? static_cast<char>(ch - 32)
                           : (ch >= 'A' && ch <= 'Z' && chance(50)) ? static_cast<char>(ch + 32)
                                                                    : ch;
                }
                return out;
            case 1:
                for (char ch : s) {
                    if (ch == ' ' || ch == '\t') {
                        out += white_run();
                    } else {
                        out += ch;
                    }
                }
                return out;
            case 2:
                return s + white_run();
            case 3:
                for (char ch : s) {
                    if (!is_white(static_cast<unsigned char>(ch))) {
                        out += ch;
                    }
                }
                return out;
            default:
                out = s;
                out.insert(static_cast<std::size_t>(below(static_cast<int>(s.size()) + 1)),
                           white_run());
                return out;
        }
    }

    std::vector<std::string> edit(std::vector<std::string> l, int edits) {
        for (int e = 0; e < edits; ++e) {
            const int n = static_cast<int>(l.size());
            const int at = below(n + 1);
            const auto pos = l.begin() + at;
            switch (below(7)) {
                case 0:
                    if (at < n) {
                        l.erase(pos, pos + std::min(n - at, 1 + below(4)));
                    }
                    break;
                case 1: {
                    const std::vector<std::string> more = make_lines(1 + below(4));
                    l.insert(pos, more.begin(), more.end());
                } break;
                case 2:
                    if (at < n) {
                        *pos = pick();
                    }
                    break;
                case 3:
                case 4:
                    if (at < n) {
                        *pos = variant(*pos);
                    }
                    break;
                case 5:
                    if (at < n) {
                        l.insert(pos, *pos);
                    }
                    break;
                default:
                    l.insert(pos, static_cast<std::size_t>(1 + below(3)), std::string());
            }
        }
        return l;
    }

    // The bytes on disk: LF or CR LF line ends (or a mix), maybe no final line feed,
    // now and then a stray carriage return or a Ctrl-Z that ends the data early.
    std::string serialise(const std::vector<std::string>& lines) {
        const int ends = below(100);
        std::string out;
        for (const std::string& s : lines) {
            out += s;
            const bool crlf = ends < 25 || (ends < 40 && chance(50));
            out += crlf ? "\r\n" : "\n";
        }
        if (!out.empty() && chance(25)) {
            out.pop_back();
            if (!out.empty() && out.back() == '\r' && chance(50)) {
                out.pop_back();
            }
        }
        if (!out.empty() && chance(4)) {
            out.insert(static_cast<std::size_t>(below(static_cast<int>(out.size()))), "\r");
        }
        if (chance(4)) {
            out.insert(static_cast<std::size_t>(below(static_cast<int>(out.size()) + 1)), "\x1a");
        } else if (chance(3)) {
            out += "\x1a";
        }
        return out;
    }

    std::mt19937 rng_;
    std::vector<std::string> pool_;
    int style_ = 0;
    bool nul_ok_ = false;
};

// Runs one case and checks it; "" when it holds.
std::string run_and_check(const Case& c, const TempDir& dir, Outcome* outcome = nullptr) {
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

TEST(EngineProperty, ListingReplaysFirstFileIntoSecond) {
    const long pairs = env_number("PAIREX_PROPERTY_PAIRS", DEFAULT_PAIRS);
    const unsigned seed = static_cast<unsigned>(env_number("PAIREX_PROPERTY_SEED", DEFAULT_SEED));
    Generator gen(seed);
    TempDir dir;
    ASSERT_LE(dir.file("o").size(), 80u) << "the engine keeps -o paths of 80 characters";
    int differing = 0, failures = 0;
    for (long n = 0; n < pairs && failures < 3; ++n) {
        const Case c = gen.make_case();
        Outcome out;
        std::string why = run_and_check(c, dir, &out);
        if (why.empty() && n % 29 == 0) {
            // A second identical run in the same process lists exactly the same: no state
            // leaks from one run into the next.
            Outcome again;
            run_and_check(c, dir, &again);
            if (again.result != out.result || again.listing_raw != out.listing_raw) {
                why = "a second identical run gave result " + std::to_string(again.result) +
                      " and listing " + escaped(again.listing_raw);
            }
        }
        if (why.empty() && n % 4 == 0) {
            // The same pair the other way round.
            Case swapped = c;
            std::swap(swapped.first, swapped.second);
            why = run_and_check(swapped, dir);
            if (!why.empty()) {
                ADD_FAILURE() << "pair " << n
                              << " (swapped), as found: " << failure_report(swapped, dir)
                              << "\nsmallest failing pair: "
                              << failure_report(shrink(swapped, dir), dir);
                ++failures;
                continue;
            }
        }
        if (!why.empty()) {
            ADD_FAILURE() << "pair " << n << ", as found: " << failure_report(c, dir)
                          << "\nsmallest failing pair: " << failure_report(shrink(c, dir), dir);
            ++failures;
        }
        differing += out.result == 1;
    }
    // The generator must keep producing both outcomes, or the property says little.
    EXPECT_GT(differing, pairs / 2);
    EXPECT_LT(differing, pairs - pairs / 50);
}

TEST(EngineProperty, FileAgainstItselfIsIdentical) {
    Generator gen(DEFAULT_SEED + 1);
    TempDir dir;
    for (int n = 0; n < 200; ++n) {
        const Case c = gen.make_case();
        const std::string p = dir.write("1", c.first);
        const std::string out_path = dir.file("o");
        const Outcome out = run_engine(make_argv(c.opt, p, p, out_path, c.spelling), out_path);
        const std::string expected =
            c.opt.s ? "Files " + p + " and " + p + " are identical" + LINE_END : "";
        ASSERT_EQ(out.result, 0) << escaped(c.first) << " " << describe(c.opt);
        ASSERT_EQ(out.listing_raw, expected);
        ASSERT_TRUE(out.messages.empty());
    }
}

// "-" reads standard input, named "Standard Input" in the listing; "-" on both sides
// is one open file, identical to itself.
TEST(EngineProperty, StandardInputOperand) {
    Generator gen(DEFAULT_SEED + 4);
    TempDir dir;
    const std::string out_path = dir.file("o");
    for (int n = 0; n < 150; ++n) {
        const Case c = gen.make_case();
        const std::string p1 = dir.write("1", c.first);
        const std::string p2 = dir.write("2", c.second);
        const int side = n % 3;  // 0: first operand, 1: second, 2: both
        ASSERT_NE(std::freopen(side == 1 ? p2.c_str() : p1.c_str(), "rb", stdin), nullptr);
        const std::string a = side == 1 ? p1 : "-";
        const std::string b = side == 0 ? p2 : "-";
        const Outcome out = run_engine(make_argv(c.opt, a, b, out_path, c.spelling), out_path);
        const std::string name1 = side == 1 ? p1 : "Standard Input";
        const std::string name2 = side == 0 ? p2 : "Standard Input";
        if (side == 2) {
            ASSERT_EQ(out.result, 0) << escaped(c.first) << " " << describe(c.opt);
            ASSERT_EQ(out.listing_raw,
                      c.opt.s ? "Files Standard Input and Standard Input are identical" +
                                    std::string(LINE_END)
                              : "");
            continue;
        }
        const std::string why = check_listing(c, name1, name2, out);
        ASSERT_EQ(why, "") << "side " << side << ", options " << describe(c.opt) << "\n  first "
                           << escaped(c.first) << "\n  second " << escaped(c.second)
                           << "\n  listing " << escaped(out.listing_raw);
    }
}

// Binary pairs (a zero byte in the first block, no -a) are compared byte for byte as
// read: different sizes on disk differ at once, otherwise the data read decides. No
// listing is written for a differing pair; an equal pair leaves an empty listing or
// the identical-files line. The bytes are compared as stored: files of one size that
// differ only past a Ctrl-Z, or only in where carriage returns lie, differ.
TEST(EngineProperty, BinaryPairsCompareByContent) {
    Generator gen(DEFAULT_SEED + 2);
    TempDir dir;
    for (int n = 0; n < 300; ++n) {
        const Case c = gen.make_binary_case();
        const std::string p1 = dir.write("1", c.first);
        const std::string p2 = dir.write("2", c.second);
        const std::string out_path = dir.file("o");
        const Outcome out = run_engine(make_argv(c.opt, p1, p2, out_path, c.spelling), out_path);
        const std::string d1 = text_mode(c.first), d2 = text_mode(c.second);
        const bool binary =
            d1.find('\0') != std::string::npos || d2.find('\0') != std::string::npos;
        if (!binary) {
            continue;
        }
        const int expected = c.first != c.second ? 1 : 0;
        const std::string what = escaped(c.first.substr(0, 60)) + "... (" +
                                 std::to_string(c.first.size()) + " bytes) against " +
                                 escaped(c.second.substr(0, 60)) + "... (" +
                                 std::to_string(c.second.size()) + " bytes)";
        ASSERT_EQ(out.result, expected) << what;
        ASSERT_TRUE(out.messages.empty()) << what << ": " << out.messages.front().text;
        if (expected == 1) {
            ASSERT_FALSE(out.listing_exists) << what;
        } else {
            ASSERT_EQ(out.listing_raw,
                      c.opt.s ? "Files " + p1 + " and " + p2 + " are identical" + LINE_END : "")
                << what;
        }
    }
}

// The checker is only as good as what it rejects: listings of real runs, corrupted
// in ways an engine fault would, must fail it.
TEST(EngineProperty, CheckerRejectsCorruptedListings) {
    Generator gen(DEFAULT_SEED + 3);
    TempDir dir;
    int cases = 0, dropped_hunks = 0, dropped_detected = 0;
    for (int n = 0; n < 2000 && cases < 300; ++n) {
        const Case c = gen.make_case();
        Outcome out;
        ASSERT_EQ(run_and_check(c, dir, &out), "") << failure_report(c, dir);
        if (out.result != 1 || c.opt.t) {
            continue;
        }
        ++cases;
        const std::string p1 = dir.file("1"), p2 = dir.file("2");
        const std::string& raw = out.listing_raw;
        // A changed byte in a quoted line (every listed line is "< x" or "> x" or longer).
        const std::size_t marker =
            raw.find("\n< ") != std::string::npos ? raw.find("\n< ") + 3 : raw.find("\n> ") + 3;
        if (marker != std::string::npos + 3 && marker < raw.size()) {
            Outcome bad = out;
            bad.listing_raw.insert(marker, "\x01");
            EXPECT_NE(check_listing(c, p1, p2, bad), "") << "inserted byte in " << escaped(raw);
        }
        // The last line feed missing.
        Outcome cut = out;
        cut.listing_raw.pop_back();
        EXPECT_NE(check_listing(c, p1, p2, cut), "") << escaped(raw);
        // A hunk left out (the first of several, or the only one).
        std::vector<std::size_t> headers;
        for (std::size_t k = 0; k < raw.size(); k = raw.find('\n', k) + 1) {
            if (raw[k] >= '0' && raw[k] <= '9') {
                headers.push_back(k);
            }
            if (raw.find('\n', k) == std::string::npos) {
                break;
            }
        }
        ASSERT_FALSE(headers.empty()) << escaped(raw);
        Outcome fewer = out;
        const std::size_t end = headers.size() > 1 ? headers[1] : raw.size();
        fewer.listing_raw.erase(headers[0], end - headers[0]);
        if (fewer.listing_raw.empty()) {
            fewer.result = 0;  // otherwise "result 1 with no hunk" is too easy a catch
        }
        ++dropped_hunks;
        dropped_detected += check_listing(c, p1, p2, fewer) != "";
        // The result code turned round.
        Outcome flipped = out;
        flipped.result = 0;
        EXPECT_NE(check_listing(c, p1, p2, flipped), "") << escaped(raw);
    }
    ASSERT_GE(cases, 200);
    // A left-out hunk can go unnoticed only where the listing was not minimal.
    EXPECT_GE(dropped_detected * 100, dropped_hunks * 95);
}

// The helper itself: a hand-made listing with every command, an incomplete last line
// and a malformed header.
TEST(ListingApply, ParsesAndReplaysEveryCommand) {
    const Lines first = listing::split_lines("a\nb\nc\nd\ne");
    const std::string text =
        "0a1\n> z\n"
        "2,3c3\n< b\n< c\n---\n> B\n"
        "5c5,6\n< eNo newline at end of file\n---\n> e\n> fNo newline at end of file\n";
    std::vector<Hunk> hunks;
    std::string error;
    ASSERT_TRUE(listing::parse(text, ' ', hunks, error)) << error;
    ASSERT_EQ(hunks.size(), 3u);
    EXPECT_EQ(hunks[0].first_lo, 1);
    EXPECT_EQ(hunks[0].first_hi, 0);
    EXPECT_EQ(hunks[1].deleted, (std::vector<std::string>{"b", "c"}));
    Lines result;
    ASSERT_TRUE(listing::apply(hunks, first, result, error)) << error;
    EXPECT_EQ(listing::join_lines(result), "z\na\nB\nd\ne\nf");

    const Lines deleted_tail = listing::split_lines("a\nb");
    ASSERT_TRUE(listing::parse("2d1\n< bNo newline at end of file\n", ' ', hunks, error));
    ASSERT_TRUE(listing::apply(hunks, deleted_tail, result, error));
    EXPECT_EQ(listing::join_lines(result), "a\n");

    for (const char* bad : {"1,1c1\n< a\n---\n> b\n", "1c1\n< a\n> b\n", "x1d0\n< a\n", "1d0\n< a",
                            "0,1a1\n> a\n", "1d0\n<\ta\n", "01d0\n< a\n"}) {
        EXPECT_FALSE(listing::parse(bad, ' ', hunks, error)) << bad;
    }
    ASSERT_TRUE(listing::parse("1d0\n< a\n1d0\n< a\n", ' ', hunks, error));
    EXPECT_FALSE(listing::apply(hunks, first, result, error));
}

}  // namespace
