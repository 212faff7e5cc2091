// The benchmark runs without a window system: messages go to standard error, the
// views ignore every request and no question is asked.
#include <cstdio>

#include "common/report.h"
#include "merge/merge_platform.h"

int report_message(const char* text, int severity) {
    std::fprintf(stderr, "[%d] %s\n", severity, text);
    return 1;
}

void platform_repaint_pane(PaneSide) {}
void platform_repaint_title(PaneSide) {}
void platform_repaint_position_bar() {}
void platform_set_scroll_range(int32_t, int32_t) {}
void platform_set_scroll_position(int32_t) {}
void platform_redraw_scroll_bar() {}
void platform_scroll_panes(int32_t) {}
std::intptr_t platform_show_wait_cursor() {
    return 0;
}
void platform_restore_cursor(std::intptr_t) {}
Answer platform_ask(const char*, const char*, QuestionButtons) {
    return ANSWER_NO;
}
int platform_save_dialog(const std::string&, std::string&) {
    return -1;
}
void platform_post_command(int) {}
int platform_pane_line_height() {
    return 16;
}
int print_job_start() {
    return -1;
}
void print_line(const char*, int32_t) {}
int print_job_end() {
    return 0;
}
