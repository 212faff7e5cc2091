#include <gtest/gtest.h>

#include <filesystem>

#include "common/paths.h"

#include "tests/engine/engine_run.h"

namespace fs = std::filesystem;

namespace {

class DirCompare : public ::testing::Test {
protected:
    TempDir root;
    std::string a = make("a");
    std::string b = make("b");
    std::string out = root.file("out.lst");

    std::string make(const std::string& name) {
        const std::string p = root.file(name);
        fs::create_directory(p);
        return p;
    }
    void put(const std::string& dir, const std::string& name, const std::string& text) {
        TempDir::write_at(join_dir_file(dir, name), text);
    }
    EngineRun run(std::vector<std::string> options = {}) {
        std::remove(out.c_str());
        options.insert(options.end(), {"-o", out, a, b});
        return run_engine(options);
    }
};

TEST_F(DirCompare, EmptyDirectoriesAreEqualAndWriteNothing) {
    EXPECT_EQ(run().result, 0);
    fs::create_directory(a + "/sub");
    fs::create_directory(b + "/sub");
    const EngineRun r = run();
    EXPECT_EQ(r.result, 0);
    EXPECT_FALSE(exists(out));
    EXPECT_TRUE(r.messages.empty());
}

TEST_F(DirCompare, OneSidedEntriesDifferAndPairsAreCompared) {
    put(a, "x", "x\n");
    put(a, "y", "same\n");
    put(b, "y", "same\n");
    put(b, "z", "z\n");
    EXPECT_EQ(run().result, 1);
    // The last pair that opened the output file was y: equal, so the file is empty
    // (or holds its identical line).
    EXPECT_EQ(read_bytes(out), "");
    EXPECT_EQ(run({"-s"}).result, 1);
    EXPECT_NE(read_bytes(out).find("are identical"), std::string::npos);
}

TEST_F(DirCompare, NamesDifferingInCaseAreNotPaired) {
    put(a, "Name", "1\n");
    put(b, "name", "1\n");
    EXPECT_EQ(run().result, 1);
    EXPECT_EQ(run({"-N"}).result, 1);  // each compared against an empty file
}

TEST_F(DirCompare, AbsentSidesUnderNAndP) {
    put(a, "only-first", "1\n");
    EXPECT_EQ(run({"-P"}).result, 1);
    EXPECT_FALSE(exists(out));  // one-sided: nothing compared
    fs::remove(a + "/only-first");
    put(b, "only-second", "1\n2\n");
    EXPECT_EQ(run({"-P"}).result, 1);
    EXPECT_EQ(read_bytes(out), on_disk("0a1,2\n> 1\n> 2\n"));
}

TEST_F(DirCompare, SubdirectoriesOnlyWithR) {
    fs::create_directory(a + "/sub");
    fs::create_directory(b + "/sub");
    put(a + "/sub", "f", "one\n");
    put(b + "/sub", "f", "two\n");
    EXPECT_EQ(run().result, 0);
    EXPECT_EQ(run({"-r"}).result, 1);
    EXPECT_EQ(read_bytes(out), on_disk("1c1\n< one\n---\n> two\n"));
}

TEST_F(DirCompare, OneSidedSubdirectoryWalkedUnderRAndN) {
    fs::create_directory(a + "/deep");
    put(a + "/deep", "f", "l1\nl2\n");
    EXPECT_EQ(run({"-r"}).result, 1);
    EXPECT_FALSE(exists(out));
    EXPECT_EQ(run({"-r", "-N"}).result, 1);
    EXPECT_EQ(read_bytes(out), on_disk("1,2d0\n< l1\n< l2\n"));
}

TEST_F(DirCompare, DirectoryAgainstFileEntry) {
    fs::create_directory(a + "/e");
    put(b, "e", "text\n");
    EXPECT_EQ(run().result, 1);
}

TEST_F(DirCompare, DirectoryOperandsMayEndInASeparator) {
    put(a, "f", "one\n");
    put(b, "f", "two\n");
    EXPECT_EQ(run_engine({"-o", out, a + PATH_SEPARATOR, b + PATH_SEPARATOR}).result, 1);
    EXPECT_EQ(read_bytes(out), on_disk("1c1\n< one\n---\n> two\n"));
}

TEST_F(DirCompare, UnopenableOutputIsReportedOncePerPair) {
    put(a, "x", "one\n");
    put(b, "x", "two\n");
    put(a, "y", "same\n");
    put(b, "y", "same\n");
    const EngineRun r = run_engine({"-o", root.file("missing-dir") + "/out", a, b});
    EXPECT_EQ(r.result, 2);
    EXPECT_EQ(r.messages, (std::vector<ReportedMessage>{error_box("Can't open output file"),
                                                        error_box("Can't open output file")}));
}

TEST_F(DirCompare, UnlistableDirectoryIsTrouble) {
    const std::string missing = root.file("missing");
    const EngineRun r = run_engine({"-o", out, a, missing});
    EXPECT_EQ(r.result, 2);
    EXPECT_EQ(r.messages, (std::vector<ReportedMessage>{error_box("Error in file " + missing)}));
}

}  // namespace
