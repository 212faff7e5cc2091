// Printing on a real printer: the PDF printer of the host's printing system. The print
// dialog is confirmed, the program prints, and the PDF the job produced is read back:
// its text, its pages, and a picture of its first page for people to look at.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <thread>
#include <vector>

#include "common/native_file.h"
#include "merge/document.h"
#include "resources/command_ids.h"
#include "tests/support/temp_dir.h"
#include "tests/win32/driver.h"
#include "tests/win32/print_support.h"
#include "ui/win32/printing.h"
#include "ui/win32/ui_state.h"

namespace {

using Lines = std::vector<std::string>;
using Seen = std::vector<SeenDialog>;

// Every call that starts a document, with what the job held at that moment.
struct DocumentCall {
    HDC printer;
    HGLOBAL dev_mode;
    HGLOBAL dev_names;
    std::string name;
    UINT size;
};
std::vector<DocumentCall> document_calls;
bool refuse_document = false;

int WINAPI recording_start_document(HDC printer, const DOCINFOW* document) {
    const std::wstring name = document->lpszDocName ? document->lpszDocName : L"";
    document_calls.push_back({printer, print_job.dialog.hDevMode, print_job.dialog.hDevNames,
                              std::string(name.begin(), name.end()),
                              static_cast<UINT>(document->cbSize)});
    return refuse_document ? SP_ERROR : StartDocW(printer, document);
}

bool released(HGLOBAL handle) {
    return handle == nullptr || GlobalFlags(handle) == GMEM_INVALID_HANDLE;
}

std::string joined(const Lines& lines) {
    std::string text;
    for (const std::string& line : lines) {
        text += line + "\n";
    }
    return text;
}

bool compared() {
    return merge_document.not_compared == 0;
}

class Printing : public ::testing::Test {
protected:
    void SetUp() override {
        reset_program_state();
        document_calls.clear();
        refuse_document = false;
        print_start_document = recording_start_document;
        configure();
    }
    // A fixed-pitch pane font, so that the PDF's text keeps every blank, and tab size 4.
    void configure() {
        driver.timeout_ms = 120000;  // the printing system takes seconds per job
        ini_set("Font", "Font name", "DejaVu Sans Mono");
        ini_set("Font", "Point size", "-13");
        ini_set("Options", "Tab size", "4");
    }
    void TearDown() override {
        stop_watching_abort_dialog();
        print_start_document = StartDocW;
        reset_program_state();
    }

    void run(const std::string& left, const std::string& right) {
        driver.run(("-f1 \"" + left + "\" -f2 \"" + right + "\"").c_str());
        EXPECT_FALSE(driver.timed_out()) << "script stopped at a step that never completed";
        EXPECT_TRUE(driver.finished());
    }

    // Steps: once compared, watch the abort dialog (the driver would answer it) and
    // measure the page, then take every block with `choose` (CMD_FROM_LEFT or _RIGHT).
    void look_and_choose(PrinterPage& page, int choose) {
        driver.steps = {ProgramDriver::wait_until(compared), ProgramDriver::check([&page] {
                            watch_abort_dialog(JUST_LOOK);
                            page = measure_printer_page();
                        }),
                        ProgramDriver::post(choose)};
    }

    // Steps: print (the print dialog is confirmed) and wait for the job's PDF.
    void print_and_wait(std::string& pdf) {
        driver.steps.push_back(ProgramDriver::check([this] { before_ = pdf_names(); }));
        driver.steps.push_back(ProgramDriver::post(CMD_PRINT));
        driver.steps.push_back(ProgramDriver::wait_until([this, &pdf] {
            pdf = finished_pdf(before_);
            return !pdf.empty();
        }));
    }

    TempDir dir;
    ProgramDriver driver;
    std::set<std::string> before_;
};

// Lines "line 000" ... with a tab in every tenth one.
Lines numbered_lines(int count, const char* mark) {
    Lines lines;
    for (int i = 0; i < count; ++i) {
        char text[64];
        std::snprintf(text, sizeof text, i % 10 == 3 ? "line %03d\t%s" : "line %03d %s", i, mark);
        lines.push_back(text);
    }
    return lines;
}

Lines tabs_expanded(Lines lines, int tab_size) {
    for (std::string& line : lines) {
        std::size_t at;
        while ((at = line.find('\t')) != std::string::npos) {
            line.replace(at, 1, std::string(static_cast<std::size_t>(tab_size), ' '));
        }
    }
    return lines;
}

TEST_F(Printing, MergedLinesArePrintedPageByPage) {
    Lines left = numbered_lines(150, "left");
    Lines right = left;
    right[40] = "changed on the right";
    right.insert(right.begin() + 100, "only on the right");
    Lines merged = right;  // every block from the right
    PrinterPage page;
    std::string pdf;
    driver.answers = {{IDOK, {}}};
    look_and_choose(page, CMD_FROM_RIGHT);
    print_and_wait(pdf);
    bool main_window_given_back = false;
    driver.steps.push_back(ProgramDriver::check([&] {
        main_window_given_back =
            IsWindowEnabled(ui_state.main_window) && !IsWindow(abort_dialog_seen().window);
    }));
    driver.steps.push_back(ProgramDriver::post(CMD_QUIT));
    run(dir.write("l.txt", joined(left)), dir.write("r.txt", joined(right)));

    ASSERT_FALSE(pdf.empty());
    ASSERT_EQ(driver.seen.size(), 1u);
    EXPECT_EQ(driver.seen[0].caption, "Print");
    ASSERT_GT(page.lines_per_page, 1);
    ASSERT_LT(page.lines_per_page, 151) << "the text must fill more than one page";
    const int pages =
        (static_cast<int>(merged.size()) + page.lines_per_page - 1) / page.lines_per_page;
    EXPECT_EQ(pdf_page_count(pdf), pages);
    Lines printed;
    for (const Lines& sheet : pdf_pages(pdf, page.char_points)) {
        EXPECT_LE(sheet.size(), static_cast<std::size_t>(page.lines_per_page));
        printed.insert(printed.end(), sheet.begin(), sheet.end());
    }
    EXPECT_EQ(printed, tabs_expanded(merged, 4));
    EXPECT_TRUE(save_first_page_picture(pdf, PAIREX_TEST_OUTPUT "/pairex-print-page1"));
    std::printf("First printed page: %s\n", PAIREX_TEST_OUTPUT "/pairex-print-page1.png");

    // One document, named for what it is; afterwards nothing of the job is kept.
    ASSERT_EQ(document_calls.size(), 1u);
    EXPECT_EQ(document_calls[0].name, "Merged file");
    EXPECT_EQ(document_calls[0].size, sizeof(DOCINFOW));
    EXPECT_EQ(GetObjectType(document_calls[0].printer), 0u) << "printer not released";
    EXPECT_TRUE(released(document_calls[0].dev_mode)) << "device mode kept";
    EXPECT_TRUE(released(document_calls[0].dev_names)) << "device names kept";
    EXPECT_EQ(print_job.printer, nullptr);

    // The abort dialog at the end of the first page, while the main window waited.
    const AbortDialogSeen& d = abort_dialog_seen();
    ASSERT_TRUE(d.seen);
    EXPECT_EQ(d.caption, "Pairex");
    EXPECT_EQ(d.first_text, "Printing text");
    EXPECT_EQ(d.second_text, "Press Cancel to terminate");
    EXPECT_EQ(d.button_text, "Cancel");
    EXPECT_TRUE(d.size_matches);
    EXPECT_TRUE(d.controls_match);
    EXPECT_TRUE(d.default_button);
    EXPECT_TRUE(d.visible);
    EXPECT_FALSE(d.main_window_enabled);
    EXPECT_EQ(d.pages_started, 1);
    EXPECT_TRUE(main_window_given_back);
}

TEST_F(Printing, CancelAfterTheFirstPageEndsTheDocumentAndTheNextJobPrintsWhole) {
    Lines lines = numbered_lines(300, "x");
    Lines other = lines;
    other[0] = "first";
    PrinterPage page;
    std::string cancelled;
    std::string whole;
    driver.answers = {{IDOK, {}}, {IDOK, {}}};
    driver.steps = {ProgramDriver::wait_until(compared), ProgramDriver::check([&] {
                        watch_abort_dialog(PRESS_CANCEL);
                        page = measure_printer_page();
                    }),
                    ProgramDriver::post(CMD_FROM_LEFT)};
    print_and_wait(cancelled);
    driver.steps.push_back(ProgramDriver::check([] {
        EXPECT_TRUE(IsWindowEnabled(ui_state.main_window));
        EXPECT_EQ(print_job.printer, nullptr);
        watch_abort_dialog(POST_PRINT);
    }));
    print_and_wait(whole);
    driver.steps.push_back(ProgramDriver::post(CMD_QUIT));
    run(dir.write("l.txt", joined(lines)), dir.write("r.txt", joined(other)));

    ASSERT_FALSE(cancelled.empty());
    ASSERT_GT(page.lines_per_page, 1);
    ASSERT_LT(page.lines_per_page, 150);
    Lines first_page(lines.begin(), lines.begin() + page.lines_per_page);
    EXPECT_EQ(pdf_page_count(cancelled), 1);
    EXPECT_EQ(pdf_pages(cancelled, page.char_points),
              std::vector<Lines>{tabs_expanded(first_page, 4)});
    // The Cancel of the first job does not stop the second, and a Print that arrives
    // while the second runs starts nothing.
    ASSERT_FALSE(whole.empty());
    EXPECT_TRUE(abort_dialog_seen().seen);
    ASSERT_EQ(driver.seen.size(), 2u);
    EXPECT_EQ(driver.seen[1].caption, "Print");
    EXPECT_EQ(pdf_page_count(whole), (300 + page.lines_per_page - 1) / page.lines_per_page);
    ASSERT_EQ(document_calls.size(), 2u);
    for (const DocumentCall& call : document_calls) {
        EXPECT_EQ(GetObjectType(call.printer), 0u);
        EXPECT_TRUE(released(call.dev_mode));
        EXPECT_TRUE(released(call.dev_names));
    }
}

// A long job names itself in the title with its share done; Escape, pressed by a user
// on another thread once the title shows it, stops it as Cancel does: the pages begun
// are ended, the rest is skipped, and the window is given back.
TEST_F(Printing, ALongJobShowsItsProgressAndEscapeStopsIt) {
    const int count = 20000;
    Lines lines = numbered_lines(count, "e");
    Lines other = lines;
    other[0] = "first";
    std::wstring title;
    std::thread user([&] {
        wchar_t text[256] = {};
        for (const DWORD deadline = GetTickCount() + 60000; GetTickCount() < deadline; Sleep(10)) {
            HWND window = ui_state.main_window;
            DWORD_PTR r = 0;
            if (window != nullptr && print_job.active &&
                SendMessageTimeoutW(window, WM_GETTEXT, 256, reinterpret_cast<LPARAM>(text),
                                    SMTO_NORMAL, 1000, &r) != 0 &&
                std::wcsstr(text, L"Printing") != nullptr) {
                title = text;
                PostMessageW(window, WM_KEYDOWN, VK_ESCAPE, 1);
                break;
            }
        }
    });
    PrinterPage page;
    std::string pdf;
    driver.answers = {{IDOK, {}}};
    look_and_choose(page, CMD_FROM_LEFT);
    print_and_wait(pdf);
    driver.steps.push_back(ProgramDriver::check([] {
        EXPECT_TRUE(IsWindowEnabled(ui_state.main_window));
        EXPECT_EQ(print_job.printer, nullptr);
    }));
    driver.steps.push_back(ProgramDriver::post(CMD_QUIT));
    run(dir.write("l.txt", joined(lines)), dir.write("r.txt", joined(other)));
    user.join();

    EXPECT_NE(title.find(L"Printing"), std::wstring::npos);
    EXPECT_NE(title.find(L"% (Esc stops)"), std::wstring::npos);
    ASSERT_FALSE(pdf.empty());
    ASSERT_GT(page.lines_per_page, 1);
    const int pages = pdf_page_count(pdf);
    EXPECT_GE(pages, 1);
    EXPECT_LT(pages, (count + page.lines_per_page - 1) / page.lines_per_page);
    std::printf("Stopped at %d pages; title was \"%ls\"\n", pages, title.c_str());
}

TEST_F(Printing, QuitMessageDuringAJobEndsTheJobAndTheProgram) {
    // The quit message comes at the end of the first page, while the messages are run:
    // the job stops there, is still ended, and the program ends too.
    Lines lines = numbered_lines(300, "q");
    Lines other = lines;
    other[0] = "first";
    std::set<std::string> before = pdf_names();
    driver.answers = {{IDOK, {}}};
    driver.steps = {ProgramDriver::wait_until(compared),
                    ProgramDriver::check([] { watch_abort_dialog(QUIT_PROGRAM); }),
                    ProgramDriver::post(CMD_FROM_LEFT), ProgramDriver::post(CMD_PRINT),
                    ProgramDriver::wait_until([] { return false; })};
    driver.run(("-f1 \"" + dir.write("l.txt", joined(lines)) + "\" -f2 \"" +
                dir.write("r.txt", joined(other)) + "\"")
                   .c_str());
    EXPECT_FALSE(driver.timed_out()) << "the quit message was lost";
    EXPECT_EQ(print_job.printer, nullptr);
    std::string pdf;
    for (int i = 0; i < 600 && pdf.empty(); ++i) {
        Sleep(100);
        pdf = finished_pdf(before);
    }
    ASSERT_FALSE(pdf.empty());
    EXPECT_EQ(pdf_page_count(pdf), 1);
}

TEST_F(Printing, ExactlyOnePageOfLinesPrintsOnePage) {
    // A first start measures the page; the second prints exactly that many lines.
    PrinterPage page;
    driver.steps = {ProgramDriver::check([&] { page = measure_printer_page(); }),
                    ProgramDriver::post(CMD_QUIT)};
    driver.run("");
    ASSERT_GT(page.lines_per_page, 1);
    reset_program_state();
    driver = ProgramDriver{};
    configure();

    Lines lines = numbered_lines(page.lines_per_page, "y");
    Lines other = lines;
    other.back() = "last on the right";
    std::string pdf;
    driver.answers = {{IDOK, {}}};
    driver.steps = {ProgramDriver::wait_until(compared), ProgramDriver::post(CMD_FROM_RIGHT)};
    print_and_wait(pdf);
    driver.steps.push_back(ProgramDriver::post(CMD_QUIT));
    run(dir.write("l.txt", joined(lines)), dir.write("r.txt", joined(other)));

    ASSERT_FALSE(pdf.empty());
    EXPECT_EQ(pdf_page_count(pdf), 1);
    EXPECT_EQ(pdf_pages(pdf, page.char_points), std::vector<Lines>{tabs_expanded(other, 4)});
}

TEST_F(Printing, IdenticalFilesPrintTheLeftFile) {
    std::string pdf;
    PrinterPage page;
    driver.answers = {{IDOK, {}}, {IDOK, {}}};
    driver.steps = {ProgramDriver::wait_until(compared),
                    ProgramDriver::check([&] { page = measure_printer_page(); })};
    print_and_wait(pdf);
    driver.steps.push_back(ProgramDriver::post(CMD_QUIT));
    run(dir.write("l.txt", "same\n\tindented\nlast\n"),
        dir.write("r.txt", "same\r\n\tindented\r\nlast\r\n"));

    ASSERT_FALSE(driver.seen.empty());
    EXPECT_EQ(driver.seen[0].caption + ": " + driver.seen[0].text, "Info: Files are identical");
    ASSERT_FALSE(pdf.empty());
    EXPECT_EQ(pdf_pages(pdf, page.char_points),
              (std::vector<Lines>{{"same", "    indented", "last"}}));
}

// A file named in Cyrillic, its lines in four scripts: the printout holds the
// characters, not their bytes read in the ANSI code page.
TEST_F(Printing, LinesInAnyScriptArePrintedAsTheirCharacters) {
    const Lines lines = {
        "caf\xC3\xA9 na\xC3\xAFve",  // café naïve
        "\xD0\x9F\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82, \xD0\xBC\xD0\xB8\xD1\x80",  // Привет,
                                                                                       // мир
        "\xCE\x93\xCE\xB5\xCE\xB9\xCE\xAC \xCF\x83\xCE\xBF\xCF\x85",  // Γειά σου
        "\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E",                       // 日本語
    };
    const std::string name = dir.file("\xD0\xA4\xD0\xB0\xD0\xB9\xD0\xBB.txt");  // Файл.txt
    FILE* f = native_fopen(name.c_str(), "wb");
    ASSERT_NE(f, nullptr);
    std::fputs(joined(lines).c_str(), f);
    std::fclose(f);
    // A face that has all four scripts itself: the printer driver here links no other
    // font to the one it is given, as the screen does.
    ini_set("Font", "Font name", "WenQuanYi Micro Hei Mono");
    std::string pdf;
    PrinterPage page;
    driver.answers = {{IDOK, {}}, {IDOK, {}}};
    driver.steps = {ProgramDriver::wait_until(compared),
                    ProgramDriver::check([&] { page = measure_printer_page(); })};
    print_and_wait(pdf);
    driver.steps.push_back(ProgramDriver::post(CMD_QUIT));
    run(name, name);

    ASSERT_FALSE(pdf.empty());
    const std::vector<Lines> pages = pdf_pages(pdf, page.char_points);
    ASSERT_EQ(pages.size(), 1u);
    ASSERT_EQ(pages[0].size(), lines.size()) << ::testing::PrintToString(pages[0]);
    EXPECT_TRUE(save_first_page_picture(pdf, PAIREX_TEST_OUTPUT "/pairex-print-any-script"));
    // Wide characters may bring blanks of their own into the fixed-pitch reading.
    auto unblanked = [](std::string s) {
        std::erase(s, ' ');
        return s;
    };
    for (std::size_t i = 0; i < lines.size(); ++i) {
        EXPECT_EQ(unblanked(pages[0][i]), unblanked(lines[i])) << "line " << i;
    }
}

TEST_F(Printing, LineLongerThanThePrintBufferIsCutAndTheNextLinesFollow) {
    // 5,000 tabs expand to 20,000 blanks: the row is drawn with the buffer's
    // 16,383 characters, past the paper's edge, and the lines after it are untouched.
    const std::string text = "start\n" + std::string(5000, '\t') + "z\nafter\n";
    std::string pdf;
    PrinterPage page;
    driver.answers = {{IDOK, {}}, {IDOK, {}}};
    driver.steps = {ProgramDriver::wait_until(compared),
                    ProgramDriver::check([&] { page = measure_printer_page(); })};
    print_and_wait(pdf);
    driver.steps.push_back(ProgramDriver::post(CMD_QUIT));
    run(dir.write("l.txt", text), dir.write("r.txt", text));

    ASSERT_FALSE(pdf.empty());
    EXPECT_EQ(pdf_pages(pdf, page.char_points), (std::vector<Lines>{{"start", "", "after"}}));
}

TEST_F(Printing, RefusedPrintsStartNoJob) {
    // Unresolved blocks: the message of Write, and no print dialog.
    driver.answers = {{IDOK, {}}};
    driver.steps = {ProgramDriver::wait_until(compared), ProgramDriver::post(CMD_PRINT),
                    ProgramDriver::wait_until([this] { return driver.seen.size() == 1; }),
                    ProgramDriver::post(CMD_QUIT)};
    run(dir.write("l.txt", "a\nb\n"), dir.write("r.txt", "a\nc\n"));
    EXPECT_EQ(driver.seen, (Seen{{"Error", "You have unresolved difference(s) !"}}));
    EXPECT_TRUE(document_calls.empty());

    // Before any comparison.
    reset_program_state();
    driver = ProgramDriver{};
    driver.answers = {{IDOK, {}}};
    driver.steps = {ProgramDriver::post(CMD_PRINT),
                    ProgramDriver::wait_until([this] { return driver.seen.size() == 1; }),
                    ProgramDriver::post(CMD_QUIT)};
    driver.run("");
    EXPECT_EQ(driver.seen, (Seen{{"Info", "Files have not been compared yet"}}));
    EXPECT_TRUE(document_calls.empty());
}

TEST_F(Printing, DocumentThatCannotStartIsReportedAndReleasesThePrinter) {
    refuse_document = true;
    driver.answers = {{IDOK, {}}, {IDOK, {}}};
    driver.steps = {ProgramDriver::wait_until(compared),
                    ProgramDriver::post(CMD_FROM_LEFT),
                    ProgramDriver::post(CMD_PRINT),
                    ProgramDriver::wait_until([this] { return driver.seen.size() == 2; }),
                    ProgramDriver::check([] {
                        EXPECT_TRUE(IsWindowEnabled(ui_state.main_window));
                        EXPECT_EQ(print_job.printer, nullptr);
                    }),
                    ProgramDriver::post(CMD_QUIT)};
    run(dir.write("l.txt", "a\nb\n"), dir.write("r.txt", "a\nc\n"));
    ASSERT_EQ(driver.seen.size(), 2u);
    EXPECT_EQ(driver.seen[0].caption, "Print");
    EXPECT_EQ(driver.seen[1], (SeenDialog{"Error", "Unable to start print job"}));
    ASSERT_EQ(document_calls.size(), 1u);
    EXPECT_EQ(GetObjectType(document_calls[0].printer), 0u) << "printer not released";
    EXPECT_TRUE(released(document_calls[0].dev_mode));
    EXPECT_TRUE(released(document_calls[0].dev_names));
}

TEST_F(Printing, CancelledPrintDialogPrintsNothing) {
    driver.answers = {{IDCANCEL, {}}};
    driver.steps = {
        ProgramDriver::wait_until(compared),
        ProgramDriver::post(CMD_FROM_LEFT),
        ProgramDriver::post(CMD_PRINT),
        ProgramDriver::wait_until([this] { return driver.seen.size() == 1; }),
        ProgramDriver::wait_until([] { return IsWindowEnabled(ui_state.main_window) != 0; }),
        ProgramDriver::post(CMD_QUIT)};
    run(dir.write("l.txt", "a\nb\n"), dir.write("r.txt", "a\nc\n"));
    ASSERT_EQ(driver.seen.size(), 1u);
    EXPECT_EQ(driver.seen[0].caption, "Print");
    EXPECT_TRUE(document_calls.empty());
    EXPECT_EQ(print_job.printer, nullptr);
}

}  // namespace

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    const std::string reason = printer_unavailable_reason();
    if (!reason.empty()) {
        std::printf("Printing tests skipped: %s\n", reason.c_str());
        return 77;
    }
    return RUN_ALL_TESTS();
}
