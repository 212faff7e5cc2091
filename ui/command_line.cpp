#include "ui/command_line.h"

#include <array>
#include <cstring>
#include <vector>

#include "common/paths.h"
#include "common/report.h"
#include "ui/settings_file.h"

namespace {

std::array<CommandLineOption, OPTION_COUNT> options = {{
    {"d1", OPT_D1, 1, false, {}},
    {"d2", OPT_D2, 1, false, {}},
    {"f1", OPT_F1, 1, false, {}},
    {"f2", OPT_F2, 1, false, {}},
    {"outf", OPT_OUTF, 1, false, {}},
    {"outd", OPT_OUTD, 1, false, {}},
    {"merge", OPT_MERGE, 1, false, {}},
}};

bool equal_ignoring_case(const std::string& a, const char* b) {
    std::size_t n = std::strlen(b);
    if (a.size() != n) {
        return false;
    }
    for (std::size_t i = 0; i < n; ++i) {
        char x = a[i];
        char y = b[i];
        if (x >= 'A' && x <= 'Z') {
            x = static_cast<char>(x - 'A' + 'a');
        }
        if (y >= 'A' && y <= 'Z') {
            y = static_cast<char>(y - 'A' + 'a');
        }
        if (x != y) {
            return false;
        }
    }
    return true;
}

// Splits at blanks. Double quotes group blanks into a token and are not part of it;
// the shell passes every opened path this way.
std::vector<std::string> split_tokens(const char* text) {
    std::vector<std::string> tokens;
    const char* p = text;
    for (;;) {
        while (*p == ' ') {
            ++p;
        }
        if (*p == '\0') {
            break;
        }
        std::string token;
        bool quoted = false;
        while (*p != '\0' && (quoted || *p != ' ')) {
            if (*p == '"') {
                quoted = !quoted;
            } else {
                token += *p;
            }
            ++p;
        }
        tokens.push_back(std::move(token));
    }
    return tokens;
}

}  // namespace

void reset_command_line() {
    for (auto& option : options) {
        option.given = false;
        option.value.clear();
    }
}

int parse_command_line(const char* text) {
    std::string last_cmd = "\"";
    last_cmd += text;
    last_cmd += '"';
    settings_write_string("Misc", "LastCmd", last_cmd.c_str());

    std::vector<std::string> tokens = split_tokens(text);
    for (std::size_t i = 0; i < tokens.size(); ++i) {
        const std::string& token = tokens[i];
        if (token.empty() || (token[0] != '-' && token[0] != '/')) {
            report_message("Bad command line", SEVERITY_ERROR);
            return -1;
        }
        std::string name = token.substr(1);
        CommandLineOption* found = nullptr;
        for (auto& option : options) {
            if (equal_ignoring_case(name, option.name)) {
                found = &option;
                break;
            }
        }
        if (found == nullptr) {
            report_message("Unknown option", SEVERITY_ERROR);
            return -1;
        }
        if (i + 1 >= tokens.size()) {
            report_message("Bad command line", SEVERITY_INFO);
            return -1;
        }
        ++i;
        // Every value ends up in a 260-byte path buffer: a longer one is refused
        // rather than cut, since a cut path could name another file.
        if (!path_fits(tokens[i])) {
            report_message("Bad command line", SEVERITY_ERROR);
            return -1;
        }
        found->given = true;
        found->value = tokens[i];
    }
    return 0;
}

const char* option_name(int key) {
    if (key < 0 || key >= OPTION_COUNT) {
        return "";
    }
    return options[static_cast<std::size_t>(key)].name;
}

std::optional<std::string> option_value(int key) {
    if (key < 0 || key >= OPTION_COUNT || !options[static_cast<std::size_t>(key)].given) {
        return std::nullopt;
    }
    return options[static_cast<std::size_t>(key)].value;
}

std::string_view arguments_of(std::string_view whole) {
    std::size_t i = 0;
    if (!whole.empty() && whole[0] == '"') {
        const std::size_t close = whole.find('"', 1);
        i = close == std::string_view::npos ? whole.size() : close + 1;
    } else {
        while (i < whole.size() && whole[i] != ' ' && whole[i] != '\t') {
            ++i;
        }
    }
    while (i < whole.size() && (whole[i] == ' ' || whole[i] == '\t')) {
        ++i;
    }
    return whole.substr(i);
}
