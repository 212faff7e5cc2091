#include "common/unicode.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

TEST(Utf8, DecodesValidSequencesAndRefusesTheRestByteByByte) {
    const struct {
        std::string bytes;
        char32_t value;
        uint32_t size;
        bool valid;
    } cases[] = {
        {"a", U'a', 1, true},
        {"\xC3\xA9", 0xE9, 2, true},
        {"\xE5\xA0\x80", 0x5800, 3, true},
        {"\xF0\x9F\x98\x80", 0x1F600, 4, true},
        {"\xC0\xAF", REPLACEMENT_CHARACTER, 1, false},          // overlong
        {"\xE0\x80\xAF", REPLACEMENT_CHARACTER, 1, false},      // overlong
        {"\xED\xA0\x80", REPLACEMENT_CHARACTER, 1, false},      // a surrogate
        {"\xF4\x90\x80\x80", REPLACEMENT_CHARACTER, 1, false},  // above U+10FFFF
        {"\xA0", REPLACEMENT_CHARACTER, 1, false},              // a lone continuation
        {"\xE5\xA0", REPLACEMENT_CHARACTER, 1, false},          // cut short
        {"\xE5 \x80", REPLACEMENT_CHARACTER, 1, false},         // broken
        {"\xFF", REPLACEMENT_CHARACTER, 1, false},
    };
    for (const auto& c : cases) {
        const Utf8Sequence s = decode_utf8(c.bytes, 0);
        EXPECT_EQ(s.value, c.value) << c.bytes;
        EXPECT_EQ(s.size, c.size) << c.bytes;
        EXPECT_EQ(s.valid, c.valid) << c.bytes;
    }
    EXPECT_TRUE(is_valid_utf8("caf\xC3\xA9 \xD0\x9F\xD1\x80\xE4\xB8\xAD\xF0\x9F\x98\x80"));
    EXPECT_TRUE(is_valid_utf8(""));
    EXPECT_FALSE(is_valid_utf8("caf\xE9"));
    EXPECT_FALSE(is_valid_utf8("\xE4\xB8"));
}

TEST(Utf8, DecodingStopsAtTheFirstByteOutsideTheSequence) {
    // A sequence cut by a line feed: the continuation bytes after it do not count.
    const unsigned char text[] = {0xE5, '\n', 0x80, 0x80};
    const Utf8Sequence s = decode_utf8(text, text + 4);
    EXPECT_FALSE(s.valid);
    EXPECT_EQ(s.size, 1u);
}

TEST(Utf8, CharactersKeepTheirCombiningMarks) {
    // e + combining acute, a voiced kana, Cyrillic with a combining breve, an emoji,
    // a broken byte, and a mark at the start that has no base.
    const std::string text =
        "e\xCC\x81"
        "\xE3\x81\x8B\xE3\x82\x99"
        "\xD0\xB8\xCC\x86"
        "\xF0\x9F\x98\x80"
        "\xFF"
        "x";
    EXPECT_EQ(character_count(text), 6u);
    EXPECT_EQ(next_character(text, 0), 3u);
    EXPECT_EQ(next_character(text, 3), 9u);
    EXPECT_EQ(next_character(text, 9), 13u);
    EXPECT_EQ(next_character(text, 13), 17u);
    EXPECT_EQ(next_character(text, 17), 18u);
    EXPECT_EQ(character_offset(text, 2), 9u);
    EXPECT_EQ(character_offset(text, 6), text.size());
    EXPECT_EQ(character_offset(text, 60), text.size());
    EXPECT_EQ(character_count("\xCC\x81\xCC\x81"), 1u);
    // A broken sequence takes a mark as any base does; a mark is never split.
    EXPECT_EQ(character_count("\xE5\xCC\x81"), 1u);
    EXPECT_EQ(character_count("a\xCC"), 2u);
}

TEST(Utf8, CombiningRangesHaveTheirEdges) {
    for (char32_t v : {0x0300, 0x036F, 0x0483, 0x05B0, 0x064B, 0x093F, 0x0E31, 0x1AB0, 0x1DFF,
                       0x20D0, 0x3099, 0x309A, 0xFE0F, 0xFE20, 0xE0100}) {
        EXPECT_TRUE(is_combining_mark(v)) << std::hex << static_cast<uint32_t>(v);
    }
    for (char32_t v : {0x0041, 0x02FF, 0x0370, 0x0410, 0x05D0, 0x0627, 0x0905, 0x3098, 0x309B,
                       0x4E2D, 0xFFFD, 0x1F600}) {
        EXPECT_FALSE(is_combining_mark(v)) << std::hex << static_cast<uint32_t>(v);
    }
}

TEST(Utf8, AppendsEveryLength) {
    std::string out;
    for (char32_t v : {0x41, 0xE9, 0x5800, 0x1F600}) {
        append_utf8(out, v);
    }
    EXPECT_EQ(out, "A\xC3\xA9\xE5\xA0\x80\xF0\x9F\x98\x80");
}

// "naïve Привет Γειά 日本 😀" as UTF-8 and as UTF-16, written out by hand.
const std::string MIXED_UTF8 =
    "na\xC3\xAFve \xD0\x9F\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82 "
    "\xCE\x93\xCE\xB5\xCE\xB9\xCE\xAC "
    "\xE6\x97\xA5\xE6\x9C\xAC \xF0\x9F\x98\x80";
const std::u16string MIXED_UTF16 = u"naïve Привет Γειά 日本 \U0001F600";

TEST(Utf16Strings, RoundTripsEveryScriptExactly) {
    std::u16string exact;
    ASSERT_TRUE(utf16_exact(MIXED_UTF8, exact));
    EXPECT_EQ(exact, MIXED_UTF16);
    EXPECT_EQ(utf16_for_display(MIXED_UTF8), MIXED_UTF16);
    EXPECT_EQ(utf8_from_utf16(MIXED_UTF16), MIXED_UTF8);
    // NUL bytes are characters too: a filter list holds them.
    const std::string with_nul("a\0b\0", 4);
    ASSERT_TRUE(utf16_exact(with_nul, exact));
    EXPECT_EQ(exact, std::u16string(u"a\0b\0", 4));
}

// A name that is not UTF-8 has no exact wide spelling: converting it anyway would name
// another file.
TEST(Utf16Strings, ExactRefusesWhatIsNotUtf8) {
    std::u16string out;
    for (const char* bad :
         {"caf\xE9", "\xC0\xAF", "\xED\xA0\x80", "\xF4\x90\x80\x80", "\xE6\x97", "\x80"}) {
        EXPECT_FALSE(utf16_exact(bad, out)) << bad;
    }
}

// For showing, every stray byte becomes one replacement character and the rest shows.
TEST(Utf16Strings, DisplayShowsStrayBytesAsReplacement) {
    EXPECT_EQ(utf16_for_display("caf\xE9!"), u"caf\uFFFD!");
    EXPECT_EQ(utf16_for_display("\xE6\x97x"), u"\uFFFD\uFFFDx");
    EXPECT_EQ(utf16_for_display(""), u"");
}

// The marks are byte spans of the UTF-8 text; each byte maps to where its character
// starts in UTF-16, so a span of whole characters maps to whole characters.
TEST(Utf16Strings, ByteToUnitMapFollowsCharacters) {
    const std::string text = "a\xC3\xAF\xE6\x97\xA5\xF0\x9F\x98\x80z\xFF";  // a ï 日 😀 z <FF>
    std::vector<std::size_t> map;
    const std::u16string shown = utf16_for_display(text, &map);
    EXPECT_EQ(shown, u"aï日\U0001F600z\uFFFD");
    const std::vector<std::size_t> expected = {0, 1, 1, 2, 2, 2, 3, 3, 3, 3, 5, 6, 7};
    EXPECT_EQ(map, expected);
    EXPECT_EQ(map.back(), shown.size());
    std::vector<std::size_t> empty_map;
    utf16_for_display("", &empty_map);
    EXPECT_EQ(empty_map, std::vector<std::size_t>{0});
}

TEST(Utf16Strings, LoneSurrogatesFromTheSystemBecomeReplacement) {
    const std::u16string lone_high = {u'a', char16_t(0xD83D), u'b'};
    const std::u16string lone_low = {char16_t(0xDE00)};
    EXPECT_EQ(utf8_from_utf16(lone_high),
              "a\xEF\xBF\xBD"
              "b");
    EXPECT_EQ(utf8_from_utf16(lone_low), "\xEF\xBF\xBD");
}

TEST(Utf16Strings, CharCountCountsCharactersAndStrayBytes) {
    EXPECT_EQ(utf8_char_count(MIXED_UTF8), MIXED_UTF16.size() - 1);  // 😀 is two units
    EXPECT_EQ(utf8_char_count("caf\xE9"), 4u);
    EXPECT_EQ(utf8_char_count("\xE6\x97"), 2u);
    EXPECT_EQ(utf8_char_count(""), 0u);
}

TEST(Utf16Strings, PrefixWithinUnitsEndsBetweenCharacters) {
    const std::string text = "ab\xE6\x97\xA5\xF0\x9F\x98\x80z";  // a b 日 😀 z: 6 units
    EXPECT_EQ(utf8_prefix_within_units(text, 0), 0u);
    EXPECT_EQ(utf8_prefix_within_units(text, 3), 5u);
    EXPECT_EQ(utf8_prefix_within_units(text, 4), 5u);  // 😀 needs two units
    EXPECT_EQ(utf8_prefix_within_units(text, 5), 9u);
    EXPECT_EQ(utf8_prefix_within_units(text, 6), text.size());
    EXPECT_EQ(utf8_prefix_within_units("\xFF\xFF", 1), 1u);
}

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

TEST(Utf16Bytes, Utf16RoundTripsThroughUtf8InBothByteOrders) {
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

TEST(Utf16Bytes, InvalidUtf16IsRefused) {
    EXPECT_EQ(decode(std::string("a\0b", 3), false), "<invalid>");  // odd count
    EXPECT_EQ(decode(std::string("\x3D\xD8"
                                 "a\0",
                                 4),
                     false),
              "<invalid>");                                             // high alone
    EXPECT_EQ(decode(std::string("\x3D\xD8", 2), false), "<invalid>");  // high at the end
    EXPECT_EQ(decode(std::string("\x00\xDE", 2), false), "<invalid>");  // low alone
}

TEST(Utf16Bytes, InvalidUtf8IsNotWrittenAsUtf16) {
    for (const char* bad :
         {"\xE9", "\xC0\xAF", "\xED\xA0\x80", "\xF4\x90\x80\x80", "\xE2\x82", "\x80"}) {
        std::string out;
        EXPECT_FALSE(utf8_to_utf16(bad, false, out)) << bad;
    }
}

}  // namespace
