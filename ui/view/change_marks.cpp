#include "ui/view/change_marks.h"

#include <algorithm>
#include <string>
#include <unordered_map>
#include <vector>

#include "common/scratch.h"
#include "common/unicode.h"
#include "merge/document.h"

namespace {

// What was computed for the current texts and blocks. White space is taken as the
// comparison took it: the Compress spaces flag is read once per revision, so that
// flipping it (which counts from the next comparison) changes no marks until then.
struct MarkCache {
    bool valid = false;
    uint32_t revision = 0;
    int tab_size = 0;
    bool ignore_space = false;
    // By left line << 32 | right line; the spans in columns of the display texts, so
    // that a row finds its part whatever its first column.
    std::unordered_map<uint64_t, LineMarks> pairs;
};

MarkCache cache;

const DiffBlock* own_entry(const MergeSide& side, int32_t block) {
    if (!side.own_blocks || block < 0 ||
        static_cast<std::size_t>(block) >= side.own_blocks->size()) {
        return nullptr;
    }
    const DiffBlock& b = (*side.own_blocks)[static_cast<std::size_t>(block)];
    return is_present(b) && !is_end(b) ? &b : nullptr;
}

// Bytes that text[0, pos) takes in its display text of at most `limit` bytes, by the
// rules of expand_display_text with ampersands doubled, for a text that is valid UTF-8
// (so that every other byte stays one byte).
std::size_t display_offset(std::string_view raw, std::size_t pos, int tab_size, std::size_t limit) {
    std::size_t n = 0;
    for (std::size_t i = 0; i < pos && i < raw.size() && n < limit; ++i) {
        const char c = raw[i];
        if (c == '\0') {
            if (n + 2 > limit) {
                break;  // a placeholder that does not fit ends the text
            }
            n += 2;
        } else if (c == '\t') {
            n += static_cast<std::size_t>(std::max(tab_size, 0));
        } else {
            n += c == '&' ? 2 : 1;
        }
    }
    return std::min(n, limit);
}

MarkSpans middle_span(std::string_view raw, std::size_t begin, std::size_t end, int tab_size,
                      std::size_t shown) {
    const std::size_t limit = SCRATCH_SIZE - 1;
    const std::size_t from = std::min(display_offset(raw, begin, tab_size, limit), shown);
    const std::size_t to = std::min(display_offset(raw, end, tab_size, limit), shown);
    if (from >= to) {
        return {};
    }
    return {{static_cast<uint32_t>(from), static_cast<uint32_t>(to)}};
}

std::string display_text(std::string_view raw, int tab_size, DisplayCharset charset) {
    std::string out(SCRATCH_SIZE, '\0');
    expand_display_text(raw, out.data(), out.size(), true, tab_size, charset);
    out.resize(std::char_traits<char>::length(out.c_str()));
    return out;
}

// A line as shown, in UTF-8: valid UTF-8 as it is, anything else converted into `own`
// (a huge line is not copied when it need not be).
std::string_view shown_utf8(std::string_view raw, DisplayCharset charset, std::string& own) {
    if (charset == CHARSET_UTF8 && is_valid_utf8(raw)) {
        return raw;
    }
    append_display_utf8(raw, charset, own);
    return own;
}

void refresh_cache(int tab_size) {
    const MergeDocument& doc = merge_document;
    if (!cache.valid || cache.revision != doc.revision) {
        cache.pairs.clear();
        cache.valid = true;
        cache.revision = doc.revision;
        cache.ignore_space = doc.compress_spaces != 0;
        cache.tab_size = tab_size;
    } else if (cache.tab_size != tab_size) {
        cache.pairs.clear();
        cache.tab_size = tab_size;
    }
    if (cache.pairs.size() >= MARK_CACHE_LIMIT) {
        cache.pairs.clear();
    }
}

}  // namespace

int32_t paired_line(Side which, int32_t line, int32_t block) {
    const MergeSide& own = side_of(which);
    const MergeSide& other = side_of(other_side(which));
    const DiffBlock* here = own_entry(own, block);
    const DiffBlock* there = own_entry(other, block);
    if (here == nullptr || there == nullptr || line < here->first - 1 || line > here->last - 1) {
        return -1;
    }
    const int64_t partner = static_cast<int64_t>(there->first) - 1 + (line - (here->first - 1));
    if (partner > there->last - 1 || partner >= other.line_count || line >= own.line_count) {
        return -1;
    }
    return static_cast<int32_t>(partner);
}

LineMarks compare_line_pair(std::string_view left, std::string_view right, int tab_size,
                            bool ignore_space, DisplayCharset left_charset,
                            DisplayCharset right_charset) {
    const std::string shown_left = display_text(left, tab_size, left_charset);
    const std::string shown_right = display_text(right, tab_size, right_charset);
    if (left.size() <= FULL_COMPARE_LIMIT && right.size() <= FULL_COMPARE_LIMIT) {
        return compare_display_texts(shown_left, shown_right, ignore_space);
    }
    // The middles are found in the texts as shown (8-bit text decoded, broken bytes
    // replaced), so that they are cut between characters as the display texts are.
    std::string converted_left;
    std::string converted_right;
    const std::string_view utf8_left = shown_utf8(left, left_charset, converted_left);
    const std::string_view utf8_right = shown_utf8(right, right_charset, converted_right);
    const DifferingMiddles m = differing_middles(utf8_left, utf8_right, ignore_space);
    return {middle_span(utf8_left, m.left_begin, m.left_end, tab_size, shown_left.size()),
            middle_span(utf8_right, m.right_begin, m.right_end, tab_size, shown_right.size())};
}

namespace {

// Byte spans of a display text as spans of its columns.
MarkSpans column_spans(std::string_view shown, const MarkSpans& bytes) {
    MarkSpans out;
    std::size_t at = 0;
    uint32_t column = 0;
    for (const MarkSpan& s : bytes) {
        while (at < s.begin && at < shown.size()) {
            at = next_display_character(shown, at);
            ++column;
        }
        const uint32_t first = column;
        while (at < s.end && at < shown.size()) {
            at = next_display_character(shown, at);
            ++column;
        }
        out.push_back({first, column});
    }
    return out;
}

}  // namespace

void mark_row_changes(Side which, RowView& row, const RowFormat& format) {
    row.marks.clear();
    row.marks_given_up = false;
    if (row.state != ROW_OWN && row.state != ROW_OWN_CHOSEN) {
        return;
    }
    const int32_t partner = paired_line(which, row.line, row.block);
    if (partner < 0) {
        return;
    }
    const int32_t left_line = which == SIDE_LEFT ? row.line : partner;
    const int32_t right_line = which == SIDE_LEFT ? partner : row.line;
    if (line_text(merge_document.left, left_line).size() > MARKS_LINE_LIMIT ||
        line_text(merge_document.right, right_line).size() > MARKS_LINE_LIMIT) {
        row.marks_given_up = true;
        return;
    }
    refresh_cache(format.tab_size);
    const uint64_t key = static_cast<uint64_t>(left_line) << 32 | static_cast<uint32_t>(right_line);
    auto found = cache.pairs.find(key);
    if (found == cache.pairs.end()) {
        const MergeSide& l = merge_document.left;
        const MergeSide& r = merge_document.right;
        const std::string_view left_text = line_text(l, left_line);
        const std::string_view right_text = line_text(r, right_line);
        const LineMarks bytes = compare_line_pair(left_text, right_text, format.tab_size,
                                                  cache.ignore_space, l.charset, r.charset);
        LineMarks columns{
            column_spans(display_text(left_text, format.tab_size, l.charset), bytes.left),
            column_spans(display_text(right_text, format.tab_size, r.charset), bytes.right)};
        found = cache.pairs.emplace(key, std::move(columns)).first;
    }
    const MarkSpans& spans = which == SIDE_LEFT ? found->second.left : found->second.right;
    // The row shows the display text from first_column on, after its number: where
    // each of its columns starts in row.text.
    const uint64_t first = side_of(which).first_column;
    const std::size_t start = std::min<std::size_t>(row.line_start, row.text.size());
    std::vector<uint32_t> starts;
    for (std::size_t at = start; at < row.text.size(); at = next_display_character(row.text, at)) {
        starts.push_back(static_cast<uint32_t>(at));
    }
    starts.push_back(static_cast<uint32_t>(row.text.size()));
    const uint64_t shown = starts.size() - 1;
    for (const MarkSpan& s : spans) {
        const uint64_t from = std::max<uint64_t>(s.begin, first);
        const uint64_t to = std::min<uint64_t>(s.end, first + shown);
        if (from < to) {
            row.marks.push_back({starts[from - first], starts[to - first]});
        }
    }
}

void drop_change_marks() {
    cache.pairs.clear();
    cache.valid = false;
}

std::size_t kept_change_marks() {
    return cache.pairs.size();
}
