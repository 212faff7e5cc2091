// dircompare/dir_search.h: the platform's file search.
#include "ui/win32/windows_api.h"

#include "common/paths.h"
#include "dircompare/dir_search.h"
#include "ui/win32/wide.h"

namespace {

// Closes the search however the visit ends, an exception included.
struct SearchHandle {
    HANDLE handle;
    explicit SearchHandle(HANDLE h) : handle(h) {}
    ~SearchHandle() { FindClose(handle); }
    SearchHandle(const SearchHandle&) = delete;
    SearchHandle& operator=(const SearchHandle&) = delete;
};

DirEntry entry_of(const WIN32_FIND_DATAW& found) {
    DirEntry entry;
    entry.name = narrow(found.cFileName);
    entry.size = (static_cast<uint64_t>(found.nFileSizeHigh) << 32) | found.nFileSizeLow;
    entry.attributes = found.dwFileAttributes;
    WORD date = 0;
    WORD time = 0;
    // Times outside 1980 to 2107 have no date and time words.
    entry.has_stamp = FileTimeToDosDateTime(&found.ftLastWriteTime, &date, &time) != FALSE;
    entry.mod_date = entry.has_stamp ? date : 0;
    entry.mod_time = entry.has_stamp ? time : 0;
    return entry;
}

}  // namespace

int dir_search(const std::string& directory, const std::function<void(const DirEntry&)>& visit) {
    // "C:" (a root as the pickers give it) becomes "C:\*.*".
    const std::string pattern = join_dir_file(directory, "*.*");
    std::wstring wide_pattern;
    if (!path_fits(pattern) || !wide_name(pattern, wide_pattern)) {
        return -1;
    }
    WIN32_FIND_DATAW found;
    // Every entry comes back, hidden and system ones too: the search has no filter.
    HANDLE handle = FindFirstFileW(wide_pattern.c_str(), &found);
    if (handle == INVALID_HANDLE_VALUE) {
        return -1;
    }
    const SearchHandle search{handle};
    do {
        visit(entry_of(found));
    } while (FindNextFileW(search.handle, &found));
    return 0;
}
