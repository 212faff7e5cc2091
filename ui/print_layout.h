#ifndef PAIREX_UI_PRINT_LAYOUT_H
#define PAIREX_UI_PRINT_LAYOUT_H

#include <cstddef>
#include <cstdint>

// Where merged lines go on printed pages, and what is drawn for each: plain arithmetic,
// free of any printer. Pages have no margins, header or footer: line n of the merged
// text is drawn on row n mod L of page n / L (L lines per page), from the top-left
// corner of the printable area.

// The buffer a line is expanded into; at most PRINT_LINE_MAX bytes are drawn.
constexpr std::size_t PRINT_BUFFER_SIZE = 16384;
constexpr std::size_t PRINT_LINE_MAX = PRINT_BUFFER_SIZE - 1;

// Height of one printed row for a font whose text height is `text_height` device
// units: the text height less 2, at least 1 (a tiny font must not stack rows at 0).
int32_t print_line_height(int32_t text_height);

// Rows that fit a printable height of `page_height` device units: integer division,
// at least 1, so that a row taller than the page still gets a page of its own.
int32_t print_lines_per_page(int32_t page_height, int32_t line_height);

// Where merged line `line_number` (0-based) is drawn: its 0-based page, its row on that
// page and the row's top in device units. A negative number is taken as line 0.
struct PrintSpot {
    int32_t page;
    int32_t row;
    int32_t y;
    bool operator==(const PrintSpot&) const = default;
};
PrintSpot print_spot(int32_t line_number, int32_t lines_per_page, int32_t line_height);

// True when line `line_number` is the first of a page after the first one: the page
// before it ends and a new one starts. The first page is started with the job, so that
// a text of exactly one page never opens an empty second one.
bool print_line_starts_page(int32_t line_number, int32_t lines_per_page);

// Pages a text of `line_count` lines fills: the count divided by the lines per page,
// rounded up; an empty text still has the one page the job opens.
int32_t print_page_count(int32_t line_count, int32_t lines_per_page);

// Expands `length` bytes of `text` (UTF-8, which may hold NUL bytes) into `out` (of
// PRINT_BUFFER_SIZE bytes) as printed: each tab becomes `tab_size` blanks (none when
// tab_size <= 0, as in the panes), a byte that starts no valid sequence U+FFFD, every
// other byte is copied; a final line feed is dropped. At most PRINT_LINE_MAX bytes
// are produced, never part of a character. Returns how many; out is NUL-terminated
// after them.
std::size_t expand_print_line(const char* text, std::size_t length, int tab_size, char* out);

#endif
