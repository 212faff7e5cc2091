#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <string>

#include "common/native_file.h"
#include "common/paths.h"
#include "engine/engine_internal.h"

#ifndef O_BINARY
#define O_BINARY 0
#endif

namespace {

const char OUTPUT_IS_INPUT[] = "Output file %s is one of the compared files";

void fill_status(FileStatus& status, bool is_dir, bool is_regular, std::uint64_t size) {
    status.is_dir = is_dir;
    status.is_regular = is_regular;
    status.size = size;
}

// Status of a path; false when it cannot be had.
bool path_status(const char* path, FileStatus& status) {
#ifdef _WIN32
    // The runtime refuses a directory named with a trailing separator ("dir\"), except
    // a drive's root; the same directory without it is asked instead.
    std::string trimmed = path;
    while (trimmed.size() > 1 && (trimmed.back() == '\\' || trimmed.back() == '/') &&
           !(trimmed.size() == 3 && trimmed[1] == ':')) {
        trimmed.pop_back();
    }
    path = trimmed.c_str();
#endif
    NativeStat st;
    if (!native_stat(path, st)) {
        return false;
    }
    fill_status(status, st.is_dir, st.is_regular, st.size);
    return true;
}

bool descriptor_status(int fd, FileStatus& status) {
#ifdef _WIN32
    struct _stat64 st;
    if (_fstat64(fd, &st) != 0) {
        return false;
    }
#else
    struct stat st;
    if (fstat(fd, &st) != 0) {
        return false;
    }
#endif
    fill_status(status, S_ISDIR(st.st_mode), S_ISREG(st.st_mode),
                static_cast<std::uint64_t>(st.st_size));
    return true;
}

// A directory entry present on one side only is reported ("File %s only in %s", no
// line feed) unless -N, or -P for an entry missing on the first side, has the missing
// side count as absent. True when reported: the pair's result is then 1.
bool report_one_sided(const char* dirs[2], const char* names[2]) {
    if (names[0] != nullptr && names[1] != nullptr) {
        return false;
    }
    const EngineOptions& o = engine_options;
    if (o.absent_as_empty || (o.absent_first_as_empty && names[1] != nullptr)) {
        return false;
    }
    const int present = names[0] != nullptr ? 0 : 1;
    emit_message("File %s only in %s", names[present], dirs[present]);
    return true;
}

// Sets each side's descriptor state and name: an absent side takes the other side's
// entry name; an entry is named inside its directory.
void name_operands(InputFile files[2], const char* dirs[2], const char* names[2]) {
    for (int i = 0; i < 2; ++i) {
        files[i].descriptor = names[i] != nullptr ? DESCRIPTOR_NOT_OPEN : DESCRIPTOR_ABSENT;
    }
    if (names[0] == nullptr) {
        names[0] = names[1];
    }
    if (names[1] == nullptr) {
        names[1] = names[0];
    }
    for (int i = 0; i < 2; ++i) {
        files[i].name =
            dirs[i] == nullptr ? std::string(names[i]) : join_dir_file(dirs[i], names[i]);
    }
}

// Takes the status of a present side ("-" is standard input). False when it cannot be
// had ("Error in file %s" shown).
bool take_status(InputFile& f) {
    f.status = FileStatus{};
    f.is_dir = false;
    if (f.descriptor == DESCRIPTOR_ABSENT) {
        return true;
    }
    bool ok;
    if (f.name == "-") {
        f.descriptor = DESCRIPTOR_STDIN;
        f.name = "Standard Input";
        ok = descriptor_status(0, f.status);
    } else {
        ok = path_status(f.name.c_str(), f.status);
    }
    if (!ok) {
        report_engine_error("Error in file %s", f.name.c_str());
        return false;
    }
    f.is_dir = f.status.is_dir && f.descriptor != DESCRIPTOR_STDIN;
    return true;
}

// A top-level file operand against a directory operand: the directory side becomes
// the entry of the file's base name in it (joined with '/', which both platforms
// accept). False when that entry's status cannot be had ("Error in file %s" shown).
bool redirect_to_entry(InputFile files[2]) {
    InputFile& dir_side = files[0].is_dir ? files[0] : files[1];
    const InputFile& file_side = files[0].is_dir ? files[1] : files[0];
    if (file_side.descriptor == DESCRIPTOR_STDIN) {
        report_engine_error("Can not compare to a directory");
    }
    const std::string& path = file_side.name;
    dir_side.name = dir_side.name + "/" + path.substr(directory_part(path).size());
    FileStatus joined;
    if (!path_status(dir_side.name.c_str(), joined)) {
        report_engine_error("Error in file %s", dir_side.name.c_str());
        return false;
    }
    dir_side.status = joined;
    dir_side.is_dir = joined.is_dir;
    return true;
}

// Closes the descriptors this pair opened: standard input stays open (a later run in
// this process may read it again), one file open on both sides is closed once. With
// `report`, a failing close shows "Error in file %s"; false when one failed.
bool close_operands(InputFile files[2], bool report) {
    bool ok = true;
    for (int i = 0; i < 2; ++i) {
        const InputFile& f = files[i];
        if (f.descriptor > 0 && (i == 0 || f.descriptor != files[0].descriptor) &&
            close(f.descriptor) != 0) {
            if (report) {
                report_engine_error("Error in file %s", f.name.c_str());
            }
            ok = false;
        }
    }
    return ok;
}

// Two files (either may be absent): opens them, compares them, closes them. 0 or 1 from
// the comparison; 2 when a file could not be opened or closed, the output file is one
// of them, or it could not be opened or written (each shown where it happened).
int compare_files(InputFile files[2], int depth) {
    for (int i = 0; i < 2; ++i) {
        if (output_is_operand(files[i])) {
            // Opening the listing would truncate the input before it is read.
            report_engine_error(OUTPUT_IS_INPUT, engine_options.output_path.c_str());
            return 2;
        }
    }
    bool failed = false;
    for (int i = 0; i < 2; ++i) {
        InputFile& f = files[i];
        if (f.descriptor == DESCRIPTOR_NOT_OPEN) {
            const int fd = native_open(f.name.c_str(), O_RDONLY | O_BINARY);
            if (fd < 0) {
                report_engine_error("Error in file %s", f.name.c_str());
                failed = true;
            } else {
                f.descriptor = fd;
            }
        }
    }
    int result;
    try {
        result = failed ? 2 : compare_two_files(files, depth);
    } catch (...) {
        close_operands(files, false);
        throw;
    }
    for (int i = 0; i < 2; ++i) {
        if (mapped_input_shrank(files[i])) {
            report_engine_error("File %s was shortened while it was compared",
                                files[i].name.c_str());
            result = 2;
        }
    }
    if (!close_operands(files, true) || listing_open_failed()) {
        result = 2;
    }
    return result;
}

// A directory against a file, or an entry directory whose namesake is absent: an
// absent side is walked as an empty directory under -r with -N (or -P when it is the
// first), else reported as one-sided; a directory against an existing file differs.
int compare_dir_with_file(InputFile files[2], const char* dirs[2], const char* names[2],
                          int depth) {
    const EngineOptions& o = engine_options;
    const int absent = files[0].descriptor == DESCRIPTOR_ABSENT   ? 0
                       : files[1].descriptor == DESCRIPTOR_ABSENT ? 1
                                                                  : -1;
    if (absent < 0) {
        const InputFile& d = files[0].is_dir ? files[0] : files[1];
        const InputFile& f = files[0].is_dir ? files[1] : files[0];
        emit_message("%s is a directory but %s is not\n", d.name.c_str(), f.name.c_str());
        return 1;
    }
    if (o.descend_subdirs && (o.absent_as_empty || (o.absent_first_as_empty && absent == 0))) {
        return compare_dirs(files, depth);
    }
    const int present = 1 - absent;
    emit_message("Only in %s: %s\n", dirs[present], names[present]);
    return 1;
}

// Compares the two resolved operands by kind.
int compare_resolved(InputFile files[2], const char* dirs[2], const char* names[2], int depth) {
    if (files[0].is_dir && files[1].is_dir) {
        if (depth > 0 && !engine_options.descend_subdirs) {
            emit_message("Common subdirectories: %s and %s\n", files[0].name.c_str(),
                         files[1].name.c_str());
            return 0;
        }
        if (depth == 0 && output_inside_dirs(files)) {
            report_engine_error(OUTPUT_IS_INPUT, engine_options.output_path.c_str());
            return 2;
        }
        return compare_dirs(files, depth);
    }
    if (files[0].is_dir || files[1].is_dir) {
        return compare_dir_with_file(files, dirs, names, depth);
    }
    return compare_files(files, depth);
}

// An equal file pair creates (or truncates) the output file and, under -s, writes the
// identical-files line into it; 2 when the output file cannot be opened or written.
int finish_pair(const InputFile files[2], int result) {
    if (result == 0 && !files[0].is_dir) {
        if (open_listing() != 0) {
            return 2;
        }
        if (engine_options.report_identical) {
            emit_message("Files %s and %s are identical\n", files[0].name.c_str(),
                         files[1].name.c_str());
        }
        close_listing();
        if (listing_open_failed()) {
            return 2;  // the line was not written (shown by close_listing)
        }
    } else if (listing_is_open()) {
        flush_listing();
    }
    return result;
}

}  // namespace

int compare_pair(const char* dir0, const char* name0, const char* dir1, const char* name1,
                 int depth) {
    const char* dirs[2] = {dir0, dir1};
    const char* names[2] = {name0, name1};
    if (report_one_sided(dirs, names)) {
        return 1;
    }
    begin_pair_output();  // an output failure belongs to the pair that met it
    InputFile files[2];
    name_operands(files, dirs, names);
    bool failed = false;
    for (InputFile& f : files) {
        failed = !take_status(f) || failed;
    }
    if (!failed && depth == 0 && files[0].is_dir != files[1].is_dir) {
        failed = !redirect_to_entry(files);
    }
    const int result = failed ? 2 : compare_resolved(files, dirs, names, depth);
    return finish_pair(files, result);
}
