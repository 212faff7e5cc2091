// The dialogs of the Options and Help menus in the real program: the tab size, font,
// title font, About and help dialogs driven as a user would, the panes and title bars
// read back, the settings file checked after shut-down.
#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "merge/document.h"
#include "merge/resolution.h"
#include "resources/command_ids.h"
#include "tests/support/temp_dir.h"
#include "tests/win32/capture.h"
#include "tests/win32/driver.h"
#include "ui/scrolling.h"
#include "ui/settings.h"
#include "ui/view/row_colors.h"
#include "ui/win32/dialogs.h"
#include "ui/win32/ui_state.h"

namespace {

// Runs `prepare` on every dialog the moment it shows, before the driver presses its
// scripted button: the test's hands on the dialog's controls.
class DialogHands {
public:
    std::function<void(HWND)> prepare;

    DialogHands() { current_ = this; }
    ~DialogHands() {
        stop();
        current_ = nullptr;
    }
    DialogHands(const DialogHands&) = delete;
    DialogHands& operator=(const DialogHands&) = delete;

    // Installed from a step: the driver's own hook must already be in place.
    void start() { hook_ = SetWindowsHookExA(WH_CBT, on_cbt, nullptr, GetCurrentThreadId()); }
    void stop() {
        if (hook_ != nullptr) {
            UnhookWindowsHookEx(hook_);
            hook_ = nullptr;
        }
    }

private:
    static LRESULT CALLBACK on_cbt(int code, WPARAM wparam, LPARAM lparam) {
        if (code == HCBT_ACTIVATE && current_ != nullptr && current_->prepare) {
            HWND window = reinterpret_cast<HWND>(wparam);
            char cls[32] = {};
            GetClassNameA(window, cls, sizeof cls);
            if (lstrcmpA(cls, "#32770") == 0 && window != current_->last_) {
                current_->last_ = window;
                current_->prepare(window);
            }
        }
        return CallNextHookEx(nullptr, code, wparam, lparam);
    }

    static inline DialogHands* current_ = nullptr;
    HHOOK hook_ = nullptr;
    HWND last_ = nullptr;
};

std::string item_text(HWND dialog, int id) {
    char text[8192] = {};
    GetDlgItemTextA(dialog, id, text, sizeof text);
    return text;
}

// Types into an edit as a user does: everything selected, then replaced by `text`.
void type_into(HWND dialog, int id, const std::string& text) {
    HWND edit = GetDlgItem(dialog, id);
    SendMessageA(edit, EM_SETSEL, 0, -1);
    SendMessageA(edit, WM_CHAR, VK_BACK, 0);
    for (char c : text) {
        SendMessageA(edit, WM_CHAR, static_cast<unsigned char>(c), 0);
    }
}

// Picks a face in the font dialog and types a point size, each announced to the
// dialog as the user's own change would be.
constexpr int FACE_LIST = 0x470;  // cmb1
constexpr int SIZE_LIST = 0x472;  // cmb3
void choose_in_font_dialog(HWND dialog, const std::string& face, int points) {
    HWND faces = GetDlgItem(dialog, FACE_LIST);
    SendMessageA(faces, CB_SELECTSTRING, static_cast<WPARAM>(-1),
                 reinterpret_cast<LPARAM>(face.c_str()));
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(FACE_LIST, CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(faces));
    HWND sizes = GetDlgItem(dialog, SIZE_LIST);
    SetWindowTextA(sizes, std::to_string(points).c_str());
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(SIZE_LIST, CBN_EDITCHANGE),
                 reinterpret_cast<LPARAM>(sizes));
}

int CALLBACK collect_face(const LOGFONTA* lf, const TEXTMETRICA*, DWORD type, LPARAM out) {
    if ((type & TRUETYPE_FONTTYPE) != 0 && lf->lfFaceName[0] != '@') {
        reinterpret_cast<std::vector<std::string>*>(out)->push_back(lf->lfFaceName);
    }
    return 1;
}

// A scalable face this machine has, other than `other`: the fonts differ from one
// machine to the next.
std::string some_truetype_face(const std::string& other = "") {
    std::vector<std::string> faces;
    LOGFONTA wanted = {};
    wanted.lfCharSet = DEFAULT_CHARSET;
    HDC dc = GetDC(nullptr);
    EnumFontFamiliesExA(dc, &wanted, collect_face, reinterpret_cast<LPARAM>(&faces), 0);
    ReleaseDC(nullptr, dc);
    for (const char* liked : {"Tahoma", "DejaVu Sans", "Liberation Sans"}) {
        for (const std::string& f : faces) {
            if (f == liked && f != other) {
                return f;
            }
        }
    }
    for (const std::string& f : faces) {
        if (f != other) {
            return f;
        }
    }
    return "";
}

bool dark(std::uint32_t pixel) {
    return ((pixel >> 16) & 255) < 96 && ((pixel >> 8) & 255) < 96 && (pixel & 255) < 96;
}

// Which pixels of each screen row of a pane are dark (text), row by row.
std::vector<std::vector<bool>> row_ink(HWND pane, int rows) {
    UpdateWindow(pane);
    RECT r;
    GetClientRect(pane, &r);
    const int h = view_metrics.line_height;
    const int width = r.right - 8;  // clear of the right edge
    HDC src = GetDC(pane);
    const std::vector<std::uint32_t> p = grab(src, width, rows * h);
    ReleaseDC(pane, src);
    std::vector<std::vector<bool>> ink(static_cast<std::size_t>(rows));
    for (int y = 0; y < rows * h; ++y) {
        for (int x = 0; x < width; ++x) {
            ink[static_cast<std::size_t>(y / h)].push_back(
                dark(p[static_cast<std::size_t>(y) * width + x]));
        }
    }
    return ink;
}

bool has_ink(const std::vector<bool>& row) {
    for (bool b : row) {
        if (b) {
            return true;
        }
    }
    return false;
}

bool dialog_open(const char* caption) {
    return FindWindowA("#32770", caption) != nullptr;
}

class Dialogs : public ::testing::Test {
protected:
    void SetUp() override { reset_program_state(); }
    void TearDown() override {
        hands.stop();
        reset_program_state();
    }

    void run(const std::string& command_line) {
        driver.steps.insert(driver.steps.begin(), ProgramDriver::check([this] { hands.start(); }));
        driver.steps.push_back(ProgramDriver::post(CMD_QUIT));
        driver.run(command_line.c_str());
        EXPECT_FALSE(driver.timed_out()) << "script stopped at a step that never completed";
        EXPECT_TRUE(driver.finished());
    }

    // A step that waits until `count` dialogs were answered and the last has closed.
    ProgramDriver::Step answered(std::size_t count, const char* caption) {
        return ProgramDriver::wait_until([this, count, caption] {
            return driver.seen.size() >= count && !dialog_open(caption);
        });
    }

    std::string files_with(const std::string& left_text, const std::string& right_text) {
        const std::string left = dir.write("left.txt", left_text);
        const std::string right = dir.write("right.txt", right_text);
        return "-f1 \"" + left + "\" -f2 \"" + right + "\"";
    }

    static bool compared() { return merge_document.not_compared == 0; }

    TempDir dir;
    ProgramDriver driver;
    DialogHands hands;
};

// Row 0 holds tabs, row 1 what they must look like; both are common rows.
const char* const TABBED = "\tmm\tmm\n    mm    mm\nmmmm\nend\n";
const char* const TABBED_RIGHT = "\tmm\tmm\n    mm    mm\nmmmm\nend\nmore\n";

TEST_F(Dialogs, TabSizeFourShowsEveryTabAsFourBlanksAtOnce) {
    std::string shown;
    hands.prepare = [&](HWND dialog) {
        shown = item_text(dialog, 107);
        type_into(dialog, 107, "4");
    };
    driver.answers = {{IDOK, {}}};
    driver.steps = {
        ProgramDriver::wait_until(compared),
        ProgramDriver::check([] {
            const auto ink = row_ink(ui_state.left_pane, 2);
            ASSERT_TRUE(has_ink(ink[0]));
            EXPECT_NE(ink[0], ink[1]) << "with tab size 8 the tabs are wider than four blanks";
        }),
        ProgramDriver::post(CMD_TAB_SIZE),
        answered(1, "Tab size"),
        ProgramDriver::check([] {
            EXPECT_EQ(settings.tab_size, 4);
            for (HWND pane : {ui_state.left_pane, ui_state.right_pane}) {
                const auto ink = row_ink(pane, 2);
                EXPECT_EQ(ink[0], ink[1]) << "a tab must look like four blanks";
            }
        }),
    };
    run(files_with(TABBED, TABBED_RIGHT));
    EXPECT_EQ(shown, "8");
    EXPECT_EQ(driver.seen.at(0).caption, "Tab size");
    EXPECT_EQ(ini_get("Options", "Tab size"), "4");
}

// Letters or nothing keep the size and close the dialog; "-3" makes tabs vanish;
// Cancel keeps whatever was typed out.
TEST_F(Dialogs, TabSizeTextThatIsNoNumberKeepsTheSize) {
    const std::vector<std::string> typed = {"abc", "", "-3", "2"};
    std::size_t round = 0;
    hands.prepare = [&](HWND dialog) { type_into(dialog, 107, typed.at(round++)); };
    driver.answers = {{IDOK, {}}, {IDOK, {}}, {IDOK, {}}, {IDCANCEL, {}}};
    driver.steps = {
        ProgramDriver::wait_until(compared),
        ProgramDriver::post(CMD_TAB_SIZE),
        answered(1, "Tab size"),
        ProgramDriver::check([] { EXPECT_EQ(settings.tab_size, 8); }),
        ProgramDriver::post(CMD_TAB_SIZE),
        answered(2, "Tab size"),
        ProgramDriver::check([] { EXPECT_EQ(settings.tab_size, 8); }),
        ProgramDriver::post(CMD_TAB_SIZE),
        answered(3, "Tab size"),
        ProgramDriver::check([] {
            EXPECT_EQ(settings.tab_size, -3);
            // "\tmm\tmm" now shows as "mmmm".
            const auto ink = row_ink(ui_state.left_pane, 3);
            EXPECT_EQ(ink[0], ink[2]);
        }),
        ProgramDriver::post(CMD_TAB_SIZE),
        answered(4, "Tab size"),
        ProgramDriver::check([] { EXPECT_EQ(settings.tab_size, -3); }),
    };
    run(files_with(TABBED, TABBED_RIGHT));
    EXPECT_EQ(round, 4u);
    EXPECT_EQ(ini_get("Options", "Tab size"), "-3");
}

// A stored size longer than the characters the dialog reads survives an OK that did
// not touch the field.
TEST_F(Dialogs, UntouchedTabSizeSurvivesOk) {
    ini_set("Options", "Tab size", "-1234567890");
    std::string shown;
    hands.prepare = [&](HWND dialog) { shown = item_text(dialog, 107); };
    driver.answers = {{IDOK, {}}};
    driver.steps = {ProgramDriver::post(CMD_TAB_SIZE), answered(1, "Tab size")};
    run("");
    EXPECT_EQ(shown, "-1234567890");
    EXPECT_EQ(ini_get("Options", "Tab size"), "-1234567890");
}

TEST_F(Dialogs, AboutBoxShowsTheProgramsTitle) {
    std::string title;
    hands.prepare = [&](HWND dialog) { title = item_text(dialog, 106); };
    driver.answers = {{IDOK, {}}, {IDCANCEL, {}}};
    driver.steps = {
        ProgramDriver::post(CMD_ABOUT),
        answered(1, "About PAIREX"),
        // Escape or the close box end it as well.
        ProgramDriver::post(CMD_ABOUT),
        answered(2, "About PAIREX"),
    };
    run("");
    ASSERT_EQ(driver.seen.size(), 2u);
    EXPECT_EQ(driver.seen[0], (SeenDialog{"About PAIREX", "Visual file merger"}));
    EXPECT_EQ(title, APP_TITLE);
}

TEST_F(Dialogs, TextFontChoiceChangesTheRowsAndReachesTheSettings) {
    const std::string face = some_truetype_face();
    ASSERT_FALSE(face.empty());
    int old_height = 0;
    int old_rows = 0;
    hands.prepare = [&](HWND dialog) { choose_in_font_dialog(dialog, face, 24); };
    driver.answers = {{IDOK, {}}};
    driver.steps = {
        ProgramDriver::wait_until(compared),
        ProgramDriver::check([&] {
            old_height = view_metrics.line_height;
            old_rows = view_metrics.page_rows;
        }),
        ProgramDriver::post(CMD_FONT),
        answered(1, "Font"),
        ProgramDriver::check([&] {
            EXPECT_STREQ(settings.text_font.face_name, face.c_str());
            EXPECT_GT(view_metrics.line_height, old_height);
            EXPECT_LT(view_metrics.page_rows, old_rows);
            RECT pane;
            GetClientRect(ui_state.left_pane, &pane);
            EXPECT_EQ(
                view_metrics.page_rows,
                (pane.bottom - GetSystemMetrics(SM_CYHSCROLL)) / view_metrics.line_height + 1);
            // The rows are drawn at the new height: row 3 ("end") has text in it.
            EXPECT_TRUE(has_ink(row_ink(ui_state.left_pane, 4)[3]));
        }),
    };
    run(files_with(TABBED, TABBED_RIGHT));
    EXPECT_EQ(ini_get("Font", "Font name"), face);
    EXPECT_EQ(ini_get("Font", "Point size"), std::to_string(-MulDiv(24, 96, 72)));
}

TEST_F(Dialogs, FontChosenAtAnotherDpiIsStoredAt96) {
    // On a monitor at 150 % the dialog's 24 points are stored as at 96 DPI and the font
    // is made at the window's DPI.
    const std::string face = some_truetype_face();
    ASSERT_FALSE(face.empty());
    hands.prepare = [&](HWND dialog) { choose_in_font_dialog(dialog, face, 24); };
    driver.answers = {{IDOK, {}}};
    driver.steps = {
        ProgramDriver::check([] {
            SetWindowPos(ui_state.main_window, nullptr, 0, 0, 640, 480, SWP_NOZORDER);
            RECT r = {0, 0, 960, 720};
            SendMessageA(ui_state.main_window, WM_DPICHANGED, MAKEWPARAM(144, 144),
                         reinterpret_cast<LPARAM>(&r));
        }),
        ProgramDriver::post(CMD_FONT),
        answered(1, "Font"),
        ProgramDriver::check([] {
            EXPECT_EQ(settings.text_font.height, -MulDiv(24, 96, 72));
            LOGFONTA lf = {};
            GetObjectA(ui_state.text_font, sizeof lf, &lf);
            EXPECT_EQ(lf.lfHeight, -MulDiv(24, 144, 72));
        }),
    };
    run("");
    EXPECT_EQ(ini_get("Font", "Point size"), std::to_string(-MulDiv(24, 96, 72)));
}

TEST_F(Dialogs, CancelledFontDialogsChangeNothing) {
    HFONT text_font = nullptr;
    HFONT title_font = nullptr;
    int heights[2] = {};
    hands.prepare = [&](HWND dialog) { choose_in_font_dialog(dialog, some_truetype_face(), 30); };
    driver.answers = {{IDCANCEL, {}}, {IDCANCEL, {}}};
    driver.steps = {
        ProgramDriver::check([&] {
            text_font = ui_state.text_font;
            title_font = ui_state.title_font;
            heights[0] = view_metrics.line_height;
            heights[1] = view_metrics.title_height;
        }),
        ProgramDriver::post(CMD_FONT),
        answered(1, "Font"),
        ProgramDriver::post(CMD_TITLE_FONT),
        answered(2, "Font"),
        ProgramDriver::check([&] {
            EXPECT_EQ(ui_state.text_font, text_font);
            EXPECT_EQ(ui_state.title_font, title_font);
            EXPECT_EQ(view_metrics.line_height, heights[0]);
            EXPECT_EQ(view_metrics.title_height, heights[1]);
        }),
    };
    run("");
    EXPECT_EQ(ini_get("Font", "Font name"), "Terminal");
    EXPECT_EQ(ini_get("Font", "Point size"), "-12");
    EXPECT_EQ(ini_get("Font", "Title Font name"), "Terminal");
    EXPECT_EQ(ini_get("Font", "Title Point size"), "-12");
}

RECT rect_in_main(HWND window) {
    RECT r;
    GetWindowRect(window, &r);
    MapWindowPoints(nullptr, ui_state.main_window, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

TEST_F(Dialogs, TitleFontTwiceAsHighMakesTheTitleBarsTallerAtOnce) {
    const std::string face = some_truetype_face();
    ASSERT_FALSE(face.empty());
    ini_set("Font", "Title Font name", face.c_str());
    ini_set("Font", "Title Point size", std::to_string(-MulDiv(10, 96, 72)).c_str());
    int old_title = 0;
    RECT old_window = {};
    hands.prepare = [&](HWND dialog) { choose_in_font_dialog(dialog, face, 20); };
    driver.answers = {{IDOK, {}}};
    driver.steps = {
        ProgramDriver::check([&] {
            old_title = view_metrics.title_height;
            GetWindowRect(ui_state.main_window, &old_window);
        }),
        ProgramDriver::post(CMD_TITLE_FONT),
        answered(1, "Font"),
        ProgramDriver::check([&] {
            const int title = view_metrics.title_height;
            // The character height doubles, give or take the rounding of each size.
            EXPECT_NEAR(title - 4, 2 * (old_title - 4), 2);
            RECT client;
            GetClientRect(ui_state.main_window, &client);
            for (HWND bar : {ui_state.left_title, ui_state.right_title}) {
                const RECT r = rect_in_main(bar);
                EXPECT_EQ(r.top, 0);
                EXPECT_EQ(r.bottom, title);
            }
            for (HWND below : {ui_state.left_pane, ui_state.position_bar, ui_state.right_pane}) {
                const RECT r = rect_in_main(below);
                EXPECT_EQ(r.top, title);
                EXPECT_EQ(r.bottom, client.bottom);
            }
            RECT window;
            GetWindowRect(ui_state.main_window, &window);
            EXPECT_EQ(window.right - window.left, old_window.right - old_window.left);
            EXPECT_EQ(window.bottom - window.top, old_window.bottom - old_window.top);
        }),
    };
    run("");
    EXPECT_EQ(ini_get("Font", "Title Font name"), face);
    EXPECT_EQ(ini_get("Font", "Title Point size"), std::to_string(-MulDiv(20, 96, 72)));
    EXPECT_EQ(ini_get("Font", "Font name"), "Terminal");
}

TEST_F(Dialogs, HelpKeyShowsTheProgramsOwnHelp) {
    std::string page;
    bool owner_disabled = false;
    hands.prepare = [&](HWND dialog) {
        page = item_text(dialog, HELP_TEXT_ID);
        owner_disabled = !IsWindowEnabled(ui_state.main_window);
    };
    driver.answers = {{IDOK, {}}};
    driver.steps = {
        ProgramDriver::check([] {
            // F1 through the accelerator table, as the user presses it.
            MSG msg = {ui_state.main_window, WM_KEYDOWN, VK_F1, 0, 0, {}};
            EXPECT_NE(TranslateAcceleratorA(ui_state.main_window, ui_state.accelerators, &msg), 0);
        }),
        answered(1, "Pairex help"),
    };
    run("");
    ASSERT_EQ(driver.seen.size(), 1u);
    EXPECT_EQ(driver.seen[0].caption, "Pairex help");
    EXPECT_TRUE(owner_disabled);
    EXPECT_EQ(page.rfind(std::string(APP_TITLE) + "\r\n", 0), 0u);
    for (const char* expected :
         {"File > Write", "Ctrl+W", "Search > Next", "Ctrl+N, Ctrl+Shift+N", "Help > Contents",
          "Options > Tab size", "Ctrl+T", "Command line", "-outd DIR"}) {
        EXPECT_NE(page.find(expected), std::string::npos) << expected;
    }
}

// The edit control's whole text, wide.
std::wstring edit_text(HWND dialog) {
    HWND edit = GetDlgItem(dialog, 1000);
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(edit)) + 1, L'\0');
    text.resize(
        static_cast<std::size_t>(GetWindowTextW(edit, text.data(), static_cast<int>(text.size()))));
    return text;
}

bool is_edit_block(HWND dialog) {
    char caption[32] = {};
    GetWindowTextA(dialog, caption, sizeof caption);
    return lstrcmpA(caption, "Edit block") == 0;
}

// Replaces everything in the edit control as a paste does.
void paste_into(HWND dialog, const std::wstring& text) {
    HWND edit = GetDlgItem(dialog, 1000);
    SendMessageW(edit, EM_SETSEL, 0, -1);
    SendMessageW(edit, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(text.c_str()));
}

// F2 opens the block's text; Cancel keeps the block open whatever was typed; OK makes
// the typed text, in any script and with an empty line, the block's, and Write writes
// it byte for byte. The next opening shows the edited text.
TEST_F(Dialogs, EditBlockCancelChangesNothingAndOkWritesTheTextAsTyped) {
    std::vector<std::wstring> shown;
    hands.prepare = [&](HWND dialog) {
        if (!is_edit_block(dialog)) {
            return;
        }
        shown.push_back(edit_text(dialog));
        paste_into(dialog, L"x \u00FCn\u00EF \u65E5\u672C \u0416\r\n\r\nlast");
    };
    const std::string out = dir.file("merged.txt");
    driver.answers = {{IDCANCEL, {}}, {IDOK, {}}, {IDCANCEL, {}}, {IDOK, out}};
    const auto f2 = [] {
        MSG msg = {ui_state.main_window, WM_KEYDOWN, VK_F2, 0, 0, {}};
        EXPECT_NE(TranslateAcceleratorW(ui_state.main_window, ui_state.accelerators, &msg), 0);
    };
    driver.steps = {
        ProgramDriver::wait_until(compared),
        ProgramDriver::check(f2),
        answered(1, "Edit block"),
        ProgramDriver::check([] { EXPECT_EQ(block_resolution(0), RESOLVED_OPEN); }),
        ProgramDriver::check(f2),
        answered(2, "Edit block"),
        ProgramDriver::check([] {
            EXPECT_EQ(block_resolution(0), RESOLVED_EDITED);
            // Both panes show the edited block in its own colour.
            const Rgb orange{EDITED_RGB.red, EDITED_RGB.green, EDITED_RGB.blue};
            EXPECT_EQ(row_fill(Capture(ui_state.left_pane), 1), orange);
            EXPECT_EQ(row_fill(Capture(ui_state.right_pane), 1), orange);
        }),
        ProgramDriver::post(CMD_EDIT_BLOCK),
        answered(3, "Edit block"),
        ProgramDriver::post(CMD_WRITE),
        answered(4, "Save As"),
    };
    run(files_with("a\nb\nc\n", "a\nB\nc\n"));
    ASSERT_EQ(shown.size(), 3u);
    EXPECT_EQ(shown[0], L"b\r\n");  // an open block starts from the left side's lines
    EXPECT_EQ(shown[1], L"b\r\n");
    EXPECT_EQ(shown[2], L"x \u00FCn\u00EF \u65E5\u672C \u0416\r\n\r\nlast\r\n");
    EXPECT_EQ(read_bytes(out),
              "a\r\nx \xC3\xBCn\xC3\xAF \xE6\x97\xA5\xE6\x9C\xAC \xD0\x96\r\n\r\nlast\r\nc\r\n");
}

// A paste of 100,000 lines fits in the control and reaches the file whole.
TEST_F(Dialogs, EditBlockTakesAHundredThousandLinePaste) {
    constexpr int LINES = 100000;
    std::wstring paste;
    std::string expected = "a\r\n";
    for (int i = 0; i < LINES; ++i) {
        const std::string line = "line " + std::to_string(i);
        paste += std::wstring(line.begin(), line.end()) + L"\r\n";
        expected += line + "\r\n";
    }
    expected += "c\r\n";
    std::size_t length = 0;
    hands.prepare = [&](HWND dialog) {
        if (!is_edit_block(dialog)) {
            return;
        }
        paste_into(dialog, paste);
        length = edit_text(dialog).size();
    };
    const std::string out = dir.file("merged.txt");
    driver.timeout_ms = 60000;
    driver.answers = {{IDOK, {}}, {IDOK, out}};
    driver.steps = {
        ProgramDriver::wait_until(compared),
        ProgramDriver::post(CMD_EDIT_BLOCK),
        answered(1, "Edit block"),
        ProgramDriver::post(CMD_WRITE),
        answered(2, "Save As"),
    };
    run(files_with("a\nb\nc\n", "a\nB\nc\n"));
    EXPECT_EQ(length, paste.size());
    EXPECT_TRUE(read_bytes(out) == expected)
        << "the file has " << read_bytes(out).size() << " bytes";
}

// The help file is looked for where the help viewer finds a bare name: beside the
// program first.
TEST(HelpFile, FoundBesideTheProgramOnly) {
    std::string path;
    ASSERT_FALSE(find_help_file(path));
    char program[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, program, MAX_PATH);
    std::string beside = program;
    beside = beside.substr(0, beside.rfind('\\') + 1) + "pairex.hlp";
    TempDir::write_at(beside, "not really a help file");
    const bool found = find_help_file(path);
    DeleteFileA(beside.c_str());
    EXPECT_TRUE(found);
    EXPECT_EQ(lstrcmpiA(path.c_str(), beside.c_str()), 0) << path;
    EXPECT_FALSE(find_help_file(path));
}

}  // namespace
