// The exit status that tells a calling tool whether the merge reached "outf".
#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <string>

#include "common/file_identity.h"
#include "common/paths.h"
#include "tests/support/temp_dir.h"
#include "tests/ui/fake_ui.h"
#include "ui/command_line.h"
#include "ui/exit_status.h"
#include "ui/settings.h"
#include "ui/startup.h"

namespace {

class ExitStatus : public ::testing::Test {
protected:
    void SetUp() override { reset_fake_ui(); }
    void start(const std::string& command_line) {
        ASSERT_EQ(parse_command_line(command_line.c_str()), 0);
        start_exit_status();
    }
    TempDir dir;
};

TEST_F(ExitStatus, WithOutfOnlyAWriteToThatFileMakesItZero) {
    start("");
    note_written_path(dir.file("anything.txt").c_str());
    EXPECT_EQ(exit_status(), 0);  // without "outf" whatever happens
    const std::string out = dir.write("Merged.txt", "x\n");
    start("-outf \"" + out + "\"");
    EXPECT_EQ(exit_status(), 1);
    note_written_path(dir.write("other.txt", "x\n").c_str());
    EXPECT_EQ(exit_status(), 1);
    note_written_path(out.c_str());
    EXPECT_EQ(exit_status(), 0);
    // A new run forgets the last one's write.
    start("-outf \"" + out + "\"");
    EXPECT_EQ(exit_status(), 1);
}

TEST_F(ExitStatus, InConflictModeOnlyAWriteToTheConflictFileMakesItZero) {
    const std::string file = dir.write("notes.txt", "x\n");
    const std::filesystem::path saved = std::filesystem::current_path();
    std::filesystem::current_path(dir.path());
    start("-merge notes.txt -outd elsewhere");  // git names it relative to the work tree
    std::filesystem::current_path(saved);
    EXPECT_EQ(exit_status(), 1);
    note_written_path(dir.file("notes.bak").c_str());
    EXPECT_EQ(exit_status(), 1);
    note_written_path(file.c_str());
    EXPECT_EQ(exit_status(), 0);
}

TEST_F(ExitStatus, TheSameFileIsRecognisedUnderAnotherSpelling) {
    const std::string out = dir.write("merged.txt", "x\n");
    const std::filesystem::path saved = std::filesystem::current_path();
    std::filesystem::current_path(dir.path());
    start("-outf merged.txt");             // relative to the directory at start-up
    std::filesystem::current_path(saved);  // a file dialog may move it
    note_written_path((dir.path() + "/./sub/../merged.txt").c_str());
    EXPECT_EQ(exit_status(), 0);
    EXPECT_TRUE(same_file(out.c_str(), (dir.path() + "//merged.txt").c_str()));
    EXPECT_FALSE(same_file(out.c_str(), dir.file("merged.txt.bak").c_str()));
    EXPECT_FALSE(same_file(out.c_str(), ""));
}

TEST_F(ExitStatus, ARelativeOutfLiesInOutdOrTheStartDirectory) {
    const std::string here = std::filesystem::current_path().string();
    const std::string sep(1, PATH_SEPARATOR);
    EXPECT_EQ(output_file_path("m.txt", std::nullopt), here + sep + "m.txt");
    EXPECT_EQ(output_file_path("sub/../m.txt", dir.path()), dir.file("m.txt"));
    EXPECT_EQ(output_file_path(dir.file("abs.txt"), std::string("elsewhere")), dir.file("abs.txt"));
    // The save dialog offers that file, wherever the last save went.
    fake_ini_set("Files", "Out dir", dir.file("last"));
    ASSERT_EQ(parse_command_line(("-outf m.txt -outd \"" + dir.path() + "\"").c_str()), 0);
    ASSERT_EQ(start_application(), 0);
    EXPECT_EQ(std::string(settings.output_file), dir.file("m.txt"));
    // Too long for the dialog's buffer: left as given, never cut.
    reset_fake_ui();
    ASSERT_EQ(parse_command_line(("-outf m.txt -outd " + std::string(250, 'd')).c_str()), 0);
    ASSERT_EQ(start_application(), 0);
    EXPECT_STREQ(settings.output_file, "m.txt");
}

}  // namespace
