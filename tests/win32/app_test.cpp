// The real program in-process under the window system: start-up, the children's
// places, the option check marks, the compiled menus and accelerators, the settings
// file and the answers to bad input.
#include <gtest/gtest.h>

#include <iterator>
#include <string>
#include <utility>
#include <vector>

#include "resources/command_ids.h"
#include "tests/support/temp_dir.h"
#include "tests/win32/driver.h"
#include "ui/commands.h"
#include "ui/layout.h"
#include "ui/settings.h"
#include "ui/scrolling.h"
#include "ui/win32/ui_state.h"
#include "ui/win32/wide.h"

namespace {

using Seen = std::vector<SeenDialog>;

class App : public ::testing::Test {
protected:
    void SetUp() override { reset_program_state(); }
    void TearDown() override { reset_program_state(); }

    int run(const char* command_line) {
        int code = driver.run(command_line);
        EXPECT_FALSE(driver.timed_out()) << "script stopped at a step that never completed";
        EXPECT_TRUE(driver.finished());
        return code;
    }

    ProgramDriver driver;
};

bool checked(int id) {
    return (GetMenuState(GetMenu(ui_state.main_window), static_cast<UINT>(id), MF_BYCOMMAND) &
            MF_CHECKED) != 0;
}

ChildRect rect_in_parent(HWND window) {
    RECT r;
    GetWindowRect(window, &r);
    MapWindowPoints(nullptr, GetParent(window), reinterpret_cast<POINT*>(&r), 2);
    return {r.left, r.top, r.right - r.left, r.bottom - r.top};
}

TEST_F(App, ChildrenFollowTheClientSize) {
    driver.steps = {
        ProgramDriver::check([] {
            char cls[32];
            GetClassNameA(ui_state.main_window, cls, sizeof cls);
            EXPECT_STREQ(cls, "PAIREX");
            char caption[64];
            GetWindowTextA(ui_state.main_window, caption, sizeof caption);
            EXPECT_STREQ(caption, "Pairex v1.2732");
            RECT r = {0, 0, 800, 600};
            AdjustWindowRect(&r, WS_OVERLAPPEDWINDOW, TRUE);
            SetWindowPos(ui_state.main_window, nullptr, 0, 0, r.right - r.left, r.bottom - r.top,
                         SWP_NOMOVE | SWP_NOZORDER);
        }),
        ProgramDriver::check([] {
            RECT client;
            GetClientRect(ui_state.main_window, &client);
            // The test prefix runs at 96 DPI: the layout is the one of the system's own
            // measures, unscaled.
            EXPECT_EQ(view_metrics.dpi, 96);
            ChildLayout l = compute_layout(client.right, client.bottom, view_metrics.title_height,
                                           GetSystemMetrics(SM_CXVSCROLL), 96);
            EXPECT_GT(view_metrics.title_height, 4);
            EXPECT_EQ(rect_in_parent(ui_state.left_title), l.left_title);
            EXPECT_EQ(rect_in_parent(ui_state.right_title), l.right_title);
            EXPECT_EQ(rect_in_parent(ui_state.left_pane), l.left_pane);
            EXPECT_EQ(rect_in_parent(ui_state.position_bar), l.position_bar);
            EXPECT_EQ(rect_in_parent(ui_state.right_pane), l.right_pane);
            // The scrollbar sits in the bar's client area, inside its border.
            EXPECT_EQ(rect_in_parent(ui_state.vertical_scrollbar), l.vertical_scrollbar);
            char name[16];
            GetWindowTextA(ui_state.vertical_scrollbar, name, sizeof name);
            EXPECT_STREQ(name, "VertScr");
            GetWindowTextA(ui_state.left_pane, name, sizeof name);
            EXPECT_STREQ(name, "edit1");
        }),
        ProgramDriver::post(CMD_QUIT),
    };
    EXPECT_EQ(run(""), 0);
}

// One item of a menu as the system holds it.
struct ReadItem {
    std::string text;  // a popup's title, or an item's label; "" for a separator
    UINT id;           // 0 for a separator and a popup
    UINT type;         // MFT_ bits
    UINT state;        // MFS_ bits, the check mark aside
    bool operator==(const ReadItem&) const = default;
};

// The popups of `menu` and their items, in order, as the system reads them back.
std::vector<std::vector<ReadItem>> read_menu(HMENU menu) {
    std::vector<std::vector<ReadItem>> popups;
    const auto read = [](HMENU m, int i) {
        wchar_t text[128] = {};
        MENUITEMINFOW info = {};
        info.cbSize = sizeof info;
        info.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_ID | MIIM_STRING;
        info.dwTypeData = text;
        info.cch = 128;
        GetMenuItemInfoW(m, static_cast<UINT>(i), TRUE, &info);
        // The system greys separators itself: only an item's own state counts.
        const UINT state = (info.fType & MFT_SEPARATOR) != 0 ? 0 : info.fState & ~MFS_CHECKED;
        return ReadItem{narrow(text), info.wID, info.fType, state};
    };
    for (int p = 0; p < GetMenuItemCount(menu); ++p) {
        popups.push_back({read(menu, p)});
        popups.back()[0].id = 0;  // a popup's item id is its menu's handle
        HMENU popup = GetSubMenu(menu, p);
        for (int i = 0; i < GetMenuItemCount(popup); ++i) {
            popups.back().push_back(read(popup, i));
        }
    }
    return popups;
}

TEST_F(App, BuiltMenusAndAcceleratorsMatchTheCommandTable) {
    driver.steps = {
        ProgramDriver::check([] {
            const std::pair<const char*, HMENU> built[] = {
                {"MAIN_MENU", GetMenu(ui_state.main_window)},
                {"QUICK_MENU", ui_state.quick_menu},
                {"COMP_DIR_MENU", ui_state.directory_menu},
            };
            ASSERT_EQ(menu_resources().size(), std::size(built));
            for (std::size_t m = 0; m < std::size(built); ++m) {
                const MenuResource& resource = menu_resources()[m];
                SCOPED_TRACE(resource.name);
                EXPECT_STREQ(resource.name, built[m].first);
                // Every item enabled and a string, the themes' with a radio bullet; the
                // check marks follow the options (OptionCheckMarksFollowSettingsAndToggles).
                std::vector<std::vector<ReadItem>> expected;
                for (const MenuPopup& popup : resource.popups) {
                    expected.push_back({{popup.title, 0, MFT_STRING, 0}});
                    for (const MenuItem& item : popup.items) {
                        expected.back().push_back(
                            item.label == nullptr ? ReadItem{"", 0, MFT_SEPARATOR, 0}
                                                  : ReadItem{item.label, static_cast<UINT>(item.id),
                                                             is_radio_command(item.id)
                                                                 ? UINT{MFT_STRING | MFT_RADIOCHECK}
                                                                 : UINT{MFT_STRING},
                                                             0});
                    }
                }
                EXPECT_EQ(read_menu(built[m].second), expected);
            }
            EXPECT_EQ(GetSubMenu(GetMenu(ui_state.main_window), 0), ui_state.main_file_popup);
            EXPECT_EQ(GetSubMenu(ui_state.directory_menu, 0), ui_state.directory_file_popup);
            EXPECT_EQ(GetSubMenu(ui_state.quick_menu, 0), ui_state.quick_popup);
            ACCEL keys[64];
            const int n = CopyAcceleratorTableW(ui_state.accelerators, keys, 64);
            ASSERT_EQ(n, static_cast<int>(accelerator_table().size()));
            for (int i = 0; i < n; ++i) {
                const AcceleratorKey& k = accelerator_table()[static_cast<std::size_t>(i)];
                EXPECT_EQ(keys[i].key, k.virtual_key);
                EXPECT_EQ(keys[i].cmd, k.id);
                const BYTE want = FVIRTKEY | ((k.modifiers & ACC_CONTROL) ? FCONTROL : 0) |
                                  ((k.modifiers & ACC_SHIFT) ? FSHIFT : 0) |
                                  ((k.modifiers & ACC_ALT) ? FALT : 0);
                EXPECT_EQ(keys[i].fVirt, want);
            }
        }),
        ProgramDriver::post(CMD_QUIT),
    };
    run("");
}

TEST_F(App, OptionCheckMarksFollowSettingsAndToggles) {
    ini_set("Options", "Line numbers", "1");
    ini_set("Options", "Compress spaces", "0");
    ini_set("Options", "Auto walk", "1");
    driver.steps = {
        ProgramDriver::check([] {
            EXPECT_TRUE(checked(CMD_LINE_NUMBERS));
            EXPECT_FALSE(checked(CMD_COMPRESS_SPACES));
            EXPECT_TRUE(checked(CMD_AUTO_WALK));
        }),
        ProgramDriver::post(CMD_COMPRESS_SPACES),
        ProgramDriver::post(CMD_LINE_NUMBERS),
        ProgramDriver::post(CMD_LINE_NUMBERS),
        ProgramDriver::post(CMD_AUTO_WALK),
        ProgramDriver::wait_until([] { return !checked(CMD_AUTO_WALK); }),
        ProgramDriver::check([] {
            EXPECT_TRUE(checked(CMD_COMPRESS_SPACES));
            EXPECT_TRUE(checked(CMD_LINE_NUMBERS));
        }),
        ProgramDriver::post(CMD_QUIT),
    };
    run("");
    EXPECT_EQ(ini_get("Options", "Compress spaces"), "1");
    EXPECT_EQ(ini_get("Options", "Line numbers"), "1");
    EXPECT_EQ(ini_get("Options", "Auto walk"), "0");
}

TEST_F(App, QuitSavesTheSettingsOnce) {
    ini_set("Options", "Tab size", "5");
    ini_set("Files", "Dir name 1", "C:\\left\\");
    driver.steps = {ProgramDriver::post(CMD_QUIT)};
    EXPECT_EQ(run("-f2 \"two words.txt\""), 0);
    EXPECT_EQ(ini_get("Options", "Tab size"), "5");
    EXPECT_EQ(ini_get("Files", "Dir name 1"), "C:\\left");
    EXPECT_EQ(ini_get("Font", "Title Font name"), "Terminal");
    EXPECT_EQ(ini_get("Font", "Point size"), "-12");
    // The profile reader drops a value's outer quotes: look at the bytes on disk.
    EXPECT_NE(read_bytes(settings_file_path()).find("LastCmd=\"-f2 \"two words.txt\"\""),
              std::string::npos);
    // The window is destroyed after the loop ended: no second save.
    ini_set("Options", "Tab size", "77");
    DestroyWindow(ui_state.main_window);
    EXPECT_EQ(ini_get("Options", "Tab size"), "77");
}

TEST_F(App, ClosingTheWindowSavesTheSettingsOnce) {
    driver.steps = {
        ProgramDriver::post(CMD_LINE_NUMBERS),
        ProgramDriver::check([] { PostMessageA(ui_state.main_window, WM_CLOSE, 0, 0); }),
    };
    EXPECT_EQ(run(""), 0);
    EXPECT_FALSE(IsWindow(ui_state.main_window));
    EXPECT_EQ(ini_get("Options", "Line numbers"), "1");
    EXPECT_EQ(ini_get("Options", "Tab size"), "8");
}

TEST_F(App, CommandLineErrorsShowTheirBoxAndStartAnyway) {
    driver.steps = {ProgramDriver::post(CMD_QUIT)};
    driver.answers = {{IDOK, {}}};
    run("-zz 1 -f1 a.txt");
    EXPECT_EQ(driver.seen, (Seen{{"Error", "Unknown option"}}));

    reset_program_state();
    ProgramDriver second;
    second.steps = {ProgramDriver::post(CMD_QUIT)};
    second.answers = {{IDOK, {}}};
    second.run("-d1");
    EXPECT_EQ(second.seen, (Seen{{"Info", "Bad command line"}}));
    EXPECT_TRUE(second.finished());
}

TEST_F(App, GarbageSettingsStillStart) {
    ini_set("Options", "Tab size", "lots");
    ini_set("Files", "Current index 1", "-7");
    ini_set("Files", "Dir name 2", std::string(300, 'x').c_str());
    ini_set("Font", "Point size", "99999999999");
    ini_set("Font", "Font name", "No Such Font At All Anywhere Here");
    ini_set("Filters", "Filters number", "100000");
    driver.steps = {ProgramDriver::post(CMD_QUIT)};
    EXPECT_EQ(run(""), 0);
    EXPECT_EQ(ini_get("Options", "Tab size"), "0");
    EXPECT_EQ(ini_get("Files", "Dir name 2"), "");
    EXPECT_EQ(ini_get("Files", "Current index 1"), "0");
}

TEST_F(App, CancelledFilePickerChangesNothing) {
    driver.steps = {
        ProgramDriver::post(CMD_FILE1),
        ProgramDriver::wait_until([this] { return !driver.seen.empty(); }),
        ProgramDriver::post(CMD_QUIT),
    };
    driver.answers = {{IDCANCEL, {}}};
    run("");
    EXPECT_EQ(driver.seen.size(), 1u);
    EXPECT_EQ(driver.seen[0].caption, "Open file 1");
    EXPECT_EQ(ini_get("Files", "Dir name 1"), "");
}

}  // namespace
