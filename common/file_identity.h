#ifndef PAIREX_COMMON_FILE_IDENTITY_H
#define PAIREX_COMMON_FILE_IDENTITY_H

#include <filesystem>
#include <string>

// The absolute, normalised form of `path` with the platform's separators, as UTF-8;
// the path as given when the file system cannot make one.
std::string absolute_form(const std::filesystem::path& path);

// True when `a` and `b` name the same file: equal as absolute, normalised paths
// (letter case aside), so also a file that is yet to be written, or the same existing
// file however each is spelled. An empty name is no file.
bool same_file(const char* a, const char* b);

#endif
