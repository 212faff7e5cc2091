#include "ui/drop_files.h"

#include <filesystem>

#include "common/native_file.h"
#include "common/report.h"
#include "merge/document.h"
#include "merge/merge_platform.h"

namespace {

int refuse(const char* text, const char* path = nullptr) {
    report_message(format_message(text, path).c_str(), SEVERITY_WARNING);
    return 1;
}

bool is_directory(const std::string& path) {
    std::error_code ec;
    return std::filesystem::is_directory(native_path(path), ec);
}

// The refusals, checked before anything is loaded.
int check_drop(const std::vector<std::string>& paths, std::optional<Side> side) {
    // A walk writes each merge to its pair's target: another file must not slip in.
    if (merge_document.directory_mode != 0) {
        return refuse(DROP_DURING_WALK);
    }
    if (paths.size() > 2) {
        return refuse(DROP_TOO_MANY);
    }
    for (const std::string& path : paths) {
        if (is_directory(path)) {
            return refuse(DROP_DIRECTORY, path.c_str());
        }
    }
    if (paths.size() == 1 && !side) {
        return refuse(DROP_OUTSIDE);
    }
    return 0;
}

}  // namespace

std::optional<Side> side_at_point(int width, int height, int x, int y) {
    if (x < 0 || y < 0 || x >= width || y >= height) {
        return std::nullopt;
    }
    // The title bars split the window at width / 2; the panes lie wholly on their side
    // of it, and the position bar straddles it.
    return x < width / 2 ? SIDE_LEFT : SIDE_RIGHT;
}

int drop_files(const std::vector<std::string>& paths, std::optional<Side> side) {
    if (paths.empty()) {
        return 1;
    }
    if (check_drop(paths, side) != 0) {
        return 1;
    }
    if (paths.size() == 1) {
        if (load_side(paths[0].c_str(), *side) != 0) {
            return -1;
        }
    } else if (load_side(paths[0].c_str(), SIDE_LEFT) != 0 ||
               load_side(paths[1].c_str(), SIDE_RIGHT) != 0) {
        return -1;
    }
    if (merge_document.left.path[0] != '\0' && merge_document.right.path[0] != '\0') {
        platform_post_request(REQUEST_COMPARE_FILES);
    }
    return 0;
}
