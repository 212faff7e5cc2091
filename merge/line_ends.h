#ifndef PAIREX_MERGE_LINE_ENDS_H
#define PAIREX_MERGE_LINE_ENDS_H

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

// How each line of a file ended, kept apart from its text: text mode drops the carriage
// returns, and a write that keeps line ends puts them back.

enum LineEnd : uint8_t { ENDS_LF, ENDS_CRLF, ENDS_NONE };

// The bytes of a line end.
std::string_view line_end_bytes(LineEnd end);

// The end of each line of the `n` bytes at `text` (before text mode drops carriage
// returns): for each line feed, ENDS_CRLF when a carriage return stood before it, else
// ENDS_LF.
std::vector<LineEnd> line_ends_of(const char* text, std::size_t n);

// What the `n` bytes at `text` hold, found in one pass: a load looks at the bytes of a
// large file once, and again only for what it holds.
struct TextBytes {
    std::size_t line_feeds = 0;
    bool carriage_returns = false;
    bool ctrl_z = false;        // byte 26, where text mode ends a file
    bool beyond_ascii = false;  // a byte of 0x80 or above (always set without SSE2)
};
TextBytes scan_text_bytes(const char* text, std::size_t n);

// Drops the carriage return of every CR LF in the `n` bytes at `text`, in place, and
// keeps every other byte (lone carriage returns, Ctrl-Z); returns the bytes kept.
std::size_t drop_crlf_returns(char* text, std::size_t n);

#endif
