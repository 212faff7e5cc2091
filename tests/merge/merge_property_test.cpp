// Property tests over seeded random file pairs, through the real engine: heights of
// the two columns agree, and the merged file is the interleaving that the engine's
// listing describes for the choices made, in the left file's encoding, byte for byte.
// The pairs mix UTF-16 (both byte orders), UTF-8 with and without a mark, NUL bytes,
// bytes that are no UTF-8, lines up to a megabyte, CR LF and LF line ends and a missing
// last line feed.
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "common/charset.h"
#include "common/encoding.h"
#include "common/textio.h"
#include "engine/engine.h"
#include "merge/blocks.h"
#include "merge/selection.h"
#include "merge/comparison.h"
#include "merge/merged_rows.h"
#include "merge/output.h"
#include "merge/resolution.h"
#include "tests/merge/merge_test_util.h"
#include "tests/support/faulty_file_layer.h"

namespace {

constexpr int PAIRS = 1000;

struct Hunk {
    int l0, l1;  // 0-based half-open left range [l0, l1)
    int r0, r1;
};

// One line as the document holds it (UTF-8, or the file's own bytes) and, written out
// by hand token by token, as UTF-16 LE; `utf16_ok` is false for bytes that are no
// UTF-8.
struct Line {
    std::string text;
    std::string utf16le;
    bool utf16_ok = true;
};

struct Token {
    std::string utf8;
    std::string utf16le;
};

std::string ascii_le(const std::string& s) {
    std::string out;
    for (char c : s) {
        out += c;
        out += '\0';
    }
    return out;
}

Token ascii(const std::string& s) {
    return {s, ascii_le(s)};
}

struct Pair {
    std::vector<Line> left, right;
    TextEncoding left_encoding = ENCODING_BYTES;
    TextEncoding right_encoding = ENCODING_BYTES;
    std::string left_bytes, right_bytes;
    bool left_final_newline = true, right_final_newline = true;
    std::string left_eol, right_eol;
};

std::string swap_pairs(std::string s) {
    for (std::size_t i = 0; i + 1 < s.size(); i += 2) {
        std::swap(s[i], s[i + 1]);
    }
    return s;
}

// `line` (or an ASCII line end) in the bytes of `encoding`.
std::string encoded(TextEncoding encoding, const std::string& text, const std::string& le) {
    if (encoding == ENCODING_UTF16LE) {
        return le;
    }
    return encoding == ENCODING_UTF16BE ? swap_pairs(le) : text;
}

// Words, characters of one to four UTF-8 bytes, NUL bytes; bytes 128 to 255 that are no
// UTF-8 only where no UTF-16 file takes part.
Line random_line(std::mt19937& rng, bool spaces, bool raw_bytes) {
    static const Token tokens[] = {
        ascii("alpha"),
        ascii("beta"),
        ascii("gamma"),
        ascii("delta"),
        ascii(""),
        ascii("x = 1;"),
        ascii("}"),
        {"\xC3\xA9", std::string("\xE9\0", 2)},
        {"\xE2\x82\xAC", "\xAC\x20"},
        {"\xF0\x9F\x98\x80", std::string("\x3D\xD8\x00\xDE", 4)},
        {std::string(1, '\0'), std::string(2, '\0')},
    };
    Line line;
    const int count = 1 + static_cast<int>(rng() % 2);
    for (int i = 0; i < count; ++i) {
        const Token& t = tokens[rng() % 11];
        line.text += t.utf8;
        line.utf16le += t.utf16le;
    }
    if (raw_bytes && rng() % 8 == 0) {
        line.text += rng() % 2 ? "\xE9" : "\xFF\x80";
        line.utf16_ok = false;
    }
    if (rng() % 2000 == 0) {
        // A long line, up to a megabyte, kept whole through every step.
        const std::size_t n = 16000 + rng() % (1 << 20);
        line.text += std::string(n, 'w');
        line.utf16le += ascii_le(std::string(n, 'w'));
    }
    if (spaces && rng() % 4 == 0) {
        // White space the engine's -w ignores and the blank test agrees on.
        const std::string pad = rng() % 2 ? " " : "\t ";
        const bool before = rng() % 2 != 0;
        line.text = before ? pad + line.text : line.text + pad;
        line.utf16le = before ? ascii_le(pad) + line.utf16le : line.utf16le + ascii_le(pad);
    }
    return line;
}

std::string to_bytes(std::mt19937& rng, const std::vector<Line>& lines, TextEncoding encoding,
                     bool& final_newline, std::string& eol) {
    eol = rng() % 3 == 0 ? "\r\n" : "\n";
    final_newline = rng() % 4 != 0;
    std::string s(encoding_mark(encoding));
    for (std::size_t i = 0; i < lines.size(); ++i) {
        s += encoded(encoding, lines[i].text, lines[i].utf16le);
        if (i + 1 < lines.size() || final_newline) {
            s += encoded(encoding, eol, ascii_le(eol));
        }
    }
    return s;
}

TextEncoding random_encoding(std::mt19937& rng) {
    static const TextEncoding all[] = {ENCODING_BYTES, ENCODING_BYTES, ENCODING_UTF8_BOM,
                                       ENCODING_UTF16LE, ENCODING_UTF16BE};
    return all[rng() % 5];
}

// The form a loaded file holds its lines in (the charset the load decides on).
DisplayCharset form_of(const std::string& bytes, TextEncoding encoding) {
    return encoding == ENCODING_BYTES ? detect_charset(bytes) : CHARSET_UTF8;
}

Pair random_pair_of_any_forms(std::mt19937& rng, bool spaces) {
    Pair p;
    p.left_encoding = random_encoding(rng);
    p.right_encoding = random_encoding(rng);
    const bool raw = !is_utf16(p.left_encoding) && !is_utf16(p.right_encoding);
    // Now and then a side is an empty file: a file new on one side is merged too.
    const int n = rng() % 12 == 0 ? 0 : 1 + static_cast<int>(rng() % 40);
    for (int i = 0; i < n; ++i) {
        p.left.push_back(random_line(rng, spaces, raw));
    }
    for (const Line& line : p.left) {
        switch (rng() % 10) {
            case 0:  // dropped
                break;
            case 1:  // replaced
                p.right.push_back(random_line(rng, spaces, raw));
                break;
            case 2:  // something inserted before it
                p.right.push_back(random_line(rng, spaces, raw));
                p.right.push_back(line);
                break;
            default:
                p.right.push_back(line);
        }
    }
    if (rng() % 12 == 0) {
        p.right.clear();
    } else if ((p.right.empty() && !p.left.empty()) || rng() % 5 == 0) {
        p.right.push_back(random_line(rng, spaces, raw));
    }
    // A last line without a line feed is still a line; the texts we compare against
    // must not end in an empty last line that a reader would not see.
    for (auto* lines : {&p.left, &p.right}) {
        if (!lines->empty() && lines->back().text.empty()) {
            lines->back() = {"end", ascii_le("end")};
        }
    }
    p.left_bytes = to_bytes(rng, p.left, p.left_encoding, p.left_final_newline, p.left_eol);
    p.right_bytes = to_bytes(rng, p.right, p.right_encoding, p.right_final_newline, p.right_eol);
    return p;
}

// A pair of files that hold their lines in one form, so that every line keeps its bytes
// in the merged file (lines converted between forms are output_test's).
Pair random_pair(std::mt19937& rng, bool spaces) {
    for (;;) {
        Pair p = random_pair_of_any_forms(rng, spaces);
        if (form_of(p.left_bytes, p.left_encoding) == form_of(p.right_bytes, p.right_encoding)) {
            return p;
        }
    }
}

// The lines as a file of UTF-8 without a mark: what the engine is to compare.
std::string plain_utf8(const std::vector<Line>& lines, bool final_newline) {
    std::string s;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        s += lines[i].text;
        if (i + 1 < lines.size() || final_newline) {
            s += '\n';
        }
    }
    return s;
}

// The merged file of `lines` in the left file's encoding, LINE_END after each line.
std::string merged_bytes(const Pair& p, const std::vector<Line>& lines) {
    std::string s(encoding_mark(p.left_encoding));
    for (const Line& line : lines) {
        s += encoded(p.left_encoding, line.text, line.utf16le);
        s += encoded(p.left_encoding, LINE_END, ascii_le(LINE_END));
    }
    return s;
}

// Byte equality that names the first difference instead of printing megabytes.
::testing::AssertionResult same_bytes(const std::string& got, const std::string& want) {
    if (got == want) {
        return ::testing::AssertionSuccess();
    }
    std::size_t i = 0;
    while (i < got.size() && i < want.size() && got[i] == want[i]) {
        ++i;
    }
    return ::testing::AssertionFailure()
           << "sizes " << got.size() << " and " << want.size() << ", first difference at byte " << i
           << ": " << ::testing::PrintToString(got.substr(i > 8 ? i - 8 : 0, 24)) << " vs "
           << ::testing::PrintToString(want.substr(i > 8 ? i - 8 : 0, 24));
}

// The hunks of a normal listing, read from its headers alone.
std::vector<Hunk> read_hunks(const std::string& listing) {
    std::vector<Hunk> hunks;
    std::size_t pos = 0;
    while (pos < listing.size()) {
        std::size_t end = listing.find('\n', pos);
        if (end == std::string::npos) {
            end = listing.size();
        }
        const std::string line = listing.substr(pos, end - pos);
        pos = end + 1;
        if (line.empty() || line[0] < '0' || line[0] > '9') {
            continue;
        }
        int a = 0, b = 0, c = 0, d = 0;
        char op = 0;
        std::size_t i = 0;
        auto number = [&](int& v) {
            v = 0;
            while (i < line.size() && std::isdigit(static_cast<unsigned char>(line[i]))) {
                v = v * 10 + (line[i++] - '0');
            }
        };
        number(a);
        b = a;
        if (line[i] == ',') {
            ++i;
            number(b);
        }
        op = line[i++];
        number(c);
        d = c;
        if (i < line.size() && line[i] == ',') {
            ++i;
            number(d);
        }
        Hunk h{};
        h.l0 = op == 'a' ? a : a - 1;
        h.l1 = op == 'a' ? a : b;
        h.r0 = op == 'd' ? c : c - 1;
        h.r1 = op == 'd' ? c : d;
        hunks.push_back(h);
    }
    return hunks;
}

// Common lines from the left, each hunk from the side chosen for it.
std::vector<Line> interleave(const Pair& p, const std::vector<Hunk>& hunks,
                             const std::vector<Side>& choice) {
    std::vector<Line> out;
    int a = 0;
    for (std::size_t k = 0; k < hunks.size(); ++k) {
        out.insert(out.end(), p.left.begin() + a, p.left.begin() + hunks[k].l0);
        if (choice[k] == SIDE_LEFT) {
            out.insert(out.end(), p.left.begin() + hunks[k].l0, p.left.begin() + hunks[k].l1);
        } else {
            out.insert(out.end(), p.right.begin() + hunks[k].r0, p.right.begin() + hunks[k].r1);
        }
        a = hunks[k].l1;
    }
    out.insert(out.end(), p.left.begin() + a, p.left.end());
    return out;
}

// A block's resolution drawn for the test, with the edit's lines.
struct Drawn {
    Resolution kind = RESOLVED_LEFT;
    std::vector<Line> edit;
};

// An edit of none, one, a few or many lines; the characters only ASCII where the left
// file is 8-bit text, whose edits another encoding would have to hold.
std::vector<Line> random_edit(std::mt19937& rng, const Pair& p) {
    const bool unicode = p.left_encoding != ENCODING_BYTES;
    const unsigned size = rng() % 8;
    const int n = size == 0 ? 0 : size == 7 ? 150 + static_cast<int>(rng() % 100) : 1 + size % 3;
    std::vector<Line> lines;
    for (int i = 0; i < n; ++i) {
        if (unicode) {
            lines.push_back(random_line(rng, false, false));
        } else {
            const std::string word = rng() % 4 == 0 ? "" : "edit " + std::to_string(rng() % 1000);
            lines.push_back({word, ascii_le(word)});
        }
    }
    return lines;
}

// The text the Edit block dialog would hand over: lines ended by LF or CR LF, the last
// one's end left off now and then (never an empty last line's: it would be lost).
std::string edit_text(std::mt19937& rng, const std::vector<Line>& lines) {
    std::string text;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        text += lines[i].text;
        const bool last = i + 1 == lines.size();
        if (!last || lines[i].text.empty() || rng() % 2 == 0) {
            text += rng() % 4 == 0 ? "\r\n" : "\n";
        }
    }
    return text;
}

// One line of the expected file with Keep line ends on: its end, and the end it owes
// when it has none and another line follows.
struct EndedModelLine {
    const Line* line;
    std::string end;
    std::string owed;
};

// The lines of `side` with the ends they had in their file.
void add_side_lines(std::vector<EndedModelLine>& out, const std::vector<Line>& lines, int from,
                    int to, const std::string& eol, bool final_newline) {
    for (int i = from; i < to; ++i) {
        const bool last = i + 1 == static_cast<int>(lines.size());
        out.push_back({&lines[i], last && !final_newline ? "" : eol, i > 0 ? eol : "\n"});
    }
}

// With Keep line ends: the end of a block's lines that are not one side's choice, from
// the line before the block (the first line's end when there is none).
std::string end_before(const Pair& p, const Hunk& h) {
    const int n = static_cast<int>(p.left.size());
    if (h.l0 > 0) {
        const bool none = h.l0 == n && !p.left_final_newline;
        return !none ? p.left_eol : h.l0 > 1 ? p.left_eol : "\n";
    }
    if (n > 0 && (n > 1 || p.left_final_newline)) {
        return p.left_eol;
    }
    const int m = static_cast<int>(p.right.size());
    return m > 0 && (m > 1 || p.right_final_newline) ? p.right_eol : "\n";
}

// The merged file, line by line with the ends it gets, for any resolutions.
std::vector<EndedModelLine> model_lines(const Pair& p, const std::vector<Hunk>& hunks,
                                        const std::vector<Drawn>& drawn) {
    std::vector<EndedModelLine> out;
    int a = 0;
    for (std::size_t k = 0; k < hunks.size(); ++k) {
        const Hunk& h = hunks[k];
        add_side_lines(out, p.left, a, h.l0, p.left_eol, p.left_final_newline);
        a = h.l1;
        if (drawn[k].kind == RESOLVED_LEFT) {
            add_side_lines(out, p.left, h.l0, h.l1, p.left_eol, p.left_final_newline);
            continue;
        }
        if (drawn[k].kind == RESOLVED_RIGHT) {
            add_side_lines(out, p.right, h.r0, h.r1, p.right_eol, p.right_final_newline);
            continue;
        }
        std::vector<const Line*> lines;
        const auto add_left = [&] {
            for (int i = h.l0; i < h.l1; ++i) {
                lines.push_back(&p.left[i]);
            }
        };
        const auto add_right = [&] {
            for (int i = h.r0; i < h.r1; ++i) {
                lines.push_back(&p.right[i]);
            }
        };
        if (drawn[k].kind == RESOLVED_LEFT_RIGHT) {
            add_left();
            add_right();
        } else if (drawn[k].kind == RESOLVED_RIGHT_LEFT) {
            add_right();
            add_left();
        } else {
            for (const Line& l : drawn[k].edit) {
                lines.push_back(&l);
            }
        }
        const std::string end = end_before(p, h);
        const bool ends_file =
            h.l1 == static_cast<int>(p.left.size()) && !p.left.empty() && !p.left_final_newline;
        for (std::size_t i = 0; i < lines.size(); ++i) {
            out.push_back({lines[i], ends_file && i + 1 == lines.size() ? "" : end, end});
        }
    }
    add_side_lines(out, p.left, a, static_cast<int>(p.left.size()), p.left_eol,
                   p.left_final_newline);
    return out;
}

// The file those lines make with Keep line ends on, in the left file's encoding.
std::string kept_bytes(const Pair& p, const std::vector<EndedModelLine>& lines) {
    std::string s(encoding_mark(p.left_encoding));
    std::string owed;
    for (const EndedModelLine& l : lines) {
        s += encoded(p.left_encoding, owed, ascii_le(owed));
        s += encoded(p.left_encoding, l.line->text, l.line->utf16le);
        s += encoded(p.left_encoding, l.end, ascii_le(l.end));
        owed = l.end.empty() ? l.owed : "";
    }
    return s;
}

int64_t column_height(const MergeSide& s) {
    int64_t rows = s.line_count;
    for (const DiffBlock& b : *s.filler_blocks) {
        if (is_end(b)) {
            break;
        }
        if (is_present(b)) {
            rows += b.last - b.first + 1;
        }
    }
    return rows;
}

class MergeProperty : public MergeTest, public ::testing::WithParamInterface<int> {
protected:
    // The engine's own listing for the pair, for the test's independent reading.
    std::string listing_of(const std::string& l, const std::string& r, bool compress) {
        const std::string out = dir.file("oracle.lst");
        std::vector<std::string> args = {"diff", "-a"};
        if (compress) {
            args.push_back("-w");
        }
        args.insert(args.end(), {"-o", out, l, r});
        std::vector<char*> argv;
        for (std::string& s : args) {
            argv.push_back(s.data());
        }
        argv.push_back(nullptr);
        std::filesystem::remove(out);
        engine_run(static_cast<int>(args.size()), argv.data());
        std::string text;
        read_text_file(out.c_str(), text);
        return text;
    }
};

TEST_P(MergeProperty, MergedTextFollowsTheChoices) {
    const bool compress = GetParam() != 0;
    std::mt19937 rng(compress ? 20261207u : 19700101u);
    const ScopedEnv tmp("TMP", dir.path());
    const ScopedFileFaults no_sync({.sync = false});  // content is checked, not durability
    int with_blocks = 0;
    for (int pair = 0; pair < PAIRS; ++pair) {
        SCOPED_TRACE("pair " + std::to_string(pair));
        const Pair p = random_pair(rng, compress);
        const std::string l = dir.write("left.txt", p.left_bytes);
        const std::string r = dir.write("right.txt", p.right_bytes);
        merge_document = MergeDocument{};
        merge_document.compress_spaces = compress ? 1 : 0;
        clear_reported_messages();
        ASSERT_EQ(load_side(l.c_str(), SIDE_LEFT), 0);
        ASSERT_EQ(load_side(r.c_str(), SIDE_RIGHT), 0);
        compare_files();
        ASSERT_EQ(merge_document.not_compared, 0);
        // The engine's own reading of the two texts, as plain UTF-8 files.
        const std::string pl = dir.write("left.plain", plain_utf8(p.left, p.left_final_newline));
        const std::string pr = dir.write("right.plain", plain_utf8(p.right, p.right_final_newline));
        const std::vector<Hunk> hunks = read_hunks(listing_of(pl, pr, compress));
        if (!merge_document.left.own_blocks) {
            ASSERT_TRUE(hunks.empty());
            continue;
        }
        ++with_blocks;
        ASSERT_TRUE(reported_messages().empty());
        ASSERT_EQ(column_height(merge_document.left), column_height(merge_document.right));
        ASSERT_EQ(merge_document.total_rows, column_height(merge_document.left));
        ASSERT_EQ(block_count(), static_cast<int32_t>(hunks.size()));

        std::vector<Side> choice(hunks.size(), SIDE_LEFT);
        choose_all_from(SIDE_LEFT);
        ASSERT_TRUE(same_bytes(merged_text(), merged_bytes(p, p.left)));

        unselect_all();
        choose_all_from(SIDE_RIGHT);
        choice.assign(hunks.size(), SIDE_RIGHT);
        const std::string all_right = merged_bytes(p, interleave(p, hunks, choice));
        ASSERT_TRUE(same_bytes(merged_text(), all_right));
        if (!compress) {
            ASSERT_TRUE(same_bytes(all_right, merged_bytes(p, p.right)));
        }

        // Each block's first aligned row, found by walking with Next from the top.
        std::vector<int32_t> starts;
        for (int32_t s = find_block_row(-1, DIRECTION_NEXT); s != -1;
             s = find_block_row(s - 1, DIRECTION_NEXT)) {
            starts.push_back(s);
        }
        ASSERT_EQ(starts.size(), hunks.size());

        unselect_all();
        for (std::size_t k = 0; k < hunks.size(); ++k) {
            choice[k] = rng() % 2 ? SIDE_LEFT : SIDE_RIGHT;
            if (rng() % 2) {
                choose_block(choice[k], static_cast<int32_t>(k));
            } else {
                // A click on the block's first row, which both columns share.
                merge_document.top_row = 0;
                choose_by_click(choice[k], (starts[k] - 1) * fake_platform().line_height);
            }
        }
        ASSERT_TRUE(same_bytes(merged_text(), merged_bytes(p, interleave(p, hunks, choice))));

        // Every kind of resolution of the current block, edits of no, one or many lines
        // among them: the file is the parts in order, with Keep line ends off and on,
        // and the merged rows are its lines.
        static const Resolution kinds[] = {RESOLVED_LEFT, RESOLVED_RIGHT, RESOLVED_LEFT_RIGHT,
                                           RESOLVED_RIGHT_LEFT, RESOLVED_EDITED};
        std::vector<Drawn> drawn(hunks.size());
        for (std::size_t k = 0; k < hunks.size(); ++k) {
            drawn[k].kind = kinds[rng() % 5];
            merge_document.current_block = static_cast<int32_t>(k);
            if (drawn[k].kind == RESOLVED_EDITED) {
                drawn[k].edit = random_edit(rng, p);
                ASSERT_EQ(edit_current_block(edit_text(rng, drawn[k].edit)), 0);
            } else {
                resolve_current_block(drawn[k].kind);
            }
        }
        const std::vector<EndedModelLine> model = model_lines(p, hunks, drawn);
        std::vector<Line> plain;
        for (const EndedModelLine& l : model) {
            plain.push_back(*l.line);
        }
        ASSERT_TRUE(same_bytes(merged_text(), merged_bytes(p, plain)));
        const MergedRows rows = merged_rows();
        ASSERT_EQ(rows.row_count, static_cast<int32_t>(plain.size()));
        for (int32_t row = 0; row < rows.row_count; ++row) {
            ASSERT_EQ(merged_row(rows, row).text, plain[row].text) << "row " << row;
        }
        merge_document.keep_line_ends = 1;
        ASSERT_TRUE(same_bytes(merged_text(), kept_bytes(p, model)));
        merge_document.keep_line_ends = 0;
    }
    EXPECT_GT(with_blocks, PAIRS / 2);
}

INSTANTIATE_TEST_SUITE_P(CompressSpaces, MergeProperty, ::testing::Values(0, 1));

}  // namespace
