#ifndef PAIREX_UI_VIEW_CHANGE_MARKS_H
#define PAIREX_UI_VIEW_CHANGE_MARKS_H

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "merge/side.h"
#include "ui/view/char_diff.h"
#include "ui/view/view_text.h"

// The characters of a changed line that differ from the line it faces: the own lines
// of a block pair off by their place in the block, and each pair is compared once, on
// first use, and kept until the document's texts or blocks change.

// Lines longer than this (in bytes, either of a pair) are compared by their common
// beginning and end only, which takes linear time.
constexpr std::size_t FULL_COMPARE_LIMIT = 4096;

// Lines longer than this (in bytes, either of a pair) are not marked at all: even
// their common ends cost time in proportion to them (and a copy of a line that is not
// UTF-8) at a paint. The row says so with MARKS_GIVEN_UP_NOTE instead.
constexpr std::size_t MARKS_LINE_LIMIT = std::size_t{1} << 20;
constexpr const char* MARKS_GIVEN_UP_NOTE = "Line too long for in-line marks";

// Kept pairs beyond this many are all dropped, so that scrolling through a huge block
// cannot hold its whole text twice over.
constexpr std::size_t MARK_CACHE_LIMIT = 100000;

// The line (0-based) of the other side that line `line` of `which`, an own line of
// block `block`, faces: the first own line of a side faces the first of the other,
// and so on up to the shorter side. -1 when it faces none.
int32_t paired_line(Side which, int32_t line, int32_t block);

// The spans of two raw lines that differ, in the bytes of their display texts
// (expand_display_text with ampersands doubled, `tab_size` and each side's charset,
// into SCRATCH_SIZE); they start and end between characters.
LineMarks compare_line_pair(std::string_view left, std::string_view right, int tab_size,
                            bool ignore_space, DisplayCharset left_charset = CHARSET_UTF8,
                            DisplayCharset right_charset = CHARSET_UTF8);

// Adds to `row` (a row of `which` from describe_row with `format`) the spans of its
// text that differ from the line it faces, in the bytes of row.text. White space is
// ignored when Compress spaces was on as the blocks were made. Cached per pair. A pair
// with a line past MARKS_LINE_LIMIT gets no spans and sets row.marks_given_up.
void mark_row_changes(Side which, RowView& row, const RowFormat& format);

// Drops every kept pair (the document's revision also makes this happen by itself).
void drop_change_marks();
// Number of pairs kept now.
std::size_t kept_change_marks();

#endif
