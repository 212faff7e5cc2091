#ifndef PAIREX_MERGE_FILE_LAYER_H
#define PAIREX_MERGE_FILE_LAYER_H

#include <cstddef>
#include <cstdio>

// The file operations through which the merge layer writes and replaces files. The
// program and most tests use the standard ones; a test puts in its own to make a write
// fail at a chosen point (a full disk, a failed close, a failed rename).
struct FileLayer {
    // Creates a new file for writing bytes exactly; nullptr on failure, and always
    // when something stands at `path` already (errno EEXIST then): it is never opened.
    std::FILE* (*create)(const char* path);
    // Writes `n` bytes; returns how many were written.
    std::size_t (*write)(std::FILE* stream, const char* data, std::size_t n);
    // Flushes and closes the stream (closed in every case); `durable`: makes the data
    // durable first, where the platform can. Returns 0, or -1 when any of it failed.
    int (*close)(std::FILE* stream, bool durable);
    // Renames `from` to `to`, replacing a file of that name. Returns 0 or -1.
    int (*rename)(const char* from, const char* to);
    // The rename that puts a finished file in place (platform_commit_rename).
    int (*commit)(const char* from, const char* to);
    // Renames `from` to `to` only when nothing stands at `to`, in one step: a file
    // that appears there meanwhile is never replaced. Returns 0 or -1.
    int (*rename_new)(const char* from, const char* to);
    // Deletes a file. Returns 0 or -1.
    int (*remove)(const char* path);
};

// The operations in use.
extern FileLayer file_layer;
// The standard library's operations (the default).
FileLayer standard_file_layer();

// The standard library's form of platform_commit_rename: a replacing rename, then the
// directory entry is made durable where the platform allows it. Returns 0 or -1.
int standard_commit_rename(const char* from, const char* to);

#endif
