#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>

#include "tests/engine/engine_run.h"

namespace {

class OptionScan : public ::testing::Test {
protected:
    TempDir dir;
    std::string a = dir.write("a.txt", "one\ntwo  words\nthree\n");
    std::string b = dir.write("b.txt", "one\ntwo words\nthree\n");
    std::string out = dir.file("out.lst");
};

TEST_F(OptionScan, FlagsAreResetBetweenRuns) {
    EXPECT_EQ(run_engine({"-w", "-o", out, a, b}).result, 0);
    EXPECT_EQ(read_bytes(out), "");
    EXPECT_EQ(run_engine({"-o", out, a, b}).result, 1);
    EXPECT_EQ(read_bytes(out), on_disk("2c2\n< two  words\n---\n> two words\n"));
}

// A free name gets a new file, a file that stands is emptied first, whatever it held.
TEST_F(OptionScan, TheOutputFileHoldsTheListingAloneWhateverStoodThere) {
    const std::string listing = on_disk("2c2\n< two  words\n---\n> two words\n");
    for (const char* before : {static_cast<const char*>(nullptr), "",
                               "a longer text\n\n\n\n\n\n\n\n\n\n\n\n\n\n\n\n\n\n\n\n\n\n"}) {
        std::remove(out.c_str());
        if (before != nullptr) {
            dir.write("out.lst", before);
        }
        EXPECT_EQ(run_engine({"-o", out, a, b}).result, 1);
        EXPECT_EQ(read_bytes(out), listing) << (before == nullptr ? "none" : before);
    }
}

TEST_F(OptionScan, OutputPathIsKeptAcrossRuns) {
    ASSERT_EQ(run_engine({"-o", out, a, b}).result, 1);
    std::remove(out.c_str());
    EXPECT_EQ(run_engine({"-s", a, a}).result, 0);
    EXPECT_EQ(read_bytes(out), on_disk("Files " + a + " and " + a + " are identical\n"));
}

TEST_F(OptionScan, LongOutputPathIsStoredWhole) {
    const std::string long_out = dir.file(std::string(100, 'x') + ".lst");
    ASSERT_GT(long_out.size(), 80u);
    EXPECT_EQ(run_engine({"-o", long_out, a, b}).result, 1);
    EXPECT_TRUE(exists(long_out));
}

TEST_F(OptionScan, RejectedOptionsAreUsageErrors) {
    for (const auto& bad : std::vector<std::vector<std::string>>{
             {"-c", a, b}, {"-I", "x", a, b}, {"--in", "pat", a, b}, {"-o"}, {"-q", a, b}}) {
        const EngineRun run = run_engine(bad);
        EXPECT_EQ(run.result, -1) << bad[0];
        EXPECT_EQ(run.messages, (std::vector<ReportedMessage>{error_box("Error #2")})) << bad[0];
    }
}

TEST_F(OptionScan, LongOptionPrefixes) {
    // "te" is the only name starting with t: -a.
    EXPECT_EQ(run_engine({"--t", "-o", out, a, b}).result, 1);
    // "i" starts six names.
    const EngineRun run = run_engine({"--i", "-o", out, a, b});
    EXPECT_EQ(run.result, -1);
    EXPECT_EQ(run.messages,
              (std::vector<ReportedMessage>{error_box("Error #1\n"), error_box("Error #2")}));
    // "--ia" is the whole name of -w.
    EXPECT_EQ(run_engine({"--ia", "-o", out, a, b}).result, 0);
    EXPECT_EQ(run_engine({"--ou", out, "--ia", a, b}).result, 0);
}

TEST_F(OptionScan, OperandCount) {
    EXPECT_EQ(run_engine({a, "-s", "-o", out, b}).result, 1);
    EXPECT_EQ(run_engine({"-o", out, a}).result, -1);
    EXPECT_EQ(run_engine({"-o", out, a, b, b}).result, -1);
    EXPECT_EQ(run_engine({"-o", out, a, "--", b}).result, 1);
}

TEST_F(OptionScan, EqualFilesWriteTheIdenticalLineOrTruncate) {
    EngineRun run = run_engine({"-s", "-o", out, a, a});
    EXPECT_EQ(run.result, 0);
    EXPECT_EQ(read_bytes(out), on_disk("Files " + a + " and " + a + " are identical\n"));
    dir.write("out.lst", "old listing\n");
    run = run_engine({"-o", out, a, a});
    EXPECT_EQ(run.result, 0);
    EXPECT_TRUE(exists(out));
    EXPECT_EQ(read_bytes(out), "");
}

TEST_F(OptionScan, MissingOperand) {
    const std::string missing = dir.file("missing.txt");
    const EngineRun run = run_engine({"-o", out, missing, b});
    EXPECT_EQ(run.result, 2);
    EXPECT_EQ(run.messages, (std::vector<ReportedMessage>{error_box("Error in file " + missing)}));
}

TEST_F(OptionScan, FileAgainstDirectoryUsesTheBaseName) {
    TempDir d;
    d.write("a.txt", "one\ntwo  words\nthree\n");
    EXPECT_EQ(run_engine({"-s", "-o", out, a, d.path()}).result, 0);
    EXPECT_EQ(read_bytes(out),
              on_disk("Files " + a + " and " + d.path() + "/a.txt are identical\n"));

    TempDir d2;
    std::filesystem::create_directory(d2.file("a.txt"));
    EXPECT_EQ(run_engine({"-o", out, a, d2.path()}).result, 1);
}

TEST_F(OptionScan, UnopenableOutputFailsThePairAndWritesNothing) {
    const std::string bad_out = dir.file("no-such-dir") + "/out.lst";
    EngineRun run = run_engine({"-o", bad_out, a, b});
    EXPECT_EQ(run.result, 2);
    EXPECT_EQ(run.messages, (std::vector<ReportedMessage>{error_box("Can't open output file")}));
    // Equal files need the output file too (to create or truncate it).
    run = run_engine({"-o", bad_out, a, a});
    EXPECT_EQ(run.result, 2);
    EXPECT_EQ(run.messages, (std::vector<ReportedMessage>{error_box("Can't open output file")}));
}

}  // namespace
