#ifndef PAIREX_TESTS_ENGINE_LISTING_APPLY_H
#define PAIREX_TESTS_ENGINE_LISTING_APPLY_H

// Test helper: a strict reader of the engine's normal-format listing and an applier
// that replays it on the first file's lines. Header-only so that the engine test glob
// picks up only the *_test.cpp files.

#include <cstddef>
#include <string>
#include <vector>

namespace listing {

// Appended to the text of a listed line that has no line feed in its file.
constexpr const char* NO_NEWLINE_TEXT = "No newline at end of file";

// The lines of a text (each without its line feed) and whether the last one lacks it.
struct Lines {
    std::vector<std::string> lines;
    bool lacks_final_newline = false;
    bool operator==(const Lines&) const = default;
};

inline Lines split_lines(const std::string& text) {
    Lines out;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t nl = text.find('\n', start);
        if (nl == std::string::npos) {
            out.lines.push_back(text.substr(start));
            out.lacks_final_newline = true;
            break;
        }
        out.lines.push_back(text.substr(start, nl - start));
        start = nl + 1;
    }
    return out;
}

inline std::string join_lines(const Lines& l) {
    std::string out;
    for (std::size_t i = 0; i < l.lines.size(); ++i) {
        out += l.lines[i];
        if (i + 1 < l.lines.size() || !l.lacks_final_newline) {
            out += '\n';
        }
    }
    return out;
}

// One hunk. Ranges are 1-based and inclusive; an empty range has hi == lo - 1, lo - 1
// being the number printed in the header (the line after which the other side goes).
struct Hunk {
    char command = 0;  // 'a', 'c' or 'd'
    long first_lo = 0, first_hi = -1;
    long second_lo = 0, second_hi = -1;
    std::vector<std::string> deleted;   // texts after "< " (line feed removed)
    std::vector<std::string> inserted;  // texts after "> "
    long first_count() const { return first_hi - first_lo + 1; }
    long second_count() const { return second_hi - second_lo + 1; }
};

namespace detail {

inline bool is_digit(char c) {
    return c >= '0' && c <= '9';
}

// Reads "N" or "N,M" at `p`; false on malformed input or on "N,M" with M <= N, which
// the format never prints (a single line is one number).
inline bool read_range(const std::string& s, std::size_t& p, long& a, long& b, bool& pair) {
    auto number = [&](long& v) {
        if (p >= s.size() || !is_digit(s[p])) {
            return false;
        }
        // No leading zeros: numbers are printed with %d.
        if (s[p] == '0' && p + 1 < s.size() && is_digit(s[p + 1])) {
            return false;
        }
        v = 0;
        while (p < s.size() && is_digit(s[p])) {
            v = v * 10 + (s[p++] - '0');
            if (v > 1000000000L) {
                return false;
            }
        }
        return true;
    };
    if (!number(a)) {
        return false;
    }
    pair = false;
    b = a;
    if (p < s.size() && s[p] == ',') {
        ++p;
        if (!number(b) || b <= a) {
            return false;
        }
        pair = true;
    }
    return true;
}

}  // namespace detail

// Parses a whole listing (line feeds only: the platform's line ends already removed).
// `marker_separator` is ' ' or '\t' (-T). Returns false with `error` set on anything
// outside the grammar: a header that does not start with a digit, a wrong command
// letter, a single-number range printed as a pair, marker counts that disagree with
// the header, a misplaced "---", a missing final line feed.
inline bool parse(const std::string& text, char marker_separator, std::vector<Hunk>& hunks,
                  std::string& error) {
    hunks.clear();
    std::vector<std::string> raw;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t nl = text.find('\n', start);
        if (nl == std::string::npos) {
            error = "listing does not end with a line feed";
            return false;
        }
        raw.push_back(text.substr(start, nl - start));
        start = nl + 1;
    }
    std::size_t i = 0;
    auto take_markers = [&](char marker, long count, std::vector<std::string>& out) {
        for (long k = 0; k < count; ++k, ++i) {
            if (i >= raw.size() || raw[i].size() < 2 || raw[i][0] != marker ||
                raw[i][1] != marker_separator) {
                error = std::string("expected a '") + marker + "' line at listing line " +
                        std::to_string(i + 1);
                return false;
            }
            out.push_back(raw[i].substr(2));
        }
        return true;
    };
    while (i < raw.size()) {
        const std::string& h = raw[i];
        Hunk hunk;
        std::size_t p = 0;
        long a = 0, b = 0, c = 0, d = 0;
        bool first_pair = false, second_pair = false;
        if (!detail::read_range(h, p, a, b, first_pair) || p >= h.size()) {
            error = "bad hunk header '" + h + "' at listing line " + std::to_string(i + 1);
            return false;
        }
        hunk.command = h[p++];
        if (!detail::read_range(h, p, c, d, second_pair) || p != h.size() ||
            (hunk.command != 'a' && hunk.command != 'c' && hunk.command != 'd')) {
            error = "bad hunk header '" + h + "' at listing line " + std::to_string(i + 1);
            return false;
        }
        // An empty side is printed as the one number of the line before it.
        if ((hunk.command == 'a' && first_pair) || (hunk.command == 'd' && second_pair)) {
            error = "empty side printed as a range in '" + h + "'";
            return false;
        }
        if (hunk.command == 'a') {
            hunk.first_lo = a + 1;
            hunk.first_hi = a;
        } else {
            if (a == 0) {
                error = "line 0 in a non-empty range in '" + h + "'";
                return false;
            }
            hunk.first_lo = a;
            hunk.first_hi = b;
        }
        if (hunk.command == 'd') {
            hunk.second_lo = c + 1;
            hunk.second_hi = c;
        } else {
            if (c == 0) {
                error = "line 0 in a non-empty range in '" + h + "'";
                return false;
            }
            hunk.second_lo = c;
            hunk.second_hi = d;
        }
        ++i;
        if (hunk.command != 'a' && !take_markers('<', hunk.first_count(), hunk.deleted)) {
            return false;
        }
        if (hunk.command == 'c') {
            if (i >= raw.size() || raw[i] != "---") {
                error = "missing '---' in a change hunk at listing line " + std::to_string(i + 1);
                return false;
            }
            ++i;
        }
        if (hunk.command != 'd' && !take_markers('>', hunk.second_count(), hunk.inserted)) {
            return false;
        }
        hunks.push_back(std::move(hunk));
    }
    return true;
}

// Replays `hunks` on `first`. Hunks must be in increasing order, apart from each other
// by at least one common line, and inside the first file. An inserted line whose text
// ends in NO_NEWLINE_TEXT becomes an incomplete last line when it is the last line of
// the result (a genuine line ending in those words would be misread; inputs of the
// tests never hold them).
inline bool apply(const std::vector<Hunk>& hunks, const Lines& first, Lines& result,
                  std::string& error) {
    result = Lines{};
    const long n1 = static_cast<long>(first.lines.size());
    long next = 1;  // next line of `first` to copy
    // Where the result's last line came from: a line of `first` (its number) or an
    // inserted text (0).
    long last_origin = -1;
    for (std::size_t k = 0; k < hunks.size(); ++k) {
        const Hunk& h = hunks[k];
        if (h.first_lo < next || h.first_hi > n1 || (k > 0 && h.first_lo < next + 1)) {
            error = "hunk " + std::to_string(k + 1) + " (first file lines " +
                    std::to_string(h.first_lo) + ".." + std::to_string(h.first_hi) +
                    ") overlaps, touches the previous one or lies outside the file";
            return false;
        }
        for (; next < h.first_lo; ++next) {
            result.lines.push_back(first.lines[next - 1]);
            last_origin = next;
        }
        next = h.first_hi + 1;
        for (const std::string& s : h.inserted) {
            result.lines.push_back(s);
            last_origin = 0;
        }
    }
    for (; next <= n1; ++next) {
        result.lines.push_back(first.lines[next - 1]);
        last_origin = next;
    }
    if (last_origin == 0 && next > n1) {
        std::string& last = result.lines.back();
        const std::string tail = NO_NEWLINE_TEXT;
        if (last.size() >= tail.size() &&
            last.compare(last.size() - tail.size(), tail.size(), tail) == 0) {
            last.erase(last.size() - tail.size());
            result.lacks_final_newline = true;
        }
    } else if (last_origin == n1) {
        result.lacks_final_newline = first.lacks_final_newline;
    }
    return true;
}

}  // namespace listing

#endif
