#include "common/encoding.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string decode(const std::string& utf16, bool big_endian) {
    std::string out(utf8_capacity_for_utf16(utf16.size()) + 1, '?');
    const long long n = utf16_to_utf8(utf16.data(), utf16.size(), big_endian, out.data());
    return n < 0 ? "<invalid>" : out.substr(0, static_cast<std::size_t>(n));
}

std::string swap_pairs(std::string s) {
    for (std::size_t i = 0; i + 1 < s.size(); i += 2) {
        std::swap(s[i], s[i + 1]);
    }
    return s;
}

// UTF-8 and UTF-16 LE forms of the same text, written out by hand: one, two, three and
// four bytes a character, a NUL, and a line end.
const std::string UTF8("a\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80\0\r\n", 13);
const std::string UTF16LE("a\0\xE9\0\xAC\x20\x3D\xD8\x00\xDE\0\0\r\0\n\0", 16);

TEST(Encoding, MarksAreRecognised) {
    EXPECT_EQ(detect_encoding("\xEF\xBB\xBFx", 4), ENCODING_UTF8_BOM);
    EXPECT_EQ(detect_encoding("\xFF\xFEx", 3), ENCODING_UTF16LE);
    EXPECT_EQ(detect_encoding("\xFE\xFF", 2), ENCODING_UTF16BE);
    EXPECT_EQ(detect_encoding("\xEF\xBB", 2), ENCODING_BYTES);  // a cut mark is no mark
    EXPECT_EQ(detect_encoding("\xFF", 1), ENCODING_BYTES);
    EXPECT_EQ(detect_encoding("", 0), ENCODING_BYTES);
    EXPECT_EQ(encoding_mark(ENCODING_UTF16BE), "\xFE\xFF");
    EXPECT_EQ(encoding_mark(ENCODING_BYTES), "");
}

TEST(Encoding, Utf16RoundTripsThroughUtf8InBothByteOrders) {
    EXPECT_EQ(decode(UTF16LE, false), UTF8);
    EXPECT_EQ(decode(swap_pairs(UTF16LE), true), UTF8);
    std::string le;
    std::string be;
    ASSERT_TRUE(utf8_to_utf16(UTF8, false, le));
    ASSERT_TRUE(utf8_to_utf16(UTF8, true, be));
    EXPECT_EQ(le, UTF16LE);
    EXPECT_EQ(be, swap_pairs(UTF16LE));
    EXPECT_EQ(decode("", false), "");
}

TEST(Encoding, InvalidUtf16IsRefused) {
    EXPECT_EQ(decode(std::string("a\0b", 3), false), "<invalid>");  // odd count
    EXPECT_EQ(decode(std::string("\x3D\xD8"
                                 "a\0",
                                 4),
                     false),
              "<invalid>");                                             // high alone
    EXPECT_EQ(decode(std::string("\x3D\xD8", 2), false), "<invalid>");  // high at the end
    EXPECT_EQ(decode(std::string("\x00\xDE", 2), false), "<invalid>");  // low alone
}

TEST(Encoding, InvalidUtf8IsNotWrittenAsUtf16) {
    for (const char* bad :
         {"\xE9", "\xC0\xAF", "\xED\xA0\x80", "\xF4\x90\x80\x80", "\xE2\x82", "\x80"}) {
        std::string out;
        EXPECT_FALSE(utf8_to_utf16(bad, false, out)) << bad;
    }
}

}  // namespace
