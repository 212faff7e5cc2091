#ifndef PAIREX_TESTS_SUPPORT_TEMP_DIR_H
#define PAIREX_TESTS_SUPPORT_TEMP_DIR_H

#include <string>

// A fresh directory under the system's temporary directory, removed with its
// contents when the object goes out of scope.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& path() const { return path_; }
    // path() + separator + name.
    std::string file(const std::string& name) const;
    // Writes `bytes` exactly (binary) to file(name) and returns its path.
    std::string write(const std::string& name, const std::string& bytes) const;
    // Writes `bytes` exactly to `path`.
    static void write_at(const std::string& path, const std::string& bytes);

private:
    std::string path_;
};

// The exact bytes of a file ("" when it cannot be read).
std::string read_bytes(const std::string& path);
bool exists(const std::string& path);

#endif
