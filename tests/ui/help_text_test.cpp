#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "resources/command_ids.h"
#include "tests/ui/fake_ui.h"
#include "ui/command_line.h"
#include "ui/commands.h"
#include "ui/help_text.h"

namespace {

std::vector<std::string> lines_of(const std::string& text) {
    std::vector<std::string> lines;
    std::stringstream in(text);
    std::string line;
    while (std::getline(in, line)) {
        lines.push_back(line);
    }
    return lines;
}

const std::vector<std::string>& help_lines() {
    static const std::vector<std::string> lines = lines_of(build_help_text("Pairex test"));
    return lines;
}

// The command line that starts with `path`, or "" when there is none.
std::string line_for(const std::string& path) {
    for (const std::string& line : help_lines()) {
        if (line.rfind(path + "  ", 0) == 0) {
            return line;
        }
    }
    return "";
}

bool mentioned(const std::string& text) {
    for (const std::string& line : help_lines()) {
        if (line.find(text) != std::string::npos) {
            return true;
        }
    }
    return false;
}

TEST(HelpText, MenuLabelsLoseTheirMarkersAndKeyHints) {
    EXPECT_EQ(menu_label_text("&Write             Ctrl+W"), "Write");
    EXPECT_EQ(menu_label_text("Compare &Files  Ctrl+D"), "Compare Files");
    EXPECT_EQ(menu_label_text("From L&eft"), "From Left");
    EXPECT_EQ(menu_label_text("T&itle Font"), "Title Font");
    EXPECT_EQ(menu_label_text("Fish && &Chips"), "Fish & Chips");
    EXPECT_EQ(menu_label_text("&Cancel  Alt-C"), "Cancel");
}

TEST(HelpText, AcceleratorsAreNamedAsTheMenusWriteThem) {
    EXPECT_EQ(accelerator_name({0x21, ACC_CONTROL, CMD_BEGINNING}), "Ctrl+Page Up");
    EXPECT_EQ(accelerator_name({0x22, ACC_CONTROL, CMD_END}), "Ctrl+Page Down");
    EXPECT_EQ(accelerator_name({0x70, 0, CMD_HELP_CONTENTS}), "F1");
    EXPECT_EQ(accelerator_name({0x71, ACC_CONTROL, CMD_FILE2}), "Ctrl+F2");
    EXPECT_EQ(accelerator_name({'N', ACC_CONTROL | ACC_SHIFT, CMD_NEXT}), "Ctrl+Shift+N");
    EXPECT_EQ(accelerator_name({'X', ACC_ALT, CMD_QUIT}), "Alt+X");
}

// Every command of the menus and accelerators has one line that holds one of its menu
// paths, all of its keys and, after them, what it does.
TEST(HelpText, EveryCommandAppearsWithItsPathKeysAndMeaning) {
    std::set<int> ids;
    for (const MenuResource& resource : menu_resources()) {
        for (const MenuPopup& popup : resource.popups) {
            for (const MenuItem& item : popup.items) {
                if (item.label != nullptr) {
                    ids.insert(item.id);
                }
            }
        }
    }
    for (const AcceleratorKey& key : accelerator_table()) {
        ids.insert(key.id);
    }
    for (int id : ids) {
        std::vector<std::string> labels;
        for (const MenuResource& resource : menu_resources()) {
            for (const MenuPopup& popup : resource.popups) {
                for (const MenuItem& item : popup.items) {
                    if (item.label != nullptr && item.id == id) {
                        labels.push_back(" > " + menu_label_text(item.label) + "  ");
                    }
                }
            }
        }
        std::vector<std::string> keys;
        for (const AcceleratorKey& key : accelerator_table()) {
            if (key.id == id) {
                keys.push_back(accelerator_name(key));
            }
        }
        int found = 0;
        for (const std::string& line : help_lines()) {
            std::size_t end = std::string::npos;
            for (const std::string& label : labels) {
                if (line.rfind(' ', 0) != 0 && line.find(label) != std::string::npos) {
                    end = line.find(label) + label.size();
                }
            }
            if (end == std::string::npos) {
                continue;
            }
            bool all_keys = true;
            for (const std::string& key : keys) {
                const std::size_t at = line.find(key, end);
                all_keys = all_keys && at != std::string::npos;
                if (at != std::string::npos) {
                    end = std::max(end, at + key.size());
                }
            }
            if (all_keys) {
                ++found;
                EXPECT_NE(line.find_first_not_of(' ', end), std::string::npos)
                    << "no meaning: " << line;
            }
        }
        EXPECT_EQ(found, 1) << "command " << id;
    }
}

TEST(HelpText, SpotChecksOfWholeLines) {
    EXPECT_NE(line_for("File > Write").find("Ctrl+W"), std::string::npos);
    EXPECT_NE(line_for("File > Write").find("Write the merged file"), std::string::npos);
    EXPECT_NE(line_for("Search > Next").find("Ctrl+N, Ctrl+Shift+N"), std::string::npos);
    EXPECT_NE(line_for("Help > Contents").find("  F1  "), std::string::npos);
    EXPECT_NE(line_for("File > File 1").find("Ctrl+F1"), std::string::npos);
    EXPECT_NE(line_for("Options > Tab size").find("Ctrl+T"), std::string::npos);
    // Commands only the directory comparison's menu has come with its keys.
    EXPECT_NE(line_for("File (directories) > Skip").find("Alt+S"), std::string::npos);
    EXPECT_NE(line_for("File (directories) > Cancel").find("Alt+C"), std::string::npos);
    EXPECT_TRUE(mentioned("also Right-click menu > Write; File (directories) > Write"));
    EXPECT_EQ(help_lines().front(), "Pairex test");
}

// The options listed are exactly the ones the command line accepts: each name, given
// with a value, sets one option, and together they set every option once.
TEST(HelpText, CommandLineOptionsAreTheParsersOwn) {
    std::set<int> keys;
    bool in_options = false;
    for (const std::string& line : help_lines()) {
        in_options = in_options || line == "Command line";
        if (!in_options || line.empty() || line[0] != '-') {
            continue;
        }
        const std::string name = line.substr(0, line.find(' '));
        reset_fake_ui();
        ASSERT_EQ(parse_command_line((name + " value").c_str()), 0) << name;
        int given = 0;
        for (int key = 0; key < OPTION_COUNT; ++key) {
            if (option_value(key) == "value") {
                keys.insert(key);
                ++given;
            }
        }
        EXPECT_EQ(given, 1) << name;
        EXPECT_GT(line.find_last_not_of(' '), name.size() + 6) << "no meaning for " << name;
    }
    EXPECT_EQ(keys.size(), static_cast<std::size_t>(OPTION_COUNT));
}

}  // namespace
