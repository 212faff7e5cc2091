#include "common/file_stamp.h"

#include <sys/stat.h>

#include <cstdio>
#include <filesystem>

#include "common/native_file.h"

FileStamp standard_file_stamp(const char* path) {
    FileStamp stamp;
    std::error_code ec;
    const std::filesystem::path p = native_path(path);
    const auto size = std::filesystem::file_size(p, ec);
    const auto time =
        ec ? std::filesystem::file_time_type() : std::filesystem::last_write_time(p, ec);
    if (ec) {
        return stamp;
    }
    stamp.exists = true;
    stamp.size = size;
    stamp.write_time = static_cast<std::int64_t>(time.time_since_epoch().count());
#ifndef _WIN32
    // Device and file number: a file replaced under its name is another file.
    struct stat st;
    if (::stat(path, &st) == 0) {
        stamp.volume = static_cast<std::uint64_t>(st.st_dev);
        stamp.number = static_cast<std::uint64_t>(st.st_ino);
    }
#endif
    return stamp;
}

FileStamp standard_stream_stamp(std::FILE* stream) {
    FileStamp stamp;
#ifdef _WIN32
    struct _stat64 st;
    if (_fstat64(_fileno(stream), &st) != 0) {
        return stamp;
    }
    stamp.write_time = static_cast<std::int64_t>(st.st_mtime);
#else
    struct stat st;
    if (::fstat(fileno(stream), &st) != 0) {
        return stamp;
    }
    stamp.write_time = static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1000000000 +
                       static_cast<std::int64_t>(st.st_mtim.tv_nsec);
    stamp.volume = static_cast<std::uint64_t>(st.st_dev);
    stamp.number = static_cast<std::uint64_t>(st.st_ino);
#endif
    stamp.exists = true;
    stamp.size = static_cast<std::uint64_t>(st.st_size);
    return stamp;
}
