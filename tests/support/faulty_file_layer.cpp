#include "tests/support/faulty_file_layer.h"

#include <cstdio>
#include <string_view>

#include "merge/file_layer.h"

namespace {

FileFaults current;
FileLayer standard = standard_file_layer();

std::size_t faulty_write(std::FILE* stream, const char* data, std::size_t n) {
    if (++current.writes == current.change_at_write && current.change) {
        current.change();
    }
    std::size_t allowed = n;
    if (current.fail_after_bytes >= 0) {
        const long long room = current.fail_after_bytes - current.written;
        allowed = room <= 0                          ? 0
                  : room < static_cast<long long>(n) ? static_cast<std::size_t>(room)
                                                     : n;
    }
    const std::size_t done = standard.write(stream, data, allowed);
    current.written += static_cast<long long>(done);
    return done;
}

int faulty_close(std::FILE* stream, bool durable) {
    int r = 0;
    if (current.sync) {
        r = standard.close(stream, durable);
    } else {
        r = std::fflush(stream) == 0 ? 0 : -1;
        r = std::fclose(stream) == 0 ? r : -1;
    }
    return current.fail_close ? -1 : r;
}

int faulty_rename(const char* from, const char* to) {
    if (++current.renames == current.fail_rename) {
        return -1;
    }
    return standard.rename(from, to);
}

int faulty_commit(const char* from, const char* to) {
    if (current.fail_commit) {
        return -1;
    }
    return current.sync ? standard.commit(from, to) : standard.rename(from, to);
}

int faulty_rename_new(const char* from, const char* to) {
    return current.fail_rename_new ? -1 : standard.rename_new(from, to);
}

int faulty_remove(const char* path) {
    const std::string_view name(path);
    if (current.fail_remove_suffix != nullptr && name.ends_with(current.fail_remove_suffix)) {
        return -1;
    }
    return standard.remove(path);
}

}  // namespace

ScopedFileFaults::ScopedFileFaults(const FileFaults& faults) {
    current = faults;
    standard = standard_file_layer();
    file_layer = standard;
    file_layer.write = faulty_write;
    file_layer.close = faulty_close;
    file_layer.rename = faulty_rename;
    file_layer.commit = faulty_commit;
    file_layer.rename_new = faulty_rename_new;
    file_layer.remove = faulty_remove;
}

ScopedFileFaults::~ScopedFileFaults() {
    file_layer = standard_file_layer();
}

FileFaults& ScopedFileFaults::faults() {
    return current;
}
