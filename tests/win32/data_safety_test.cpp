// The real program keeps every byte: UTF-16 files stay UTF-16, long lines stay whole,
// a read-only or input file is never replaced, and odd inputs and settings are told
// about instead of passing unseen.
#include <gtest/gtest.h>

#include <string>

#include "merge/document.h"
#include "resources/command_ids.h"
#include "tests/support/temp_dir.h"
#include "tests/win32/driver.h"
#include "ui/settings.h"
#include "ui/win32/ui_state.h"

namespace {

using Seen = std::vector<SeenDialog>;

class DataSafety : public ::testing::Test {
protected:
    void SetUp() override { reset_program_state(); }
    void TearDown() override { reset_program_state(); }

    void run(const std::string& command_line) {
        driver.run(command_line.c_str());
        EXPECT_FALSE(driver.timed_out()) << "script stopped at a step that never completed";
        EXPECT_TRUE(driver.finished());
    }
    // Compare, choose a side, Write through the save dialog (answered from the script),
    // quit.
    void merge_into(int choice, const std::string& left, const std::string& right) {
        driver.steps = {ProgramDriver::wait_until([] { return merge_document.not_compared == 0; }),
                        ProgramDriver::post(choice), ProgramDriver::post(CMD_WRITE),
                        ProgramDriver::wait_until([this] { return driver.answers.empty(); }),
                        ProgramDriver::post(CMD_QUIT)};
        run("-f1 \"" + left + "\" -f2 \"" + right + "\"");
    }

    TempDir dir;
    ProgramDriver driver;
};

std::string utf16le(const std::string& ascii) {
    std::string out = "\xFF\xFE";
    for (char c : ascii) {
        out += c;
        out += '\0';
    }
    return out;
}

TEST_F(DataSafety, Utf16PairMergesIntoUtf16WithItsMark) {
    const std::string left = dir.write("l.txt", utf16le("one\r\ntwo\r\nthree\r\n"));
    const std::string right = dir.write("r.txt", utf16le("one\r\n2\r\nthree\r\n"));
    const std::string out = dir.file("merged.txt");
    driver.answers = {{IDOK, out}};
    merge_into(CMD_FROM_RIGHT, left, right);
    EXPECT_EQ(driver.seen.size(), 1u);  // the save dialog, nothing else
    EXPECT_EQ(read_bytes(out), utf16le("one\r\n2\r\nthree\r\n"));
}

TEST_F(DataSafety, LongLineSurvivesAWrite) {
    const std::string long_line(20000, 'q');
    const std::string left = dir.write("l.txt", long_line + "\nold\n");
    const std::string right = dir.write("r.txt", long_line + "\nnew\n");
    const std::string out = dir.file("merged.txt");
    driver.answers = {{IDOK, out}};
    merge_into(CMD_FROM_LEFT, left, right);
    EXPECT_TRUE(read_bytes(out) == long_line + "\r\nold\r\n");
}

TEST_F(DataSafety, ReadOnlyTargetIsRefusedAndLeftUnchanged) {
    const std::string left = dir.write("l.txt", "a\nb\n");
    const std::string right = dir.write("r.txt", "a\nc\n");
    const std::string out = dir.write("ro.txt", "keep me\n");
    SetFileAttributesA(out.c_str(), FILE_ATTRIBUTE_READONLY);
    driver.answers = {{IDOK, out}, {IDOK, {}}};
    merge_into(CMD_FROM_RIGHT, left, right);
    SetFileAttributesA(out.c_str(), FILE_ATTRIBUTE_NORMAL);
    ASSERT_EQ(driver.seen.size(), 2u);
    EXPECT_EQ(driver.seen[1],
              (SeenDialog{"Error", "Cannot write to " + out + ": it is read-only"}));
    EXPECT_EQ(read_bytes(out), "keep me\n");
    EXPECT_FALSE(exists(dir.file("ro.bak")));
}

TEST_F(DataSafety, IdenticalFilesWrittenOntoTheLeftUnderAnotherSpellingChangeNothing) {
    const std::string left = dir.write("same.txt", "x\ny\n");
    const std::string right = dir.write("other.txt", "x\r\ny\r\n");
    std::string spelled = dir.path() + "\\.\\SAME.TXT";
    driver.answers = {{IDOK, {}}, {IDOK, spelled}};
    driver.steps = {ProgramDriver::wait_until([this] { return driver.seen.size() == 1; }),
                    ProgramDriver::post(CMD_WRITE),
                    ProgramDriver::wait_until([this] { return driver.answers.empty(); }),
                    ProgramDriver::post(CMD_QUIT)};
    run("-f1 \"" + left + "\" -f2 \"" + right + "\"");
    ASSERT_EQ(driver.seen.size(), 2u);  // "Files are identical", the save dialog
    EXPECT_EQ(driver.seen[0], (SeenDialog{"Info", "Files are identical"}));
    EXPECT_EQ(read_bytes(left), "x\ny\n");
    EXPECT_FALSE(exists(dir.file("same.bak")));
}

TEST_F(DataSafety, ContentTextModeDropsIsWarnedAboutOnLoad) {
    const std::string left = dir.write("z.txt",
                                       "a\n\x1a"
                                       "hidden\n");
    driver.answers = {{IDOK, {}}};
    driver.steps = {ProgramDriver::wait_until([this] { return !driver.seen.empty(); }),
                    ProgramDriver::post(CMD_QUIT)};
    run("-f1 \"" + left + "\"");
    EXPECT_EQ(
        driver.seen,
        (Seen{{"Warning", "The data after the Ctrl-Z character in " + left + " is ignored"}}));
}

TEST_F(DataSafety, MissingCommandLineFileIsReportedAndTheProgramGoesOn) {
    const std::string missing = dir.file("missing.txt");
    driver.answers = {{IDOK, {}}};
    driver.steps = {ProgramDriver::wait_until([this] { return !driver.seen.empty(); }),
                    ProgramDriver::check([] { EXPECT_TRUE(IsWindow(ui_state.main_window)); }),
                    ProgramDriver::post(CMD_QUIT)};
    run("-f1 \"" + missing + "\"");
    EXPECT_EQ(driver.seen, (Seen{{"Error", "Unable to open file " + missing}}));
}

TEST_F(DataSafety, OutOfRangeFontSettingsAreCorrectedAndWrittenBack) {
    ini_set("Font", "Point size", "2147483647");
    ini_set("Font", "Weight", "-99999");
    ini_set("Font", "Italic", "300");
    driver.steps = {ProgramDriver::check([] {
                        EXPECT_EQ(settings.text_font.height, -12);
                        EXPECT_EQ(settings.text_font.weight, 400);
                        EXPECT_EQ(settings.text_font.italic, 0);
                    }),
                    ProgramDriver::post(CMD_QUIT)};
    run("");
    EXPECT_EQ(ini_get("Font", "Point size"), "-12");
    EXPECT_EQ(ini_get("Font", "Weight"), "400");
    EXPECT_EQ(ini_get("Font", "Italic"), "0");
}

}  // namespace
