#include <algorithm>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

#include "common/native_file.h"
#include "engine/engine_internal.h"

namespace {

// Entry names of one directory, sorted by their bytes as unsigned values.
int list_dir_sorted(const InputFile& file, std::vector<std::string>& names) {
    names.clear();
    if (file.descriptor == DESCRIPTOR_ABSENT) {
        return 0;
    }
    std::error_code ec;
    std::filesystem::directory_iterator it(native_path(file.name), ec);
    for (; !ec && it != std::filesystem::directory_iterator(); it.increment(ec)) {
        names.push_back(utf8_of_path(it->path().filename()));
    }
    if (ec) {
        return -1;
    }
    // std::string compares through char_traits<char>, which orders bytes as unsigned.
    std::sort(names.begin(), names.end());
    return 0;
}

}  // namespace

int compare_dirs(InputFile files[2], int depth) {
    std::vector<std::string> lists[2];
    int result = 0;
    for (int i = 0; i < 2; ++i) {
        if (list_dir_sorted(files[i], lists[i]) != 0) {
            report_engine_error("Error in file %s", files[i].name.c_str());
            result = 2;
        }
    }
    if (result != 0) {
        return result;
    }
    std::size_t i0 = 0;
    std::size_t i1 = 0;
    while (i0 < lists[0].size() || i1 < lists[1].size()) {
        int order;
        if (i0 == lists[0].size()) {
            order = 1;
        } else if (i1 == lists[1].size()) {
            order = -1;
        } else {
            const int c = lists[0][i0].compare(lists[1][i1]);
            order = c < 0 ? -1 : c > 0 ? 1 : 0;
        }
        const char* name0 = order <= 0 ? lists[0][i0].c_str() : nullptr;
        const char* name1 = order >= 0 ? lists[1][i1].c_str() : nullptr;
        const int r =
            compare_pair(files[0].name.c_str(), name0, files[1].name.c_str(), name1, depth + 1);
        result = std::max(result, r);
        if (name0 != nullptr) {
            ++i0;
        }
        if (name1 != nullptr) {
            ++i1;
        }
    }
    return result;
}
