// Property tests of the engine's operands: a file against itself, and standard input
// on either side or both.

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "common/textio.h"
#include "tests/engine/property_support.h"

namespace {

using namespace property;

TEST(EngineProperty, FileAgainstItselfIsIdentical) {
    Generator gen(DEFAULT_SEED + 1);
    TempDir dir;
    for (int n = 0; n < 200; ++n) {
        const Case c = gen.make_case();
        const std::string p = dir.write("1", c.first);
        const std::string out_path = dir.file("o");
        const Outcome out = run_engine(make_argv(c.opt, p, p, out_path, c.spelling), out_path);
        const std::string expected =
            c.opt.s ? "Files " + p + " and " + p + " are identical" + LINE_END : "";
        ASSERT_EQ(out.result, 0) << escaped(c.first) << " " << describe(c.opt);
        ASSERT_EQ(out.listing_raw, expected);
        ASSERT_TRUE(out.messages.empty());
    }
}

// "-" reads standard input, named "Standard Input" in the listing; "-" on both sides
// is one open file, identical to itself.
TEST(EngineProperty, StandardInputOperand) {
    Generator gen(DEFAULT_SEED + 4);
    TempDir dir;
    const std::string out_path = dir.file("o");
    for (int n = 0; n < 150; ++n) {
        const Case c = gen.make_case();
        const std::string p1 = dir.write("1", c.first);
        const std::string p2 = dir.write("2", c.second);
        const int side = n % 3;  // 0: first operand, 1: second, 2: both
        ASSERT_NE(std::freopen(side == 1 ? p2.c_str() : p1.c_str(), "rb", stdin), nullptr);
        const std::string a = side == 1 ? p1 : "-";
        const std::string b = side == 0 ? p2 : "-";
        const Outcome out = run_engine(make_argv(c.opt, a, b, out_path, c.spelling), out_path);
        const std::string name1 = side == 1 ? p1 : "Standard Input";
        const std::string name2 = side == 0 ? p2 : "Standard Input";
        if (side == 2) {
            ASSERT_EQ(out.result, 0) << escaped(c.first) << " " << describe(c.opt);
            ASSERT_EQ(out.listing_raw,
                      c.opt.s ? "Files Standard Input and Standard Input are identical" +
                                    std::string(LINE_END)
                              : "");
            continue;
        }
        const std::string why = check_listing(c, name1, name2, out);
        ASSERT_EQ(why, "") << "side " << side << ", options " << describe(c.opt) << "\n  first "
                           << escaped(c.first) << "\n  second " << escaped(c.second)
                           << "\n  listing " << escaped(out.listing_raw);
    }
}

}  // namespace
