#include "merge/replace_file.h"

#include <cerrno>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <memory>

#include "common/byte_scan.h"
#include "common/native_file.h"
#include "common/paths.h"
#include "merge/file_layer.h"
#include "merge/merge_platform.h"

namespace {

bool exists_path(const std::string& path) {
    std::error_code ec;
    return std::filesystem::exists(native_path(path), ec) || ec;  // unknown counts as taken
}

constexpr int NAME_ATTEMPTS = 100;

// The next name this program tries beside `target`: its directory, then "~px", six hex
// digits and `suffix`.
std::string name_beside(const char* target, const char* suffix) {
    static unsigned counter = 0;
    static const auto seed = static_cast<unsigned>(
        std::chrono::steady_clock::now().time_since_epoch().count() & 0xFFFFFF);
    char file[24];
    std::snprintf(file, sizeof file, "~px%06x%s", (seed + counter++ * 7919u) & 0xFFFFFFu, suffix);
    return directory_part(target) + file;
}

// A free name beside `target`.
bool free_name_beside(const char* target, const char* suffix, std::string& name) {
    for (int attempt = 0; attempt < NAME_ATTEMPTS; ++attempt) {
        std::string candidate = name_beside(target, suffix);
        if (!exists_path(candidate)) {
            name = std::move(candidate);
            return true;
        }
    }
    return false;
}

}  // namespace

int open_pending(const char* target, PendingFile& pending) {
    pending = PendingFile{};
    // The create itself refuses a name that is taken: no file but our own is opened,
    // and no look-up comes first.
    for (int attempt = 0; attempt < NAME_ATTEMPTS; ++attempt) {
        std::string candidate = name_beside(target, ".tmp");
        errno = 0;
        pending.stream = file_layer.create(candidate.c_str());
        if (pending.stream != nullptr) {
            pending.path = std::move(candidate);
            return 0;
        }
        if (errno != EEXIST) {
            return -1;
        }
    }
    return -1;
}

namespace {

struct Closer {
    void operator()(FILE* f) const { std::fclose(f); }
};

// A file being read: its stamp from before the first read, and the bytes read.
struct ReadFile {
    const char* path;
    std::unique_ptr<FILE, Closer> stream;
    FileStamp before;
    std::uint64_t read = 0;
    bool whole = false;  // read to its end

    explicit ReadFile(const char* name)
        : path(name), stream(name != nullptr ? native_fopen(name, "rb") : nullptr) {
        if (stream) {
            before = platform_stream_stamp(stream.get());
        }
    }
    std::size_t take(char* block, std::size_t n) {
        const std::size_t got = std::fread(block, 1, n, stream.get());
        read += got;
        return got;
    }
    // True when another program wrote to the file since it was opened: its size or
    // last write differ now, or, read whole, it gave other than its size. A stamp the
    // system cannot give proves nothing.
    bool changed() const {
        return stream && before.exists &&
               ((whole && read != before.size) || !(platform_stream_stamp(stream.get()) == before));
    }
};

// Fails `pending` for the first of the files read that changed; true when one did.
bool fail_if_changed(PendingFile& pending, const ReadFile& in, const ReadFile& other) {
    const ReadFile* changed = in.changed() ? &in : other.changed() ? &other : nullptr;
    if (changed == nullptr) {
        return false;
    }
    pending.changed = changed->path;
    pending.failed = true;
    return true;
}

}  // namespace

int copy_into_pending(const char* source, PendingFile& pending, const char* same_as) {
    ReadFile in(source);
    ReadFile other(same_as);
    if (!in.stream || (same_as != nullptr && !other.stream)) {
        pending.failed = true;
        return -1;
    }
    constexpr std::size_t BLOCK = 65536;
    static std::unique_ptr<char[]> blocks(new char[2 * BLOCK]);
    char* const block = blocks.get();
    char* const other_block = blocks.get() + BLOCK;
    std::size_t got = 0;
    while ((got = in.take(block, BLOCK)) > 0) {
        if (other.stream &&
            (other.take(other_block, got) != got || !bytes_equal(block, other_block, got))) {
            // A difference that a write meanwhile made is that write's news.
            pending.failed = true;
            return fail_if_changed(pending, in, other) ? -1 : 1;
        }
        if (write_pending(pending, block, got) != 0) {
            return -1;
        }
    }
    if (std::ferror(in.stream.get()) != 0 ||
        (other.stream && std::ferror(other.stream.get()) != 0)) {
        pending.failed = true;
        return -1;
    }
    in.whole = true;
    const bool other_longer = other.stream && std::fgetc(other.stream.get()) != EOF;
    other.whole = !other_longer;
    if (fail_if_changed(pending, in, other)) {
        return -1;
    }
    if (other_longer) {
        pending.failed = true;  // the other file is longer
        return 1;
    }
    return pending.failed ? -1 : 0;
}

NewCopy copy_to_new_file(const char* source, const char* target, const char* same_as) {
    PendingFile pending;
    if (open_pending(target, pending) != 0) {
        return NEW_COPY_FAILED;
    }
    pending.durable = false;
    const int copied = copy_into_pending(source, pending, same_as);
    if (copied != 0 || close_pending(pending) != 0) {
        discard_pending(pending);
        if (pending.changed != nullptr) {
            return pending.changed == source ? NEW_COPY_CHANGED : NEW_COPY_OTHER_CHANGED;
        }
        return copied == 1 ? NEW_COPY_OTHER : NEW_COPY_FAILED;
    }
    if (file_layer.rename_new(pending.path.c_str(), target) != 0) {
        discard_pending(pending);
        return NEW_COPY_TAKEN;
    }
    pending.path.clear();
    return NEW_COPY_DONE;
}

int write_pending(PendingFile& pending, const char* data, std::size_t n) {
    if (pending.failed || file_layer.write(pending.stream, data, n) != n) {
        pending.failed = true;
        return -1;
    }
    return 0;
}

int close_pending(PendingFile& pending) {
    std::FILE* stream = pending.stream;
    pending.stream = nullptr;
    if (stream != nullptr && file_layer.close(stream, pending.durable) != 0) {
        pending.failed = true;
    }
    return pending.failed ? -1 : 0;
}

void discard_pending(PendingFile& pending) {
    if (pending.stream != nullptr) {
        file_layer.close(pending.stream, false);
        pending.stream = nullptr;
    }
    if (!pending.path.empty()) {
        file_layer.remove(pending.path.c_str());
        pending.path.clear();
    }
}

bool old_backup_replaceable(const std::string& backup) {
    std::error_code ec;
    const auto status = std::filesystem::symlink_status(native_path(backup), ec);
    if (ec || !std::filesystem::exists(status)) {
        return !ec || ec == std::errc::no_such_file_or_directory;
    }
    // Only an old backup may go: a directory, a link or anything else at the name is
    // not ours to move. A read-only one could be moved aside but never deleted.
    return std::filesystem::is_regular_file(status) &&
           (status.permissions() & std::filesystem::perms::owner_write) !=
               std::filesystem::perms::none;
}

ReplaceResult replace_with_pending(PendingFile& pending, const char* target,
                                   const std::string& backup) {
    const bool back_up = !backup.empty() && exists_path(target);
    if (back_up && !old_backup_replaceable(backup)) {
        discard_pending(pending);
        return REPLACE_BACKUP_FAILED;
    }
    std::string aside;  // the previous backup while the new one is not yet certain
    if (back_up && exists_path(backup)) {
        if (!free_name_beside(backup.c_str(), ".bak", aside) ||
            file_layer.rename(backup.c_str(), aside.c_str()) != 0) {
            discard_pending(pending);
            return REPLACE_BACKUP_FAILED;
        }
    }
    auto put_aside_back = [&] {
        if (!aside.empty()) {
            file_layer.rename(aside.c_str(), backup.c_str());
        }
    };
    if (back_up && file_layer.rename(target, backup.c_str()) != 0) {
        put_aside_back();
        discard_pending(pending);
        return REPLACE_BACKUP_FAILED;
    }
    if (file_layer.commit(pending.path.c_str(), target) != 0) {
        if (back_up) {
            file_layer.rename(backup.c_str(), target);
        }
        put_aside_back();
        discard_pending(pending);
        return REPLACE_FAILED;
    }
    // The old backup goes last. When it cannot be deleted, everything is put back as it
    // was rather than leave it under a name nobody knows.
    if (!aside.empty() && file_layer.remove(aside.c_str()) != 0) {
        if (file_layer.rename(target, pending.path.c_str()) == 0 &&
            file_layer.rename(backup.c_str(), target) == 0) {
            put_aside_back();
            discard_pending(pending);
            return REPLACE_BACKUP_FAILED;
        }
    }
    pending.path.clear();
    return REPLACE_DONE;
}

std::string backup_name(const char* path) {
    PathParts parts = split_path(path);
    if (parts.base.empty()) {
        // ".profile": the dot starts the name, it does not begin an extension.
        parts.base = parts.ext;
        parts.ext.clear();
    }
    if (paths_equal(parts.ext.c_str(), ".bak")) {
        return "";
    }
    return parts.drive + parts.dir + parts.base + ".bak";
}
