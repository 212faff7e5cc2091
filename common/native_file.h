#ifndef PAIREX_COMMON_NATIVE_FILE_H
#define PAIREX_COMMON_NATIVE_FILE_H

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <string_view>

// Names are UTF-8 inside the program. These hand them to the file system in the
// platform's own form (UTF-16 on Windows, never the ANSI code page), so that a name
// in any script opens, and take names back as UTF-8. A name that is not UTF-8 cannot
// be spelled on Windows: there it opens nothing and exists nowhere.

// The path named by `utf8`.
std::filesystem::path native_path(std::string_view utf8);

// The UTF-8 spelling of `path`.
std::string utf8_of_path(const std::filesystem::path& path);

// std::fopen by a UTF-8 name; `mode` as for std::fopen. Null when it fails.
FILE* native_fopen(const char* utf8, const char* mode);

// Creates the file `utf8` and opens it for writing, in text mode when `text` (CR LF
// line ends on Windows); null when it fails, and always when something stands at the
// name already (errno EEXIST then): nothing there is opened or truncated.
FILE* native_create_new(const char* utf8, bool text);

// open() by a UTF-8 name with `flags` (O_RDONLY, O_BINARY ...); -1 when it fails.
int native_open(const char* utf8, int flags);

// What stat() tells of a name.
struct NativeStat {
    bool is_dir = false;
    bool is_regular = false;
    std::uint64_t size = 0;
};

// The status of the file or directory `utf8`; false when it cannot be had.
bool native_stat(const char* utf8, NativeStat& out);

// The value of the environment variable `name` as UTF-8; false when it is not set.
bool native_getenv(const char* name, std::string& out);

#endif
