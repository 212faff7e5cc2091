// The line hash under -w, eight bytes at a step. Byte by byte, each byte waits for the
// hash of the one before, and -w is the merge's own option: this loop was the largest
// part of its comparison. Here the bytes that count (all that cannot be white space) are packed
// together with one shuffle and hashed in groups of eight as they come packed, so two
// lines that differ only in their white space give the same groups, and the same hash.
#include <cstdint>
#include <cstring>

#include "engine/engine_internal.h"

#if defined(__x86_64__) || defined(__i386__)
#include <cpuid.h>
#include <immintrin.h>

namespace {

// For every set of kept bytes of an eight-byte word (bit i: byte i is kept), the
// shuffle that packs them to the low end, the rest zero, and their count.
struct PackTable {
    std::uint64_t shuffle[256];
    unsigned char count[256];
};

constexpr PackTable make_pack_table() {
    PackTable t{};
    for (unsigned m = 0; m < 256; ++m) {
        std::uint64_t s = 0x8080808080808080u;  // a set high bit gives a zero byte
        unsigned k = 0;
        for (unsigned i = 0; i < 8; ++i) {
            if ((m >> i) & 1u) {
                s = (s & ~(std::uint64_t{0xFF} << (8 * k))) | (std::uint64_t{i} << (8 * k));
                ++k;
            }
        }
        t.shuffle[m] = s;
        t.count[m] = static_cast<unsigned char>(k);
    }
    return t;
}

constexpr PackTable PACK = make_pack_table();

constexpr std::uint64_t MULTIPLIER = 0x9e3779b97f4a7c15u;

inline std::uint64_t add_group(std::uint64_t h, std::uint64_t group) {
    return (((h << 23) | (h >> 41)) ^ group) * MULTIPLIER;
}

// The bytes left out are those of skipped_by_blank_hash in line_classes.cpp: 8 to 13
// but the line feed (which the test for 8 to 13 lets in, harmlessly: nothing from a
// line feed on is kept), 32 and 0xA0, which are alike in their low seven bits, and
// 0xC2, the first byte of a no-break space.
template <bool FOLD>
__attribute__((target("ssse3"))) std::uint32_t hash_skipping_blanks(const unsigned char* p,
                                                                    const unsigned char** end) {
    const __m128i seven_bits = _mm_set1_epi8(0x7f);
    const __m128i space = _mm_set1_epi8(32);
    const __m128i eight = _mm_set1_epi8(8);
    const __m128i five = _mm_set1_epi8(5);
    const __m128i zero = _mm_setzero_si128();
    const __m128i nbsp_lead = _mm_set1_epi8(static_cast<char>(0xC2));
    const __m128i feed = _mm_set1_epi8('\n');
    std::uint64_t h = 0x243f6a8885a308d3u;  // not zero: a group of zero bytes changes it
    std::uint64_t acc = 0;                  // the packed bytes not yet in a group
    unsigned pending = 0;                   // how many, 0 to 7
    for (const unsigned char* q = p;; q += 8) {
        // The data is followed by eight zero bytes, so a word may reach past the last
        // line feed.
        __m128i b = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(q));
        const __m128i spaces = _mm_cmpeq_epi8(_mm_and_si128(b, seven_bits), space);
        const __m128i controls = _mm_cmpeq_epi8(_mm_subs_epu8(_mm_sub_epi8(b, eight), five), zero);
        const __m128i leads = _mm_cmpeq_epi8(b, nbsp_lead);
        const unsigned white = static_cast<unsigned>(_mm_movemask_epi8(
                                   _mm_or_si128(_mm_or_si128(spaces, controls), leads))) &
                               0xFFu;
        const unsigned feeds =
            static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(b, feed))) & 0xFFu;
        unsigned kept = ~white & 0xFFu;
        if (feeds != 0) {
            kept &= (feeds & (0u - feeds)) - 1u;  // the bytes before the first line feed
        }
        if constexpr (FOLD) {
            // 'A' to 'Z' become 'a' to 'z': (b - 'A') as unsigned is at most 25.
            const __m128i upper = _mm_cmpeq_epi8(
                _mm_subs_epu8(_mm_sub_epi8(b, _mm_set1_epi8('A')), _mm_set1_epi8(25)), zero);
            b = _mm_add_epi8(b, _mm_and_si128(upper, space));
        }
        const __m128i packed = _mm_shuffle_epi8(
            b, _mm_loadl_epi64(reinterpret_cast<const __m128i*>(&PACK.shuffle[kept])));
        std::uint64_t v;
        _mm_storel_epi64(reinterpret_cast<__m128i*>(&v), packed);
        const unsigned count = PACK.count[kept];
        acc |= v << (8 * pending);
        pending += count;
        if (pending >= 8) {
            h = add_group(h, acc);
            pending -= 8;
            // The bytes of `v` that did not fit; `count - pending` is 1 to 8.
            acc = pending == 0 ? 0 : v >> (8 * (count - pending));
        }
        if (feeds != 0) {
            *end = q + __builtin_ctz(feeds);
            h = add_group(h, acc ^ (std::uint64_t{pending} << 56));
            return static_cast<std::uint32_t>(h >> 32);
        }
    }
}

bool has_shuffle() {
    unsigned a = 0;
    unsigned b = 0;
    unsigned c = 0;
    unsigned d = 0;
    return __get_cpuid(1, &a, &b, &c, &d) != 0 && (c & bit_SSSE3) != 0 && (d & bit_SSE2) != 0;
}

}  // namespace

LineHash blank_skipping_hash(bool fold) {
    static const bool available = has_shuffle();
    if (!available) {
        return nullptr;
    }
    return fold ? hash_skipping_blanks<true> : hash_skipping_blanks<false>;
}

#else

LineHash blank_skipping_hash(bool /*fold*/) {
    return nullptr;
}

#endif
