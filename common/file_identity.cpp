#include "common/file_identity.h"

#include <filesystem>

#include "common/native_file.h"
#include "common/paths.h"

bool same_file(const char* a, const char* b) {
    if (a[0] == '\0' || b[0] == '\0') {
        return false;
    }
    if (paths_equal(a, b)) {
        return true;
    }
    // Device and file number on either platform; an error (a path that does not
    // exist) means they cannot be one file.
    std::error_code ec;
    return std::filesystem::equivalent(native_path(a), native_path(b), ec) && !ec;
}
