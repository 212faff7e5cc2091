#include <gtest/gtest.h>

#include <string>

#include "common/report.h"
#include "tests/support/fake_report.h"
#include "tests/ui/fake_ui.h"
#include "ui/command_line.h"

namespace {

class CommandLine : public ::testing::Test {
protected:
    void SetUp() override { reset_fake_ui(); }
};

using Messages = std::vector<ReportedMessage>;

TEST_F(CommandLine, EmptyLineRecordsTwoQuotesAndSetsNothing) {
    EXPECT_EQ(parse_command_line(""), 0);
    EXPECT_EQ(fake_ini_get("Misc", "LastCmd"), "\"\"");
    for (int key = 0; key < OPTION_COUNT; ++key) {
        EXPECT_FALSE(option_value(key).has_value());
    }
    EXPECT_TRUE(reported_messages().empty());
}

TEST_F(CommandLine, SlashDashAndAnyCaseNameTheSameOption) {
    EXPECT_EQ(parse_command_line("/MERGE \"c d.txt\""), 0);
    EXPECT_EQ(option_value(OPT_MERGE), "c d.txt");
    reset_command_line();
    EXPECT_EQ(parse_command_line("/F1 a.txt -f2 b.txt -OutF out.txt /outd d -D1 x /d2 y"), 0);
    EXPECT_EQ(option_value(OPT_F1), "a.txt");
    EXPECT_EQ(option_value(OPT_F2), "b.txt");
    EXPECT_EQ(option_value(OPT_OUTF), "out.txt");
    EXPECT_EQ(option_value(OPT_OUTD), "d");
    EXPECT_EQ(option_value(OPT_D1), "x");
    EXPECT_EQ(option_value(OPT_D2), "y");
}

TEST_F(CommandLine, ValueIsTakenWhateverItLooksLike) {
    EXPECT_EQ(parse_command_line("-f1 -f2"), 0);
    EXPECT_EQ(option_value(OPT_F1), "-f2");
    EXPECT_FALSE(option_value(OPT_F2).has_value());
}

TEST_F(CommandLine, RepeatedOptionKeepsLastValueAndBlanksRunTogether) {
    EXPECT_EQ(parse_command_line("   -f1   one    -f1 two  "), 0);
    EXPECT_EQ(option_value(OPT_F1), "two");
}

TEST_F(CommandLine, MissingValueIsAnInfoAndTheOptionStaysUnset) {
    EXPECT_EQ(parse_command_line("-f2 b.txt -f1"), -1);
    EXPECT_EQ(reported_messages(), (Messages{{"Bad command line", SEVERITY_INFO}}));
    EXPECT_FALSE(option_value(OPT_F1).has_value());
    EXPECT_EQ(option_value(OPT_F2), "b.txt");
}

TEST_F(CommandLine, TokenWithoutPrefixIsAnErrorAndEarlierOptionsStay) {
    EXPECT_EQ(parse_command_line("-d1 dir file.txt -f1 a"), -1);
    EXPECT_EQ(reported_messages(), (Messages{{"Bad command line", SEVERITY_ERROR}}));
    EXPECT_EQ(option_value(OPT_D1), "dir");
    EXPECT_FALSE(option_value(OPT_F1).has_value());
}

TEST_F(CommandLine, UnknownOptionBeforeF1StopsTheScan) {
    EXPECT_EQ(parse_command_line("-x 1 -f1 a.txt"), -1);
    EXPECT_EQ(reported_messages(), (Messages{{"Unknown option", SEVERITY_ERROR}}));
    EXPECT_FALSE(option_value(OPT_F1).has_value());
    // A prefix of a name is not the name, nor is a bare dash.
    reset_fake_ui();
    EXPECT_EQ(parse_command_line("-f a"), -1);
    EXPECT_EQ(parse_command_line("- a"), -1);
    EXPECT_EQ(reported_messages(),
              (Messages{{"Unknown option", SEVERITY_ERROR}, {"Unknown option", SEVERITY_ERROR}}));
}

TEST_F(CommandLine, QuotedValuesHoldBlanksWithoutTheirQuotes) {
    const char* line = "-f1 \"C:\\My Files\\left one.txt\" -f2 \"\" -outf x\" y\"z";
    EXPECT_EQ(parse_command_line(line), 0);
    EXPECT_EQ(option_value(OPT_F1), "C:\\My Files\\left one.txt");
    EXPECT_EQ(option_value(OPT_F2), "");
    EXPECT_EQ(option_value(OPT_OUTF), "x yz");
    // LastCmd keeps the line exactly as given.
    EXPECT_EQ(fake_ini_get("Misc", "LastCmd"), std::string("\"") + line + "\"");
}

TEST_F(CommandLine, UnterminatedQuoteRunsToTheEnd) {
    EXPECT_EQ(parse_command_line("-f1 \"a b"), 0);
    EXPECT_EQ(option_value(OPT_F1), "a b");
}

TEST_F(CommandLine, OverlongValueIsRefusedNotCut) {
    std::string fits(259, 'a');
    EXPECT_EQ(parse_command_line(("-f1 " + fits).c_str()), 0);
    EXPECT_EQ(option_value(OPT_F1), fits);
    reset_fake_ui();
    std::string line = "-f2 b -f1 " + std::string(260, 'a');
    EXPECT_EQ(parse_command_line(line.c_str()), -1);
    EXPECT_EQ(reported_messages(), (Messages{{"Bad command line", SEVERITY_ERROR}}));
    EXPECT_FALSE(option_value(OPT_F1).has_value());
    EXPECT_EQ(option_value(OPT_F2), "b");
    EXPECT_EQ(fake_ini_get("Misc", "LastCmd"), "\"" + line + "\"");  // whole, not cut
}

// A name in Cyrillic takes two bytes a character: 259 of them fit, 260 do not.
TEST_F(CommandLine, LimitCountsCharactersOfNamesInAnyScript) {
    std::string fits;
    for (int i = 0; i < 259; ++i) {
        fits += "\xD0\x96";
    }
    EXPECT_EQ(parse_command_line(("-f1 \"" + fits + "\"").c_str()), 0);
    EXPECT_EQ(option_value(OPT_F1), fits);
    reset_fake_ui();
    EXPECT_EQ(parse_command_line(("-f1 " + fits + "\xD0\x96").c_str()), -1);
    EXPECT_FALSE(option_value(OPT_F1).has_value());
}

// The system keeps the program's own name at the front of the whole line.
TEST(CommandLineArguments, ProgramNameAndTheBlanksAfterItAreSkipped) {
    EXPECT_EQ(arguments_of("pairex.exe -f1 a"), "-f1 a");
    EXPECT_EQ(arguments_of("\"C:\\Program Files\\pairex.exe\"  \t-f1 \"na\xC3\xAFve b\""),
              "-f1 \"na\xC3\xAFve b\"");
    EXPECT_EQ(arguments_of("\"C:\\x y\\pairex.exe\"-f1 a"), "-f1 a");
    EXPECT_EQ(arguments_of("pairex.exe"), "");
    EXPECT_EQ(arguments_of("\"unterminated -f1 a"), "");
    EXPECT_EQ(arguments_of(""), "");
}

}  // namespace
