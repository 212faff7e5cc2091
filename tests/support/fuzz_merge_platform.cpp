#include "merge/file_layer.h"
#include "merge/merge_platform.h"

// Fuzz targets run the merge logic without a window system: every request is a no-op
// and every question is declined.
void platform_repaint_pane(Side) {}
void platform_repaint_title(Side) {}
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
    return ANSWER_CANCEL;
}
void platform_post_request(Request) {}
int platform_pane_line_height() {
    return 16;
}
int print_job_start() {
    return -1;
}
void print_line(const char*, std::size_t, int32_t) {}
int print_job_end() {
    return 0;
}
std::string platform_stored_name(const char* path) {
    return path;
}
int platform_commit_rename(const char* from, const char* to) {
    return standard_commit_rename(from, to);
}
FileStamp platform_file_stamp(const char* path) {
    return standard_file_stamp(path);
}
FileStamp platform_stream_stamp(std::FILE* stream) {
    return standard_stream_stamp(stream);
}
