#ifndef PAIREX_TESTS_UI_FAKE_UI_H
#define PAIREX_TESTS_UI_FAKE_UI_H

#include <map>
#include <string>
#include <vector>

// Recording fakes of the user interface's seams: the settings file (in memory), the
// merge document and the window system. Every call is logged in order.

struct FakeUi {
    // Settings file: "section/key" in lower case -> value.
    std::map<std::string, std::string> ini;
    std::vector<std::string> ini_writes;  // "Section/Key=value", in order
    // The call log of the document and the window system.
    std::vector<std::string> calls;
    // Scripted answers.
    int picker_answer = 0;  // 1: confirm with picker_path
    std::string picker_path;
    int open_input_result = 1;
    bool directory_mode = false;
    bool pointer_over_left = false;
    int total_rows = 0;
    int create_main_window_result = 0;
    int create_children_result = 0;
    // Document state.
    int auto_walk = 0;
    int compress_spaces = 0;
    int top_row = 0;
    int first_column[2] = {0, 0};
};

FakeUi& fake_ui();
// Fresh fakes, settings, command line and start-up state.
void reset_fake_ui();

void fake_ini_set(const std::string& section, const std::string& key, const std::string& value);
// The stored value, or "<missing>".
std::string fake_ini_get(const std::string& section, const std::string& key);

#endif
