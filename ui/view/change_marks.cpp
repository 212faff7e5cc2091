#include "ui/view/change_marks.h"

#include <algorithm>
#include <string>
#include <unordered_map>

#include "common/scratch.h"
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
    std::unordered_map<uint64_t, LineMarks> pairs;  // by left line << 32 | right line
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

// Bytes that raw[0, pos) takes in its display text of at most `limit` bytes, by the
// rules of expand_display_text with ampersands doubled.
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

std::string display_text(std::string_view raw, int tab_size) {
    std::string out(SCRATCH_SIZE, '\0');
    expand_display_text(raw, out.data(), out.size(), true, tab_size);
    out.resize(std::char_traits<char>::length(out.c_str()));
    return out;
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
    const DiffBlock* mine = own_entry(own, block);
    const DiffBlock* theirs = own_entry(other, block);
    if (mine == nullptr || theirs == nullptr || line < mine->first - 1 || line > mine->last - 1) {
        return -1;
    }
    const int64_t partner = static_cast<int64_t>(theirs->first) - 1 + (line - (mine->first - 1));
    if (partner > theirs->last - 1 || partner >= other.line_count || line >= own.line_count) {
        return -1;
    }
    return static_cast<int32_t>(partner);
}

LineMarks compare_line_pair(std::string_view left, std::string_view right, int tab_size,
                            bool ignore_space) {
    const std::string shown_left = display_text(left, tab_size);
    const std::string shown_right = display_text(right, tab_size);
    if (left.size() <= FULL_COMPARE_LIMIT && right.size() <= FULL_COMPARE_LIMIT) {
        return compare_display_texts(shown_left, shown_right, ignore_space);
    }
    const DifferingMiddles m = differing_middles(left, right, ignore_space);
    return {middle_span(left, m.left_begin, m.left_end, tab_size, shown_left.size()),
            middle_span(right, m.right_begin, m.right_end, tab_size, shown_right.size())};
}

void mark_row_changes(Side which, RowView& row, const RowFormat& format) {
    row.marks.clear();
    if (row.state != ROW_OWN && row.state != ROW_OWN_CHOSEN) {
        return;
    }
    const int32_t partner = paired_line(which, row.line, row.block);
    if (partner < 0) {
        return;
    }
    refresh_cache(format.tab_size);
    const int32_t left_line = which == SIDE_LEFT ? row.line : partner;
    const int32_t right_line = which == SIDE_LEFT ? partner : row.line;
    const uint64_t key = static_cast<uint64_t>(left_line) << 32 | static_cast<uint32_t>(right_line);
    auto found = cache.pairs.find(key);
    if (found == cache.pairs.end()) {
        LineMarks marks = compare_line_pair(line_text(merge_document.left, left_line),
                                            line_text(merge_document.right, right_line),
                                            format.tab_size, cache.ignore_space);
        found = cache.pairs.emplace(key, std::move(marks)).first;
    }
    const MarkSpans& spans = which == SIDE_LEFT ? found->second.left : found->second.right;
    // The row shows the display text from first_column on, after its number.
    const uint64_t first = side_of(which).first_column;
    const uint64_t start = std::min<uint64_t>(row.line_start, row.text.size());
    const uint64_t shown = row.text.size() - start;
    for (const MarkSpan& s : spans) {
        const uint64_t from = std::max<uint64_t>(s.begin, first);
        const uint64_t to = std::min<uint64_t>(s.end, first + shown);
        if (from < to) {
            row.marks.push_back({static_cast<uint32_t>(from - first + start),
                                 static_cast<uint32_t>(to - first + start)});
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
