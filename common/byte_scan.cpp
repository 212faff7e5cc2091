#include "common/byte_scan.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

const char* find_in_tail(const char* p, const char* end, char c) {
    for (; p < end; ++p) {
        if (*p == c) {
            return p;
        }
    }
    return nullptr;
}

std::size_t count_in_tail(const char* p, const char* end, char c) {
    std::size_t count = 0;
    for (; p < end; ++p) {
        count += *p == c ? 1 : 0;
    }
    return count;
}

}  // namespace

namespace byte_scan {

// A word holds `c` when some byte of it XOR `c` is zero; that byte is then found one
// by one.
const char* by_words(const char* p, std::size_t n, char c) {
    using Word = std::uintptr_t;
    constexpr Word ONES = ~Word{0} / 0xff;
    constexpr Word HIGHS = ONES * 0x80;
    const Word pattern = ONES * static_cast<unsigned char>(c);
    const char* const end = p + n;
    while (static_cast<std::size_t>(end - p) >= sizeof(Word)) {
        Word w;
        std::memcpy(&w, p, sizeof w);
        const Word x = w ^ pattern;
        if (((x - ONES) & ~x & HIGHS) != 0) {
            break;
        }
        p += sizeof w;
    }
    return find_in_tail(p, end, c);
}

// Each byte of x that is zero becomes 0x80, every other byte 0 (no carries between
// bytes, unlike the test above), and the marks are counted.
std::size_t count_by_words(const char* p, std::size_t n, char c) {
    using Word = std::uintptr_t;
    constexpr Word ONES = ~Word{0} / 0xff;
    constexpr Word LOWS = ONES * 0x7f;
    const Word pattern = ONES * static_cast<unsigned char>(c);
    const char* const end = p + n;
    std::size_t count = 0;
    while (static_cast<std::size_t>(end - p) >= sizeof(Word)) {
        Word w;
        std::memcpy(&w, p, sizeof w);
        const Word x = w ^ pattern;
        const Word zero_marks = ~(((x & LOWS) + LOWS) | x | LOWS);
        count += static_cast<std::size_t>(__builtin_popcountll(zero_marks));
        p += sizeof w;
    }
    return count + count_in_tail(p, end, c);
}

namespace {
std::uint64_t load_word(const char* p) {
    std::uint64_t w;
    std::memcpy(&w, p, sizeof w);
    return w;
}
}  // namespace

// Eight bytes at a step; the last step overlaps the one before it rather than ending
// byte by byte.
bool equal_by_words(const char* a, const char* b, std::size_t n) {
    if (n < 8) {
        for (std::size_t i = 0; i < n; ++i) {
            if (a[i] != b[i]) {
                return false;
            }
        }
        return true;
    }
    for (std::size_t i = 0; i + 8 <= n; i += 8) {
        if (load_word(a + i) != load_word(b + i)) {
            return false;
        }
    }
    return load_word(a + n - 8) == load_word(b + n - 8);
}

std::size_t positions_by_bytes(const char* p, std::size_t n, char c, const char** out) {
    std::size_t count = 0;
    for (std::size_t i = 0; i < n; ++i) {
        if (p[i] == c) {
            out[count++] = p + i + 1;
        }
    }
    return count;
}

#if defined(__SSE2__)
// Sixteen bytes at a step; each set bit of the step's mask is one position.
std::size_t positions_by_vectors(const char* p, std::size_t n, char c, const char** out) {
    const __m128i needle = _mm_set1_epi8(c);
    std::size_t count = 0;
    std::size_t i = 0;
    for (; i + 16 <= n; i += 16) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i));
        auto mask = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(v, needle)));
        while (mask != 0) {
            out[count++] = p + i + __builtin_ctz(mask) + 1;
            mask &= mask - 1;
        }
    }
    return count + positions_by_bytes(p + i, n - i, c, out + count);
}

namespace {
bool equal_vector(const char* a, const char* b) {
    const __m128i x = _mm_loadu_si128(reinterpret_cast<const __m128i*>(a));
    const __m128i y = _mm_loadu_si128(reinterpret_cast<const __m128i*>(b));
    return _mm_movemask_epi8(_mm_cmpeq_epi8(x, y)) == 0xFFFF;
}
}  // namespace

// Sixteen bytes at a step, the last step overlapping as above.
bool equal_by_vectors(const char* a, const char* b, std::size_t n) {
    if (n < 16) {
        return equal_by_words(a, b, n);
    }
    for (std::size_t i = 0; i + 16 <= n; i += 16) {
        if (!equal_vector(a + i, b + i)) {
            return false;
        }
    }
    return equal_vector(a + n - 16, b + n - 16);
}

// Each equal byte subtracts one (all ones) from its lane's counter; the lanes are
// summed before any of them could reach 256.
std::size_t count_by_vectors(const char* p, std::size_t n, char c) {
    const char* const end = p + n;
    const __m128i needle = _mm_set1_epi8(c);
    const __m128i zero = _mm_setzero_si128();
    std::size_t count = 0;
    while (end - p >= 16) {
        const std::size_t steps =
            std::min<std::size_t>(static_cast<std::size_t>(end - p) / 16, 255);
        __m128i lanes = zero;
        for (std::size_t i = 0; i < steps; ++i, p += 16) {
            const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
            lanes = _mm_sub_epi8(lanes, _mm_cmpeq_epi8(v, needle));
        }
        const __m128i sums = _mm_sad_epu8(lanes, zero);
        count += static_cast<std::size_t>(_mm_cvtsi128_si32(sums)) +
                 static_cast<std::size_t>(_mm_cvtsi128_si32(_mm_unpackhi_epi64(sums, sums)));
    }
    return count + count_in_tail(p, end, c);
}

// Two compares and one test of both masks per step.
const char* by_vectors(const char* p, std::size_t n, char c) {
    const char* const end = p + n;
    const __m128i needle = _mm_set1_epi8(c);
    while (end - p >= 32) {
        const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
        const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 16));
        const int low = _mm_movemask_epi8(_mm_cmpeq_epi8(a, needle));
        const int high = _mm_movemask_epi8(_mm_cmpeq_epi8(b, needle));
        if ((low | high) != 0) {
            return low != 0 ? p + __builtin_ctz(static_cast<unsigned>(low))
                            : p + 16 + __builtin_ctz(static_cast<unsigned>(high));
        }
        p += 32;
    }
    return find_in_tail(p, end, c);
}
#endif

}  // namespace byte_scan

const char* find_byte(const char* p, std::size_t n, char c) {
#if defined(__GLIBC__)
    // glibc's memchr already reads wide vectors.
    return static_cast<const char*>(std::memchr(p, c, n));
#elif defined(__SSE2__)
    return byte_scan::by_vectors(p, n, c);
#else
    return byte_scan::by_words(p, n, c);
#endif
}

std::size_t count_byte(const char* p, std::size_t n, char c) {
#if defined(__SSE2__)
    return byte_scan::count_by_vectors(p, n, c);
#else
    return byte_scan::count_by_words(p, n, c);
#endif
}

bool bytes_equal(const char* a, const char* b, std::size_t n) {
#if defined(__GLIBC__)
    return std::memcmp(a, b, n) == 0;
#elif defined(__SSE2__)
    return byte_scan::equal_by_vectors(a, b, n);
#else
    return byte_scan::equal_by_words(a, b, n);
#endif
}

std::size_t positions_after(const char* p, std::size_t n, char c, const char** out) {
#if defined(__SSE2__)
    return byte_scan::positions_by_vectors(p, n, c, out);
#else
    return byte_scan::positions_by_bytes(p, n, c, out);
#endif
}
