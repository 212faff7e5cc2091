#include "dircompare/dir_listing.h"

#include <algorithm>
#include <new>

#include "dircompare/dir_search.h"

namespace {

int folded_signed(const std::string& s, std::size_t i) {
    if (i >= s.size()) {
        return 0;
    }
    char c = s[i];
    if (c >= 'a' && c <= 'z') {
        c = static_cast<char>(c - 'a' + 'A');
    }
    return static_cast<int8_t>(c);
}

}  // namespace

int compare_entry_names(const std::string& a, const std::string& b) {
    const std::size_t n = std::max(a.size(), b.size());
    for (std::size_t i = 0; i <= n; ++i) {
        const int ca = folded_signed(a, i);
        const int cb = folded_signed(b, i);
        if (ca != cb) {
            return ca - cb;
        }
    }
    return 0;
}

int list_dir_files(const std::string& directory, DirListing& out) {
    out = DirListing{};
    try {
        out.dir_path = directory;
        // A directory that cannot be searched simply has no entries.
        dir_search(directory, [&out](const DirEntry& entry) {
            if ((entry.attributes & DIR_ATTRIBUTE_DIRECTORY) == 0) {
                out.entries.push_back(entry);
            }
        });
        std::stable_sort(out.entries.begin(), out.entries.end(),
                         [](const DirEntry& x, const DirEntry& y) {
                             return compare_entry_names(x.name, y.name) < 0;
                         });
    } catch (const std::bad_alloc&) {
        out = DirListing{};
        return -1;
    }
    out.current = 0;
    return 0;
}
