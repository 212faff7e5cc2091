// Property test of binary pairs, compared byte for byte.

#include <gtest/gtest.h>

#include <string>

#include "common/textio.h"
#include "tests/engine/property_support.h"

namespace {

using namespace property;

// Binary pairs (a zero byte in the first block as stored, no -a) are compared byte for byte as
// read: different sizes on disk differ at once, otherwise the data read decides. No
// listing is written for a differing pair; an equal pair leaves an empty listing or
// the identical-files line. The bytes are compared as stored: files of one size that
// differ only past a Ctrl-Z, or only in where carriage returns lie, differ.
TEST(EngineProperty, BinaryPairsCompareByContent) {
    Generator gen(DEFAULT_SEED + 2);
    TempDir dir;
    for (int n = 0; n < 300; ++n) {
        const Case c = gen.make_binary_case();
        const std::string p1 = dir.write("1", c.first);
        const std::string p2 = dir.write("2", c.second);
        const std::string out_path = dir.file("o");
        const Outcome out = run_engine(make_argv(c.opt, p1, p2, out_path, c.spelling), out_path);
        // The test looks at the bytes as stored: a Ctrl-Z before the zero byte hides
        // nothing (every generated file fits in the first block).
        const bool binary =
            c.first.find('\0') != std::string::npos || c.second.find('\0') != std::string::npos;
        if (!binary) {
            continue;
        }
        const int expected = c.first != c.second ? 1 : 0;
        const std::string what = escaped(c.first.substr(0, 60)) + "... (" +
                                 std::to_string(c.first.size()) + " bytes) against " +
                                 escaped(c.second.substr(0, 60)) + "... (" +
                                 std::to_string(c.second.size()) + " bytes)";
        ASSERT_EQ(out.result, expected) << what;
        ASSERT_TRUE(out.messages.empty()) << what << ": " << out.messages.front().text;
        if (expected == 1) {
            ASSERT_FALSE(out.listing_exists) << what;
        } else {
            ASSERT_EQ(out.listing_raw,
                      c.opt.s ? "Files " + p1 + " and " + p2 + " are identical" + LINE_END : "")
                << what;
        }
    }
}

}  // namespace
