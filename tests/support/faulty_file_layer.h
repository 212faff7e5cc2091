#ifndef PAIREX_TESTS_SUPPORT_FAULTY_FILE_LAYER_H
#define PAIREX_TESTS_SUPPORT_FAULTY_FILE_LAYER_H

#include <functional>

// A file layer for the merge layer's writes that fails where the test says and passes
// everything else to the standard one: a disk that fills after N bytes, a close that
// fails, the n-th rename or the last rename failing, deletes failing; or another
// program writing to a file while a copy reads it.
struct FileFaults {
    long long fail_after_bytes = -1;  // writes beyond this many bytes fail; -1: never
    bool fail_close = false;
    int fail_rename = 0;  // the n-th rename (1-based) fails, once; 0: none
    bool fail_commit = false;
    bool fail_rename_new = false;  // the rename that takes only a free name fails
    // Deletes of names ending in this fail (a file held open by another program).
    const char* fail_remove_suffix = nullptr;
    bool sync = true;  // false: no syncing to the disk, for tests that write thousands of files
    // Runs once, before the n-th write (1-based): another program writing to a file
    // that a copy is reading. 0: never.
    int change_at_write = 0;
    std::function<void()> change = nullptr;
    int writes = 0;         // writes asked for so far
    int renames = 0;        // renames asked for so far
    long long written = 0;  // bytes written so far
};

// Puts the faulty layer in place for the object's lifetime, then the standard one.
class ScopedFileFaults {
public:
    explicit ScopedFileFaults(const FileFaults& faults);
    ~ScopedFileFaults();
    ScopedFileFaults(const ScopedFileFaults&) = delete;
    ScopedFileFaults& operator=(const ScopedFileFaults&) = delete;
    FileFaults& faults();
};

#endif
