// dircompare/dir_search.h: the platform's file search; dircompare/name_case.h: its
// rule for letter case in names.
#include "ui/win32/windows_api.h"

#include "common/paths.h"
#include "dircompare/dir_search.h"
#include "dircompare/name_case.h"
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
    if (!path_fits(pattern) || !wide_exact(pattern, wide_pattern)) {
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

std::string name_case_key(const std::string& name) {
    std::wstring text;
    if (!wide_exact(name, text) || text.empty()) {
        return simple_name_case_key(name);  // not a name the system can have
    }
    const int n = static_cast<int>(text.size());
    std::wstring upper(text.size(), L'\0');
    if (LCMapStringEx(LOCALE_NAME_INVARIANT, LCMAP_UPPERCASE, text.c_str(), n, upper.data(), n,
                      nullptr, nullptr, 0) != n) {
        return simple_name_case_key(name);
    }
    // A letter takes its upper case only where the file system's own comparison calls
    // the two the same (its table, not a locale's), so that equal keys name one file.
    // Surrogate halves are kept: a character outside the BMP keeps its case.
    const auto surrogate = [](wchar_t c) { return is_high_surrogate(c) || is_low_surrogate(c); };
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (upper[i] != text[i] && !surrogate(text[i]) && !surrogate(upper[i]) &&
            CompareStringOrdinal(&text[i], 1, &upper[i], 1, TRUE) == CSTR_EQUAL) {
            text[i] = upper[i];
        }
    }
    return narrow(text);
}
