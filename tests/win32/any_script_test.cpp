// Text and names beyond ASCII in the real program: files and folders named in Cyrillic,
// Greek, Japanese and accented Latin opened from the command line and the pickers,
// written through the save dialog and walked as a directory pair; pane and title pixels
// compared with the same text drawn by the wide call in the same font; the settings
// file keeping such names.
#include <gtest/gtest.h>

#include "ui/win32/windows_api.h"

#include <shlobj.h>  // DROPFILES

#include <array>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "common/charset.h"
#include "common/native_file.h"
#include "merge/document.h"
#include "merge/selection.h"
#include "resources/command_ids.h"
#include "tests/support/temp_dir.h"
#include "tests/win32/capture.h"
#include "tests/win32/driver.h"
#include "ui/directory_commands.h"
#include "ui/scrolling.h"
#include "ui/settings.h"
#include "ui/settings_file.h"
#include "ui/view/position_marks.h"
#include "ui/win32/ui_state.h"
#include "ui/win32/wide.h"

namespace {

using Seen = std::vector<SeenDialog>;

// Names and lines in four scripts (UTF-8).
const std::string FOLDER = "\xD0\x9F\xD0\xB0\xD0\xBF\xD0\xBA\xD0\xB0 \xC3\xBC";  // Папка ü
const std::string LEFT_NAME =
    "na\xC3\xAFve \xD0\x9F\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82.txt";  // naïve Привет.txt
const std::string RIGHT_NAME =
    "\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E \xCE\x95\xCE\xBB\xCE\xBB\xCE\xB7\xCE\xBD\xCE\xB9\xCE\xBA"
    "\xCE\xAC.txt";  // 日本語 Ελληνικά.txt
const std::string OUT_NAME = "\xD0\xB2\xD1\x8B\xD0\xB2\xD0\xBE\xD0\xB4 \xC3\xB1.txt";  // вывод ñ
const std::vector<std::string> COMMON_LINES = {
    "caf\xC3\xA9 cr\xC3\xA8me br\xC3\xBBl\xC3\xA9"
    "e",  // café crème brûlée
    "\xD0\x9F\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82, \xD0\xBC\xD0\xB8\xD1\x80",  // Привет, мир
    "\xCE\x93\xCE\xB5\xCE\xB9\xCE\xAC \xCF\x83\xCE\xBF\xCF\x85 \xCE\xBA\xCF\x8C\xCF\x83\xCE\xBC"
    "\xCE\xB5",  // Γειά σου κόσμε
    "\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E\xE3\x81\xAE\xE3\x83\x86\xE3\x82\xAD\xE3\x82\xB9\xE3"
    "\x83\x88",  // 日本語のテキスト
};
const std::string LEFT_CHANGED = "na\xC3\xAFve";  // naïve
const std::string RIGHT_CHANGED = "naive";

std::string text_of(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines) {
        text += line + "\n";
    }
    return text;
}

std::vector<std::string> with(std::vector<std::string> lines, const std::string& last) {
    lines.push_back(last);
    return lines;
}

// Writes `bytes` to a file of any name; returns its path.
std::string write_file(const std::string& path, const std::string& bytes) {
    FILE* f = native_fopen(path.c_str(), "wb");
    EXPECT_NE(f, nullptr) << path;
    if (f != nullptr) {
        std::fwrite(bytes.data(), 1, bytes.size(), f);
        std::fclose(f);
    }
    return path;
}

std::string read_file(const std::string& path) {
    std::string bytes;
    FILE* f = native_fopen(path.c_str(), "rb");
    if (f == nullptr) {
        return "<missing>";
    }
    char block[4096];
    std::size_t got = 0;
    while ((got = std::fread(block, 1, sizeof block, f)) > 0) {
        bytes.append(block, got);
    }
    std::fclose(f);
    return bytes;
}

std::string make_folder(const std::string& path) {
    std::error_code ec;
    std::filesystem::create_directories(native_path(path), ec);
    EXPECT_FALSE(ec) << path;
    return path;
}

// Pixels of `width` x `height` drawn by `draw` into a bitmap made like the window's
// own, so that both go through the same glyph rendering.
template <typename Draw>
std::vector<std::uint32_t> drawn(HWND like, int width, int height, Draw draw) {
    HDC window_dc = GetDC(like);
    HDC mem = CreateCompatibleDC(window_dc);
    HBITMAP bmp = CreateCompatibleBitmap(window_dc, width, height);
    HGDIOBJ old_bmp = SelectObject(mem, bmp);
    draw(mem);
    std::vector<std::uint32_t> pixels = grab(mem, width, height);
    SelectObject(mem, old_bmp);
    DeleteObject(bmp);
    DeleteDC(mem);
    ReleaseDC(like, window_dc);
    return pixels;
}

// The pixels of screen row `row` of a window's client area.
std::vector<std::uint32_t> window_row(HWND window, int top, int height) {
    UpdateWindow(window);
    RECT r;
    GetClientRect(window, &r);
    HDC dc = GetDC(window);
    std::vector<std::uint32_t> pixels = grab(dc, r.right, height, top);
    ReleaseDC(window, dc);
    return pixels;
}

int pane_width(HWND pane) {
    RECT r;
    GetClientRect(pane, &r);
    return r.right;
}

// How a pane row holding `text` should look: the row's fill, the darker shade behind
// the characters [mark_begin, mark_end) of the wide text, the text drawn by DrawTextW in
// the pane font.
// A row of the current block also has the blue bar at its left edge, under the text.
std::vector<std::uint32_t> expected_row(HWND pane, const std::wstring& text, HBRUSH fill,
                                        HBRUSH mark, std::size_t mark_begin, std::size_t mark_end,
                                        bool current_block = false) {
    const int width = pane_width(pane);
    const int height = view_metrics.line_height;
    return drawn(pane, width, height, [&](HDC dc) {
        RECT r = {0, 0, width, height};
        FillRect(dc, &r, fill);
        HGDIOBJ old = SelectObject(dc, ui_state.text_font);
        SetBkMode(dc, TRANSPARENT);
        auto width_of = [&](std::size_t units) {
            RECT m = {0, 0, 0, 0};
            if (units > 0) {
                DrawTextW(dc, text.c_str(), static_cast<int>(units), &m,
                          DT_LEFT | DT_SINGLELINE | DT_CALCRECT);
            }
            return m.right;
        };
        if (mark != nullptr) {
            RECT m = {width_of(mark_begin), 0, width_of(mark_end), height};
            FillRect(dc, &m, mark);
        }
        if (current_block) {
            HBRUSH blue = CreateSolidBrush(RGB(0, 0, 255));
            RECT bar = {0, 0, 3, height};
            FillRect(dc, &bar, blue);
            DeleteObject(blue);
        }
        DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &r,
                  DT_LEFT | DT_SINGLELINE | DT_EXTERNALLEADING);
        SelectObject(dc, old);
    });
}

// The same row as the narrow call drew it before: UTF-8 read in the ANSI code page.
std::vector<std::uint32_t> narrow_row(HWND pane, const std::string& text) {
    const int width = pane_width(pane);
    const int height = view_metrics.line_height;
    return drawn(pane, width, height, [&](HDC dc) {
        RECT r = {0, 0, width, height};
        FillRect(dc, &r, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
        HGDIOBJ old = SelectObject(dc, ui_state.text_font);
        SetBkMode(dc, TRANSPARENT);
        DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &r,
                  DT_LEFT | DT_SINGLELINE | DT_EXTERNALLEADING);
        SelectObject(dc, old);
    });
}

std::vector<std::uint32_t> pane_row(HWND pane, int row) {
    return window_row(pane, row * view_metrics.line_height, view_metrics.line_height);
}

// The glyph of one character alone, to tell a font that has it from one that shows
// every such character as the same box.
std::vector<std::uint32_t> glyph(HWND pane, const wchar_t* character) {
    return expected_row(pane, character, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)), nullptr,
                        0, 0);
}

class AnyScript : public ::testing::Test {
protected:
    void SetUp() override {
        GetCurrentDirectoryW(MAX_PATH, start_directory);
        reset_program_state();
    }
    void TearDown() override {
        reset_program_state();
        // The file pickers move the current directory; later tests write relative names.
        SetCurrentDirectoryW(start_directory);
    }

    void run(const std::string& command_line) {
        driver.run(command_line.c_str());
        EXPECT_FALSE(driver.timed_out()) << "script stopped at a step that never completed";
        EXPECT_TRUE(driver.finished());
    }
    static bool compared() { return merge_document.not_compared == 0; }
    static std::string quoted(const std::string& s) { return "\"" + s + "\""; }

    // The sample pair: four common lines in four scripts, then "naïve" against "naive".
    void write_pair() {
        folder = make_folder(dir.path() + "\\" + FOLDER);
        left = write_file(folder + "\\" + LEFT_NAME, text_of(with(COMMON_LINES, LEFT_CHANGED)));
        right = write_file(folder + "\\" + RIGHT_NAME, text_of(with(COMMON_LINES, RIGHT_CHANGED)));
    }

    wchar_t start_directory[MAX_PATH] = {};
    TempDir dir;
    ProgramDriver driver;
    std::string folder;
    std::string left;
    std::string right;
};

TEST_F(AnyScript, CommandLineNamesOpenAndPanesShowTheirCharacters) {
    write_pair();
    ini_set("Options", "Line numbers", "0");
    driver.steps = {
        ProgramDriver::wait_until(compared),
        ProgramDriver::check([&] {
            EXPECT_EQ(std::string(merge_document.left.path), left);
            EXPECT_EQ(std::string(merge_document.right.path), right);
            EXPECT_EQ(merge_document.left.line_count, 5);
            EXPECT_EQ(merge_document.right.line_count, 5);
            HWND panes[2] = {ui_state.left_pane, ui_state.right_pane};
            HBRUSH white = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
            for (HWND pane : panes) {
                for (std::size_t i = 0; i < COMMON_LINES.size(); ++i) {
                    const int row = static_cast<int>(i);
                    const auto shown = pane_row(pane, row);
                    EXPECT_TRUE(shown ==
                                expected_row(pane, wide(COMMON_LINES[i]), white, nullptr, 0, 0))
                        << "row " << i << " is not its characters drawn by DrawTextW";
                    EXPECT_FALSE(shown == narrow_row(pane, COMMON_LINES[i]))
                        << "row " << i << " is drawn through the ANSI code page";
                }
            }
            // The changed row: the mark covers "ï" whole on the left and "i" on the right.
            // It is the current block, the only one.
            EXPECT_TRUE(pane_row(ui_state.left_pane, 4) ==
                        expected_row(ui_state.left_pane, L"na\u00EFve", ui_state.changed_brush,
                                     ui_state.changed_mark_brush, 2, 3, true));
            EXPECT_TRUE(pane_row(ui_state.right_pane, 4) ==
                        expected_row(ui_state.right_pane, L"naive", ui_state.changed_brush,
                                     ui_state.changed_mark_brush, 2, 3, true));
            // The font shows Japanese as its own glyphs, not one box for all.
            EXPECT_FALSE(glyph(ui_state.left_pane, L"\u65E5") ==
                         glyph(ui_state.left_pane, L"\u672C"))
                << "no font with Japanese glyphs (fonts-wqy-microhei)";
        }),
        ProgramDriver::check([&] {
            // Each title bar shows its path, centred, drawn by DrawTextW in the title font.
            for (Side side : {SIDE_LEFT, SIDE_RIGHT}) {
                HWND title = side == SIDE_LEFT ? ui_state.left_title : ui_state.right_title;
                RECT client;
                GetClientRect(title, &client);
                const std::wstring path = wide(side == SIDE_LEFT ? left : right);
                const auto expected = drawn(title, client.right, client.bottom, [&](HDC dc) {
                    FillRect(dc, &client, static_cast<HBRUSH>(GetStockObject(LTGRAY_BRUSH)));
                    const TextRect t =
                        title_text_rect({0, 0, client.right, client.bottom}, view_metrics.dpi);
                    RECT r = {t.left, t.top, t.right, t.bottom};
                    HGDIOBJ old = SelectObject(dc, ui_state.title_font);
                    SetBkMode(dc, TRANSPARENT);
                    DrawTextW(dc, path.c_str(), static_cast<int>(path.size()), &r,
                              DT_CENTER | DT_SINGLELINE | DT_TOP | DT_NOPREFIX);
                    SelectObject(dc, old);
                });
                EXPECT_TRUE(window_row(title, 0, client.bottom) == expected)
                    << "title bar " << side;
            }
        }),
        ProgramDriver::post(CMD_QUIT),
    };
    run("-f1 " + quoted(left) + " -f2 " + quoted(right));
    EXPECT_TRUE(driver.seen.empty());
}

TEST_F(AnyScript, PickersOpenAndTheSaveDialogWritesNamesInAnyScript) {
    write_pair();
    const std::string out = folder + "\\" + OUT_NAME;
    driver.steps = {
        ProgramDriver::post(CMD_FILE1),
        ProgramDriver::wait_until([] { return merge_document.left.line_count == 5; }),
        ProgramDriver::post(CMD_FILE2),
        ProgramDriver::wait_until([] { return merge_document.right.line_count == 5; }),
        ProgramDriver::post(CMD_COMPARE_FILES),
        ProgramDriver::wait_until(compared),
        ProgramDriver::post(CMD_FROM_LEFT),
        ProgramDriver::post(CMD_WRITE),
        ProgramDriver::wait_until([&] { return read_file(out) != "<missing>"; }),
        ProgramDriver::post(CMD_QUIT),
    };
    driver.answers = {{IDOK, left}, {IDOK, right}, {IDOK, out}};
    run("");
    ASSERT_EQ(driver.seen.size(), 3u);
    EXPECT_EQ(driver.seen[2].caption, "Save As");
    EXPECT_EQ(std::string(merge_document.left.path), left);
    EXPECT_EQ(std::string(merge_document.right.path), right);
    std::string merged;
    for (const std::string& line : with(COMMON_LINES, LEFT_CHANGED)) {
        merged += line + "\r\n";
    }
    EXPECT_EQ(read_file(out), merged);
    // The settings file keeps the folders in their own script.
    EXPECT_EQ(ini_get("Files", "Dir name 1"), folder);
    EXPECT_EQ(ini_get("Files", "Out dir"), folder + "\\");
    EXPECT_EQ(read_file(settings_file_path()).substr(0, 2), "\xFF\xFE");

    // The next start offers those folders again.
    reset_settings();
    load_settings();
    EXPECT_EQ(std::string(settings.left_directory), folder);
    EXPECT_EQ(std::string(settings.output_directory), folder);
}

// However a file is stored, its rows are its characters: UTF-8 with and without a mark,
// UTF-16 in both byte orders, and 8-bit text in the system's ANSI code page.
TEST_F(AnyScript, EveryEncodingShowsTheSameCharacters) {
    const std::string utf8 = text_of(COMMON_LINES);
    const std::wstring units = wide(utf8);
    auto utf16 = [&](bool big_endian) {
        std::string bytes = big_endian ? "\xFE\xFF" : "\xFF\xFE";
        for (const wchar_t u : units) {
            const char hi = static_cast<char>((u >> 8) & 0xFF);
            const char lo = static_cast<char>(u & 0xFF);
            bytes += big_endian ? hi : lo;
            bytes += big_endian ? lo : hi;
        }
        return bytes;
    };
    struct Stored {
        const char* name;
        std::string bytes;
        std::vector<std::string> shown;
    };
    // "café crème brûlée" and "Grüße" in Windows-1252, the code page of this system.
    const std::vector<std::string> latin = {
        "caf\xC3\xA9 cr\xC3\xA8me br\xC3\xBBl\xC3\xA9"
        "e",
        "Gr\xC3\xBC\xC3\x9F"
        "e"};
    const std::vector<Stored> files = {
        {"utf-8.txt", utf8, COMMON_LINES},
        {"utf-8 mark.txt", "\xEF\xBB\xBF" + utf8, COMMON_LINES},
        {"utf-16le.txt", utf16(false), COMMON_LINES},
        {"utf-16be.txt", utf16(true), COMMON_LINES},
        {"8-bit.txt",
         "caf\xE9 cr\xE8me br\xFBl\xE9"
         "e\nGr\xFC\xDF"
         "e\n",
         latin},
    };
    ini_set("Options", "Line numbers", "0");
    for (const Stored& file : files) {
        SCOPED_TRACE(file.name);
        reset_program_state();
        driver = ProgramDriver{};
        const std::string path = write_file(dir.path() + "\\" + file.name, file.bytes);
        driver.answers = {{IDOK, {}}};  // "Files are identical"
        driver.steps = {
            ProgramDriver::wait_until([this] { return !driver.seen.empty(); }),
            ProgramDriver::check([&] {
                HBRUSH white = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
                for (std::size_t i = 0; i < file.shown.size(); ++i) {
                    EXPECT_TRUE(
                        pane_row(ui_state.left_pane, static_cast<int>(i)) ==
                        expected_row(ui_state.left_pane, wide(file.shown[i]), white, nullptr, 0, 0))
                        << "row " << i;
                }
            }),
            ProgramDriver::post(CMD_QUIT),
        };
        run("-f1 " + quoted(path) + " -f2 " + quoted(path));
        EXPECT_EQ(driver.seen, (Seen{{"Info", "Files are identical"}}));
        EXPECT_EQ(read_file(path), file.bytes);  // nothing was written back
    }
}

// A line of a UTF-16 file goes into an 8-bit merged file in the system's code page
// (1252 here), not as its UTF-8; what the code page lacks, or has only a look-alike
// for, has no bytes there.
TEST_F(AnyScript, Utf16LineIsWrittenIntoAnEightBitFileInTheCodePage) {
    const std::string left_file =
        write_file(dir.path() + "\\1252.txt", "d\xE9j\xE0 vu\ncommon\nUber\n");
    const std::string utf16 = std::string(
        "\xFF\xFE"
        "d\0\xE9\0j\0\xE0\0\n\0c\0o\0m\0m\0o\0n\0\n\0"
        "\xDC\0b\0e\0r\0\n\0",
        36);
    const std::string right_file = write_file(dir.path() + "\\utf16.txt", utf16);
    const std::string out = dir.path() + "\\merged.txt";
    driver.steps = {
        ProgramDriver::wait_until(compared),
        ProgramDriver::check([] {
            ASSERT_TRUE(merge_document.left.own_blocks.has_value());
            ASSERT_EQ(merge_document.left.own_blocks->size(), 3u);  // two blocks and the end
            choose_block(SIDE_LEFT, 0);
            choose_block(SIDE_RIGHT, 1);
        }),
        ProgramDriver::post(CMD_WRITE),
        ProgramDriver::wait_until([&] { return read_file(out) != "<missing>"; }),
        ProgramDriver::post(CMD_QUIT),
    };
    driver.answers = {{IDOK, out}};
    run("-f1 " + quoted(left_file) + " -f2 " + quoted(right_file));
    EXPECT_EQ(read_file(out),
              "d\xE9j\xE0 vu\r\ncommon\r\n\xDC"
              "ber\r\n");
    std::string bytes;
    EXPECT_FALSE(convert_charset("\xCE\xA9", CHARSET_UTF8, CHARSET_8BIT, bytes));  // Greek
    EXPECT_FALSE(convert_charset("\xC4\x80", CHARSET_UTF8, CHARSET_8BIT, bytes));  // A macron
}

TEST_F(AnyScript, MissingFileIsReportedWithItsName) {
    const std::string missing = dir.path() + "\\" + LEFT_NAME;
    driver.steps = {ProgramDriver::post(CMD_QUIT)};
    driver.answers = {{IDOK, {}}};
    run("-f1 " + quoted(missing));
    EXPECT_EQ(driver.seen, (Seen{{"Error", "Unable to open file " + missing}}));
}

// git's mergetool names the conflict file: it opens, and a Write replaces it, in any
// script.
TEST_F(AnyScript, ConflictFileNamedInAnyScriptOpensAndIsWritten) {
    const std::string names[] = {
        "\xD0\xB7\xD0\xB0\xD0\xBC\xD0\xB5\xD1\x82\xD0\xBA\xD0\xB8.txt",  // заметки.txt
        "\xE3\x83\xA1\xE3\x83\xA2 \xE6\x97\xA5\xE6\x9C\xAC.txt",         // メモ 日本.txt
    };
    for (const std::string& name : names) {
        SCOPED_TRACE(name);
        reset_program_state();
        const std::string path = write_file(dir.path() + "\\" + name,
                                            "a\n<<<<<<< HEAD\nb\n=======\nB\n>>>>>>> topic\nc\n");
        ProgramDriver run_once;
        run_once.steps = {
            ProgramDriver::wait_until(compared),
            ProgramDriver::check([] {
                EXPECT_EQ(merge_document.left.line_count, 3);
                EXPECT_EQ(merge_document.right.line_count, 3);
            }),
            ProgramDriver::post(CMD_FROM_RIGHT),
            ProgramDriver::post(CMD_WRITE),
            ProgramDriver::post(CMD_QUIT),
        };
        EXPECT_EQ(run_once.run(("-merge " + quoted(path)).c_str()), 0);
        EXPECT_TRUE(run_once.finished());
        EXPECT_TRUE(run_once.seen.empty());
        EXPECT_EQ(read_file(path), "a\nB\nc\n");
    }
}

// An existing ANSI settings file of ASCII alone is read as before, and stays ANSI while
// it gets ASCII; before a value outside ASCII, the whole file is turned into UTF-16,
// its old values kept.
TEST_F(AnyScript, AnsiSettingsFileKeepsItsValuesAndTakesNamesInAnyScript) {
    write_file(settings_file_path(), "[Options]\r\nTab size=4\r\n[Misc]\r\nNote=plain\r\n");
    EXPECT_EQ(settings_read_string("Options", "Tab size", ""), "4");
    settings_write_string("Files", "Dir name 2", "C:\\plain");
    EXPECT_NE(read_file(settings_file_path()).substr(0, 2), "\xFF\xFE") << "ASCII needs no change";

    ini_set("Misc", nullptr, nullptr);
    write_file(settings_file_path(),
               read_file(settings_file_path()) + "[Misc]\r\nNote=caf\xE9\r\n");  // é in 1252
    const std::string name = "C:\\" + FOLDER + "\\" + RIGHT_NAME;
    settings_write_string("Files", "Dir name 1", name.c_str());
    EXPECT_EQ(read_file(settings_file_path()).substr(0, 2), "\xFF\xFE");
    EXPECT_EQ(settings_read_string("Files", "Dir name 1", ""), name);
    EXPECT_EQ(settings_read_string("Misc", "Note", ""), "caf\xC3\xA9");
    EXPECT_EQ(settings_read_string("Options", "Tab size", ""), "4");
    EXPECT_EQ(settings_read_string("Files", "Dir name 2", ""), "C:\\plain");
    std::error_code ec;
    EXPECT_FALSE(std::filesystem::exists(native_path(settings_file_path() + ".new"), ec));
}

// The fault pinned: in the UTF-8 code page of the manifest, the profile functions took
// an 8-bit file's bytes as UTF-8 (each letter outside ASCII lost) and wrote new values
// into it as UTF-8. An 8-bit file is now turned into UTF-16 in the system's code page
// before any wide call reads or writes it.
TEST_F(AnyScript, EightBitSettingsFileKeepsEveryValue) {
    struct Case {
        const char* what;
        std::string file;         // as an older Pairex, or Notepad, left it
        const char* written_key;  // in [Misc], with `written` (none when null)
        std::string written;
        std::vector<std::array<std::string, 3>> read;  // section, key, value
    };
    const std::string cyrillic = "\xD0\x9F\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82";  // Привет
    const Case cases[] = {
        {"an 8-bit value read",
         "[Misc]\r\nkey=caf\xE9\r\n",
         nullptr,
         "",
         {{"Misc", "key", "caf\xC3\xA9"}}},
        {"an 8-bit folder read",
         "[Files]\r\nDir name 1=C:\\Jos\xE9\r\n",
         nullptr,
         "",
         {{"Files", "Dir name 1", "C:\\Jos\xC3\xA9"}}},
        {"a value outside ASCII written",
         "[Misc]\r\nNote=caf\xE9\r\n",
         "LastCmd",
         "-f1 caf\xC3\xA9.txt",
         {{"Misc", "LastCmd", "-f1 caf\xC3\xA9.txt"}, {"Misc", "Note", "caf\xC3\xA9"}}},
        {"Cyrillic written into a file of ASCII",
         "[Options]\r\nTab size=4\r\n",
         "Note",
         cyrillic,
         {{"Misc", "Note", cyrillic}, {"Options", "Tab size", "4"}}},
        {"UTF-8 left by an older Pairex or Notepad",
         "[Misc]\r\nNote=caf\xC3\xA9\r\n",
         nullptr,
         "",
         {{"Misc", "Note", "caf\xC3\xA9"}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        flush_settings_cache();
        write_file(settings_file_path(), c.file);
        if (c.written_key != nullptr) {
            settings_write_string("Misc", c.written_key, c.written.c_str());
        }
        for (const auto& [section, key, value] : c.read) {
            EXPECT_EQ(settings_read_string(section.c_str(), key.c_str(), ""), value) << key;
        }
        const std::string bytes = read_file(settings_file_path());
        EXPECT_EQ(bytes.substr(0, 2), "\xFF\xFE");
        EXPECT_EQ(bytes.find("\xC3"), std::string::npos) << "UTF-8 in the file";
    }
    // Every byte of the system's code page comes back as it was written.
    std::string all;
    for (int b = 0x80; b <= 0xFF; ++b) {
        all += static_cast<char>(b);
    }
    flush_settings_cache();
    write_file(settings_file_path(), "[Misc]\r\nAll=" + all + "\r\n");
    const std::wstring value = wide(settings_read_string("Misc", "All", ""));
    std::string back(all.size() * 2, '\0');
    back.resize(static_cast<std::size_t>(WideCharToMultiByte(
        system_ansi_code_page(), 0, value.data(), static_cast<int>(value.size()), back.data(),
        static_cast<int>(back.size()), nullptr, nullptr)));
    EXPECT_EQ(back, all);
}

// A drop in wide form, as the shell hands names in any script over.
HGLOBAL make_wide_drop(const std::vector<std::string>& files) {
    std::wstring names;
    for (const std::string& f : files) {
        names += wide(f);
        names += L'\0';
    }
    names += L'\0';
    HGLOBAL memory = GlobalAlloc(GHND, sizeof(DROPFILES) + names.size() * sizeof(wchar_t));
    auto* drop = static_cast<DROPFILES*>(GlobalLock(memory));
    drop->pFiles = sizeof(DROPFILES);
    drop->pt = {10, 10};
    drop->fWide = TRUE;
    std::memcpy(drop + 1, names.data(), names.size() * sizeof(wchar_t));
    GlobalUnlock(memory);
    return memory;
}

TEST_F(AnyScript, DroppedNamesInAnyScriptLoadAndCompare) {
    write_pair();
    driver.steps = {
        ProgramDriver::check([&] {
            SendMessageW(ui_state.main_window, WM_DROPFILES,
                         reinterpret_cast<WPARAM>(make_wide_drop({left, right})), 0);
        }),
        ProgramDriver::wait_until(compared),
        ProgramDriver::check([&] {
            EXPECT_EQ(std::string(merge_document.left.path), left);
            EXPECT_EQ(std::string(merge_document.right.path), right);
        }),
        ProgramDriver::post(CMD_QUIT),
    };
    run("");
    EXPECT_TRUE(driver.seen.empty());
}

// Folders and files named in four scripts walked as a directory pair into a target of
// a fifth name: the one-sided file's question names it, both land in the target.
TEST_F(AnyScript, DirectoryPairWithNamesInAnyScriptIsWalked) {
    const std::string d1 = make_folder(dir.path() + "\\\xD0\xA1\xD0\xBB\xD0\xB5\xD0\xB2\xD0\xB0");
    const std::string d2 =
        make_folder(dir.path() + "\\\xCE\x94\xCE\xB5\xCE\xBE\xCE\xB9\xCE\xAC");  // Δεξιά
    const std::string target = make_folder(dir.path() + "\\\xE7\x9B\xAE\xE6\xA8\x99");  // 目標
    const std::string pair = "\xD1\x84\xD0\xB0\xD0\xB9\xD0\xBB \xC3\xBC.txt";  // файл ü
    const std::string only = "\xE6\x97\xA5\xE6\x9C\xAC.txt";                   // 日本
    write_file(d1 + "\\" + pair, "keep\nleft\n");
    write_file(d2 + "\\" + pair, "keep\nright\n");
    write_file(d1 + "\\" + only, "only in one\n");
    auto pick = [](const std::string& d) {
        return DialogAnswer{IDOK, d + "\\" + DIRECTORY_PICK_NAME};
    };
    driver.steps = {
        ProgramDriver::post(CMD_COMPARE_DIRS),
        ProgramDriver::wait_until([] { return merge_document.left.own_blocks.has_value(); }),
        ProgramDriver::check([&] {
            EXPECT_EQ(std::string(merge_document.left.path), d1 + "\\" + pair);
            EXPECT_EQ(std::string(merge_document.right.path), d2 + "\\" + pair);
        }),
        ProgramDriver::post(CMD_FROM_LEFT),
        ProgramDriver::post(CMD_WRITE),
        ProgramDriver::wait_until([] { return merge_document.directory_mode == 0; }),
        ProgramDriver::post(CMD_QUIT),
    };
    driver.answers = {pick(d1), pick(d2), pick(target), {IDYES, {}}, {IDOK, {}}};
    run("");
    ASSERT_EQ(driver.seen.size(), 5u);
    EXPECT_EQ(driver.seen[3], (SeenDialog{"Confirm the operation",
                                          "The file " + only + " exists \nonly in " + d1 +
                                              ".\nCopy it to the destination directory ?"}));
    EXPECT_EQ(read_file(target + "\\" + pair), "keep\r\nleft\r\n");
    EXPECT_EQ(read_file(target + "\\" + only), "only in one\n");
}

// The fault pinned: only ASCII letters were folded, so each of these names was taken
// as a one-sided file, the second copy replaced the first and the pair was never
// compared.
TEST_F(AnyScript, NamesDifferingInCaseInAnyScriptAreComparedAsAPair) {
    const std::string d1 = make_folder(dir.path() + "\\left");
    const std::string d2 = make_folder(dir.path() + "\\right");
    const std::string target = make_folder(dir.path() + "\\target");
    const std::string pairs[2][2] = {{"\xC3\xA4.txt", "\xC3\x84.txt"},           // ä.txt Ä.txt
                                     {"\xCE\xA9mega.txt", "\xCF\x89mega.txt"}};  // Ωmega ωmega
    for (const auto& pair : pairs) {
        write_file(d1 + "\\" + pair[0], "keep\nleft " + pair[0] + "\n");
        write_file(d2 + "\\" + pair[1], "keep\nright " + pair[1] + "\n");
    }
    auto pick = [](const std::string& d) {
        return DialogAnswer{IDOK, d + "\\" + DIRECTORY_PICK_NAME};
    };
    driver.steps = {ProgramDriver::post(CMD_COMPARE_DIRS)};
    for (const auto& pair : pairs) {
        driver.steps.push_back(ProgramDriver::wait_until([&] {
            return merge_document.left.own_blocks.has_value() &&
                   std::string(merge_document.left.path) == d1 + "\\" + pair[0];
        }));
        driver.steps.push_back(ProgramDriver::check(
            [&] { EXPECT_EQ(std::string(merge_document.right.path), d2 + "\\" + pair[1]); }));
        driver.steps.push_back(ProgramDriver::post(CMD_FROM_LEFT));
        driver.steps.push_back(ProgramDriver::post(CMD_WRITE));
    }
    driver.steps.push_back(
        ProgramDriver::wait_until([] { return merge_document.directory_mode == 0; }));
    driver.steps.push_back(ProgramDriver::post(CMD_QUIT));
    driver.answers = {pick(d1), pick(d2), pick(target), {IDOK, {}}};
    run("");
    ASSERT_EQ(driver.seen.size(), 4u);  // the pickers and the end of the walk: no question
    std::error_code ec;
    std::size_t files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(native_path(target), ec)) {
        (void)entry;
        ++files;
    }
    EXPECT_EQ(files, 2u) << "no backup";
    for (const auto& pair : pairs) {
        EXPECT_EQ(read_file(target + "\\" + pair[0]), "keep\r\nleft " + pair[0] + "\r\n");
    }
}

}  // namespace
