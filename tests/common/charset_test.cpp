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
    });
    out.clear();
    append_display_utf8("abc", CHARSET_8BIT, out);
    EXPECT_EQ(out, "<3>");
    set_ansi_decoder(nullptr);  // back to Windows-1252
    out.clear();
    append_display_utf8("\xE9", CHARSET_8BIT, out);
    EXPECT_EQ(out, "\xC3\xA9");
}

}  // namespace
