#include "ui/exit_status.h"

#include <filesystem>
#include <string>

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
            return path.string();
        }
        return p.lexically_normal().make_preferred().string();
    } catch (const std::exception&) {
        return path.string();
    }
}

}  // namespace

std::string output_file_path(const std::string& name, const std::optional<std::string>& directory) {
    try {
        fs::path p(name);
        if (p.is_relative() && directory && !directory->empty()) {
            p = fs::path(*directory) / p;
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
    if (paths_equal(absolute_form(fs::path(a)).c_str(), absolute_form(fs::path(b)).c_str())) {
        return true;
    }
    try {
        std::error_code ec;
        return fs::equivalent(fs::path(a), fs::path(b), ec) && !ec;
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
    if (output_given && !output_path.empty()) {
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
