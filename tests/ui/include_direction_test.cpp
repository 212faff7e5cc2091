// The layers' include directions, checked over the whole tree: every quoted include
// names a header from the root ("merge/document.h"), and a folder may include only the
// folders its row below allows. The window system's headers belong to the Windows glue.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

// Which folders each folder may include, besides itself. The product's layers point one
// way: ui/win32 -> ui -> dircompare, merge -> engine -> common; command ids (resources)
// only where commands are dispatched. Tests see their own layer, what it sees, and the
// shared test support.
const std::map<std::string, std::set<std::string>> ALLOWED = {
    {"common", {}},
    {"engine", {"common"}},
    {"merge", {"engine", "common"}},
    {"dircompare", {"merge", "engine", "common"}},
    {"ui/view", {"merge", "common"}},
    {"ui", {"ui/view", "dircompare", "merge", "common", "resources"}},
    {"ui/win32", {"ui", "ui/view", "dircompare", "merge", "common", "resources"}},
    {"cli", {"engine", "common"}},
    {"resources", {}},
    {"tests/support", {"ui", "dircompare", "merge", "engine", "common"}},
    {"tests/common", {"common", "tests/support"}},
    {"tests/engine", {"engine", "common", "tests/support"}},
    {"tests/cli", {"engine", "common", "tests/support"}},
    {"tests/merge", {"merge", "engine", "common", "tests/support"}},
    {"tests/dircompare",
     {"dircompare", "merge", "engine", "common", "tests/support", "tests/merge"}},
    {"tests/ui",
     {"ui", "ui/view", "dircompare", "merge", "engine", "common", "resources", "tests/support",
      "tests/merge"}},
    {"tests/ui/view", {"ui/view", "merge", "common", "tests/support", "tests/merge"}},
    {"tests/win32",
     {"ui/win32", "ui", "ui/view", "dircompare", "merge", "engine", "common", "resources",
      "tests/support", "tests/merge"}},
    {"fuzz", {"ui", "dircompare", "merge", "engine", "common", "tests/support"}},
    {"bench",
     {"tests/win32", "ui/win32", "ui", "ui/view", "dircompare", "merge", "engine", "common",
      "resources", "tests/support"}},
};

// Folders whose files may include the window system's headers.
const std::set<std::string> WINDOWS_GLUE = {"ui/win32", "cli", "tests/win32"};

const char* const WINDOWS_HEADERS[] = {"windows.h", "commdlg.h",  "winuser.h", "wingdi.h",
                                       "winbase.h", "shellapi.h", "winspool.h"};

// The longest folder of ALLOWED that `path` (root-relative, '/'-separated) lies in.
std::string folder_of(const std::string& path) {
    std::string best;
    for (const auto& [folder, _] : ALLOWED) {
        if (path.rfind(folder + "/", 0) == 0 && folder.size() > best.size()) {
            best = folder;
        }
    }
    return best;
}

struct Include {
    std::string target;
    bool angled;
};

std::vector<Include> includes_of(const fs::path& file) {
    std::vector<Include> out;
    std::ifstream in(file);
    std::string line;
    while (std::getline(in, line)) {
        std::size_t p = line.find_first_not_of(" \t");
        if (p == std::string::npos || line.compare(p, 1, "#") != 0) {
            continue;
        }
        p = line.find_first_not_of(" \t", p + 1);
        if (p == std::string::npos || line.compare(p, 7, "include") != 0) {
            continue;
        }
        const std::size_t open = line.find_first_of("\"<", p + 7);
        if (open == std::string::npos) {
            continue;
        }
        const std::size_t close = line.find(line[open] == '"' ? '"' : '>', open + 1);
        if (close != std::string::npos) {
            out.push_back({line.substr(open + 1, close - open - 1), line[open] == '<'});
        }
    }
    return out;
}

std::string lower(std::string s) {
    for (char& c : s) {
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return s;
}

// The findings for one file: includes that break the table.
void check_file(const std::string& rel, const fs::path& file, std::vector<std::string>& found) {
    const std::string from = folder_of(rel);
    if (from.empty()) {
        found.push_back(rel + ": a source file outside every known folder");
        return;
    }
    for (const Include& inc : includes_of(file)) {
        if (inc.angled) {
            const std::string name = lower(inc.target);
            const bool windows = std::any_of(std::begin(WINDOWS_HEADERS), std::end(WINDOWS_HEADERS),
                                             [&](const char* h) { return name == h; });
            if (windows && WINDOWS_GLUE.count(from) == 0) {
                found.push_back(rel + ": <" + inc.target + "> outside the Windows glue");
            }
            continue;
        }
        const std::string to = folder_of(inc.target);
        if (to.empty()) {
            found.push_back(rel + ": \"" + inc.target + "\" is not named from the root");
        } else if (to != from && ALLOWED.at(from).count(to) == 0) {
            found.push_back(rel + ": " + from + " may not include " + inc.target);
        }
    }
}

std::vector<std::string> findings_under(const fs::path& root, int& scanned) {
    std::vector<std::string> found;
    for (auto it = fs::recursive_directory_iterator(root); it != fs::recursive_directory_iterator();
         ++it) {
        const std::string name = it->path().filename().string();
        if (it->is_directory() && (name == "build" || name[0] == '.')) {
            it.disable_recursion_pending();
            continue;
        }
        const std::string ext = it->path().extension().string();
        if (!it->is_regular_file() || (ext != ".h" && ext != ".cpp" && ext != ".c")) {
            continue;
        }
        ++scanned;
        check_file(fs::relative(it->path(), root).generic_string(), it->path(), found);
    }
    return found;
}

TEST(IncludeDirection, EveryIncludeFollowsTheLayerTable) {
    int scanned = 0;
    const std::vector<std::string> found = findings_under(fs::path(PAIREX_SOURCE_DIR), scanned);
    EXPECT_GT(scanned, 100);
    for (const std::string& f : found) {
        ADD_FAILURE() << f;
    }
}

TEST(IncludeDirection, TheCheckCatchesAnUpwardInclude) {
    // A merge file reaching into the user interface, and a platform-free file including
    // the window system, are both found.
    const fs::path root = fs::temp_directory_path() / "pairex-include-direction";
    fs::remove_all(root);
    fs::create_directories(root / "merge");
    std::ofstream(root / "merge" / "bad.cpp") << "#include \"ui/settings.h\"\n"
                                                 "  #  include <Windows.h>\n"
                                                 "#include \"local.h\"\n"
                                                 "#include \"engine/engine.h\"\n";
    int scanned = 0;
    const std::vector<std::string> found = findings_under(root, scanned);
    fs::remove_all(root);
    EXPECT_EQ(scanned, 1);
    EXPECT_EQ(found,
              (std::vector<std::string>{"merge/bad.cpp: merge may not include ui/settings.h",
                                        "merge/bad.cpp: <Windows.h> outside the Windows glue",
                                        "merge/bad.cpp: \"local.h\" is not named from the root"}));
}

}  // namespace
