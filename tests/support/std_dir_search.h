#ifndef PAIREX_TESTS_SUPPORT_STD_DIR_SEARCH_H
#define PAIREX_TESTS_SUPPORT_STD_DIR_SEARCH_H

#include <map>
#include <string>
#include <vector>

#include "dircompare/dir_listing.h"

// The tests' file search (dircompare/dir_search.h) over the standard library: real
// directories, with the last-write time turned into the date and time words the way
// the platform does (UTC, 2-second resolution, 1980 to 2107). A test may script a
// directory's entries instead, or make its search run out of memory.
struct ScriptedDirectory {
    std::vector<DirEntry> entries;
    bool out_of_memory = false;  // the search throws std::bad_alloc after the entries
};

// Directory path -> what its search reports; cleared by clear_scripted_directories.
std::map<std::string, ScriptedDirectory>& scripted_directories();
void clear_scripted_directories();

// Number of searches so far (scripted or real).
int dir_searches();

#endif
