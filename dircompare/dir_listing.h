#ifndef PAIREX_DIRCOMPARE_DIR_LISTING_H
#define PAIREX_DIRCOMPARE_DIR_LISTING_H

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// The plain files of one directory, sorted by name, with the place a walk stands on.

// The attribute bit that marks a directory.
constexpr uint32_t DIR_ATTRIBUTE_DIRECTORY = 16;

// One entry as the platform's file search reports it.
struct DirEntry {
    std::string name;  // at most 255 characters
    uint64_t size = 0;
    uint32_t attributes = 0;
    // Last write as the 16-bit date and time words (2-second resolution); has_stamp is
    // false when the platform could not express the time in them (before 1980, say).
    uint16_t mod_date = 0;
    uint16_t mod_time = 0;
    bool has_stamp = false;
};

struct DirListing {
    std::string dir_path;  // as chosen: no trailing separator, a root as a drive alone
    std::vector<DirEntry> entries;
    std::size_t current = 0;  // index into entries; entries.size() once exhausted

    std::size_t count() const { return entries.size(); }
    bool exhausted() const { return current >= entries.size(); }
    // The entry the walk stands on; only while not exhausted.
    const DirEntry& current_entry() const { return entries[current]; }
    // Moves to the next entry, or to none after the last.
    void advance() {
        if (current < entries.size()) {
            ++current;
        }
    }
};

// The name order of listings: names compare by their keys (dircompare/name_case.h:
// letters of every script in upper case, as the file system folds them) as signed 8-bit
// values, the end of a name counting as 0, so that bytes 128 to 255 sort before
// everything else. 0 exactly when the names name one file. Returns <0, 0 or >0 like
// strcmp.
int compare_entry_names(const std::string& a, const std::string& b);

// Lists the plain files of `directory` (subdirectories, "." and ".." left out), sorted by
// name, into `out`, which then stands on its first entry. A directory that cannot be
// searched lists as empty. Returns 0, or -1 when memory ran out (nothing reported; `out`
// is then empty).
int list_dir_files(const std::string& directory, DirListing& out);

#endif
