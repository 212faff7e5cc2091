#include "common/charset.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(Charset, UndecidedTextIsUtf8UnlessMostOfItsHighBytesAreBroken) {
    EXPECT_EQ(detect_charset(""), CHARSET_UTF8);
    EXPECT_EQ(detect_charset("plain ASCII text, long enough for a word at a step\n"), CHARSET_UTF8);
    EXPECT_EQ(detect_charset("caf\xC3\xA9 \xD0\x9F\xD1\x80\xD0\xB8\xE4\xB8\xAD\n"), CHARSET_UTF8);
    // Windows-1252: no valid sequence at all.
    EXPECT_EQ(detect_charset("caf\xE9 na\xEFve \xA0\n"), CHARSET_8BIT);
    // Mostly UTF-8, one broken byte: still UTF-8, the byte shown as U+FFFD.
    EXPECT_EQ(detect_charset("\xD0\x9F\xD1\x80 \xFF \xD0\xB8"), CHARSET_UTF8);
    // As many broken bytes as sequences: 8-bit ("\xC3\xA9" reads as two Latin letters).
    EXPECT_EQ(detect_charset("\xC3\xA9 \xE9"), CHARSET_8BIT);
    EXPECT_EQ(detect_charset("\xE9\xE9\xE9 \xC3\xA9\xC3\xA9"), CHARSET_8BIT);
    // A broken byte past the eight-byte steps still counts.
    EXPECT_EQ(detect_charset("0123456789abcdef\xE9"), CHARSET_8BIT);
}

TEST(Charset, DisplayTextIsUtf8AndTheAnsiDecoderCanBeReplaced) {
    std::string out;
    append_display_utf8("a\xE9\x80\x81\x9F\xFF", CHARSET_8BIT, out);
    EXPECT_EQ(out, "a\xC3\xA9\xE2\x82\xAC\xEF\xBF\xBD\xC5\xB8\xC3\xBF");
    out.clear();
    append_display_utf8("a\xC3\xA9\xE9\xE4\xB8", CHARSET_UTF8, out);
    EXPECT_EQ(out, "a\xC3\xA9\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD");

    set_ansi_decoder([](std::string_view bytes, std::string& to) {
        to += '<';
        to += std::to_string(bytes.size());
        to += '>';
        return true;
    });
    out.clear();
    append_display_utf8("abc", CHARSET_8BIT, out);
    EXPECT_EQ(out, "<3>");
    set_ansi_decoder(nullptr);  // back to Windows-1252
    out.clear();
    append_display_utf8("\xE9", CHARSET_8BIT, out);
    EXPECT_EQ(out, "\xC3\xA9");
}

// Every byte that Windows-1252 defines goes to UTF-8 and back to itself; the five it
// leaves undefined, and what it lacks, have no such way.
TEST(Charset, Windows1252BothWays) {
    for (int b = 0; b < 256; ++b) {
        const std::string byte(1, static_cast<char>(b));
        std::string utf8;
        std::string back;
        const bool defined = decode_windows_1252(byte, utf8);
        EXPECT_EQ(defined, b != 0x81 && b != 0x8D && b != 0x8F && b != 0x90 && b != 0x9D) << b;
        EXPECT_EQ(encode_windows_1252(utf8, back), defined) << b;
        if (defined) {
            EXPECT_EQ(back, byte);
        }
    }
    for (const char* lacking : {"\xCE\xA9", "\xC4\x80", "\xF0\x9F\x98\x80", "\xC3", "\x80"}) {
        std::string out;
        EXPECT_FALSE(encode_windows_1252(lacking, out)) << lacking;
    }
}

TEST(Charset, ConversionKeepsOneFormsBytesAndGoesThroughUtf8Between) {
    struct Case {
        std::string text;
        DisplayCharset from, to;
        bool done;
        std::string out;
    };
    const Case cases[] = {
        {"\xFF\x81 a", CHARSET_8BIT, CHARSET_8BIT, true, "\xFF\x81 a"},
        {"\xD0\x9F\xFF", CHARSET_UTF8, CHARSET_UTF8, true, "\xD0\x9F\xFF"},
        {"caf\xE9", CHARSET_8BIT, CHARSET_UTF8, true, "caf\xC3\xA9"},
        {"\xC3\x9C\xE2\x82\xAC", CHARSET_UTF8, CHARSET_8BIT, true, "\xDC\x80"},
        {"x\x81", CHARSET_8BIT, CHARSET_UTF8, false, ""},
        {"\xCE\xA9", CHARSET_UTF8, CHARSET_8BIT, false, ""},
        {"\xFF", CHARSET_UTF8, CHARSET_8BIT, false, ""},
    };
    for (const Case& c : cases) {
        std::string out;
        EXPECT_EQ(convert_charset(c.text, c.from, c.to, out), c.done) << c.text;
        if (c.done) {
            EXPECT_EQ(out, c.out);
        }
    }
    set_ansi_encoder([](std::string_view utf8, std::string& to) {
        to += std::to_string(utf8.size());
        return true;
    });
    std::string out;
    EXPECT_TRUE(convert_charset("\xCE\xA9", CHARSET_UTF8, CHARSET_8BIT, out));
    EXPECT_EQ(out, "2");
    set_ansi_encoder(nullptr);  // back to Windows-1252
}

}  // namespace
