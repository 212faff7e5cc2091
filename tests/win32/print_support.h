#ifndef PAIREX_TESTS_WIN32_PRINT_SUPPORT_H
#define PAIREX_TESTS_WIN32_PRINT_SUPPORT_H

#include "ui/win32/windows_api.h"

#include <cstdint>
#include <set>
#include <string>
#include <vector>

// What the printing tests need around the program: the PDF printer that
// scripts/printer-env.sh sets up, the host's PDF tools, and a look at the abort dialog
// while a job runs.

// Why this machine cannot print to the PDF printer ("" when it can).
std::string printer_unavailable_reason();

// The names of the PDFs in the printer's output folder.
std::set<std::string> pdf_names();
// The PDF of a job that is not among `before`, once it is complete; "" until then.
// Returns the host (Unix) path.
std::string finished_pdf(const std::set<std::string>& before);

// The text of a PDF as the host's pdftotext reads it in a fixed pitch of
// `char_points` points a character (so that every blank is kept): one entry per page,
// each a list of lines with trailing blanks removed and trailing empty lines dropped.
std::vector<std::vector<std::string>> pdf_pages(const std::string& pdf, double char_points);
// The page count pdfinfo reports (-1 when it cannot be read).
int pdf_page_count(const std::string& pdf);
// Renders the first page as a PNG at `png` (host path without the extension).
bool save_first_page_picture(const std::string& pdf, const std::string& png);

// What the program should find on the default printer with the current pane font,
// scaled from the screen to the printer: the rows per page (the font's height less 2,
// into the printable height) and the width of a character in points.
struct PrinterPage {
    int32_t lines_per_page = 0;
    double char_points = 0;
};
PrinterPage measure_printer_page();

// The abort dialog as it was seen while the job ran: its look, and the program's state
// at the first moment it could answer (the end of the first page).
struct AbortDialogSeen {
    bool seen = false;
    HWND window = nullptr;
    std::string caption, first_text, second_text, button_text;
    bool size_matches = false;        // 131 x 69 dialog units of client area
    bool controls_match = false;      // the three controls at their places
    bool default_button = false;      // Cancel is the default push button
    bool main_window_enabled = true;  // at the end of the first page
    bool visible = false;
    int32_t pages_started = 0;
};

// Watches for the abort dialog (taking it away from the driver's answering hook) and
// looks at it at the first chance, which comes at the end of the first page; then
// does `then`. Install it from a script step, after the driver's hook.
enum AbortDialogAction {
    JUST_LOOK,
    PRESS_CANCEL,
    POST_PRINT,    // Print again while the job runs
    QUIT_PROGRAM,  // the quit message, as when the session ends
};
void watch_abort_dialog(AbortDialogAction then);
void stop_watching_abort_dialog();
const AbortDialogSeen& abort_dialog_seen();

#endif
