#ifndef PAIREX_UI_DOCUMENT_BRIDGE_H
#define PAIREX_UI_DOCUMENT_BRIDGE_H

// What the user interface asks of the one merge document. The program links the
// implementation over the merge layer; the unit tests link a recording fake, so that
// the commands and the start-up order can be checked on their own.

enum UiSide { UI_LEFT = 0, UI_RIGHT = 1 };

// The option flags kept in the document (0 or 1).
int& doc_auto_walk();
int& doc_compress_spaces();
bool doc_directory_mode();

// Start-up: marks the document not compared, leaves directory mode, empties both
// sides.
void doc_start_up();
// Shut-down: releases the blocks, then the text of each side.
void doc_release();

// Loads `name` (or directory + separator + name when no file has that name) into
// the side of `which` (CMD_FILE1 or CMD_FILE2). Returns 1 when loaded, else 0.
int doc_open_input(const char* name, const char* directory, int which);
// Loads `path` into the side of `which`; returns 0, or -1 after a report.
int doc_load_side(const char* path, int which);

void doc_compare_files();
void doc_write_command();
void doc_print();
void doc_next();
void doc_prev();
void doc_first();
void doc_last();
void doc_beginning();
void doc_end();
// Puts `row`, held within 0..total_rows - 1, at the top of both panes.
void doc_scroll_to_row(int row);
void doc_choose_all_from(UiSide side);
void doc_unselect_all();
// A left click `y` pixels below the top of a side's pane.
void doc_choose_by_click(UiSide side, int y);
// The path loaded on a side ("" when none).
const char* doc_path(UiSide side);
void doc_reset();

// View state kept in the document.
int doc_top_row();
int doc_total_rows();
int doc_first_column(UiSide side);
void doc_set_first_column(UiSide side, int column);

#endif
