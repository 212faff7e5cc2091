#include "tests/support/temp_dir.h"

#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "common/paths.h"

namespace fs = std::filesystem;

TempDir::TempDir() {
    static std::atomic<unsigned> counter{0};
    const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
    for (;;) {
        std::ostringstream name;
        name << "pairex-test-" << stamp << "-" << counter++;
        fs::path p = fs::temp_directory_path() / name.str();
        if (fs::create_directory(p)) {
            path_ = p.string();
            return;
        }
    }
}

TempDir::~TempDir() {
    std::error_code ec;
    fs::remove_all(path_, ec);
}

std::string TempDir::file(const std::string& name) const {
    return join_dir_file(path_, name);
}

std::string TempDir::write(const std::string& name, const std::string& bytes) const {
    const std::string p = file(name);
    write_at(p, bytes);
    return p;
}

void TempDir::write_at(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
}

std::string read_bytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

bool exists(const std::string& path) {
    std::error_code ec;
    return fs::exists(path, ec);
}
