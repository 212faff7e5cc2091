#include "common/utf8.h"

#include <gtest/gtest.h>

#include <string>

#include "common/white_space.h"

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

TEST(WhiteSpace, IsDecidedAtTheStartOfACharacterOfTheCharset) {
    struct Case {
        std::string_view text;
        std::size_t utf8, eight_bit;  // bytes of white space at the start
    };
    const Case cases[] = {
        {" ", 1, 1},    {"\b", 1, 1},       {"\xC2\xA0", 2, 0}, {"\xA0x", 1, 1},
        {"\xC2", 0, 0}, {"\xC2\xAB", 0, 0}, {"\x1F", 0, 0},     {"\n", 0, 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(white_space_at(c.text, 0, CHARSET_UTF8), c.utf8) << c.text;
        EXPECT_EQ(white_space_at(c.text, 0, CHARSET_8BIT), c.eight_bit) << c.text;
    }
    for (DisplayCharset charset : {CHARSET_UTF8, CHARSET_8BIT}) {
        EXPECT_TRUE(is_white_text("", charset));
        EXPECT_TRUE(is_white_text(" \t\xA0\v\f\r\b", charset));
        // The 0xA0 of U+5800 and of Cyrillic ER are parts of characters, or follow letters.
        EXPECT_FALSE(is_white_text("\xE5\xA0\x80", charset));
        EXPECT_FALSE(is_white_text(" \xD0\xA0", charset));
        EXPECT_FALSE(is_white_text(std::string("\0", 1), charset));
    }
    EXPECT_TRUE(is_white_text("\xC2\xA0 ", CHARSET_UTF8));
    EXPECT_FALSE(is_white_text("\xC2\xA0 ", CHARSET_8BIT));  // a letter and a no-break space
}

}  // namespace
