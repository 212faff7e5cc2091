#include "tests/win32/print_support.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>

#include "resources/command_ids.h"
#include "tests/support/temp_dir.h"
#include "ui/win32/printing.h"
#include "ui/win32/ui_state.h"

namespace {

std::string env(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? value : "";
}

// The host's root is drive Z: under wine.
std::string windows_path(const std::string& host_path) {
    std::string path = "Z:" + host_path;
    for (char& c : path) {
        if (c == '/') {
            c = '\\';
        }
    }
    return path;
}

std::string pdf_folder() {
    return env("PAIREX_PDF_OUT");
}

std::string scratch_file(const char* name) {
    return env("PAIREX_PDF_OUT") + "/../" + name;
}

std::string read_host_file(const std::string& host_path);

// Runs `command` in the host's shell with its standard output going to `out` (a host
// path), and returns what it wrote. Wine starts host programs but cannot wait for
// them: the output appears under its name only once the command is done, and that is
// waited for (at most a minute).
std::string run_host(const std::string& command, const std::string& out) {
    std::remove(windows_path(out).c_str());
    std::string line = "Z:\\bin\\sh -c \"" + command + " > '" + out + ".part' && mv '" + out +
                       ".part' '" + out + "'\"";
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process)) {
        ADD_FAILURE() << "cannot run " << command;
        return "";
    }
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    const DWORD start = GetTickCount();
    while (!exists(windows_path(out))) {
        if (GetTickCount() - start > 60000) {
            ADD_FAILURE() << "no result from " << command;
            return "";
        }
        Sleep(50);
    }
    return read_host_file(out);
}

std::string read_host_file(const std::string& host_path) {
    return read_bytes(windows_path(host_path));
}

std::string right_trimmed(std::string line) {
    while (!line.empty() && (line.back() == ' ' || line.back() == '\r')) {
        line.pop_back();
    }
    return line;
}

}  // namespace

std::string printer_unavailable_reason() {
    if (!env("PAIREX_PRINTER_UNAVAILABLE").empty()) {
        return env("PAIREX_PRINTER_UNAVAILABLE");
    }
    if (pdf_folder().empty()) {
        return "no PDF printer was set up for this run (scripts/printer-env.sh sets one up)";
    }
    char name[256] = {};
    DWORD size = sizeof name;
    if (!GetDefaultPrinterA(name, &size)) {
        return "wine sees no default printer";
    }
    return "";
}

std::set<std::string> pdf_names() {
    std::set<std::string> names;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((windows_path(pdf_folder()) + "\\*.pdf").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) {
        return names;
    }
    do {
        names.insert(found.cFileName);
    } while (FindNextFileA(search, &found));
    FindClose(search);
    return names;
}

std::string finished_pdf(const std::set<std::string>& before) {
    // A PDF is complete once it ends with its end marker and its size has held for a
    // while (the printing system writes it in pieces).
    static std::map<std::string, std::pair<std::size_t, DWORD>> sizes;
    for (const std::string& name : pdf_names()) {
        if (before.count(name) != 0) {
            continue;
        }
        const std::string host = pdf_folder() + "/" + name;
        const std::string bytes = read_host_file(host);
        auto& [size, since] = sizes[host];
        if (bytes.size() != size) {
            size = bytes.size();
            since = GetTickCount();
            continue;
        }
        const bool ended =
            bytes.find("%%EOF", bytes.size() > 32 ? bytes.size() - 32 : 0) != std::string::npos;
        if (ended && GetTickCount() - since > 300) {
            return host;
        }
    }
    return "";
}

std::vector<std::vector<std::string>> pdf_pages(const std::string& pdf, double char_points) {
    char pitch[32];
    std::snprintf(pitch, sizeof pitch, "%.4f", char_points);
    std::stringstream text(run_host("pdftotext -fixed " + std::string(pitch) + " '" + pdf + "' -",
                                    scratch_file("text")));
    std::vector<std::vector<std::string>> pages;
    std::string page;
    while (std::getline(text, page, '\f')) {
        std::vector<std::string> lines;
        std::stringstream in(page);
        std::string line;
        while (std::getline(in, line)) {
            lines.push_back(right_trimmed(line));
        }
        while (!lines.empty() && lines.back().empty()) {
            lines.pop_back();
        }
        pages.push_back(lines);
    }
    // pdftotext ends every page with a form feed: nothing follows the last one.
    if (!pages.empty() && pages.back().empty()) {
        pages.pop_back();
    }
    return pages;
}

int pdf_page_count(const std::string& pdf) {
    std::stringstream info(run_host("pdfinfo '" + pdf + "'", scratch_file("info")));
    std::string line;
    while (std::getline(info, line)) {
        if (line.rfind("Pages:", 0) == 0) {
            return std::atoi(line.c_str() + 6);
        }
    }
    return -1;
}

bool save_first_page_picture(const std::string& pdf, const std::string& png) {
    run_host("pdftoppm -png -r 75 -f 1 -l 1 -singlefile '" + pdf + "' '" + png + "' && echo done",
             scratch_file("picture"));
    return exists(windows_path(png + ".png"));
}

PrinterPage measure_printer_page() {
    char name[256] = {};
    DWORD size = sizeof name;
    GetDefaultPrinterA(name, &size);
    HDC printer = CreateDCA(nullptr, name, nullptr, nullptr);
    if (printer == nullptr) {
        ADD_FAILURE() << "cannot open the printer " << name;
        return {};
    }
    LOGFONTA lf = {};
    GetObjectA(ui_state.text_font, sizeof lf, &lf);
    HDC screen = GetDC(ui_state.main_window);
    lf.lfHeight =
        MulDiv(lf.lfHeight, GetDeviceCaps(printer, LOGPIXELSY), GetDeviceCaps(screen, LOGPIXELSY));
    ReleaseDC(ui_state.main_window, screen);
    HFONT font = CreateFontIndirectA(&lf);
    HGDIOBJ old = SelectObject(printer, font);
    TEXTMETRICA metrics = {};
    GetTextMetricsA(printer, &metrics);
    PrinterPage page;
    page.lines_per_page = GetDeviceCaps(printer, VERTRES) / (metrics.tmHeight - 2);
    page.char_points = metrics.tmAveCharWidth * 72.0 / GetDeviceCaps(printer, LOGPIXELSX);
    SelectObject(printer, old);
    DeleteObject(font);
    DeleteDC(printer);
    return page;
}

namespace {

HHOOK watch_hook = nullptr;
HWND probe_window = nullptr;
AbortDialogAction action = JUST_LOOK;
HWND watched_dialog = nullptr;
AbortDialogSeen seen_dialog;

std::string item_text(HWND dialog, int id) {
    char text[256] = {};
    GetDlgItemTextA(dialog, id, text, sizeof text);
    return text;
}

// The control's rectangle in the dialog's client coordinates equals the template's
// rectangle in dialog units.
bool placed_at(HWND dialog, int id, int x, int y, int width, int height) {
    RECT expected = {x, y, x + width, y + height};
    MapDialogRect(dialog, &expected);
    RECT actual;
    GetWindowRect(GetDlgItem(dialog, id), &actual);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&actual), 2);
    return EqualRect(&expected, &actual) != 0;
}

void look_at(HWND dialog) {
    AbortDialogSeen& s = seen_dialog;
    s.seen = true;
    s.window = dialog;
    char caption[64] = {};
    GetWindowTextA(dialog, caption, sizeof caption);
    s.caption = caption;
    s.first_text = item_text(dialog, 0xFFFF);
    s.second_text = item_text(dialog, 20);
    s.button_text = item_text(dialog, IDCANCEL);
    RECT size = {0, 0, 131, 69};
    MapDialogRect(dialog, &size);
    RECT client;
    GetClientRect(dialog, &client);
    s.size_matches = EqualRect(&size, &client) != 0;
    s.controls_match = placed_at(dialog, 0xFFFF, 20, 8, 90, 8) &&
                       placed_at(dialog, 20, 4, 23, 123, 12) &&
                       placed_at(dialog, IDCANCEL, 46, 44, 39, 16);
    const LONG_PTR style = GetWindowLongPtrA(GetDlgItem(dialog, IDCANCEL), GWL_STYLE);
    s.default_button = (style & BS_TYPEMASK) == BS_DEFPUSHBUTTON;
    s.main_window_enabled = IsWindowEnabled(ui_state.main_window) != 0;
    s.visible = IsWindowVisible(dialog) != 0;
    s.pages_started = print_job.pages_started;
}

// Runs when the job first pumps its messages, which is at the end of the first page.
LRESULT CALLBACK probe_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_APP && watched_dialog != nullptr && IsWindow(watched_dialog)) {
        look_at(watched_dialog);
        if (action == PRESS_CANCEL) {
            SendMessageA(GetDlgItem(watched_dialog, IDCANCEL), BM_CLICK, 0, 0);
        } else if (action == POST_PRINT) {
            PostMessageA(ui_state.main_window, WM_COMMAND, CMD_PRINT, 0);
        } else if (action == QUIT_PROGRAM) {
            PostQuitMessage(0);
        }
        return 0;
    }
    return DefWindowProcA(window, message, wparam, lparam);
}

LRESULT CALLBACK on_cbt(int code, WPARAM wparam, LPARAM lparam) {
    if (code == HCBT_ACTIVATE) {
        HWND window = reinterpret_cast<HWND>(wparam);
        char cls[32] = {};
        char caption[64] = {};
        GetClassNameA(window, cls, sizeof cls);
        GetWindowTextA(window, caption, sizeof caption);
        if (lstrcmpA(cls, "#32770") == 0 && lstrcmpA(caption, "Pairex") == 0) {
            // The abort dialog is ours to answer: the driver would press Cancel at once.
            if (watched_dialog != window) {
                watched_dialog = window;
                PostMessageA(probe_window, WM_APP, 0, 0);
            }
            return 0;
        }
    }
    return CallNextHookEx(nullptr, code, wparam, lparam);
}

}  // namespace

void watch_abort_dialog(AbortDialogAction then) {
    seen_dialog = AbortDialogSeen{};
    watched_dialog = nullptr;
    action = then;
    if (probe_window == nullptr) {
        WNDCLASSA cls = {};
        cls.lpfnWndProc = probe_proc;
        cls.hInstance = GetModuleHandleA(nullptr);
        cls.lpszClassName = "PairexPrintProbe";
        RegisterClassA(&cls);
        probe_window = CreateWindowA("PairexPrintProbe", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                     cls.hInstance, nullptr);
    }
    if (watch_hook == nullptr) {
        watch_hook = SetWindowsHookExA(WH_CBT, on_cbt, nullptr, GetCurrentThreadId());
    }
}

void stop_watching_abort_dialog() {
    if (watch_hook != nullptr) {
        UnhookWindowsHookEx(watch_hook);
        watch_hook = nullptr;
    }
    watched_dialog = nullptr;
}

const AbortDialogSeen& abort_dialog_seen() {
    return seen_dialog;
}
