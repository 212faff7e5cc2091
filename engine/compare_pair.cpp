#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>

#include "engine/engine_internal.h"

#ifndef O_BINARY
#define O_BINARY 0
#endif

std::string join_path(const std::string& a, const std::string& b, const std::string& c) {
    std::string joined;
    joined.reserve(a.size() + b.size() + c.size());
    joined += a;
    joined += b;
    joined += c;
    return joined;
}

static void fill_status(FileStatus& status, bool is_dir, bool is_regular, std::uint64_t size) {
    status.is_dir = is_dir;
    status.is_regular = is_regular;
    status.size = size;
}

bool path_status(const char* path, FileStatus& status) {
#ifdef _WIN32
    // The runtime refuses a directory named with a trailing separator ("dir\"), except
    // a drive's root; the same directory without it is asked instead.
    std::string trimmed = path;
    while (trimmed.size() > 1 && (trimmed.back() == '\\' || trimmed.back() == '/') &&
           !(trimmed.size() == 3 && trimmed[1] == ':')) {
        trimmed.pop_back();
    }
    struct _stat64 st;
    if (_stat64(trimmed.c_str(), &st) != 0) {
        return false;
    }
#else
    struct stat st;
    if (stat(path, &st) != 0) {
        return false;
    }
#endif
    fill_status(status, S_ISDIR(st.st_mode), S_ISREG(st.st_mode),
                static_cast<std::uint64_t>(st.st_size));
    return true;
}

static bool descriptor_status(int fd, FileStatus& status) {
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

static bool ends_in_separator(const char* dir) {
    const std::size_t n = std::strlen(dir);
    return n > 0 && (dir[n - 1] == '/' || dir[n - 1] == '\\');
}

static const char* DIR_SEPARATOR =
#ifdef _WIN32
    "\\";
#else
    "/";
#endif

// The file name after the last separator. Windows paths also use backslashes.
static const char* base_name(const std::string& name) {
    std::size_t cut = name.find_last_of(
#ifdef _WIN32
        "/\\"
#else
        "/"
#endif
    );
    return name.c_str() + (cut == std::string::npos ? 0 : cut + 1);
}

int compare_pair(const char* dir0, const char* name0, const char* dir1, const char* name1,
                 int depth) {
    const EngineOptions& o = engine_options;
    if (name0 == nullptr || name1 == nullptr) {
        const bool keep = o.absent_as_empty || (o.absent_first_as_empty && name1 != nullptr);
        if (!keep) {
            const bool first = name0 != nullptr;
            emit_message("File %s only in %s", first ? name0 : name1, first ? dir0 : dir1);
            return 1;
        }
    }

    begin_pair_output();  // an output failure belongs to the pair that met it
    InputFile files[2];
    const char* dirs[2] = {dir0, dir1};
    const char* names[2] = {name0, name1};
    for (int i = 0; i < 2; ++i) {
        files[i].descriptor = names[i] != nullptr ? DESCRIPTOR_NOT_OPEN : DESCRIPTOR_ABSENT;
    }
    if (names[0] == nullptr) {
        names[0] = names[1];
    }
    if (names[1] == nullptr) {
        names[1] = names[0];
    }

    bool failed = false;
    for (int i = 0; i < 2; ++i) {
        InputFile& f = files[i];
        if (dirs[i] == nullptr) {
            f.name = names[i];
        } else {
            f.name = join_path(dirs[i], ends_in_separator(dirs[i]) ? "" : DIR_SEPARATOR, names[i]);
        }
        f.status = FileStatus{};
        f.is_dir = false;
        if (f.descriptor == DESCRIPTOR_ABSENT) {
            continue;
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
            failed = true;
        } else {
            f.is_dir = f.status.is_dir && f.descriptor != DESCRIPTOR_STDIN;
        }
    }

    if (!failed && depth == 0 && files[0].is_dir != files[1].is_dir) {
        InputFile& dir_side = files[0].is_dir ? files[0] : files[1];
        InputFile& file_side = files[0].is_dir ? files[1] : files[0];
        if (file_side.descriptor == DESCRIPTOR_STDIN) {
            report_engine_error("Can not compare to a directory");
        }
        dir_side.name = join_path(dir_side.name, "/", base_name(file_side.name));
        FileStatus joined;
        if (!path_status(dir_side.name.c_str(), joined)) {
            report_engine_error("Error in file %s", dir_side.name.c_str());
            failed = true;
        } else {
            dir_side.status = joined;
            dir_side.is_dir = joined.is_dir;
        }
    }

    int result;
    if (failed) {
        result = 2;
    } else if (files[0].is_dir && files[1].is_dir) {
        if (depth > 0 && !o.descend_subdirs) {
            emit_message("Common subdirectories: %s and %s\n", files[0].name.c_str(),
                         files[1].name.c_str());
            result = 0;
        } else {
            result = compare_dirs(files, depth);
        }
    } else if (files[0].is_dir || files[1].is_dir) {
        const int absent = files[0].descriptor == DESCRIPTOR_ABSENT   ? 0
                           : files[1].descriptor == DESCRIPTOR_ABSENT ? 1
                                                                      : -1;
        if (absent >= 0) {
            if (o.descend_subdirs &&
                (o.absent_as_empty || (o.absent_first_as_empty && absent == 0))) {
                result = compare_dirs(files, depth);
            } else {
                const int present = 1 - absent;
                emit_message("Only in %s: %s\n", dirs[present], names[present]);
                result = 1;
            }
        } else {
            const InputFile& d = files[0].is_dir ? files[0] : files[1];
            const InputFile& f = files[0].is_dir ? files[1] : files[0];
            emit_message("%s is a directory but %s is not\n", d.name.c_str(), f.name.c_str());
            result = 1;
        }
    } else {
        for (InputFile& f : files) {
            if (f.descriptor == DESCRIPTOR_NOT_OPEN) {
                const int fd = open(f.name.c_str(), O_RDONLY | O_BINARY);
                if (fd < 0) {
                    report_engine_error("Error in file %s", f.name.c_str());
                    failed = true;
                } else {
                    f.descriptor = fd;
                }
            }
        }
        try {
            result = failed ? 2 : compare_two_files(files, depth);
        } catch (...) {
            for (int i = 0; i < 2; ++i) {
                if (files[i].descriptor > 0 &&
                    (i == 0 || files[1].descriptor != files[0].descriptor)) {
                    close(files[i].descriptor);
                }
            }
            throw;
        }
        // Standard input stays open: a later run in this process may read it again.
        for (int i = 0; i < 2; ++i) {
            InputFile& f = files[i];
            if (f.descriptor > 0 && (i == 0 || f.descriptor != files[0].descriptor)) {
                if (close(f.descriptor) != 0) {
                    report_engine_error("Error in file %s", f.name.c_str());
                    result = 2;
                }
            }
        }
        if (listing_open_failed()) {
            result = 2;
        }
    }

    if (result == 0 && !files[0].is_dir) {
        if (open_listing() != 0) {
            result = 2;
        } else {
            if (o.report_identical) {
                emit_message("Files %s and %s are identical\n", files[0].name.c_str(),
                             files[1].name.c_str());
            }
            close_listing();
        }
    } else if (listing_is_open()) {
        flush_listing();
    }
    return result;
}
