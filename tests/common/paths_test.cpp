#include "common/paths.h"

#include <gtest/gtest.h>

#include <cstring>

TEST(Paths, CompareWithoutRegardToCase) {
    EXPECT_TRUE(paths_equal("C:\\Dir\\File.TXT", "c:\\dir\\file.txt"));
    EXPECT_FALSE(paths_equal("a.txt", "a.txt2"));
    EXPECT_FALSE(paths_equal("a", "b"));
    // Only ASCII letters fold: other bytes compare exactly.
    EXPECT_FALSE(paths_equal("\xc4", "\xe4"));
}

TEST(Paths, JoinAddsOneSeparator) {
    const std::string sep(1, PATH_SEPARATOR);
    EXPECT_EQ(join_dir_file("d", "f"), "d" + sep + "f");
    EXPECT_EQ(join_dir_file("d/", "f"), "d/f");
    EXPECT_EQ(join_dir_file("", "f"), "f");
}

TEST(Paths, SplitKeepsEveryCharacter) {
    const std::string sep(1, PATH_SEPARATOR);
    const std::string path = "dir" + sep + "sub" + sep + "report.txt";
    PathParts p = split_path(path);
    EXPECT_EQ(p.dir, "dir" + sep + "sub" + sep);
    EXPECT_EQ(p.base, "report");
    EXPECT_EQ(p.ext, ".txt");
    EXPECT_EQ(p.drive + p.dir + p.base + p.ext, path);
    p = split_path("notes");
    EXPECT_EQ(p.base, "notes");
    EXPECT_EQ(p.ext, "");
    p = split_path("archive.tar.BAK");
    EXPECT_EQ(p.base, "archive.tar");
    EXPECT_EQ(p.ext, ".BAK");
#ifdef _WIN32
    p = split_path("C:\\x\\y.z");
    EXPECT_EQ(p.drive, "C:");
    EXPECT_EQ(p.dir, "\\x\\");
#endif
    EXPECT_EQ(directory_part("a" + sep + "b"), "a" + sep);
    EXPECT_EQ(directory_part("b"), "");
}

TEST(Paths, LimitRefusesInsteadOfCutting) {
    char buf[PATH_BUFFER_SIZE] = "keep";
    const std::string fits(PATH_MAX_CHARS, 'a');
    const std::string too_long(PATH_MAX_CHARS + 1, 'b');
    const std::string over_buffer(PATH_BUFFER_SIZE, 'c');
    EXPECT_TRUE(path_fits(fits));
    EXPECT_FALSE(path_fits(too_long));
    EXPECT_FALSE(copy_path(buf, sizeof buf, over_buffer.c_str()));
    EXPECT_STREQ(buf, "keep");
    EXPECT_TRUE(copy_path(buf, sizeof buf, fits.c_str()));
    EXPECT_EQ(std::strlen(buf), PATH_MAX_CHARS);
}

// The limit counts characters: a name in Cyrillic or Japanese takes two or three bytes
// a character, and the longest such path must still fit the buffer.
TEST(Paths, LimitCountsCharactersNotBytes) {
    std::string cyrillic;
    std::string japanese;
    std::string emoji;
    for (std::size_t i = 0; i < PATH_MAX_CHARS; ++i) {
        cyrillic += "\xD0\x96";      // Ж
        japanese += "\xE6\x97\xA5";  // 日
        emoji += "\xF0\x9F\x98\x80";
    }
    for (const std::string* path : {&cyrillic, &japanese, &emoji}) {
        EXPECT_TRUE(path_fits(*path));
        EXPECT_FALSE(path_fits(*path + "a"));
        char buf[PATH_BUFFER_SIZE];
        EXPECT_TRUE(copy_path(buf, sizeof buf, path->c_str()));
        EXPECT_EQ(buf, *path);
    }
    // A byte outside any UTF-8 sequence counts as one character.
    EXPECT_TRUE(path_fits(std::string(PATH_MAX_CHARS, '\xFF')));
    EXPECT_FALSE(path_fits(std::string(PATH_MAX_CHARS + 1, '\xFF')));
}
