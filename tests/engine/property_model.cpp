// The property tests' model of the engine and the checker of one run: the listing must
// replay the first file into the second (modulo what the options declare equal), quote
// both files exactly, follow the normal-format grammar, and agree with the result code.

#include <cstdio>
#include <sstream>
#include <string>
#include <vector>

#include "common/textio.h"
#include "tests/engine/listing_apply.h"
#include "tests/engine/property_support.h"

namespace property {

using listing::Hunk;
using listing::Lines;

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

}  // namespace property
