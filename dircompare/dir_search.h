#ifndef PAIREX_DIRCOMPARE_DIR_SEARCH_H
#define PAIREX_DIRCOMPARE_DIR_SEARCH_H

#include <functional>
#include <string>

#include "dircompare/dir_listing.h"

// The platform's file search, the one thing of a directory the standard library cannot
// report the way the walk needs it (attributes, the date and time words). The Windows
// program implements it in ui/win32; the tests over the standard library.

// Calls `visit` for every entry of `directory` (subdirectories, "." and "..", hidden
// and system files included), in the platform's order. Returns 0, or -1 when the
// directory cannot be searched (nothing reported). An exception thrown by `visit`
// passes through with the search closed.
int dir_search(const std::string& directory, const std::function<void(const DirEntry&)>& visit);

#endif
