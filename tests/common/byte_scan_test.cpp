#include "common/byte_scan.h"

#include <gtest/gtest.h>

#include <cstring>
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

}  // namespace
