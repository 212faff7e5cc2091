#include "common/white_space.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>

namespace {

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
