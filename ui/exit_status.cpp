#include "ui/exit_status.h"

#include <filesystem>
#include <string>

#include "common/file_identity.h"
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
