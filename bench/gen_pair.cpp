// gen_pair: writes a seeded pair of text files for the engine benchmark.
//
//   gen_pair KIND SEED FIRST SECOND [LINES]
//
// KIND sparse: 1,000,000 lines of about 27 bytes, 0.1% of them edited at scattered
//              places (changed, deleted, or with new lines inserted);
//      dense:  200,000 lines, every other line on average replaced by a new one;
//      source: 20,000 lines shaped like program text, many blank and brace-only lines,
//              with scattered edits and blank lines moved about;
//      shuffled: 100,000 lines, the second file the same lines in a random order;
//      alternate: 1,000,000 lines, every other line of the second file replaced by a
//              line from elsewhere in the first (the last two: costly reorderings).
//      onechar: 20,000 lines, every one of them differing by one character.
//      four:   1,000,000 lines each drawn at random from "a", "b", "c" and "d", against
//              another such file: the costliest shape for the search, nearly every
//              line matchable and no long run of equal lines.
//      oneline: one line of 100,000,000 bytes of words (LINES gives its size in bytes),
//              the second file the same line with a few scattered changes: letters
//              changed, a word inserted, a word deleted.
// LINES overrides the line count (for profiling on a smaller pair). The same
// arguments always give the same bytes.

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>
#include <vector>

namespace {

class Words {
public:
    explicit Words(std::mt19937& rng) : rng_(rng) {
        // A vocabulary of made-up words, so lines repeat words but rarely whole lines.
        static const char* const syllables[] = {"ka",  "lo", "mi",  "tes", "ru", "van",
                                                "de",  "po", "si",  "gar", "nu", "fe",
                                                "bri", "zo", "tal", "qui"};
        for (int k = 0; k < 2000; ++k) {
            std::string w;
            const int n = 1 + static_cast<int>(rng_() % 3);
            for (int s = 0; s < n; ++s) {
                w += syllables[rng_() % 16];
            }
            words_.push_back(w);
        }
    }

    // About `length` bytes of words and spaces.
    std::string text(std::size_t length) {
        std::string s;
        while (s.size() < length) {
            if (!s.empty()) {
                s += ' ';
            }
            s += words_[rng_() % words_.size()];
        }
        s.resize(length);
        return s;
    }

private:
    std::mt19937& rng_;
    std::vector<std::string> words_;
};

std::string prose_line(std::mt19937& rng, Words& words) {
    // 26 bytes on average, then the line feed.
    return words.text(18 + rng() % 17);
}

std::string source_line(std::mt19937& rng, Words& words, int& depth) {
    const unsigned r = rng() % 100;
    std::string indent(static_cast<std::size_t>(depth) * 4, ' ');
    if (r < 18) {
        return "";
    }
    if (r < 28 && depth > 0) {
        --depth;
        return std::string(static_cast<std::size_t>(depth) * 4, ' ') + "}";
    }
    if (r < 38 && depth < 6) {
        ++depth;
        return indent + (rng() % 2 ? "{" : "if (" + words.text(8) + ") {");
    }
    if (r < 44) {
        return indent + "return 0;";
    }
    if (r < 48) {
        return indent + "break;";
    }
    if (r < 52) {
        return indent + "// " + words.text(20 + rng() % 30);
    }
    return indent + words.text(6 + rng() % 12) + " = " + words.text(4 + rng() % 20) + ";";
}

bool write_lines(const char* path, const std::vector<std::string>& lines) {
    FILE* f = std::fopen(path, "wb");
    if (f == nullptr) {
        std::perror(path);
        return false;
    }
    for (const std::string& s : lines) {
        std::fwrite(s.data(), 1, s.size(), f);
        std::fputc('\n', f);
    }
    if (std::fclose(f) != 0) {
        std::perror(path);
        return false;
    }
    return true;
}

// The reordered kinds: the same lines shuffled, or every other line taken from a
// random place in the first file.
bool write_reordered(bool shuffle, std::mt19937& rng, Words& words, long lines, const char* path1,
                     const char* path2) {
    std::vector<std::string> first;
    first.reserve(static_cast<std::size_t>(lines));
    for (long k = 0; k < lines; ++k) {
        first.push_back(prose_line(rng, words));
    }
    std::vector<std::string> second = first;
    if (shuffle) {
        std::shuffle(second.begin(), second.end(), rng);
    } else {
        for (std::size_t k = 1; k < second.size(); k += 2) {
            second[k] = first[rng() % first.size()];
        }
    }
    return write_lines(path1, first) && write_lines(path2, second);
}

// Two files of lines drawn at random from four short lines.
bool write_four(std::mt19937& rng, long lines, const char* path1, const char* path2) {
    static const char* const symbols[] = {"a", "b", "c", "d"};
    std::vector<std::string> files[2];
    for (std::vector<std::string>& file : files) {
        file.reserve(static_cast<std::size_t>(lines));
        for (long k = 0; k < lines; ++k) {
            file.emplace_back(symbols[rng() % 4]);
        }
    }
    return write_lines(path1, files[0]) && write_lines(path2, files[1]);
}

// One long line, and the same line with a few changes spread over it.
bool write_oneline(std::mt19937& rng, Words& words, long size, const char* path1,
                   const char* path2) {
    std::vector<std::string> first = {words.text(static_cast<std::size_t>(std::max(size, 16L)))};
    std::vector<std::string> second = first;
    std::string& line = second[0];
    for (int k = 0; k < 6; ++k) {
        char& c = line[rng() % line.size()];
        c = c == 'x' ? 'y' : 'x';
    }
    line.insert(rng() % line.size(), " inserted");
    line.erase(rng() % (line.size() - 8), 8);
    return write_lines(path1, first) && write_lines(path2, second);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 5 || argc > 6) {
        std::fprintf(stderr,
                     "usage: gen_pair sparse|dense|source|shuffled|alternate|onechar|four|oneline "
                     "SEED FIRST SECOND [LINES]\n");
        return 2;
    }
    const std::string kind = argv[1];
    std::mt19937 rng(static_cast<unsigned>(std::strtoul(argv[2], nullptr, 10)));
    Words words(rng);
    long lines = kind == "sparse" || kind == "alternate" || kind == "four" ? 1000000
                 : kind == "dense"                                         ? 200000
                 : kind == "shuffled"                                      ? 100000
                 : kind == "oneline"                                       ? 100000000
                                                                           : 20000;
    if (argc == 6) {
        lines = std::strtol(argv[5], nullptr, 10);
    }
    if (kind == "oneline") {
        return write_oneline(rng, words, lines, argv[3], argv[4]) ? 0 : 1;
    }
    if (kind == "four") {
        return write_four(rng, lines, argv[3], argv[4]) ? 0 : 1;
    }
    if (kind == "shuffled" || kind == "alternate") {
        return write_reordered(kind == "shuffled", rng, words, lines, argv[3], argv[4]) ? 0 : 1;
    }
    if (kind != "sparse" && kind != "dense" && kind != "source" && kind != "onechar") {
        std::fprintf(stderr, "gen_pair: unknown kind %s\n", kind.c_str());
        return 2;
    }

    std::vector<std::string> first, second;
    first.reserve(static_cast<std::size_t>(lines));
    second.reserve(static_cast<std::size_t>(lines) + lines / 100);
    int depth = 0;
    for (long k = 0; k < lines; ++k) {
        first.push_back(kind == "source" ? source_line(rng, words, depth) : prose_line(rng, words));
    }
    if (kind == "onechar") {
        for (std::string line : first) {
            char& c = line[rng() % line.size()];  // prose lines are never empty
            c = c == 'x' ? 'y' : 'x';
            second.push_back(line);
        }
        return write_lines(argv[3], first) && write_lines(argv[4], second) ? 0 : 1;
    }
    // Edit rate in thousandths of the lines.
    const unsigned per_mille = kind == "sparse" ? 1 : kind == "dense" ? 500 : 20;
    for (const std::string& line : first) {
        if (rng() % 1000 >= per_mille) {
            second.push_back(line);
            continue;
        }
        const unsigned what = rng() % 4;
        if (kind == "source" && what == 3) {
            // Blank lines moved about: one dropped here, one added further on.
            if (!line.empty()) {
                second.push_back(line);
            }
            second.push_back("");
            continue;
        }
        if (kind == "dense" || what == 0) {
            second.push_back(kind == "source" ? source_line(rng, words, depth)
                                              : prose_line(rng, words));
        } else if (what == 1) {
            // deleted
        } else {
            second.push_back(line);
            const unsigned n = 1 + rng() % 3;
            for (unsigned j = 0; j < n; ++j) {
                second.push_back(kind == "source" ? source_line(rng, words, depth)
                                                  : prose_line(rng, words));
            }
        }
    }
    return write_lines(argv[3], first) && write_lines(argv[4], second) ? 0 : 1;
}
