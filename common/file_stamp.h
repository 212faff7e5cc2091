#ifndef PAIREX_COMMON_FILE_STAMP_H
#define PAIREX_COMMON_FILE_STAMP_H

#include <cstdint>
#include <cstdio>

// What a file was at one moment, so that a later look can tell whether another program
// changed, replaced or removed it since.
struct FileStamp {
    bool exists = false;
    std::uint64_t size = 0;
    std::int64_t write_time = 0;  // the last write, in the platform's own units
    std::uint64_t volume = 0;     // with `number`, the file's identity (0 where unknown)
    std::uint64_t number = 0;
    bool operator==(const FileStamp&) const = default;
};

// The stamp of `path` as the standard library and the runtime tell it: the Windows
// runtime gives whole seconds and no identity (platform_file_stamp does better there).
// A path that names no file gives a stamp that does not exist.
FileStamp standard_file_stamp(const char* path);

// The stamp of the open file `stream`, from its descriptor (fstat): no look-up of a
// name. The Windows runtime gives whole seconds here too. A stamp that does not exist
// when the runtime cannot tell.
FileStamp standard_stream_stamp(std::FILE* stream);

#endif
