#include "common/byte_scan.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>
#include <vector>

namespace {

using Finder = const char* (*)(const char*, std::size_t, char);

// Every start alignment, every length up to a few steps of the widest way, the byte at
// every place or absent, and bytes around it that differ only in the high bit or by one
// (the word test's carries): each way must give memchr's answer.
void expect_like_memchr(Finder find, const char* name) {
    const unsigned char needles[] = {'\n', '\r', 0, 0x1a, 0x80, 0xff, 0x8a};
    std::vector<char> buffer(160);
    for (const unsigned char needle : needles) {
        const char c = static_cast<char>(needle);
        const char fillers[] = {static_cast<char>(needle ^ 0x80), static_cast<char>(needle + 1),
                                static_cast<char>(needle - 1), 'x'};
        for (const char filler : fillers) {
            for (const std::size_t start : {0, 1, 3, 7}) {
                for (std::size_t n = 0; n <= 100; ++n) {
                    for (std::size_t at = 0; at <= n; ++at) {  // at == n: absent
                        std::memset(buffer.data(), filler, buffer.size());
                        char* p = buffer.data() + start;
                        if (at < n) {
                            p[at] = c;
                        }
                        p[n] = c;  // just past the range: must not be found
                        const void* want = std::memchr(p, c, n);
                        ASSERT_EQ(find(p, n, c), want) << name << ": byte " << int{needle} << " at "
                                                       << at << " of " << n << ", start " << start;
                    }
                }
            }
        }
    }
}

TEST(ByteScan, EveryWayFindsWhatMemchrFinds) {
    expect_like_memchr(byte_scan::by_words, "words");
#if defined(__SSE2__)
    expect_like_memchr(byte_scan::by_vectors, "vectors");
#endif
    expect_like_memchr(static_cast<Finder>(find_byte), "find_byte");
}

TEST(ByteScan, FindsTheFirstOfManyInALargeBuffer) {
    std::string text(1 << 20, 'a');
    text[700001] = '\n';
    text[900000] = '\n';
    EXPECT_EQ(find_byte(text.data(), text.size(), '\n'), text.data() + 700001);
    EXPECT_EQ(find_byte(text.data() + 700002, text.size() - 700002, '\n'), text.data() + 900000);
    EXPECT_EQ(find_byte(text.data(), 700001, '\n'), nullptr);
}

using Counter = std::size_t (*)(const char*, std::size_t, char);

std::size_t count_one_by_one(const char* p, std::size_t n, char c) {
    std::size_t count = 0;
    for (std::size_t i = 0; i < n; ++i) {
        count += p[i] == c ? 1 : 0;
    }
    return count;
}

// Random bytes drawn from the needle and its near neighbours, every alignment and
// every length up to well past a vector, then lengths past the 255 steps a vector
// counter may take before it is summed, with the range's neighbours equal to the needle.
void expect_like_counting(Counter count, const char* name) {
    std::mt19937 random(7);
    for (const unsigned char needle : {0x0a, 0x00, 0x80, 0xff}) {
        const char c = static_cast<char>(needle);
        const char near[] = {c, static_cast<char>(needle ^ 0x80), static_cast<char>(needle + 1),
                             static_cast<char>(needle - 1), 'x'};
        std::vector<char> buffer(16 * 600 + 16);
        for (char& b : buffer) {
            b = near[random() % 5];
        }
        for (const std::size_t start : {1, 2, 5, 8}) {
            char* p = buffer.data() + start;
            p[-1] = c;
            for (std::size_t n = 0; n <= 70; ++n) {
                const char kept = p[n];
                p[n] = c;
                ASSERT_EQ(count(p, n, c), count_one_by_one(p, n, c))
                    << name << ": byte " << int{needle} << ", " << n << " bytes from " << start;
                p[n] = kept;
            }
            for (const std::size_t n : {16 * 255 - 1, 16 * 255, 16 * 255 + 17, 16 * 600}) {
                ASSERT_EQ(count(p, n, c), count_one_by_one(p, n, c))
                    << name << ": byte " << int{needle} << ", " << n << " bytes";
            }
        }
    }
    std::string all_equal(16 * 1000 + 3, 'q');
    EXPECT_EQ(count(all_equal.data(), all_equal.size(), 'q'), all_equal.size()) << name;
}

TEST(ByteScan, EveryWayCountsWhatALoopCounts) {
    expect_like_counting(byte_scan::count_by_words, "words");
#if defined(__SSE2__)
    expect_like_counting(byte_scan::count_by_vectors, "vectors");
#endif
    expect_like_counting(count_byte, "count_byte");
}

}  // namespace

namespace {

using Comparer = bool (*)(const char*, const char*, std::size_t);

// Every length up to a few steps of the widest way, at two alignments, equal or with
// one byte changed at every place (by the high bit alone, or by one), and a change
// just past the range, which must not count.
void expect_like_memcmp(Comparer equal, const char* name) {
    std::vector<char> a(140);
    std::vector<char> b(140);
    for (std::size_t i = 0; i < a.size(); ++i) {
        a[i] = static_cast<char>(i * 37 + 11);
    }
    for (const std::size_t start : {0, 5}) {
        for (std::size_t n = 0; n <= 100; ++n) {
            for (std::size_t at = 0; at <= n; ++at) {  // at == n: equal within the range
                for (const int change : {0x80, 1}) {
                    b = a;
                    b[start + at] = static_cast<char>(b[start + at] ^ change);
                    const bool want = std::memcmp(a.data() + start, b.data() + start, n) == 0;
                    ASSERT_EQ(equal(a.data() + start, b.data() + start, n), want)
                        << name << ": change at " << at << " of " << n << ", start " << start;
                }
            }
        }
    }
}

TEST(ByteScan, EveryWayComparesAsMemcmpDoes) {
    expect_like_memcmp(byte_scan::equal_by_words, "words");
#if defined(__SSE2__)
    expect_like_memcmp(byte_scan::equal_by_vectors, "vectors");
#endif
    expect_like_memcmp(bytes_equal, "bytes_equal");
}

}  // namespace

namespace {

using Positioner = std::size_t (*)(const char*, std::size_t, char, const char**);

// Random bytes with the needle, its high-bit twin and its neighbours mixed in, every
// length up to a few steps and several starts: each way must list what a loop lists,
// and nothing from the byte just past the range.
void expect_like_listing(Positioner positions, const char* name) {
    std::mt19937 rng(7);
    const char pool[] = {'\n', static_cast<char>('\n' | 0x80), '\v', '\t', 'x', 0};
    std::vector<char> buffer(200);
    std::vector<const char*> got(200);
    for (const std::size_t start : {0, 1, 9}) {
        for (std::size_t n = 0; n <= 100; ++n) {
            for (int round = 0; round < 8; ++round) {
                for (char& b : buffer) {
                    b = pool[rng() % sizeof pool];
                }
                const char* p = buffer.data() + start;
                buffer[start + n] = '\n';
                std::vector<const char*> want;
                for (std::size_t i = 0; i < n; ++i) {
                    if (p[i] == '\n') {
                        want.push_back(p + i + 1);
                    }
                }
                const std::size_t count = positions(p, n, '\n', got.data());
                ASSERT_EQ(std::vector<const char*>(got.begin(), got.begin() + count), want)
                    << name << ": " << n << " bytes from " << start;
            }
        }
    }
}

TEST(ByteScan, EveryWayListsThePositionsALoopLists) {
    expect_like_listing(byte_scan::positions_by_bytes, "bytes");
#if defined(__SSE2__)
    expect_like_listing(byte_scan::positions_by_vectors, "vectors");
#endif
    expect_like_listing(positions_after, "positions_after");
}

}  // namespace
