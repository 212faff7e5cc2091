// Where the settings live: %APPDATA%\Pairex\pairex.ini, started once from the file an
// older Pairex kept in the Windows folder, which stays as it was; and a write that
// fails, reported once per run with the file's name.
#include <gtest/gtest.h>

#include <string>

#include "resources/command_ids.h"
#include "tests/support/temp_dir.h"
#include "tests/win32/driver.h"
#include "ui/win32/wide.h"

namespace {

class SettingsPlace : public ::testing::Test {
protected:
    void SetUp() override { reset_program_state(); }
    void TearDown() override {
        RemoveDirectoryW(wide(settings_file_path()).c_str());
        reset_program_state();
    }

    // Starts the program without files and quits it; the settings are saved at quit.
    void run_once() {
        ProgramDriver driver;
        driver.steps = {ProgramDriver::post(CMD_QUIT)};
        driver.answers = {{IDOK, ""}};
        driver.run("");
        EXPECT_TRUE(driver.finished());
        seen = driver.seen;
    }

    std::vector<SeenDialog> seen;
};

TEST_F(SettingsPlace, OlderFileStartsTheUsersOwnOnceAndStaysUntouched) {
    const std::string old_file = old_settings_file_path();
    const std::string old_bytes = "[Options]\r\nTab size=5\r\n[Font]\r\nFont name=Courier\r\n";
    TempDir::write_at(old_file, old_bytes);
    DeleteFileW(wide(settings_file_path()).c_str());
    RemoveDirectoryW(wide(settings_folder_path()).c_str());  // made by the program

    run_once();
    EXPECT_TRUE(seen.empty());
    EXPECT_EQ(ini_get("Options", "Tab size"), "5");
    EXPECT_EQ(ini_get("Font", "Font name"), "Courier");
    EXPECT_EQ(ini_get("Options", "Theme"), "0") << "the quit's writes reach the new file";
    EXPECT_EQ(read_bytes(old_file), old_bytes);

    // Read once: a later change of the older file is not taken.
    TempDir::write_at(old_file, "[Options]\r\nTab size=3\r\n");
    run_once();
    EXPECT_EQ(ini_get("Options", "Tab size"), "5");
    EXPECT_EQ(read_bytes(old_file), "[Options]\r\nTab size=3\r\n");
    DeleteFileA(old_file.c_str());
}

TEST_F(SettingsPlace, FailedWriteIsReportedOncePerRunNamingTheFile) {
    // A folder in the file's place: every write fails.
    ASSERT_TRUE(CreateDirectoryW(wide(settings_file_path()).c_str(), nullptr));
    run_once();
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].caption, "Warning");
    EXPECT_NE(seen[0].text.find(settings_file_path() + " cannot be written"), std::string::npos)
        << seen[0].text;
}

}  // namespace
