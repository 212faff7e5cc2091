#include <sys/stat.h>

#include <filesystem>
#include <system_error>

#include "common/native_file.h"
#include "engine/engine_internal.h"

namespace fs = std::filesystem;

namespace {

// Whether standard input is the file at `path`. Only where the runtime gives a
// descriptor's file identity (device and inode); the Windows runtime does not.
bool stdin_is(const std::string& path) {
#ifdef _WIN32
    (void)path;
    return false;
#else
    struct stat in;
    struct stat out;
    return fstat(0, &in) == 0 && stat(path.c_str(), &out) == 0 && S_ISREG(in.st_mode) &&
           in.st_dev == out.st_dev && in.st_ino == out.st_ino;
#endif
}

// One file under any spelling: a path that does not exist is no file at all.
bool same_file(const fs::path& a, const fs::path& b) {
    std::error_code ec;
    const bool same = fs::equivalent(a, b, ec);
    return !ec && same;
}

}  // namespace

bool output_is_operand(const InputFile& file) {
    const std::string& output = engine_options.output_path;
    if (output.empty() || file.descriptor == DESCRIPTOR_ABSENT) {
        return false;
    }
    if (file.descriptor == DESCRIPTOR_STDIN) {
        return stdin_is(output);
    }
    return same_file(native_path(output), native_path(file.name));
}

bool output_inside_dirs(const InputFile files[2]) {
    const std::string& output = engine_options.output_path;
    if (output.empty()) {
        return false;
    }
    std::error_code ec;
    const fs::path real = fs::canonical(native_path(output), ec);
    if (ec || !fs::is_regular_file(real, ec)) {
        return false;  // created by the run: not among the names listed
    }
    const EngineOptions& o = engine_options;
    fs::path dir = real.parent_path();
    fs::path inside = real.filename();  // the output's path below `dir`
    for (int level = 1;; ++level) {
        for (int i = 0; i < 2; ++i) {
            if (!files[i].is_dir || !same_file(dir, native_path(files[i].name))) {
                continue;
            }
            // Compared as a file when the other side has it too, or when a missing
            // side counts as an empty file.
            const fs::path namesake = native_path(files[1 - i].name) / inside;
            if (o.absent_as_empty || o.absent_first_as_empty || fs::exists(namesake, ec)) {
                return true;
            }
        }
        if ((level == 1 && !o.descend_subdirs) || !dir.has_relative_path()) {
            return false;  // only the entries of the operands themselves are compared
        }
        inside = dir.filename() / inside;
        dir = dir.parent_path();
    }
}
