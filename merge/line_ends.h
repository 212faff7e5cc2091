#ifndef PAIREX_MERGE_LINE_ENDS_H
#define PAIREX_MERGE_LINE_ENDS_H

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

// How each line of a file ended, kept apart from its text: text mode drops the carriage
// returns, and a write that keeps line ends puts them back.

struct MergeSide;

enum LineEnd : uint8_t { ENDS_LF, ENDS_CRLF, ENDS_NONE };

// The bytes of a line end.
std::string_view line_end_bytes(LineEnd end);

// Records, for each line feed of the `n` bytes at `text` (before text mode), whether a
// carriage return stood before it. Leaves `crlf` empty when there is no carriage return
// at all: most files cost nothing.
void record_crlf_ends(const char* text, std::size_t n, std::vector<bool>& crlf);

// Drops the carriage return of every CR LF in the `n` bytes at `text`, in place, and
// keeps every other byte (lone carriage returns, Ctrl-Z); returns the bytes kept.
std::size_t drop_crlf_returns(char* text, std::size_t n);

// How line `i` (0-based) of a loaded side ended in its file.
LineEnd line_end_of(const MergeSide& side, int32_t i);

#endif
