#ifndef PAIREX_UI_WIN32_PRINTING_H
#define PAIREX_UI_WIN32_PRINTING_H

#include <cstddef>
#include <cstdint>

#include "ui/win32/windows_api.h"

// Printing the merged text: the print dialog, the pane font scaled to the printer, one
// page after another, and the modeless abort dialog whose Cancel stops the job. The
// merge layer's print seam (print_job_start, print_line, print_job_end) is these.

// What a running job holds; all zero while no job runs.
struct PrintJob {
    bool active;       // from the print dialog on until the job ends or fails to start
    PRINTDLGW dialog;  // the last print dialog: the printer and its device handles
    HDC printer;
    HFONT font;             // the pane font scaled to the printer
    HGDIOBJ previous_font;  // selected in the printer before the print font
    HWND abort_dialog;
    int32_t line_height;     // print_line_height of the print font
    int32_t lines_per_page;  // print_lines_per_page of the printable height
    bool page_open;          // StartPage came without its EndPage yet
    int32_t pages_started;
};

// The one job.
extern PrintJob print_job;
// Set by the abort dialog's Cancel (or any of its commands); cleared when a job starts.
extern bool print_aborted;

// Asks for the printer and starts the document "Merged file" on its first page, with
// the abort dialog shown and the main window disabled. Returns 0 when the job runs;
// -1 when the dialog was cancelled (nothing said), or after reporting "Unable to start
// print job", with everything it had taken released.
int start_print_job();

// Draws merged line `line_number` (0-based; `length` bytes that end in a line feed and
// may hold NUL bytes) at its row, opening the next page when it starts one. Does
// nothing without a job or once the job was cancelled; never fails.
void print_a_line(const char* text, std::size_t length, int32_t line_number);

// Ends the open page and the document, gives back the main window and releases the
// dialog, the fonts, the device handles and the printer. Runs after Cancel too.
// Returns 0 (also when no job runs).
int end_print_job();

// The abort procedure: runs the thread's waiting messages, so that the abort dialog
// answers while pages are produced; Escape, sent to any window, cancels as Cancel does.
// Returns TRUE to go on printing, FALSE once the job was cancelled.
BOOL CALLBACK print_abort_proc(HDC printer, int error);

// The abort dialog's procedure: any command (its Cancel button) cancels the job.
INT_PTR CALLBACK abort_dialog_proc(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam);

// Starts the document on the printer: StartDocW, unless a test puts a failing one in
// its place.
extern int(WINAPI* print_start_document)(HDC printer, const DOCINFOW* document);

#endif
