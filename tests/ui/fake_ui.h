#ifndef PAIREX_TESTS_UI_FAKE_UI_H
#define PAIREX_TESTS_UI_FAKE_UI_H

#include <deque>
#include <map>
#include <optional>
#include <string>
#include <vector>

// Recording fakes of the user interface's own seams: the settings file (in memory) and
// the window system. The window system's calls go to the merge layer's fake's log
// (fake_platform().calls), so that one log holds every call in order.

struct FakeUi {
    // Settings file: "section/key" in lower case -> value.
    std::map<std::string, std::string> ini;
    std::vector<std::string> ini_writes;  // "Section/Key=value", in order
    // Scripted answers.
    int picker_answer = 0;  // 1: confirm with picker_path
    std::string picker_path;
    // Answers for the next pickers, before picker_answer applies: a path confirms,
    // nullopt cancels.
    std::deque<std::optional<std::string>> picker_script;
    std::vector<std::string> picker_offered;  // each picker's file name when it opened
    bool pointer_over_left = false;
    int create_main_window_result = 0;
    int create_children_result = 0;
};

FakeUi& fake_ui();
// Fresh fakes (this one and the merge layer's), an empty document, settings, command
// line and start-up state.
void reset_fake_ui();
// The call log shared with the merge layer's fake.
std::vector<std::string>& ui_calls();

void fake_ini_set(const std::string& section, const std::string& key, const std::string& value);
// The stored value, or "<missing>".
std::string fake_ini_get(const std::string& section, const std::string& key);

#endif
