#include "common/native_file.h"

#include <fcntl.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <system_error>

#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

#include "common/textio.h"
#include "tests/support/temp_dir.h"

#ifndef O_BINARY
#define O_BINARY 0
#endif

namespace {

// Names in accented Latin, Cyrillic, Greek and Japanese (UTF-8).
const char* const NAMES[] = {
    "na\xC3\xAFve \xD0\x9F\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82.txt",
    "\xCE\x95\xCE\xBB\xCE\xBB\xCE\xB7\xCE\xBD\xCE\xB9\xCE\xBA\xCE\xAC.txt",
    "\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E.txt",
};

// Through every call of the layer, a name in any script reaches one file, and the
// directory listing gives the same name back.
TEST(NativeFile, NamesInAnyScriptOpenStatAndList) {
    TempDir dir;
    const std::string folder = dir.path() + "/" + "\xD0\x9F\xD0\xB0\xD0\xBF\xD0\xBA\xD0\xB0";
    std::error_code ec;
    ASSERT_TRUE(std::filesystem::create_directory(native_path(folder), ec)) << ec.message();
    NativeStat st;
    ASSERT_TRUE(native_stat(folder.c_str(), st));
    EXPECT_TRUE(st.is_dir);
    for (const char* name : NAMES) {
        const std::string path = folder + "/" + name;
        FILE* f = native_fopen(path.c_str(), "wb");
        ASSERT_NE(f, nullptr) << name;
        std::fputs(name, f);
        std::fclose(f);

        ASSERT_TRUE(native_stat(path.c_str(), st)) << name;
        EXPECT_TRUE(st.is_regular);
        EXPECT_EQ(st.size, std::string(name).size());
        std::string text;
        ASSERT_EQ(read_text_file(path.c_str(), text), 0);
        EXPECT_EQ(text, name);
        const int fd = native_open(path.c_str(), O_RDONLY | O_BINARY);
        ASSERT_GE(fd, 0);
        char first = 0;
        EXPECT_EQ(::read(fd, &first, 1), 1);
        EXPECT_EQ(first, name[0]);
        ::close(fd);
        EXPECT_TRUE(std::filesystem::exists(native_path(path)));
    }
    int listed = 0;
    for (const auto& entry : std::filesystem::directory_iterator(native_path(folder))) {
        const std::string name = utf8_of_path(entry.path().filename());
        EXPECT_TRUE(name == NAMES[0] || name == NAMES[1] || name == NAMES[2]) << name;
        ++listed;
    }
    EXPECT_EQ(listed, 3);
    EXPECT_EQ(utf8_of_path(native_path(folder)), folder);
}

TEST(NativeFile, MissingNamesFailWithoutHarm) {
    TempDir dir;
    const std::string missing = dir.path() + "/" + NAMES[2];
    NativeStat st;
    EXPECT_FALSE(native_stat(missing.c_str(), st));
    EXPECT_EQ(native_fopen(missing.c_str(), "rb"), nullptr);
    EXPECT_LT(native_open(missing.c_str(), O_RDONLY), 0);
}

#ifdef _WIN32
// On Windows a name that is not UTF-8 has no spelling: it must reach no file at all,
// not one the conversion made up.
TEST(NativeFile, NameThatIsNotUtf8OpensNothing) {
    TempDir dir;
    const std::string bad = dir.path() + "\\caf\xE9.txt";
    EXPECT_EQ(native_fopen(bad.c_str(), "wb"), nullptr);
    EXPECT_TRUE(native_path(bad).empty());
    NativeStat st;
    EXPECT_FALSE(native_stat(bad.c_str(), st));
}
#endif

TEST(NativeFile, EnvironmentValuesComeAsUtf8) {
    std::string value;
    EXPECT_FALSE(native_getenv("PAIREX_SURELY_NOT_SET_1234", value));
    ASSERT_TRUE(native_getenv("PATH", value));
    EXPECT_FALSE(value.empty());
}

}  // namespace
