#ifndef PAIREX_TESTS_SUPPORT_FAKE_PLATFORM_H
#define PAIREX_TESTS_SUPPORT_FAKE_PLATFORM_H

#include <cstdint>
#include <deque>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "merge/merge_platform.h"

// The tests' implementation of the merge layer's platform seam: every call is logged,
// questions and the save dialog are answered from a script, posted requests queue up
// until the test delivers them. The save dialog is a file of its own
// (fake_save_dialog.cpp): the user interface's tests use the real one.
struct AskedQuestion {
    std::string caption;
    std::string text;
    QuestionButtons buttons;
};

struct PrintedLine {
    std::string text;
    int32_t line_number;
    bool operator==(const PrintedLine&) const = default;
};

struct FakePlatform {
    std::vector<std::string> calls;  // e.g. "repaint_pane left", "scroll_position 5"
    std::deque<Answer> answers;      // popped by platform_ask; an unscripted ask gets Cancel
    std::vector<AskedQuestion> questions;
    std::deque<std::optional<std::string>> save_results;  // nullopt: the user cancels
    int save_dialogs = 0;                                 // save dialogs shown
    std::deque<Request> posted;
    int line_height = 16;
    int print_start_result = 0;
    int print_end_result = 0;
    int print_jobs_started = 0;
    int print_jobs_ended = 0;
    std::vector<PrintedLine> printed;
    int32_t scroll_min = 0;
    int32_t scroll_max = 0;
    int32_t scroll_position = 0;
    int cursor_depth = 0;  // wait cursors shown and not yet restored
    // Spellings that platform_stored_name turns into the stored name (as a file system
    // with short names or without regard to case would); others are kept.
    std::map<std::string, std::string> stored_names;
};

FakePlatform& fake_platform();
void reset_fake_platform();
// Pops the oldest posted request; NO_REQUEST when none is queued.
constexpr int NO_REQUEST = -1;
int take_posted_request();
// The word a request is logged with ("post next_pair").
const char* request_name(Request request);
// Number of logged calls equal to `call`.
int count_calls(const std::string& call);

#endif
