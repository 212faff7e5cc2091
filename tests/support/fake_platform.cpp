#include "tests/support/fake_platform.h"

#include "merge/document.h"
#include "merge/file_layer.h"

#include <algorithm>

FakePlatform& fake_platform() {
    static FakePlatform fake;
    return fake;
}

void reset_fake_platform() {
    fake_platform() = FakePlatform{};
}

int take_posted_request() {
    auto& q = fake_platform().posted;
    if (q.empty()) {
        return NO_REQUEST;
    }
    const Request r = q.front();
    q.pop_front();
    return r;
}

const char* request_name(Request request) {
    switch (request) {
        case REQUEST_COMPARE_FILES:
            return "compare_files";
        case REQUEST_FIRST:
            return "first";
        case REQUEST_CANCEL:
            return "cancel";
        case REQUEST_NEXT_PAIR:
            return "next_pair";
    }
    return "?";
}

int count_calls(const std::string& call) {
    const auto& c = fake_platform().calls;
    return static_cast<int>(std::count(c.begin(), c.end(), call));
}

static void log(const std::string& call) {
    fake_platform().calls.push_back(call);
}
static const char* name(Side side) {
    return side == SIDE_LEFT ? "left" : "right";
}

void platform_repaint_pane(Side side) {
    log(std::string("repaint_pane ") + name(side));
}
void platform_repaint_title(Side side) {
    log(std::string("repaint_title ") + name(side));
}
void platform_repaint_position_bar() {
    log("repaint_position_bar");
}

void platform_set_scroll_range(int32_t min, int32_t max) {
    fake_platform().scroll_min = min;
    fake_platform().scroll_max = max;
    log("scroll_range " + std::to_string(min) + " " + std::to_string(max));
}

void platform_set_scroll_position(int32_t position) {
    fake_platform().scroll_position = position;
    log("scroll_position " + std::to_string(position));
}

void platform_scroll_panes(int32_t old_top_row) {
    const int32_t top = merge_document.top_row;
    if (fake_platform().scroll_position == top + 1) {
        return;
    }
    fake_platform().scroll_position = top + 1;
    log("scroll_position " + std::to_string(top + 1));
    log("scroll_panes " + std::to_string(old_top_row - top));
}

void platform_redraw_scroll_bar() {
    log("redraw_scroll_bar");
}

std::intptr_t platform_show_wait_cursor() {
    log("wait_cursor");
    return ++fake_platform().cursor_depth;
}

void platform_restore_cursor(std::intptr_t previous) {
    log("restore_cursor");
    if (previous == fake_platform().cursor_depth) {
        --fake_platform().cursor_depth;
    }
}

Answer platform_ask(const char* caption, const char* text, QuestionButtons buttons) {
    FakePlatform& f = fake_platform();
    f.questions.push_back({caption, text, buttons});
    log("ask");
    if (f.answers.empty()) {
        return ANSWER_CANCEL;
    }
    const Answer a = f.answers.front();
    f.answers.pop_front();
    return a;
}

void platform_post_request(Request request) {
    fake_platform().posted.push_back(request);
    log(std::string("post ") + request_name(request));
}

int platform_pane_line_height() {
    return fake_platform().line_height;
}

int print_job_start() {
    ++fake_platform().print_jobs_started;
    log("print_start");
    return fake_platform().print_start_result;
}

void print_line(const char* text, std::size_t length, int32_t line_number) {
    fake_platform().printed.push_back({std::string(text, length), line_number});
}

int print_job_end() {
    ++fake_platform().print_jobs_ended;
    log("print_end");
    return fake_platform().print_end_result;
}

std::string platform_stored_name(const char* path) {
    const auto found = fake_platform().stored_names.find(path);
    return found != fake_platform().stored_names.end() ? found->second : std::string(path);
}

// The standard library's rename: the unit tests check what reaches the disk.
int platform_commit_rename(const char* from, const char* to) {
    return standard_commit_rename(from, to);
}
FileStamp platform_file_stamp(const char* path) {
    return standard_file_stamp(path);
}
FileStamp platform_stream_stamp(std::FILE* stream) {
    return standard_stream_stamp(stream);
}
