#ifndef PAIREX_UI_VIEW_CHAR_DIFF_H
#define PAIREX_UI_VIEW_CHAR_DIFF_H

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

// Which characters of two versions of a line differ, for marking them in the panes.

// Bytes [begin, end) of a text.
struct MarkSpan {
    uint32_t begin;
    uint32_t end;
    bool operator==(const MarkSpan&) const = default;
};
using MarkSpans = std::vector<MarkSpan>;

struct LineMarks {
    MarkSpans left;
    MarkSpans right;
};

// Most insertions plus deletions a comparison looks for, first among the words, then
// among the characters of a changed stretch; past it the stretch is marked whole.
constexpr int32_t EDIT_COST_LIMIT = 128;

// Compares two display texts (tabs expanded, ampersands doubled) and gives the spans
// of each that the other does not have. The words are compared first; a changed
// stretch of words is refined to its characters only when most of it is kept, so
// that marks cover whole words unless a word changed in a detail. A doubled ampersand
// counts as one character, a character keeps its combining marks (common/unicode.h), and
// spans start and end between characters. With `ignore_space`, white space
// (common/white_space.h) is neither compared nor marked. Work is bounded by the texts' length times
// EDIT_COST_LIMIT.
LineMarks compare_display_texts(std::string_view left, std::string_view right, bool ignore_space);

// Where two texts stop sharing their beginning and their end: the differing middles
// are left[left_begin, left_end) and right[right_begin, right_end), cut only between
// characters. With `ignore_space`, white space is skipped on both sides while
// the ends are matched, and a middle neither starts nor ends with it. Linear time.
struct DifferingMiddles {
    std::size_t left_begin, left_end, right_begin, right_end;
};
DifferingMiddles differing_middles(std::string_view left, std::string_view right,
                                   bool ignore_space);

#endif
