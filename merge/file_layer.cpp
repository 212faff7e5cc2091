#include "merge/file_layer.h"

#include <filesystem>

#include "common/native_file.h"
#include "merge/merge_platform.h"

#ifdef _WIN32
#include <io.h>
#else
#include <fcntl.h>
#include <unistd.h>
#endif

namespace {

std::FILE* standard_create(const char* path) {
    return native_create_new(path, false);
}

std::size_t standard_write(std::FILE* stream, const char* data, std::size_t n) {
    return std::fwrite(data, 1, n, stream);
}

int standard_close(std::FILE* stream, bool durable) {
    bool ok = std::fflush(stream) == 0;
    if (durable) {
#ifdef _WIN32
        ok = ok && _commit(_fileno(stream)) == 0;
#else
        ok = ok && fsync(fileno(stream)) == 0;
#endif
    }
    ok = std::fclose(stream) == 0 && ok;
    return ok ? 0 : -1;
}

int standard_rename(const char* from, const char* to) {
    std::error_code ec;
    std::filesystem::rename(native_path(from), native_path(to), ec);
    return ec ? -1 : 0;
}

int standard_rename_new(const char* from, const char* to) {
#ifdef _WIN32
    // The C library's rename never replaces an existing file.
    return _wrename(native_path(from).c_str(), native_path(to).c_str()) == 0 ? 0 : -1;
#else
    // A link cannot be made over an existing name; a file system without links falls
    // back to the caller's ordinary way.
    if (::link(from, to) != 0) {
        return -1;
    }
    ::unlink(from);
    return 0;
#endif
}

int standard_remove(const char* path) {
    std::error_code ec;
    return std::filesystem::remove(native_path(path), ec) && !ec ? 0 : -1;
}

}  // namespace

FileLayer standard_file_layer() {
    return {standard_create,        standard_write,      standard_close, standard_rename,
            platform_commit_rename, standard_rename_new, standard_remove};
}

FileLayer file_layer = standard_file_layer();

int standard_commit_rename(const char* from, const char* to) {
    if (standard_rename(from, to) != 0) {
        return -1;
    }
#ifndef _WIN32
    // The rename itself lives in the directory: sync it too, or a crash can undo it.
    const std::filesystem::path dir = native_path(to).parent_path();
    const int fd = ::open(dir.empty() ? "." : dir.c_str(), O_RDONLY);
    if (fd >= 0) {
        fsync(fd);
        ::close(fd);
    }
#endif
    return 0;
}
