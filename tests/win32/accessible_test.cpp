// A screen reader's view of a merge: the panes and the position bar read through
// AccessibleObjectFromWindow, as a reader asks for them, and the events it hears through
// an out-of-context SetWinEventHook, before and after a move, a click and Tab.
#include "ui/win32/windows_api.h"

#include <gtest/gtest.h>
#include <oleacc.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "merge/document.h"
#include "resources/command_ids.h"
#include "tests/support/temp_dir.h"
#include "tests/win32/capture.h"
#include "tests/win32/driver.h"
#include "ui/scrolling.h"
#include "ui/win32/merged_pane.h"
#include "ui/win32/ui_state.h"
#include "ui/win32/wide.h"

namespace {

// Spelled out: mingw-w64's import library gives IID_IAccessible as code.
constexpr IID ACCESSIBLE_IID = {
    0x618736e0, 0x3c3d, 0x11cf, {0x81, 0x0c, 0x00, 0xaa, 0x00, 0x38, 0x9b, 0x71}};

struct Heard {
    DWORD event;
    HWND window;
    bool operator==(const Heard&) const = default;
};
std::vector<Heard> heard;

void CALLBACK on_event(HWINEVENTHOOK, DWORD event, HWND window, LONG object, LONG child, DWORD,
                       DWORD) {
    if (object == OBJID_CLIENT && child == CHILDID_SELF) {
        heard.push_back({event, window});
    }
}

bool was_heard(DWORD event, HWND window) {
    for (const Heard& h : heard) {
        if (h == Heard{event, window}) {
            return true;
        }
    }
    return false;
}

// What a reader gets from one object of a window, or from one of its children.
struct Reading {
    LONG role = -1;
    std::string name;
    std::string value;
    std::string description;
    std::string action;
    LONG children = -1;
};

// One text property of child `id`, "<none>" when the object gives none.
template <typename Getter>
std::string text_of(Getter get) {
    BSTR text = nullptr;
    const HRESULT hr = get(&text);
    std::string out = SUCCEEDED(hr) && text != nullptr ? narrow(text) : "<none>";
    SysFreeString(text);
    return out;
}

// The window's client object (the test fails without one) and the id of its child.
IAccessible* object_of(HWND window) {
    IAccessible* object = nullptr;
    if (FAILED(AccessibleObjectFromWindow(window, static_cast<DWORD>(OBJID_CLIENT), ACCESSIBLE_IID,
                                          reinterpret_cast<void**>(&object)))) {
        ADD_FAILURE() << "no accessible object";
        return nullptr;
    }
    return object;
}

VARIANT child_id(LONG child) {
    VARIANT id;
    VariantInit(&id);
    id.vt = VT_I4;
    id.lVal = child;
    return id;
}

Reading read(HWND window, LONG child = CHILDID_SELF) {
    Reading r;
    IAccessible* object = object_of(window);
    if (object == nullptr) {
        return r;
    }
    const VARIANT id = child_id(child);
    VARIANT role;
    VariantInit(&role);
    if (SUCCEEDED(object->get_accRole(id, &role)) && role.vt == VT_I4) {
        r.role = role.lVal;
    }
    r.name = text_of([&](BSTR* out) { return object->get_accName(id, out); });
    r.value = text_of([&](BSTR* out) { return object->get_accValue(id, out); });
    r.description = text_of([&](BSTR* out) { return object->get_accDescription(id, out); });
    r.action = text_of([&](BSTR* out) { return object->get_accDefaultAction(id, out); });
    object->get_accChildCount(&r.children);
    object->Release();
    return r;
}

HRESULT do_default_action(HWND window, LONG child) {
    IAccessible* object = object_of(window);
    if (object == nullptr) {
        return E_FAIL;
    }
    const HRESULT hr = object->accDoDefaultAction(child_id(child));
    object->Release();
    return hr;
}

// The reader's view of a pane, printed for the people reading the test's output.
Reading read_pane(HWND pane, const char* step) {
    const Reading r = read(pane);
    std::printf("[reader] %s: %s = %s\n", step, r.name.c_str(), r.value.c_str());
    return r;
}

// The first `count` rows of a window, as the reader hears them.
void print_rows(HWND window, LONG count) {
    for (LONG child = 1; child <= count; ++child) {
        const Reading r = read(window, child);
        std::printf("[reader]   row %ld: \"%s\" (%s)\n", static_cast<long>(child), r.name.c_str(),
                    r.description.c_str());
    }
}

std::vector<std::uint32_t> window_pixels(HWND window) {
    UpdateWindow(window);
    RECT r;
    GetClientRect(window, &r);
    HDC dc = GetDC(window);
    std::vector<std::uint32_t> pixels = grab(dc, r.right, r.bottom);
    ReleaseDC(window, dc);
    return pixels;
}

void click_row(HWND pane, int row) {
    SendMessageW(pane, WM_LBUTTONDOWN, MK_LBUTTON,
                 MAKELPARAM(5, row * view_metrics.line_height + view_metrics.line_height / 2));
}

class Accessible : public ::testing::Test {
protected:
    void SetUp() override {
        reset_program_state();
        CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        heard.clear();
        // Blocks b c | X, filler | Y Z and g | filler.
        left = dir.write("left.txt", "a\nb\nc\nd\ne\nf\ng\n");
        right = dir.write("right.txt", "a\nX\nd\ne\nY\nZ\nf\n");
    }
    void TearDown() override {
        if (hook != nullptr) {
            UnhookWinEvent(hook);
        }
        reset_program_state();
    }

    // Runs driver.steps on the pair.
    void run_on_three_blocks() {
        driver.run(("-f1 \"" + left + "\" -f2 \"" + right + "\"").c_str());
        EXPECT_FALSE(driver.timed_out()) << "script stopped at a step that never completed";
        EXPECT_TRUE(driver.finished());
    }

    TempDir dir;
    std::string left;
    std::string right;
    ProgramDriver driver;
    HWINEVENTHOOK hook = nullptr;  // set by a step, released at the end
};

TEST_F(Accessible, AReaderHearsTheCurrentBlockThroughMovesChoicesAndTab) {
    std::vector<std::uint32_t> left_title;
    std::vector<std::uint32_t> right_title;
    driver.steps = {
        ProgramDriver::wait_until([] { return merge_document.not_compared == 0; }),
        ProgramDriver::check([&] {
            EXPECT_EQ(GetFocus(), ui_state.left_pane);
            left_title = window_pixels(ui_state.left_title);
            right_title = window_pixels(ui_state.right_title);
            const Reading l = read_pane(ui_state.left_pane, "compared");
            EXPECT_EQ(l.role, ROLE_SYSTEM_LIST);
            EXPECT_EQ(l.name, "Left: " + left);
            EXPECT_EQ(l.value, "Difference 1 of 3, left lines 2 to 3, right line 2, unresolved");
            EXPECT_EQ(l.children, 9);
            EXPECT_EQ(read(ui_state.right_pane).name, "Right: " + right);
            const Reading line = read(ui_state.left_pane, 2);
            EXPECT_EQ(line.role, ROLE_SYSTEM_LISTITEM);
            EXPECT_EQ(line.name, "b");
            EXPECT_EQ(line.description, "own, line 2, current difference");
            EXPECT_EQ(line.action, "Choose");
            EXPECT_EQ(read(ui_state.left_pane, 1).action, "<none>");  // a common line
            const Reading bar = read(ui_state.position_bar);
            EXPECT_EQ(bar.role, ROLE_SYSTEM_INDICATOR);
            EXPECT_EQ(bar.name, "Position bar");
            EXPECT_EQ(bar.value, "Rows 1 to 9 of 9");
            hook = SetWinEventHook(EVENT_OBJECT_FOCUS, EVENT_OBJECT_VALUECHANGE, nullptr, on_event,
                                   GetCurrentProcessId(), 0, WINEVENT_OUTOFCONTEXT);
            ASSERT_NE(hook, nullptr);
        }),
        ProgramDriver::post(CMD_FIRST),
        ProgramDriver::post(CMD_NEXT),
        ProgramDriver::wait_until(
            [] { return was_heard(EVENT_OBJECT_VALUECHANGE, ui_state.left_pane); }),
        ProgramDriver::check([] {
            EXPECT_EQ(read_pane(ui_state.left_pane, "Next").value,
                      "Difference 2 of 3, left no lines, right lines 5 to 6, unresolved");
            // The top row is now the block's first: Y on the right.
            EXPECT_EQ(read(ui_state.right_pane, 1).name, "Y");
            heard.clear();
            click_row(ui_state.right_pane, 0);
        }),
        // The click takes the focus to the right pane, which tells the choice.
        ProgramDriver::wait_until(
            [] { return was_heard(EVENT_OBJECT_VALUECHANGE, ui_state.right_pane); }),
        ProgramDriver::check([] {
            EXPECT_TRUE(was_heard(EVENT_OBJECT_FOCUS, ui_state.right_pane));
            EXPECT_EQ(read_pane(ui_state.right_pane, "click on Y").value,
                      "Difference 2 of 3, left no lines, right lines 5 to 6, right");
            heard.clear();
            SendMessageW(ui_state.right_pane, WM_KEYDOWN, VK_TAB, 0);
            EXPECT_EQ(GetFocus(), ui_state.left_pane);
        }),
        ProgramDriver::wait_until([] { return was_heard(EVENT_OBJECT_FOCUS, ui_state.left_pane); }),
        ProgramDriver::check([&] {
            read_pane(ui_state.left_pane, "Tab");
            // From the first Tab on, the focused pane's title bar shows the focus.
            EXPECT_NE(window_pixels(ui_state.left_title), left_title);
            EXPECT_EQ(window_pixels(ui_state.right_title), right_title);
            // The reader's default action on a row of the block chooses its side.
            EXPECT_EQ(do_default_action(ui_state.left_pane, 1), S_OK);
        }),
        ProgramDriver::wait_until(
            [] { return was_heard(EVENT_OBJECT_VALUECHANGE, ui_state.left_pane); }),
        ProgramDriver::check([] {
            EXPECT_EQ(read_pane(ui_state.left_pane, "Choose on its filler row").value,
                      "Difference 2 of 3, left no lines, right lines 5 to 6, left");
            heard.clear();
        }),
        // A command that changes no block tells nothing: the focus event of a Tab after
        // it comes with nothing before it.
        ProgramDriver::post(CMD_BEGINNING),
        ProgramDriver::check([] {
            EXPECT_EQ(merge_document.top_row, 0);
            SendMessageW(ui_state.left_pane, WM_KEYDOWN, VK_TAB, 0);
        }),
        ProgramDriver::wait_until([] { return !heard.empty(); }),
        ProgramDriver::check([] {
            EXPECT_EQ(heard, (std::vector<Heard>{{EVENT_OBJECT_FOCUS, ui_state.right_pane}}));
        }),
        ProgramDriver::post(CMD_QUIT),
    };
    run_on_three_blocks();
}

TEST_F(Accessible, TheMergedResultIsReachedByTabAndReadLikeAPane) {
    std::vector<std::uint32_t> unfocused;
    driver.steps = {
        ProgramDriver::wait_until([] { return merge_document.not_compared == 0; }),
        ProgramDriver::post(CMD_MERGED_RESULT),
        ProgramDriver::check([&] {
            ASSERT_TRUE(merged_view_window() != nullptr && IsWindowVisible(merged_view_window()));
            unfocused = window_pixels(merged_view_window());
            hook = SetWinEventHook(EVENT_OBJECT_FOCUS, EVENT_OBJECT_VALUECHANGE, nullptr, on_event,
                                   GetCurrentProcessId(), 0, WINEVENT_OUTOFCONTEXT);
            ASSERT_NE(hook, nullptr);
            SendMessageW(ui_state.left_pane, WM_KEYDOWN, VK_TAB, 0);
            SendMessageW(ui_state.right_pane, WM_KEYDOWN, VK_TAB, 0);
            EXPECT_EQ(GetFocus(), merged_view_window());
        }),
        ProgramDriver::wait_until(
            [] { return was_heard(EVENT_OBJECT_FOCUS, merged_view_window()); }),
        ProgramDriver::check([&] {
            const Reading m = read_pane(merged_view_window(), "Tab, Tab");
            EXPECT_EQ(m.role, ROLE_SYSTEM_LIST);
            EXPECT_EQ(m.name, "Merged result");
            EXPECT_EQ(m.value, "Difference 1 of 3, left lines 2 to 3, right line 2, unresolved");
            ASSERT_GE(m.children, 3);
            print_rows(merged_view_window(), m.children);
            EXPECT_EQ(read(merged_view_window(), 1).description, "common, left line 1");
            const Reading open = read(merged_view_window(), 2);
            EXPECT_EQ(open.name, "");
            EXPECT_EQ(open.description, "unresolved, current difference");
            // Focused by the keyboard, the view shows it; unfocused it drew as before.
            EXPECT_NE(window_pixels(merged_view_window()), unfocused);
            heard.clear();
        }),
        ProgramDriver::post(CMD_FIRST),
        ProgramDriver::post(CMD_NEXT),
        ProgramDriver::post(CMD_TAKE_RIGHT),
        ProgramDriver::wait_until(
            [] { return was_heard(EVENT_OBJECT_VALUECHANGE, merged_view_window()); }),
        ProgramDriver::check([] {
            const Reading m = read_pane(merged_view_window(), "Next, Take right");
            EXPECT_EQ(m.value, "Difference 2 of 3, left no lines, right lines 5 to 6, right");
            print_rows(merged_view_window(), m.children);
            // The view shows the block as far down as the panes do: at its top.
            const Reading y = read(merged_view_window(), 1);
            EXPECT_EQ(y.name, "Y");
            EXPECT_EQ(y.description, "right, line 5, current difference");
        }),
        // Hidden with the focus, the view hands it back to a pane and leaves the order.
        ProgramDriver::post(CMD_MERGED_RESULT),
        ProgramDriver::check([] {
            EXPECT_EQ(GetFocus(), ui_state.left_pane);
            SendMessageW(ui_state.left_pane, WM_KEYDOWN, VK_TAB, 0);
            SendMessageW(ui_state.right_pane, WM_KEYDOWN, VK_TAB, 0);
            EXPECT_EQ(GetFocus(), ui_state.left_pane);
        }),
        ProgramDriver::post(CMD_QUIT),
    };
    run_on_three_blocks();
}

}  // namespace
