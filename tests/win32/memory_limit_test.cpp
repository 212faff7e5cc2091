// The program under a real limit on its memory: a file larger than the process may
// have is refused with "Not enough memory", and the pair already loaded stays in use.
// ctest runs this program under a limit on its address space (see CMakeLists.txt);
// without one it says so and is skipped.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "merge/document.h"
#include "resources/command_ids.h"
#include "tests/support/temp_dir.h"
#include "tests/win32/driver.h"
#include "ui/win32/ui_state.h"

namespace {

constexpr unsigned long long TOO_BIG = 3ULL << 30;  // 3 GB

// A file of `size` bytes that takes no room on disk (the host's file system keeps it
// sparse).
bool make_sparse_file(const std::string& path, unsigned long long size) {
    HANDLE f = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (f == INVALID_HANDLE_VALUE) {
        return false;
    }
    LARGE_INTEGER end;
    end.QuadPart = static_cast<LONGLONG>(size);
    const bool ok = SetFilePointerEx(f, end, nullptr, FILE_BEGIN) && SetEndOfFile(f);
    CloseHandle(f);
    return ok;
}

bool limited() {
    void* probe = VirtualAlloc(nullptr, static_cast<SIZE_T>(TOO_BIG), MEM_RESERVE | MEM_COMMIT,
                               PAGE_READWRITE);
    if (probe == nullptr) {
        return true;
    }
    VirtualFree(probe, 0, MEM_RELEASE);
    return false;
}

TEST(MemoryLimit, TooLargeAFileLeavesThePairInUse) {
    if (!limited()) {
        // ctest sets the limit and says so; run by hand without one, there is nothing to see.
        ASSERT_EQ(std::getenv("PAIREX_MEMORY_LIMITED"), nullptr)
            << "3 GB could be had under the limit that ctest sets";
        GTEST_SKIP() << "3 GB could be had: this run has no memory limit";
    }
    reset_program_state();
    TempDir dir;
    const std::string left = dir.write("left.txt", "one\ntwo\nthree\n");
    const std::string right = dir.write("right.txt", "one\n2\nthree\nfour\n");
    const std::string huge = dir.file("huge.txt");
    ASSERT_TRUE(make_sparse_file(huge, TOO_BIG));

    ProgramDriver driver;
    int rows = 0;
    auto compared = [] { return merge_document.not_compared == 0; };
    driver.steps = {
        ProgramDriver::wait_until(compared),
        ProgramDriver::check([&] { rows = merge_document.total_rows; }),
        // File 2 picks the huge file: the box says why, and nothing changes.
        ProgramDriver::post(CMD_FILE2),
        ProgramDriver::wait_until([&] { return driver.seen.size() == 2; }),
        ProgramDriver::check([&] {
            EXPECT_STREQ(merge_document.right.path, right.c_str());
            EXPECT_EQ(merge_document.right.line_count, 4);
            EXPECT_EQ(merge_document.left.line_count, 3);
        }),
        // Still usable: the pair compares again and the blocks can be walked.
        ProgramDriver::post(CMD_COMPARE_FILES),
        ProgramDriver::wait_until(compared),
        ProgramDriver::post(CMD_LAST),
        ProgramDriver::check([&] {
            EXPECT_EQ(merge_document.total_rows, rows);
            EXPECT_GT(merge_document.top_row, 0);
        }),
        ProgramDriver::post(CMD_QUIT),
    };
    driver.answers = {{IDOK, huge}, {IDOK, {}}};
    driver.run(("-f1 \"" + left + "\" -f2 \"" + right + "\"").c_str());
    EXPECT_FALSE(driver.timed_out());
    EXPECT_TRUE(driver.finished());
    ASSERT_EQ(driver.seen.size(), 2u);
    EXPECT_EQ(driver.seen[0].caption, "Open file 2");
    EXPECT_EQ(driver.seen[1], (SeenDialog{"Error", "Not enough memory"}));
    reset_program_state();
}

}  // namespace
