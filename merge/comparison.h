#ifndef PAIREX_MERGE_COMPARISON_H
#define PAIREX_MERGE_COMPARISON_H

#include <string>
#include <vector>

// The Compare Files command: runs the engine in-process on the two loaded files with
// its listing going to a temporary file, and installs the blocks it finds.

// Runs the engine on the two paths and parses its listing. Returns 0 when differences
// were installed, 1 when the files are identical, -1 after reporting a failure (the
// document is then unchanged).
int run_comparison(const char* left_path, const char* right_path);

// The engine's argument vector: "diff" "-s" "-a" ["-w" with Compress spaces] "-o"
// listing left right.
std::vector<std::string> comparison_arguments(const std::string& listing, const char* left_path,
                                              const char* right_path);

// The Compare Files command (id 305).
void compare_files();

// The engine entry the comparison calls: engine_run, or a stand-in set by a test.
extern int (*comparison_engine)(int argc, char** argv);

// Set by the directory walk: copies the current pair's left file into the target
// directory when the pair turned out identical. Left empty while no walk exists.
extern void (*dir_walk_copy_identical)();

// A fresh name for the engine's listing: "diff..." in the TMP directory, else in the
// current directory, at most 259 characters. Returns 0, or -1 when none was found.
int make_temp_listing_name(std::string& name);

#endif
