#include "ui/exit_status.h"

#include <filesystem>
#include <string>

#include "common/native_file.h"
#include "common/paths.h"
#include "merge/history.h"
#include "ui/command_line.h"
#include "ui/settings.h"

namespace fs = std::filesystem;

namespace {

bool output_given = false;
std::string output_path;  // absolute
bool output_written = false;

// The absolute, normalised form of `path` with the platform's separators; the path as
// given when the file system cannot make one.
std::string absolute_form(const fs::path& path) {
    try {
        std::error_code ec;
        fs::path p = fs::absolute(path, ec);
        if (ec) {
            return utf8_of_path(path);
        }
        return utf8_of_path(p.lexically_normal().make_preferred());
    } catch (const std::exception&) {
        return utf8_of_path(path);
    }
}

}  // namespace

std::string output_file_path(const std::string& name, const std::optional<std::string>& directory) {
    try {
        fs::path p = native_path(name);
        if (p.is_relative() && directory && !directory->empty()) {
            p = native_path(*directory) / p;
        }
        return absolute_form(p);
    } catch (const std::exception&) {
        return name;
    }
}

bool same_file(const char* a, const char* b) {
    if (a[0] == '\0' || b[0] == '\0') {
        return false;
    }
    if (paths_equal(absolute_form(native_path(a)).c_str(), absolute_form(native_path(b)).c_str())) {
        return true;
    }
    try {
        std::error_code ec;
        return fs::equivalent(native_path(a), native_path(b), ec) && !ec;
    } catch (const std::exception&) {
        return false;
    }
}

void start_exit_status() {
    // A conflict file is the output: written, git takes it as resolved.
    const std::optional<std::string> conflict = option_value(OPT_MERGE);
    const std::optional<std::string> value = conflict ? conflict : option_value(OPT_OUTF);
    output_given = value.has_value();
    output_path = !output_given ? std::string()
                  : conflict    ? output_file_path(*value, std::nullopt)
                                : output_file_path(*value, option_value(OPT_OUTD));
    output_written = false;
    merge_written_hook = note_written_path;
}

void offer_output_path() {
    if (output_given && !output_path.empty() && path_fits(output_path)) {
        copy_path(settings.output_file, sizeof settings.output_file, output_path.c_str());
    }
}

void note_written_path(const char* path) {
    if (output_given && same_file(path, output_path.c_str())) {
        output_written = true;
    }
}

int exit_status() {
    return output_given && !output_written ? 1 : 0;
}
