#include "common/native_file.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstdlib>

#ifdef _WIN32
#include <io.h>

#include "common/unicode.h"
#else
#include <unistd.h>
#endif

namespace {

// The stream of a file this process created a moment ago; when none can be had, the
// empty file is this call's own to delete.
FILE* stream_of_created(int fd, bool text, const char* utf8) {
    FILE* stream = fdopen(fd, text ? "w" : "wb");
    if (stream == nullptr) {
        ::close(fd);
        std::error_code ec;
        std::filesystem::remove(native_path(utf8), ec);
    }
    return stream;
}

}  // namespace

#ifdef _WIN32

std::filesystem::path native_path(std::string_view utf8) {
    std::wstring wide;
    if (!wide_exact(utf8, wide)) {
        return std::filesystem::path();
    }
    return std::filesystem::path(wide);
}

std::string utf8_of_path(const std::filesystem::path& path) {
    const std::wstring& wide = path.native();
    return utf8_from_utf16(std::u16string(wide.begin(), wide.end()));
}

FILE* native_fopen(const char* utf8, const char* mode) {
    std::wstring name;
    std::wstring wide_mode;
    if (!wide_exact(utf8, name) || !wide_exact(mode, wide_mode)) {
        errno = ENOENT;
        return nullptr;
    }
    return _wfopen(name.c_str(), wide_mode.c_str());
}

int native_open(const char* utf8, int flags) {
    std::wstring name;
    if (!wide_exact(utf8, name)) {
        errno = ENOENT;
        return -1;
    }
    return _wopen(name.c_str(), flags);
}

FILE* native_create_new(const char* utf8, bool text) {
    std::wstring name;
    if (!wide_exact(utf8, name)) {
        errno = ENOENT;
        return nullptr;
    }
    const int fd =
        _wopen(name.c_str(), _O_CREAT | _O_EXCL | _O_WRONLY | (text ? _O_TEXT : _O_BINARY),
               _S_IREAD | _S_IWRITE);
    return fd < 0 ? nullptr : stream_of_created(fd, text, utf8);
}

bool native_stat(const char* utf8, NativeStat& out) {
    std::wstring name;
    if (!wide_exact(utf8, name)) {
        return false;
    }
    struct _stat64 st;
    if (_wstat64(name.c_str(), &st) != 0) {
        return false;
    }
    out.is_dir = (st.st_mode & S_IFMT) == S_IFDIR;
    out.is_regular = (st.st_mode & S_IFMT) == S_IFREG;
    out.size = static_cast<std::uint64_t>(st.st_size);
    return true;
}

bool native_getenv(const char* name, std::string& out) {
    std::wstring wide;
    const wchar_t* value = wide_exact(name, wide) ? _wgetenv(wide.c_str()) : nullptr;
    if (value == nullptr) {
        return false;
    }
    const std::wstring_view v(value);
    out = utf8_from_utf16(std::u16string(v.begin(), v.end()));
    return true;
}

#else

std::filesystem::path native_path(std::string_view utf8) {
    return std::filesystem::path(std::string(utf8));
}

std::string utf8_of_path(const std::filesystem::path& path) {
    return path.native();
}

FILE* native_fopen(const char* utf8, const char* mode) {
    return std::fopen(utf8, mode);
}

int native_open(const char* utf8, int flags) {
    return ::open(utf8, flags);
}

FILE* native_create_new(const char* utf8, bool /*text*/) {
    const int fd = ::open(utf8, O_CREAT | O_EXCL | O_WRONLY | O_CLOEXEC, 0666);
    return fd < 0 ? nullptr : stream_of_created(fd, false, utf8);
}

bool native_stat(const char* utf8, NativeStat& out) {
    struct stat st;
    if (::stat(utf8, &st) != 0) {
        return false;
    }
    out.is_dir = S_ISDIR(st.st_mode);
    out.is_regular = S_ISREG(st.st_mode);
    out.size = static_cast<std::uint64_t>(st.st_size);
    return true;
}

bool native_getenv(const char* name, std::string& out) {
    const char* value = std::getenv(name);
    if (value == nullptr) {
        return false;
    }
    out = value;
    return true;
}

#endif
