// The window system is reached only from ui/win32 (and the Windows end-to-end tests
// and tools): everything else must build on any platform.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

bool includes_window_system(const fs::path& file) {
    std::ifstream in(file);
    std::string line;
    while (std::getline(in, line)) {
        std::string t;
        for (char c : line) {
            if (c != ' ' && c != '\t') {
                t += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
            }
        }
        if (t.rfind("#include", 0) == 0 && (t.find("<windows.h>") != std::string::npos ||
                                            t.find("<commdlg.h>") != std::string::npos ||
                                            t.find("<winuser.h>") != std::string::npos ||
                                            t.find("<wingdi.h>") != std::string::npos)) {
            return true;
        }
    }
    return false;
}

TEST(Boundary, WindowsHeadersOnlyInTheWindowsGlue) {
    fs::path root(PAIREX_SOURCE_DIR);
    ASSERT_TRUE(fs::exists(root / "ui" / "win32"));
    const std::vector<fs::path> allowed = {root / "ui" / "win32", root / "tests" / "win32",
                                           root / "cli", root / "build", root / ".git"};
    std::vector<std::string> offenders;
    int scanned = 0;
    for (auto it = fs::recursive_directory_iterator(root); it != fs::recursive_directory_iterator();
         ++it) {
        const fs::path& p = it->path();
        if (it->is_directory() && std::find(allowed.begin(), allowed.end(), p) != allowed.end()) {
            it.disable_recursion_pending();
            continue;
        }
        std::string ext = p.extension().string();
        if (it->is_regular_file() &&
            (ext == ".h" || ext == ".cpp" || ext == ".c" || ext == ".hpp")) {
            ++scanned;
            if (includes_window_system(p)) {
                offenders.push_back(p.string());
            }
        }
    }
    EXPECT_GT(scanned, 20);
    EXPECT_TRUE(offenders.empty()) << offenders.front();
}

}  // namespace
