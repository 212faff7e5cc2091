// The real program keeps every byte: UTF-16 files stay UTF-16, long lines stay whole,
// a read-only or input file is never replaced, and odd inputs and settings are told
// about instead of passing unseen.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <set>
#include <string>

#include "common/native_file.h"
#include "merge/document.h"
#include "merge/merge_platform.h"
#include "resources/command_ids.h"
#include "tests/support/temp_dir.h"
#include "tests/win32/capture.h"
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

// A file new on one side could not be merged at all: nothing was compared and Write
// said the files were not compared. Its side now shows filler rows against the other
// file's lines, and either side can be chosen, the empty one giving an empty file.
TEST_F(DataSafety, AnEmptyFileOnEitherSideIsMerged) {
    const std::string empty = dir.write("empty.txt", "");
    const std::string full = dir.write("full.txt", "a\nb\n");
    // The save dialog, opened in the directory it last saved to, makes it the current
    // one: later tests write their pictures into the current directory.
    const std::filesystem::path start_directory = std::filesystem::current_path();
    for (const bool empty_left : {true, false}) {
        SCOPED_TRACE(empty_left ? "empty left" : "empty right");
        for (const int choice : {CMD_FROM_LEFT, CMD_FROM_RIGHT}) {
            reset_program_state();
            driver = ProgramDriver{};
            const std::string out = dir.file("out.txt");
            std::remove(out.c_str());
            const bool chose_empty = (choice == CMD_FROM_LEFT) == empty_left;
            const HWND* empty_pane = empty_left ? &ui_state.left_pane : &ui_state.right_pane;
            driver.answers = {{IDOK, out}};
            driver.steps = {
                ProgramDriver::wait_until([] { return merge_document.not_compared == 0; }),
                ProgramDriver::check([&] {
                    EXPECT_EQ(merge_document.total_rows, 2);
                    EXPECT_EQ(row_fill(Capture(*empty_pane), 0), YELLOW);
                    EXPECT_EQ(row_fill(Capture(*empty_pane), 1), YELLOW);
                }),
                ProgramDriver::post(choice),
                ProgramDriver::check([&] {
                    EXPECT_EQ(row_fill(Capture(*empty_pane), 0), chose_empty ? CYAN : YELLOW);
                }),
                ProgramDriver::post(CMD_WRITE),
                ProgramDriver::wait_until([this] { return driver.answers.empty(); }),
                ProgramDriver::post(CMD_QUIT)};
            run("-f1 \"" + (empty_left ? empty : full) + "\" -f2 \"" + (empty_left ? full : empty) +
                "\"");
            EXPECT_EQ(driver.seen.size(), 1u);  // the save dialog, nothing else
            ASSERT_TRUE(exists(out));
            EXPECT_EQ(read_bytes(out), chose_empty ? "" : "a\r\nb\r\n");
        }
    }
    std::filesystem::current_path(start_directory);
}

// A read-only old backup was moved aside to a "~px" name and left there for good.
TEST_F(DataSafety, AReadOnlyOldBackupRefusesTheWriteAndStays) {
    const std::string left = dir.write("l.txt", "a\nb\n");
    const std::string right = dir.write("r.txt", "a\nc\n");
    const std::string out = dir.write("out.txt", "old out\n");
    const std::string bak = dir.write("out.bak", "old backup\n");
    SetFileAttributesA(bak.c_str(), FILE_ATTRIBUTE_READONLY);
    driver.answers = {{IDOK, out}, {IDYES, {}}, {IDOK, {}}, {IDOK, {}}};
    merge_into(CMD_FROM_RIGHT, left, right);
    const DWORD attributes = GetFileAttributesA(bak.c_str());
    SetFileAttributesA(bak.c_str(), FILE_ATTRIBUTE_NORMAL);
    ASSERT_EQ(driver.seen.size(), 4u);
    EXPECT_EQ(driver.seen[2], (SeenDialog{"Warning", "Unable to create backup file"}));
    EXPECT_EQ(driver.seen[3], (SeenDialog{"Error", "Unable to merge files"}));
    EXPECT_EQ(read_bytes(out), "old out\n");
    EXPECT_EQ(read_bytes(bak), "old backup\n");
    EXPECT_NE(attributes & FILE_ATTRIBUTE_READONLY, 0u);
    for (const auto& entry : std::filesystem::directory_iterator(dir.path())) {
        EXPECT_NE(entry.path().filename().string().substr(0, 3), "~px");
    }
}

// Writing to an input under its short name renamed the input to the short name's
// backup and left the merge under the short name: the long name was gone.
TEST_F(DataSafety, AWriteUnderTheShortNameKeepsTheLongName) {
    const std::string left = dir.write("leftinputfile.txt", "a\nb\n");
    const std::string right = dir.write("rightinputfile.txt", "a\nc\n");
    wchar_t wide_long[MAX_PATH] = {};
    wchar_t wide_short[MAX_PATH] = {};
    MultiByteToWideChar(CP_UTF8, 0, right.c_str(), -1, wide_long, MAX_PATH);
    ASSERT_GT(GetShortPathNameW(wide_long, wide_short, MAX_PATH), 0u);
    char short_name[MAX_PATH] = {};
    WideCharToMultiByte(CP_UTF8, 0, wide_short, -1, short_name, MAX_PATH, nullptr, nullptr);
    ASSERT_STRNE(short_name, right.c_str());  // the file system gave it a short name
    driver.answers = {{IDOK, short_name}, {IDYES, {}}};
    merge_into(CMD_FROM_LEFT, left, right);
    ASSERT_EQ(driver.seen.size(), 2u);
    EXPECT_EQ(driver.seen[1], (SeenDialog{"Confirm the operation",
                                          "File " + right + " already exists.\nSave anyway ?"}));
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(dir.path())) {
        names.insert(entry.path().filename().string());
    }
    EXPECT_EQ(names, (std::set<std::string>{"leftinputfile.txt", "rightinputfile.bak",
                                            "rightinputfile.txt"}));
    EXPECT_EQ(read_bytes(right), "a\r\nb\r\n");
    EXPECT_EQ(read_bytes(dir.file("rightinputfile.bak")), "a\nc\n");
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

// Conflict mode replaces the file without a backup: a change another program made
// after the load is asked about, and No keeps it.
TEST_F(DataSafety, AConflictFileChangedSinceTheLoadIsAskedAboutAndNoKeepsIt) {
    const std::string path =
        dir.write("c.txt", "a\n<<<<<<< HEAD\nb\n=======\nc\n>>>>>>> topic\nz\n");
    const std::string changed = "changed by another program\n";
    driver.answers = {{IDNO, {}}};
    driver.steps = {ProgramDriver::wait_until([] { return merge_document.not_compared == 0; }),
                    ProgramDriver::check([&] { dir.write("c.txt", changed); }),
                    ProgramDriver::post(CMD_FROM_RIGHT),
                    ProgramDriver::post(CMD_WRITE),
                    ProgramDriver::wait_until([this] { return driver.answers.empty(); }),
                    ProgramDriver::post(CMD_QUIT)};
    run("-merge \"" + path + "\"");
    EXPECT_EQ(driver.seen,
              (Seen{{"Confirm the operation",
                     "File " + path + " changed on disk since it was loaded.\nWrite anyway ?"}}));
    EXPECT_EQ(read_bytes(path), changed);
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

// A copy's check of its source: the open file's stamp tells a rewrite of the same size
// a moment later, which the runtime's whole seconds would mostly miss.
TEST(StreamStamp, TellsARewriteOfTheSameSizeAMomentLater) {
    const TempDir dir;
    const std::string path = dir.write("s.txt", "0123456789");
    std::FILE* in = native_fopen(path.c_str(), "rb");
    ASSERT_NE(in, nullptr);
    const FileStamp before = platform_stream_stamp(in);
    EXPECT_TRUE(before.exists);
    EXPECT_EQ(before.size, 10u);
    EXPECT_EQ(platform_stream_stamp(in), before);
    Sleep(20);
    std::ofstream(native_path(path), std::ios::binary) << "9876543210";
    const FileStamp after = platform_stream_stamp(in);
    std::fclose(in);
    EXPECT_EQ(after.size, 10u);
    EXPECT_NE(after.write_time, before.write_time);
}

}  // namespace
