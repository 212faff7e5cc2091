// Holds resources/pairex.rc to the command table, so that the menus and accelerators
// the user sees cannot drift from the commands the code dispatches.
#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "ui/commands.h"

namespace {

struct ParsedItem {
    std::string label;  // "" for a separator
    int id;
    bool operator==(const ParsedItem&) const = default;
};
struct ParsedPopup {
    std::string title;
    std::vector<ParsedItem> items;
    bool operator==(const ParsedPopup&) const = default;
};
struct ParsedAccelerator {
    int key;
    int modifiers;
    int id;
    bool operator==(const ParsedAccelerator&) const = default;
};

struct ParsedScript {
    std::map<std::string, std::vector<ParsedPopup>> menus;
    std::vector<ParsedAccelerator> accelerators;
    std::map<std::string, std::vector<ParsedAccelerator>> accelerator_tables;
};

std::string trim(const std::string& s) {
    std::size_t a = s.find_first_not_of(" \t\r");
    std::size_t b = s.find_last_not_of(" \t\r");
    return a == std::string::npos ? "" : s.substr(a, b - a + 1);
}

std::vector<std::string> split_commas(const std::string& s) {
    std::vector<std::string> parts;
    std::stringstream in(s);
    std::string part;
    while (std::getline(in, part, ',')) {
        parts.push_back(trim(part));
    }
    return parts;
}

std::string quoted_text(const std::string& s) {
    std::size_t a = s.find('"');
    std::size_t b = s.rfind('"');
    return (a == std::string::npos || b == a) ? "" : s.substr(a + 1, b - a - 1);
}

int command_id(const std::string& name) {
    for (const CommandInfo& command : command_table()) {
        if (name == command.name) {
            return command.id;
        }
    }
    ADD_FAILURE() << "unknown command name " << name;
    return -1;
}

ParsedScript parse(const std::string& path) {
    ParsedScript script;
    std::ifstream in(path);
    EXPECT_TRUE(in.good()) << path;
    std::map<std::string, int> defines;
    std::string line;
    std::string menu;   // the menu being read
    std::string table;  // the accelerator table being read
    int depth = 0;
    while (std::getline(in, line)) {
        std::string t = trim(line);
        if (t.rfind("#define ", 0) == 0) {
            std::stringstream d(t.substr(8));
            std::string name, value;
            d >> name >> value;
            // Dialog styles need all 32 bits: wider than long on Windows.
            defines[name] = static_cast<int>(std::stoll(value, nullptr, 0));
        } else if (t.ends_with(" MENU")) {
            menu = t.substr(0, t.size() - 5);
            script.menus[menu];
        } else if (t.ends_with(" ACCELERATORS")) {
            table = t.substr(0, t.size() - 13);
            script.accelerator_tables[table];
        } else if (t == "BEGIN") {
            ++depth;
        } else if (t == "END") {
            if (--depth == 0) {
                menu.clear();
                table.clear();
            }
        } else if (!menu.empty() && t.rfind("POPUP ", 0) == 0) {
            script.menus[menu].push_back({quoted_text(t), {}});
        } else if (!menu.empty() && t == "MENUITEM SEPARATOR") {
            script.menus[menu].back().items.push_back({"", 0});
        } else if (!menu.empty() && t.rfind("MENUITEM ", 0) == 0) {
            std::string name = trim(t.substr(t.rfind(',') + 1));
            script.menus[menu].back().items.push_back({quoted_text(t), command_id(name)});
        } else if (!table.empty() && !t.empty()) {
            std::vector<std::string> parts = split_commas(t);
            EXPECT_GE(parts.size(), 3u) << t;
            ParsedAccelerator acc{0, 0, command_id(parts[1])};
            if (parts[0].front() == '"') {
                acc.key = parts[0][1];
            } else {
                EXPECT_TRUE(defines.count(parts[0])) << parts[0];
                acc.key = defines[parts[0]];
            }
            EXPECT_EQ(parts[2], "VIRTKEY") << t;
            for (std::size_t i = 3; i < parts.size(); ++i) {
                acc.modifiers |= parts[i] == "CONTROL" ? ACC_CONTROL
                                 : parts[i] == "SHIFT" ? ACC_SHIFT
                                 : parts[i] == "ALT"   ? ACC_ALT
                                                       : 1000;
            }
            script.accelerator_tables[table].push_back(acc);
        }
    }
    return script;
}

const ParsedScript& script() {
    static const ParsedScript parsed =
        parse(std::string(PAIREX_SOURCE_DIR) + "/resources/pairex.rc");
    return parsed;
}

TEST(ResourceScript, MenusMatchTheCommandTable) {
    std::map<std::string, std::vector<ParsedPopup>> expected;
    for (const MenuResource& menu : menu_resources()) {
        for (const MenuPopup& popup : menu.popups) {
            ParsedPopup p{popup.title, {}};
            for (const MenuItem& item : popup.items) {
                p.items.push_back({item.label ? item.label : "", item.id});
            }
            expected[menu.name].push_back(p);
        }
    }
    EXPECT_EQ(script().menus.size(), 3u);
    EXPECT_EQ(script().menus, expected);
}

TEST(ResourceScript, AcceleratorsMatchTheCommandTable) {
    std::vector<ParsedAccelerator> expected;
    for (const AcceleratorKey& key : accelerator_table()) {
        expected.push_back({key.virtual_key, key.modifiers, key.id});
    }
    ASSERT_EQ(script().accelerator_tables.size(), 1u);
    ASSERT_TRUE(script().accelerator_tables.count("PAIREX_ACC"));
    EXPECT_EQ(script().accelerator_tables.at("PAIREX_ACC"), expected);
}

TEST(ResourceScript, LabelsKeepTheirExactSpelling) {
    // Spot checks against the labels as the program has always shown them.
    const auto& search = script().menus.at("MAIN_MENU").at(1);
    EXPECT_EQ(search.items.at(5).label, "&Beginnning");
    EXPECT_EQ(script().menus.at("MAIN_MENU").at(0).items.at(10).label,
              "&Quit                Alt+X");
    EXPECT_EQ(script().menus.at("COMP_DIR_MENU").at(0).items.at(1).label, "&Cancel  Alt-C");
}

}  // namespace
