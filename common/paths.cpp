#include "common/paths.h"

#include <cstring>

bool is_path_separator(char c) {
#ifdef _WIN32
    return c == '\\' || c == '/';
#else
    return c == '/';
#endif
}

static char fold(char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c;
}

bool paths_equal(const char* a, const char* b) {
    for (;; ++a, ++b) {
        if (fold(*a) != fold(*b)) {
            return false;
        }
        if (*a == '\0') {
            return true;
        }
    }
}

std::string join_dir_file(const std::string& dir, const std::string& name) {
    if (dir.empty() || is_path_separator(dir.back())) {
        return dir + name;
    }
    return dir + PATH_SEPARATOR + name;
}

PathParts split_path(const std::string& path) {
    PathParts parts;
    std::size_t pos = 0;
#ifdef _WIN32
    if (path.size() >= 2 && path[1] == ':') {
        parts.drive = path.substr(0, 2);
        pos = 2;
    }
#endif
    std::size_t last_sep = std::string::npos;
    for (std::size_t i = pos; i < path.size(); ++i) {
        if (is_path_separator(path[i])) {
            last_sep = i;
        }
    }
    std::size_t name_start = pos;
    if (last_sep != std::string::npos) {
        parts.dir = path.substr(pos, last_sep + 1 - pos);
        name_start = last_sep + 1;
    }
    const std::string name = path.substr(name_start);
    const std::size_t dot = name.rfind('.');
    if (dot == std::string::npos) {
        parts.base = name;
    } else {
        parts.base = name.substr(0, dot);
        parts.ext = name.substr(dot);
    }
    return parts;
}

std::string directory_part(const std::string& path) {
    for (std::size_t i = path.size(); i > 0; --i) {
        if (is_path_separator(path[i - 1])) {
            return path.substr(0, i);
        }
    }
    return std::string();
}

bool copy_path(char* dst, std::size_t size, const char* src) {
    const std::size_t n = std::strlen(src);
    if (n + 1 > size) {
        return false;
    }
    std::memcpy(dst, src, n + 1);
    return true;
}
