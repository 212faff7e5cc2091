#include "common/wide_text.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// "naïve Привет Γειά 日本 😀" as UTF-8 and as UTF-16, written out by hand.
const std::string MIXED_UTF8 =
    "na\xC3\xAFve \xD0\x9F\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82 "
    "\xCE\x93\xCE\xB5\xCE\xB9\xCE\xAC "
    "\xE6\x97\xA5\xE6\x9C\xAC \xF0\x9F\x98\x80";
const std::u16string MIXED_UTF16 = u"naïve Привет Γειά 日本 \U0001F600";

TEST(WideText, RoundTripsEveryScriptExactly) {
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
TEST(WideText, ExactRefusesWhatIsNotUtf8) {
    std::u16string out;
    for (const char* bad :
         {"caf\xE9", "\xC0\xAF", "\xED\xA0\x80", "\xF4\x90\x80\x80", "\xE6\x97", "\x80"}) {
        EXPECT_FALSE(utf16_exact(bad, out)) << bad;
    }
}

// For showing, every stray byte becomes one replacement character and the rest shows.
TEST(WideText, DisplayShowsStrayBytesAsReplacement) {
    EXPECT_EQ(utf16_for_display("caf\xE9!"), u"caf\uFFFD!");
    EXPECT_EQ(utf16_for_display("\xE6\x97x"), u"\uFFFD\uFFFDx");
    EXPECT_EQ(utf16_for_display(""), u"");
}

// The marks are byte spans of the UTF-8 text; each byte maps to where its character
// starts in UTF-16, so a span of whole characters maps to whole characters.
TEST(WideText, ByteToUnitMapFollowsCharacters) {
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

TEST(WideText, LoneSurrogatesFromTheSystemBecomeReplacement) {
    const std::u16string lone_high = {u'a', char16_t(0xD83D), u'b'};
    const std::u16string lone_low = {char16_t(0xDE00)};
    EXPECT_EQ(utf8_from_utf16(lone_high),
              "a\xEF\xBF\xBD"
              "b");
    EXPECT_EQ(utf8_from_utf16(lone_low), "\xEF\xBF\xBD");
}

TEST(WideText, CharCountCountsCharactersAndStrayBytes) {
    EXPECT_EQ(utf8_char_count(MIXED_UTF8), MIXED_UTF16.size() - 1);  // 😀 is two units
    EXPECT_EQ(utf8_char_count("caf\xE9"), 4u);
    EXPECT_EQ(utf8_char_count("\xE6\x97"), 2u);
    EXPECT_EQ(utf8_char_count(""), 0u);
}

TEST(WideText, PrefixWithinUnitsEndsBetweenCharacters) {
    const std::string text = "ab\xE6\x97\xA5\xF0\x9F\x98\x80z";  // a b 日 😀 z: 6 units
    EXPECT_EQ(utf8_prefix_within_units(text, 0), 0u);
    EXPECT_EQ(utf8_prefix_within_units(text, 3), 5u);
    EXPECT_EQ(utf8_prefix_within_units(text, 4), 5u);  // 😀 needs two units
    EXPECT_EQ(utf8_prefix_within_units(text, 5), 9u);
    EXPECT_EQ(utf8_prefix_within_units(text, 6), text.size());
    EXPECT_EQ(utf8_prefix_within_units("\xFF\xFF", 1), 1u);
}

}  // namespace
