#include "ui/document_bridge.h"

// Stand-in until the merge layer is linked: the option flags and the view state are
// kept, nothing is ever loaded.
namespace {
int auto_walk = 0;
int compress_spaces = 0;
int top_row = 0;
int first_column[2] = {0, 0};
}  // namespace

int& doc_auto_walk() {
    return auto_walk;
}
int& doc_compress_spaces() {
    return compress_spaces;
}
bool doc_directory_mode() {
    return false;
}
void doc_start_up() {}
void doc_release() {}
int doc_open_input(const char*, const char*, int) {
    return 0;
}
int doc_load_side(const char*, int) {
    return -1;
}
void doc_compare_files() {}
void doc_write_command() {}
void doc_print() {}
void doc_next() {}
void doc_prev() {}
void doc_first() {}
void doc_last() {}
void doc_choose_all_from(UiSide) {}
void doc_unselect_all() {}
void doc_reset() {}
void doc_choose_by_click(UiSide, int) {}
const char* doc_path(UiSide) {
    return "";
}
void doc_beginning() {}
void doc_end() {}
void doc_scroll_to_row(int) {}
int doc_top_row() {
    return top_row;
}
int doc_total_rows() {
    return 0;
}
int doc_first_column(UiSide side) {
    return first_column[side];
}
void doc_set_first_column(UiSide side, int column) {
    first_column[side] = column;
}
