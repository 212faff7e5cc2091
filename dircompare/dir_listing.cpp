#include "dircompare/dir_listing.h"

#include <algorithm>
#include <new>
#include <utility>

#include "dircompare/dir_search.h"
#include "dircompare/name_case.h"

namespace {

// A byte as a signed 8-bit value: 128 to 255 come before 0.
int signed_byte(char c) {
    const int v = static_cast<unsigned char>(c);
    return v < 128 ? v : v - 256;
}

// Keys compare as signed bytes, the end of a key counting as 0.
int compare_keys(const std::string& a, const std::string& b) {
    const std::size_t n = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < n; ++i) {
        if (a[i] != b[i]) {
            return signed_byte(a[i]) - signed_byte(b[i]);
        }
    }
    const int end_a = a.size() > n ? signed_byte(a[n]) : 0;
    const int end_b = b.size() > n ? signed_byte(b[n]) : 0;
    return end_a - end_b;
}

}  // namespace

int compare_entry_names(const std::string& a, const std::string& b) {
    return compare_keys(name_case_key(a), name_case_key(b));
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
        // Each name's key once, not at every comparison of the sort.
        std::vector<std::pair<std::string, DirEntry>> keyed;
        keyed.reserve(out.entries.size());
        for (DirEntry& entry : out.entries) {
            keyed.emplace_back(name_case_key(entry.name), std::move(entry));
        }
        std::stable_sort(keyed.begin(), keyed.end(), [](const auto& x, const auto& y) {
            return compare_keys(x.first, y.first) < 0;
        });
        for (std::size_t i = 0; i < keyed.size(); ++i) {
            out.entries[i] = std::move(keyed[i].second);
        }
    } catch (const std::bad_alloc&) {
        out = DirListing{};
        return -1;
    }
    out.current = 0;
    return 0;
}
