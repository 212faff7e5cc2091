#include "common/file_identity.h"

#include <exception>
#include <system_error>

#include "common/native_file.h"
#include "common/paths.h"

namespace fs = std::filesystem;

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

bool same_file(const char* a, const char* b) {
    if (a[0] == '\0' || b[0] == '\0') {
        return false;
    }
    if (paths_equal(absolute_form(native_path(a)).c_str(), absolute_form(native_path(b)).c_str())) {
        return true;
    }
    // Device and file number on either platform; an error (a path that does not
    // exist) means they cannot be one file.
    try {
        std::error_code ec;
        return fs::equivalent(native_path(a), native_path(b), ec) && !ec;
    } catch (const std::exception&) {
        return false;
    }
}
