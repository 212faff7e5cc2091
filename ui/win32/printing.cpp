// The print job: the merge layer hands every merged line to print_line while a job
// runs between print_job_start and print_job_end.
#include "ui/win32/printing.h"

#include "merge/merge_platform.h"
#include "ui/scrolling.h"
#include "ui/print_layout.h"
#include "ui/settings.h"
#include "ui/win32/ui_state.h"
#include "ui/win32/wide.h"

PrintJob print_job = {};
bool print_aborted = false;
int(WINAPI* print_start_document)(HDC, const DOCINFOW*) = StartDocW;

namespace {

// The records keep the sizes the 32-bit program has always passed.
static_assert(sizeof(void*) != 4 || sizeof(PRINTDLGW) == 66);
static_assert(sizeof(void*) != 4 || sizeof(DOCINFOW) == 20);

constexpr const wchar_t DOCUMENT_NAME[] = L"Merged file";

void free_global(HGLOBAL& handle) {
    if (handle != nullptr) {
        GlobalFree(handle);
        handle = nullptr;
    }
}

// Gives back what the print dialog handed over: the printer and both device handles,
// so that printing again and again keeps nothing.
void release_printer() {
    free_global(print_job.dialog.hDevNames);
    free_global(print_job.dialog.hDevMode);
    if (print_job.printer != nullptr) {
        DeleteDC(print_job.printer);
    }
    print_job = PrintJob{};
}

// The pane font's logical font, its height scaled from the screen to the printer.
HFONT create_print_font(HDC printer) {
    LOGFONTW lf = {};
    if (ui_state.text_font != nullptr) {
        GetObjectW(ui_state.text_font, sizeof lf, &lf);
    }
    // The pane font is made at the window's DPI, which may not be the screen's.
    const int screen_dpi = view_metrics.dpi;
    if (screen_dpi > 0) {
        lf.lfHeight = MulDiv(lf.lfHeight, GetDeviceCaps(printer, LOGPIXELSY), screen_dpi);
    }
    return CreateFontIndirectW(&lf);
}

int fail_to_start() {
    report_message("Unable to start print job", SEVERITY_ERROR);
    if (print_job.font != nullptr) {
        DeleteObject(print_job.font);
    }
    release_printer();
    return -1;
}

void start_page() {
    if (StartPage(print_job.printer) > 0) {
        ++print_job.pages_started;
    }
    print_job.page_open = true;
    // Some drivers reset the device context's objects with every page. The font that
    // was there before the first page is the one to give back at the end.
    HGDIOBJ previous = SelectObject(print_job.printer, print_job.font);
    if (print_job.previous_font == nullptr) {
        print_job.previous_font = previous;
    }
}

void end_page() {
    if (print_job.page_open) {
        EndPage(print_job.printer);
        print_job.page_open = false;
        // Not every spooler calls the abort procedure on its own: the Cancel button
        // must work between pages all the same.
        print_abort_proc(print_job.printer, 0);
    }
}

void show_abort_dialog() {
    HWND main = ui_state.main_window;
    print_job.abort_dialog = CreateDialogW(ui_state.instance, L"ABORTDLG", main, abort_dialog_proc);
    if (print_job.abort_dialog != nullptr) {
        ShowWindow(print_job.abort_dialog, SW_SHOW);
        UpdateWindow(print_job.abort_dialog);
    }
    EnableWindow(main, FALSE);
}

}  // namespace

int start_print_job() {
    if (print_job.active) {
        return -1;  // a job already runs (a command posted while it prints)
    }
    print_job.active = true;
    PRINTDLGW& dialog = print_job.dialog;
    dialog = PRINTDLGW{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = ui_state.main_window;
    dialog.Flags = PD_RETURNDC | PD_NOPAGENUMS | PD_NOSELECTION | PD_HIDEPRINTTOFILE;
    if (!PrintDlgW(&dialog)) {
        release_printer();
        return -1;
    }
    print_job.printer = dialog.hDC;
    if (print_job.printer == nullptr) {
        return fail_to_start();
    }
    print_job.font = create_print_font(print_job.printer);
    if (print_job.font == nullptr) {
        return fail_to_start();
    }
    // Cleared before the document starts: the spooler may ask the abort procedure at
    // once, and a Cancel of the last job must not stop this one.
    print_aborted = false;
    SetAbortProc(print_job.printer, print_abort_proc);
    DOCINFOW document = {};
    document.cbSize = sizeof document;
    document.lpszDocName = DOCUMENT_NAME;
    if (print_start_document(print_job.printer, &document) <= 0) {
        return fail_to_start();
    }
    start_page();
    TEXTMETRICW metrics = {};
    GetTextMetricsW(print_job.printer, &metrics);
    print_job.line_height = print_line_height(metrics.tmHeight);
    print_job.lines_per_page =
        print_lines_per_page(GetDeviceCaps(print_job.printer, VERTRES), print_job.line_height);
    show_abort_dialog();
    return 0;
}

void print_a_line(const char* text, std::size_t length, int32_t line_number) {
    if (print_aborted || print_job.printer == nullptr) {
        return;
    }
    static char expanded[PRINT_BUFFER_SIZE];
    const std::size_t count = expand_print_line(text, length, settings.tab_size, expanded);
    if (print_line_starts_page(line_number, print_job.lines_per_page)) {
        end_page();
        if (print_aborted) {
            return;  // Cancel came with the page just sent: open no other
        }
        start_page();
    }
    const PrintSpot spot = print_spot(line_number, print_job.lines_per_page, print_job.line_height);
    const std::wstring shown = wide(std::string_view(expanded, count));
    TextOutW(print_job.printer, 0, spot.y, shown.c_str(), static_cast<int>(shown.size()));
}

int end_print_job() {
    if (print_job.printer == nullptr) {
        return 0;
    }
    HDC printer = print_job.printer;
    if (print_job.page_open) {
        EndPage(printer);
        print_job.page_open = false;
    }
    EndDoc(printer);
    EnableWindow(ui_state.main_window, TRUE);
    if (print_job.abort_dialog != nullptr) {
        DestroyWindow(print_job.abort_dialog);
    }
    if (print_job.previous_font != nullptr) {
        SelectObject(printer, print_job.previous_font);
    }
    DeleteObject(print_job.font);
    release_printer();
    return 0;
}

BOOL CALLBACK print_abort_proc(HDC, int) {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            // The program is asked to end: stop printing and leave the request for the
            // main loop, which would never see it otherwise.
            print_aborted = true;
            PostQuitMessage(static_cast<int>(msg.wParam));
            break;
        }
        if (msg.message == WM_KEYDOWN && msg.wParam == VK_ESCAPE) {
            // Escape stops the job, wherever the key was sent (as during any long work).
            print_aborted = true;
            continue;
        }
        HWND dialog = print_job.abort_dialog;
        if (dialog != nullptr && IsDialogMessageW(dialog, &msg)) {
            continue;
        }
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return print_aborted ? FALSE : TRUE;
}

INT_PTR CALLBACK abort_dialog_proc(HWND dialog, UINT message, WPARAM wparam, LPARAM) {
    switch (message) {
        case WM_INITDIALOG:
            SetFocus(dialog);
            return TRUE;
        case WM_COMMAND:
            print_aborted = true;
            EndDialog(dialog, static_cast<INT_PTR>(wparam));
            return TRUE;
        default:
            return FALSE;
    }
}

// The merge layer's print seam.
int print_job_start() {
    return start_print_job();
}
void print_line(const char* text, std::size_t length, int32_t line_number) {
    print_a_line(text, length, line_number);
}
int print_job_end() {
    return end_print_job();
}
