#ifndef PAIREX_COMMON_BYTE_SCAN_H
#define PAIREX_COMMON_BYTE_SCAN_H

#include <cstddef>

// The first byte equal to `c` among the `n` bytes at `p`, or null: memchr, made fast
// where the runtime's is not. The Windows runtimes test one byte at a time, which made
// the line scans of a large file most of its load time under Windows.
const char* find_byte(const char* p, std::size_t n, char c);

inline char* find_byte(char* p, std::size_t n, char c) {
    return const_cast<char*>(find_byte(static_cast<const char*>(p), n, c));
}

// How many of the `n` bytes at `p` equal `c`: a count of lines without a call per line.
std::size_t count_byte(const char* p, std::size_t n, char c);

// The ways find_byte and count_byte may go, each built where the machine has what it needs, so that
// the tests check every one of them on any machine.
namespace byte_scan {
// A machine word at a step (the 32-bit product is built without SSE2).
const char* by_words(const char* p, std::size_t n, char c);
std::size_t count_by_words(const char* p, std::size_t n, char c);
#if defined(__SSE2__)
// Thirty-two bytes at a step (sixteen for a count).
const char* by_vectors(const char* p, std::size_t n, char c);
std::size_t count_by_vectors(const char* p, std::size_t n, char c);
#endif
}  // namespace byte_scan

#endif
