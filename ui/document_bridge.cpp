#include "ui/document_bridge.h"

#include "merge/blocks.h"
#include "merge/comparison.h"
#include "merge/document.h"
#include "merge/output.h"

namespace {

Side side_for(UiSide side) {
    return side == UI_LEFT ? Side::SIDE_LEFT : Side::SIDE_RIGHT;
}

void empty_side(MergeSide& side) {
    free_side_text(side);
    side.line_count = 0;
    side.path[0] = '\0';
}

}  // namespace

int& doc_auto_walk() {
    return merge_document.auto_walk;
}
int& doc_compress_spaces() {
    return merge_document.compress_spaces;
}
bool doc_directory_mode() {
    return merge_document.directory_mode != 0;
}

void doc_start_up() {
    merge_document.not_compared = 1;
    merge_document.directory_mode = 0;
    free_blocks();
    empty_side(merge_document.left);
    empty_side(merge_document.right);
    merge_document.top_row = 0;
    merge_document.total_rows = 0;
}

void doc_release() {
    free_blocks();
    free_side_text(merge_document.left);
    free_side_text(merge_document.right);
}

int doc_open_input(const char* name, const char* directory, int which) {
    return open_input(name, directory, which);
}
int doc_load_side(const char* path, int which) {
    return load_side(path, which);
}
void doc_compare_files() {
    compare_files();
}
void doc_write_command() {
    write_command();
}
void doc_print() {
    write_merged(PRINTER_PATH);
}
void doc_next() {
    go_next();
}
void doc_prev() {
    go_prev();
}
void doc_first() {
    go_first();
}
void doc_last() {
    go_last();
}
void doc_beginning() {
    go_beginning();
}
void doc_end() {
    go_end();
}
void doc_scroll_to_row(int row) {
    go_to_row(row);
}
void doc_choose_all_from(UiSide side) {
    choose_all_from(side_for(side));
}
void doc_unselect_all() {
    unselect_all();
}
void doc_reset() {
    reset_document();
}
void doc_choose_by_click(UiSide side, int y) {
    choose_by_click(side_for(side), y);
}
const char* doc_path(UiSide side) {
    return side_of(side_for(side)).path;
}
int doc_top_row() {
    return merge_document.top_row;
}
int doc_total_rows() {
    return merge_document.total_rows;
}
int doc_first_column(UiSide side) {
    uint32_t column = side_of(side_for(side)).first_column;
    return column > 1000000u ? 1000000 : static_cast<int>(column);
}
void doc_set_first_column(UiSide side, int column) {
    side_of(side_for(side)).first_column = column < 0 ? 0u : static_cast<uint32_t>(column);
}
