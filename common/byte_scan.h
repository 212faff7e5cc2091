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

// Stores, in order, the position just after each byte equal to `c` among the `n` bytes
// at `p` into `out`, which must have room for count_byte(p, n, c) of them; returns how
// many. The starts of all lines in one pass, without a call per line.
std::size_t positions_after(const char* p, std::size_t n, char c, const char** out);

// Whether the `n` bytes at `a` equal the `n` bytes at `b`: memcmp's equality, made fast
// where the runtime's is not (the Windows runtimes under wine compare a byte at a step,
// which tripled the time of classifying a second file that follows the first).
bool bytes_equal(const char* a, const char* b, std::size_t n);

// The ways find_byte, count_byte and bytes_equal may go, each built where the machine has what it
// needs, so that the tests check every one of them on any machine.
namespace byte_scan {
// A machine word at a step (the 32-bit product is built without SSE2).
const char* by_words(const char* p, std::size_t n, char c);
std::size_t count_by_words(const char* p, std::size_t n, char c);
bool equal_by_words(const char* a, const char* b, std::size_t n);
std::size_t positions_by_bytes(const char* p, std::size_t n, char c, const char** out);
#if defined(__SSE2__)
// Thirty-two bytes at a step (sixteen for a count).
const char* by_vectors(const char* p, std::size_t n, char c);
std::size_t count_by_vectors(const char* p, std::size_t n, char c);
bool equal_by_vectors(const char* a, const char* b, std::size_t n);
std::size_t positions_by_vectors(const char* p, std::size_t n, char c, const char** out);
#endif
}  // namespace byte_scan

#endif
