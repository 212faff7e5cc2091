#include "ui/view/char_diff.h"

#include <algorithm>

#include "common/unicode.h"
#include "common/white_space.h"
#include "ui/view/edit_script.h"
#include "ui/view/view_text.h"

namespace {

enum UnitKind : uint8_t { UNIT_SPACE, UNIT_WORD, UNIT_OTHER };

// One character of a display text.
struct Unit {
    uint32_t begin;
    uint32_t size;
    UnitKind kind;
};

// A word, a run of white space, or one other character: units [first, last).
struct Token {
    uint32_t first;
    uint32_t last;
    uint32_t begin;  // bytes of the text
    uint32_t end;
    uint32_t hash;
};

struct SplitText {
    std::string_view text;
    std::vector<Unit> units;
    std::vector<Token> tokens;  // without the white-space runs when they are ignored
};

// One character (a base and its combining marks), a doubled ampersand or the NUL
// placeholder.
Unit unit_at(std::string_view text, uint32_t at) {
    const auto c = static_cast<unsigned char>(text[at]);
    if (c == '&' && at + 1 < text.size() && text[at + 1] == '&') {
        return {at, 2, UNIT_OTHER};  // one ampersand on the screen
    }
    const auto size = static_cast<uint32_t>(next_character(text, at) - at);
    if (white_space_at(text, at, CHARSET_UTF8) == size) {
        return {at, size, UNIT_SPACE};
    }
    if (text.substr(at, size) == NUL_PLACEHOLDER) {
        return {at, size, UNIT_OTHER};
    }
    const bool word = (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ||
                      c == '_' || c >= 0x80;
    return {at, size, word ? UNIT_WORD : UNIT_OTHER};
}

uint32_t hash_bytes(std::string_view bytes) {
    uint32_t h = 2166136261u;
    for (char c : bytes) {
        h = (h ^ static_cast<unsigned char>(c)) * 16777619u;
    }
    return h;
}

SplitText split_text(std::string_view text, bool ignore_space) {
    SplitText out{text, {}, {}};
    for (uint32_t at = 0; at < text.size();) {
        out.units.push_back(unit_at(text, at));
        at += out.units.back().size;
    }
    const auto count = static_cast<uint32_t>(out.units.size());
    for (uint32_t i = 0; i < count;) {
        const UnitKind kind = out.units[i].kind;
        uint32_t j = i + 1;
        if (kind != UNIT_OTHER) {
            while (j < count && out.units[j].kind == kind) {
                ++j;
            }
        }
        if (!(ignore_space && kind == UNIT_SPACE)) {
            const uint32_t begin = out.units[i].begin;
            const uint32_t end = out.units[j - 1].begin + out.units[j - 1].size;
            out.tokens.push_back({i, j, begin, end, hash_bytes(text.substr(begin, end - begin))});
        }
        i = j;
    }
    return out;
}

std::string_view token_text(const SplitText& s, const Token& t) {
    return s.text.substr(t.begin, t.end - t.begin);
}

std::string_view unit_text(const SplitText& s, const Unit& u) {
    return s.text.substr(u.begin, u.size);
}

// The units of tokens [first, last), without white space when it is ignored.
std::vector<uint32_t> region_units(const SplitText& s, std::size_t first, std::size_t last,
                                   bool ignore_space) {
    std::vector<uint32_t> out;
    for (std::size_t t = first; t < last; ++t) {
        for (uint32_t u = s.tokens[t].first; u < s.tokens[t].last; ++u) {
            if (!(ignore_space && s.units[u].kind == UNIT_SPACE)) {
                out.push_back(u);
            }
        }
    }
    return out;
}

struct Comparison {
    const SplitText& a;
    const SplitText& b;
    bool ignore_space;
    std::vector<uint8_t> a_marked;  // per unit
    std::vector<uint8_t> b_marked;
};

void mark_all(const std::vector<uint32_t>& units, std::vector<uint8_t>& marked) {
    for (uint32_t u : units) {
        marked[u] = 1;
    }
}

// A changed stretch: tokens [a_first, a_last) of one side against [b_first, b_last)
// of the other. Its characters are marked one by one when fewer than a third of them
// changed, else the stretch is marked whole: a word that changed in a letter keeps
// the rest unmarked, a replaced word is marked as a word.
void mark_stretch(Comparison& c, std::size_t a_first, std::size_t a_last, std::size_t b_first,
                  std::size_t b_last) {
    const std::vector<uint32_t> ua = region_units(c.a, a_first, a_last, c.ignore_space);
    const std::vector<uint32_t> ub = region_units(c.b, b_first, b_last, c.ignore_space);
    if (ua.empty() || ub.empty()) {
        mark_all(ua, c.a_marked);
        mark_all(ub, c.b_marked);
        return;
    }
    std::vector<uint8_t> da;
    std::vector<uint8_t> db;
    const bool found = shortest_edit(
        static_cast<int32_t>(ua.size()), static_cast<int32_t>(ub.size()),
        [&](int32_t i, int32_t j) {
            return unit_text(c.a, c.a.units[ua[i]]) == unit_text(c.b, c.b.units[ub[j]]);
        },
        EDIT_COST_LIMIT, da, db);
    const auto changed = static_cast<std::size_t>(std::count(da.begin(), da.end(), 1) +
                                                  std::count(db.begin(), db.end(), 1));
    if (!found || changed * 3 >= ua.size() + ub.size()) {
        mark_all(ua, c.a_marked);
        mark_all(ub, c.b_marked);
        return;
    }
    for (std::size_t i = 0; i < ua.size(); ++i) {
        c.a_marked[ua[i]] |= da[i];
    }
    for (std::size_t j = 0; j < ub.size(); ++j) {
        c.b_marked[ub[j]] |= db[j];
    }
}

MarkSpans spans_of(const SplitText& s, const std::vector<uint8_t>& marked) {
    MarkSpans out;
    for (std::size_t i = 0; i < s.units.size(); ++i) {
        if (marked[i] == 0) {
            continue;
        }
        const Unit& u = s.units[i];
        if (!out.empty() && out.back().end == u.begin) {
            out.back().end = u.begin + u.size;
        } else {
            out.push_back({u.begin, u.begin + u.size});
        }
    }
    return out;
}

// Walks the word-level script: matched tokens pair off, each stretch of changed
// tokens between them is marked.
void mark_changed_stretches(Comparison& c, std::size_t offset, const std::vector<uint8_t>& ta,
                            const std::vector<uint8_t>& tb) {
    std::size_t i = 0;
    std::size_t j = 0;
    while (i < ta.size() || j < tb.size()) {
        if (i < ta.size() && j < tb.size() && ta[i] == 0 && tb[j] == 0) {
            ++i;
            ++j;
            continue;
        }
        const std::size_t i0 = i;
        const std::size_t j0 = j;
        while (i < ta.size() && ta[i] != 0) {
            ++i;
        }
        while (j < tb.size() && tb[j] != 0) {
            ++j;
        }
        mark_stretch(c, offset + i0, offset + i, offset + j0, offset + j);
    }
}

}  // namespace

LineMarks compare_display_texts(std::string_view left, std::string_view right, bool ignore_space) {
    const SplitText a = split_text(left, ignore_space);
    const SplitText b = split_text(right, ignore_space);
    Comparison c{a, b, ignore_space, std::vector<uint8_t>(a.units.size(), 0),
                 std::vector<uint8_t>(b.units.size(), 0)};
    auto same = [&](std::size_t i, std::size_t j) {
        return a.tokens[i].hash == b.tokens[j].hash &&
               token_text(a, a.tokens[i]) == token_text(b, b.tokens[j]);
    };
    // The common ends need no search.
    std::size_t head = 0;
    while (head < a.tokens.size() && head < b.tokens.size() && same(head, head)) {
        ++head;
    }
    std::size_t na = a.tokens.size();
    std::size_t nb = b.tokens.size();
    while (na > head && nb > head && same(na - 1, nb - 1)) {
        --na;
        --nb;
    }
    std::vector<uint8_t> ta;
    std::vector<uint8_t> tb;
    const bool found = shortest_edit(
        static_cast<int32_t>(na - head), static_cast<int32_t>(nb - head),
        [&](int32_t i, int32_t j) {
            return same(head + static_cast<std::size_t>(i), head + static_cast<std::size_t>(j));
        },
        EDIT_COST_LIMIT, ta, tb);
    if (found) {
        mark_changed_stretches(c, head, ta, tb);
    } else {
        mark_all(region_units(a, head, na, ignore_space), c.a_marked);
        mark_all(region_units(b, head, nb, ignore_space), c.b_marked);
    }
    return {spans_of(a, c.a_marked), spans_of(b, c.b_marked)};
}

namespace {

// The starts of the characters of a text, and its end.
std::vector<std::size_t> character_starts(std::string_view s) {
    std::vector<std::size_t> out;
    for (std::size_t at = 0; at < s.size(); at = next_character(s, at)) {
        out.push_back(at);
    }
    out.push_back(s.size());
    return out;
}

struct CharacterScan {
    std::string_view text;
    std::vector<std::size_t> starts;
    bool ignore_space;

    std::string_view at(std::size_t k) const {
        return text.substr(starts[k], starts[k + 1] - starts[k]);
    }
    bool skipped(std::size_t k) const {
        return ignore_space &&
               white_space_at(text, starts[k], CHARSET_UTF8) == starts[k + 1] - starts[k];
    }
    std::size_t count() const { return starts.size() - 1; }
};

// Whether a character starts at byte `at` of a valid UTF-8 text: at either end, or at a
// byte that starts a sequence other than a combining mark (next_character keeps the
// marks with their base; only a text's first character may begin with one). A byte
// decides it from itself and the bytes after it.
bool starts_character(std::string_view s, std::size_t at) {
    if (at == 0 || at >= s.size()) {
        return true;
    }
    const auto c = static_cast<unsigned char>(s[at]);
    if (c < 0x80) {
        return true;
    }
    const Utf8Sequence seq = decode_utf8(s, at);
    return (c & 0xC0) != 0x80 && !(seq.valid && is_combining_mark(seq.value));
}

// differing_middles without white space skipped, for valid UTF-8: the common ends found
// in bytes, each then moved to the nearest place where a character starts in both texts.
// Bytes equal up to such a place hold the same characters before it, and bytes equal
// from it to the end the same characters after it. No memory, one pass.
DifferingMiddles differing_bytes(std::string_view left, std::string_view right) {
    const std::size_t shorter = std::min(left.size(), right.size());
    std::size_t head = static_cast<std::size_t>(
        std::mismatch(left.begin(), left.begin() + static_cast<std::ptrdiff_t>(shorter),
                      right.begin())
            .first -
        left.begin());
    while (head > 0 && !(starts_character(left, head) && starts_character(right, head))) {
        --head;
    }
    std::size_t tail = 0;
    while (tail < shorter - head &&
           left[left.size() - 1 - tail] == right[right.size() - 1 - tail]) {
        ++tail;
    }
    std::size_t ea = left.size() - tail;
    std::size_t eb = right.size() - tail;
    while (ea < left.size() && !(starts_character(left, ea) && starts_character(right, eb))) {
        ++ea;
        ++eb;
    }
    return {head, ea, head, eb};
}

}  // namespace

DifferingMiddles differing_middles(std::string_view left, std::string_view right,
                                   bool ignore_space) {
    if (!ignore_space && is_valid_utf8(left) && is_valid_utf8(right)) {
        return differing_bytes(left, right);
    }
    const CharacterScan a{left, character_starts(left), ignore_space};
    const CharacterScan b{right, character_starts(right), ignore_space};
    // The common beginning, in characters.
    std::size_t i = 0;
    std::size_t j = 0;
    for (;;) {
        while (i < a.count() && a.skipped(i)) {
            ++i;
        }
        while (j < b.count() && b.skipped(j)) {
            ++j;
        }
        if (i == a.count() || j == b.count() || a.at(i) != b.at(j)) {
            break;
        }
        ++i;
        ++j;
    }
    // The common end, not below the beginnings.
    std::size_t ea = a.count();
    std::size_t eb = b.count();
    for (;;) {
        while (ea > i && a.skipped(ea - 1)) {
            --ea;
        }
        while (eb > j && b.skipped(eb - 1)) {
            --eb;
        }
        if (ea == i || eb == j || a.at(ea - 1) != b.at(eb - 1)) {
            break;
        }
        --ea;
        --eb;
    }
    return {a.starts[i], a.starts[ea], b.starts[j], b.starts[eb]};
}
