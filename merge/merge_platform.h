#ifndef PAIREX_MERGE_MERGE_PLATFORM_H
#define PAIREX_MERGE_MERGE_PLATFORM_H

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

#include "common/file_stamp.h"
#include "merge/side.h"

// What the merge logic, and the layers that build on it, need from the window system.
// The Windows program implements these in ui/win32 (the save dialog in ui/, which owns
// the dialog's remembered directory); the tests link a recording fake. report_message
// (common/report.h) is the message box and is not repeated here.

// Repaints of the views.
void platform_repaint_pane(Side side);
void platform_repaint_title(Side side);
void platform_repaint_position_bar();
inline void platform_repaint_panes() {
    platform_repaint_pane(SIDE_LEFT);
    platform_repaint_pane(SIDE_RIGHT);
}

// The vertical scroll bar shared by both panes.
void platform_set_scroll_range(int32_t min, int32_t max);
void platform_set_scroll_position(int32_t position);
// Redraws the scroll bar at the position it already has.
void platform_redraw_scroll_bar();
// Both panes now show merge_document.top_row at the top instead of `old_top_row`:
// the scroll bar follows, and the panes move their pixels and repaint what the move
// uncovers. Nothing happens when the scroll bar already stands at the new row.
void platform_scroll_panes(int32_t old_top_row);

// Shows the wait cursor and returns a token for the cursor it replaced; the token is
// handed back to platform_restore_cursor.
std::intptr_t platform_show_wait_cursor();
void platform_restore_cursor(std::intptr_t previous);

// A modal question box with the buttons Yes/No, Yes/No/Cancel, or those and "Yes to
// all" and "No to all" (the walk's questions); returns the button pressed
// (ANSWER_CANCEL also when the box is closed otherwise).
enum QuestionButtons { BUTTONS_YES_NO, BUTTONS_YES_NO_CANCEL, BUTTONS_YES_NO_CANCEL_ALL };
enum Answer { ANSWER_YES, ANSWER_NO, ANSWER_CANCEL, ANSWER_YES_TO_ALL, ANSWER_NO_TO_ALL };
Answer platform_ask(const char* caption, const char* text, QuestionButtons buttons);

// The save-file dialog of Write. It starts where the last confirmed save left off and
// asks nothing about existing files. Returns 0 and the chosen path in `chosen`, or -1
// when cancelled.
int platform_save_dialog(std::string& chosen);

// Work that must run after the current command has returned, queued to the main
// window in the order posted.
enum Request {
    REQUEST_COMPARE_FILES,  // compare the two loaded files
    REQUEST_FIRST,          // go to the first block (Auto walk)
    REQUEST_CANCEL,         // end the directory walk
    REQUEST_NEXT_PAIR,      // move the directory walk on to its next pair
};
void platform_post_request(Request request);

// Height in pixels of one row in a pane (the pane font's line height), at least 1.
int platform_pane_line_height();

// Puts the finished file `from` in place of `to` (replacing it) and through to the
// disk before it returns: the last step of every write of a merged file or a copy.
// Returns 0, or -1 (nothing reported; `from` is then still there).
int platform_commit_rename(const char* from, const char* to);

// The name under which the existing file `path` is stored: short (8.3) names made
// long and the file's own name in the letter case of its directory entry, so that a
// write replaces and backs up the file under the name the user knows. `path` itself
// when it names no existing file.
std::string platform_stored_name(const char* path);

// The stamp of the file `path` (size, last write, identity), taken at a load and again
// before a write replaces the loaded file.
FileStamp platform_file_stamp(const char* path);

// The size and last write of the open file `stream`, asked of the open file itself (no
// look-up of its name): taken before a copy reads it and again after, to tell a source
// that another program wrote to meanwhile. No identity is needed: a stream stays on one
// file. A stamp that does not exist when the system cannot tell.
FileStamp platform_stream_stamp(std::FILE* stream);

// Printing of the merged text (the "PRN:" destination). print_job_start returns 0, or
// -1 after reporting why no job could start; print_line hands one line of `length`
// bytes (with its line feed; it may hold NUL bytes) and its 0-based output line number,
// and does not fail; print_job_end returns 0 or -1 after reporting.
int print_job_start();
void print_line(const char* text, std::size_t length, int32_t line_number);
int print_job_end();

#endif
