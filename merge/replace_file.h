#ifndef PAIREX_MERGE_REPLACE_FILE_H
#define PAIREX_MERGE_REPLACE_FILE_H

#include <cstddef>
#include <cstdio>
#include <string>

// Writes that cannot half-happen: the new content goes to a fresh file beside the
// target, is checked to the last byte, and only then takes the target's place (the
// old target moved to its backup name first). Any failure leaves the target and its
// backup as they were and removes the new file. Nothing here reports.

struct PendingFile {
    std::string path;  // the temporary file beside the target
    std::FILE* stream = nullptr;
    bool failed = false;  // a write failed; the file must not take the target's place
    // Whether the close waits until the data is on the disk. Without it the file's
    // safety is the rename alone: the program ending at any point leaves the target as
    // it was or whole, and at most this temporary file; what a power cut loses is then
    // the file system's ordering of data and rename.
    bool durable = true;
    // The file read into this one that another program wrote to meanwhile (the source
    // or `same_as` of copy_into_pending); the file then failed. Null otherwise.
    const char* changed = nullptr;
};

// Creates a fresh temporary file in `target`'s directory. Returns 0, or -1.
int open_pending(const char* target, PendingFile& pending);

// Appends `n` bytes. Returns 0, or -1 (and marks the file failed).
int write_pending(PendingFile& pending, const char* data, std::size_t n);

// Closes the file, checked. Returns 0, or -1 when any write or the close failed.
int close_pending(PendingFile& pending);

// Closes (unchecked) and deletes the temporary file.
void discard_pending(PendingFile& pending);

// Appends the bytes of the file `source`. Returns 0, or -1 (the file then failed).
// With `same_as`, that file is read alongside and must hold the same bytes: 1 when it
// does not (the file then failed too). A file read here whose size or last write
// changed while it was read, or that gave other than its size in bytes, fails the copy
// (-1) and is named in `pending.changed`.
int copy_into_pending(const char* source, PendingFile& pending, const char* same_as = nullptr);

enum NewCopy {
    NEW_COPY_DONE,           // `target` is a whole copy of `source`
    NEW_COPY_TAKEN,          // the name could not be taken this way (something stands there, or
                             // the file system cannot): nothing there was touched
    NEW_COPY_FAILED,         // reading or writing failed; `target` is as it was
    NEW_COPY_OTHER,          // `same_as` holds other bytes; `target` is as it was
    NEW_COPY_CHANGED,        // `source` changed while it was read; `target` is as it was
    NEW_COPY_OTHER_CHANGED,  // `same_as` changed while it was read; `target` is as it was
};

// Copies `source` to a `target` that does not exist, without waiting for the disk
// (PendingFile::durable): the copy takes the name by a rename that never replaces, so
// whatever appears at `target` meanwhile stays, and nothing is asked or backed up.
// With `same_as`, the copy is made only when that file holds the same bytes, both read
// once.
NewCopy copy_to_new_file(const char* source, const char* target, const char* same_as = nullptr);

enum ReplaceResult {
    REPLACE_DONE,           // the new content is the target; the old one is the backup
    REPLACE_BACKUP_FAILED,  // the target could not be moved to its backup name
    REPLACE_FAILED,         // the last rename failed
};

// True when nothing stands at `backup`, or an old backup that a write may replace: a
// regular file that is not read-only. Anything else stays where and as it is.
bool old_backup_replaceable(const std::string& backup);

// Puts the closed pending file in `target`'s place. With a `backup` name, an existing
// target is first renamed to it; a file already of that name is kept aside and
// deleted only once the new content is in place. An old backup that may not be
// replaced (see old_backup_replaceable) gives REPLACE_BACKUP_FAILED with nothing
// moved. On failure everything is put back and the pending file is deleted.
ReplaceResult replace_with_pending(PendingFile& pending, const char* target,
                                   const std::string& backup);

// The backup name of `path`: its extension replaced by ".bak" (a name whose only dot
// is its first character has no extension). "" for a ".bak" file: it gets no backup.
std::string backup_name(const char* path);

#endif
