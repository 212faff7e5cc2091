#ifndef PAIREX_UI_VIEW_VIEW_TEXT_H
#define PAIREX_UI_VIEW_VIEW_TEXT_H

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "common/charset.h"
#include "merge/document.h"
#include "ui/view/char_diff.h"

// What a pane shows on one row: the row model of the panes, free of any drawing.

// At most this many characters of a line are drawn on a row. Columns (this limit,
// `first_column`, tabs) count characters: a character with its combining marks, a
// doubled ampersand and the NUL placeholder are one column each (next_display_character).
constexpr std::size_t ROW_TEXT_MAX = 256;

// Shown in place of a NUL byte of a line (a middle dot, in UTF-8), so that the row
// neither ends there nor hides it.
constexpr const char* NUL_PLACEHOLDER = "\xC2\xB7";

// Copies `source` into `target` (of `capacity` bytes, NUL always written) as UTF-8:
// 8-bit text through the ANSI decoder, a byte of UTF-8 text that starts no valid
// sequence as U+FFFD; each tab becomes `tab_size` blanks (none when tab_size <= 0),
// each ampersand two ampersands when `double_ampersands` (the drawing shows a doubled
// one as one), each NUL byte NUL_PLACEHOLDER. A last character that is a control
// character (below 32, or 127) is dropped. Stops when `target` is full, never inside a
// character: the work is bounded by `capacity`.
void expand_display_text(std::string_view source, char* target, std::size_t capacity,
                         bool double_ampersands, int tab_size,
                         DisplayCharset charset = CHARSET_UTF8);
// The same for a NUL-terminated text.
inline void expand_display_text(const char* source, char* target, std::size_t capacity,
                                bool double_ampersands, int tab_size) {
    expand_display_text(std::string_view(source), target, capacity, double_ampersands, tab_size);
}

// Where the column that starts at byte `at` of a display text ends: a character with
// its combining marks, or a doubled ampersand.
std::size_t next_display_character(std::string_view text, std::size_t at);

// The byte offset where column `column` of a display text starts (text.size() when
// the text is shorter).
std::size_t display_column_offset(std::string_view text, std::size_t column);

enum RowState {
    ROW_COMMON,
    ROW_OWN,
    ROW_OWN_CHOSEN,
    ROW_FILLER,
    ROW_FILLER_CHOSEN,
    ROW_PAST_END,
};

struct RowView {
    RowState state = ROW_PAST_END;
    int32_t line = 0;             // 0-based line index, -1 for a filler row
    int32_t block = -1;           // block index, -1 for a common line
    std::string text;             // exactly what is drawn (empty: nothing is drawn)
    uint32_t line_start = 0;      // where the line's own text starts in `text` (after its number)
    MarkSpans marks;              // bytes of `text` that differ from the line this one faces
    bool marks_given_up = false;  // the line or the one it faces is too long to be marked
};

struct RowFormat {
    bool line_numbers = false;
    int tab_size = 8;
};

// The aligned row `row` of `side`.
RowView describe_row(const MergeSide& side, int32_t row, const RowFormat& format);

// The first and one-past-last screen rows to paint for an invalid band from `top` to
// `bottom` pixels (painting also stops at the first row past the end).
struct RowSpan {
    int32_t first;
    int32_t limit;
};
RowSpan rows_in_band(int32_t top, int32_t bottom, int32_t line_height);

#endif
