#ifndef PAIREX_COMMON_PATHS_H
#define PAIREX_COMMON_PATHS_H

#include <string>

#include "common/unicode.h"

// Paths are at most 259 characters on the product's platform. They are held as UTF-8
// in buffers with room for 259 characters of four bytes each. Longer paths are refused
// where a limit applies, never cut, because a cut path can name another file.
constexpr std::size_t PATH_MAX_CHARS = 259;
constexpr std::size_t PATH_BUFFER_SIZE = PATH_MAX_CHARS * 4 + 1;

#ifdef _WIN32
constexpr char PATH_SEPARATOR = '\\';
#else
constexpr char PATH_SEPARATOR = '/';
#endif

// True for '\\' and '/' on Windows, '/' elsewhere.
bool is_path_separator(char c);

// Case-insensitive (ASCII letters) equality of two paths.
bool paths_equal(const char* a, const char* b);

// True when `path` fits the 259-character limit (characters, not bytes).
inline bool path_fits(std::string_view path) {
    return path.size() <= PATH_MAX_CHARS || utf8_char_count(path) <= PATH_MAX_CHARS;
}

// dir + separator + name; no separator is added when dir is empty or already ends in
// one.
std::string join_dir_file(const std::string& dir, const std::string& name);

// The parts of a path as the platform splits it: drive ("C:" or empty), directory
// (with its trailing separator, or empty), base name, extension (with its dot, or
// empty). drive + dir + base + ext == path.
struct PathParts {
    std::string drive;
    std::string dir;
    std::string base;
    std::string ext;
};
PathParts split_path(const std::string& path);

// Everything up to and including the last separator ("" when there is none).
std::string directory_part(const std::string& path);

// Copies `src` into the fixed buffer `dst` of `size` bytes when it fits (NUL
// included); returns false and leaves `dst` untouched otherwise.
bool copy_path(char* dst, std::size_t size, const char* src);

#endif
