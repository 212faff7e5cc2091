// Generating seeded random file pairs for the property tests: text pairs of many shapes
// (equal, edited, unrelated, long, with long prefixes) and binary pairs.

#include <algorithm>
#include <string>
#include <vector>

#include "tests/engine/property_support.h"

namespace property {

Case Generator::make_case() {
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
Case Generator::make_binary_case() {
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

int Generator::line_count() {
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

char Generator::random_byte() {
    for (;;) {
        const unsigned char c = static_cast<unsigned char>(rng_() & 0xFF);
        if (c == '\n' || c == '\r' || c == 26 || (c == 0 && !nul_ok_)) {
            continue;
        }
        return static_cast<char>(c);
    }
}

std::string Generator::white_run() {
    static const char* const runs[] = {" ",    " ",  "  ", "\t", " \t", "\t  ",
                                       "\xA0", "\v", "\f", "\b", "   "};
    return runs[below(11)];
}

std::string Generator::make_line() {
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

std::string Generator::pick() {
    if (chance(15)) {
        return "";
    }
    if (chance(10)) {
        return make_line();
    }
    return pool_[static_cast<std::size_t>(below(static_cast<int>(pool_.size())))];
}

std::vector<std::string> Generator::make_lines(int n) {
    std::vector<std::string> out;
    for (int k = 0; k < n; ++k) {
        out.push_back(pick());
    }
    return out;
}

// A line that -i, -b or -w may declare equal to `s` (or may not).
std::string Generator::variant(const std::string& s) {
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

std::vector<std::string> Generator::edit(std::vector<std::string> l, int edits) {
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
std::string Generator::serialise(const std::vector<std::string>& lines) {
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
    // One character inserted by count: the string-literal overload trips a false
    // -Wrestrict of the mingw g++ 12 at -O3.
    if (!out.empty() && chance(4)) {
        out.insert(static_cast<std::size_t>(below(static_cast<int>(out.size()))), 1, '\r');
    }
    if (chance(4)) {
        out.insert(static_cast<std::size_t>(below(static_cast<int>(out.size()) + 1)), 1, '\x1a');
    } else if (chance(3)) {
        out += "\x1a";
    }
    return out;
}

}  // namespace property
