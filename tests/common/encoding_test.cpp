#include "common/encoding.h"

#include <gtest/gtest.h>

#include <string>

namespace {

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

}  // namespace
