#include "ui/win32/windows_api.h"

#include "ui/layout.h"
#include "ui/settings.h"
#include "ui/ui_platform.h"
#include "ui/scrolling.h"
#include "ui/view/dpi_scale.h"
#include "ui/win32/command_menus.h"
#include "ui/win32/dialogs.h"
#include "ui/win32/merged_pane.h"
#include "ui/win32/theme_win32.h"
#include "ui/win32/ui_state.h"
#include "ui/win32/wide.h"
#include "ui/win32/window_placement_win32.h"

namespace {

// Character height of `font` (the device context's own font when there is none),
// measured in a device context of `window` (the screen when null).
int font_height(HWND window, HFONT font) {
    HDC dc = GetDC(window);
    HGDIOBJ old = font ? SelectObject(dc, font) : nullptr;
    TEXTMETRICW tm = {};
    GetTextMetricsW(dc, &tm);
    if (old != nullptr) {
        SelectObject(dc, old);
    }
    ReleaseDC(window, dc);
    return tm.tmHeight;
}

// Deletes a brush or font and forgets its handle.
template <typename T>
void delete_gdi(T& handle) {
    if (handle != nullptr) {
        DeleteObject(handle);
        handle = nullptr;
    }
}

HWND child(HWND parent, const wchar_t* cls, const wchar_t* name, DWORD style, const ChildRect& r,
           void* param = nullptr) {
    return CreateWindowW(cls, name, style, r.x, r.y, r.width, r.height, parent, nullptr,
                         ui_state.instance, param);
}

}  // namespace

LOGFONTW logical_font(const FontSpec& spec) {
    LOGFONTW lf = {};
    lf.lfHeight = dpi_scale(spec.height, view_metrics.dpi);  // stored at 96 DPI
    lf.lfWeight = spec.weight;
    lf.lfItalic = spec.italic;
    lf.lfPitchAndFamily = spec.pitch_and_family;
    lf.lfCharSet = spec.char_set;
    // A face name too long for the record makes no font of that face, never another one.
    const std::wstring face = wide(spec.face_name);
    if (face.size() < LF_FACESIZE) {
        face.copy(lf.lfFaceName, face.size());
    }
    return lf;
}

HFONT make_font(const FontSpec& spec) {
    const LOGFONTW lf = logical_font(spec);
    return CreateFontIndirectW(&lf);
}

int ui_create_brushes() {
    return create_theme_gdi();
}

void ui_load_3d_controls() {
    load_3d_controls(ui_state.instance);
}

int ui_create_main_window() {
    const StartPlacement at = main_window_start_placement();
    // The menu bar goes with the window: it is destroyed with it.
    HMENU menu = build_menu("MAIN_MENU");
    if (menu == nullptr) {
        return -1;
    }
    HWND window = CreateWindowW(L"PAIREX", wide(APP_TITLE).c_str(),
                                WS_OVERLAPPEDWINDOW | WS_VISIBLE | at.style, at.x, at.y, at.width,
                                at.height, nullptr, menu, ui_state.instance, nullptr);
    if (window == nullptr) {
        DestroyMenu(menu);
    }
    ui_state.main_window = window;
    return window != nullptr ? 0 : -1;
}

void measure_title_font() {
    view_metrics.title_height =
        font_height(ui_state.main_window, ui_state.title_font) + dpi_scale(4, view_metrics.dpi);
}

void measure_text_font() {
    // Without a text font the device context's own font gives the row height.
    view_metrics.line_height = font_height(ui_state.left_pane, ui_state.text_font);
    if (view_metrics.line_height <= 0) {
        view_metrics.line_height = 1;
    }
}

void ui_title_font_changed() {
    delete_gdi(ui_state.title_font);
    ui_state.title_font = make_font(settings.title_font);
    measure_title_font();
}

void ui_text_font_changed() {
    delete_gdi(ui_state.text_font);
    ui_state.text_font = make_font(settings.text_font);
    measure_text_font();
}

int ui_create_children() {
    HWND main = ui_state.main_window;
    RECT client;
    GetClientRect(main, &client);
    // Created at their places for the client size of this moment; later size messages
    // move them.
    ChildLayout l =
        compute_layout(client.right, client.bottom, view_metrics.title_height,
                       view_metrics.vscroll_width, view_metrics.dpi, settings.merged_result != 0);
    ui_state.left_title =
        child(main, L"DiffTitle", L"Title1", WS_CHILD | WS_VISIBLE | WS_BORDER, l.left_title);
    ui_state.right_title =
        child(main, L"DiffTitle", L"Title2", WS_CHILD | WS_VISIBLE | WS_BORDER, l.right_title);
    child(main, L"DiffEdit", L"edit1", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, l.left_pane,
          &ui_state.left_pane);
    child(main, L"DiffEdit", L"edit2", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, l.right_pane,
          &ui_state.right_pane);
    ui_state.position_bar =
        child(main, L"position_bar", L"DiffPos",
              WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_BORDER, l.position_bar);
    if (!ui_state.left_title || !ui_state.right_title || !ui_state.left_pane ||
        !ui_state.right_pane || !ui_state.position_bar) {
        return -1;
    }
    ui_state.vertical_scrollbar = child(ui_state.position_bar, L"scrollbar", L"VertScr",
                                        WS_CHILD | WS_VISIBLE | SBS_VERT, l.vertical_scrollbar);
    if (ui_state.vertical_scrollbar == nullptr) {
        return -1;
    }
    SetScrollRange(ui_state.vertical_scrollbar, SB_CTL, 1, 1, FALSE);
    place_merged_view(l.merged_view);
    // The row height is measured with a pane's device context now that one exists.
    ui_text_font_changed();
    apply_theme_to_windows();
    return 0;
}

int ui_load_menus() {
    ui_state.main_file_popup = GetSubMenu(GetMenu(ui_state.main_window), 0);
    ui_state.directory_menu = build_menu("COMP_DIR_MENU");
    ui_state.quick_menu = build_menu("QUICK_MENU");
    if (!ui_state.directory_menu || !ui_state.quick_menu) {
        return -1;
    }
    ui_state.directory_file_popup = GetSubMenu(ui_state.directory_menu, 0);
    ui_state.quick_popup = GetSubMenu(ui_state.quick_menu, 0);
    return 0;
}

void ui_release_gdi() {
    release_theme_gdi(true);
    delete_gdi(ui_state.title_font);
    delete_gdi(ui_state.text_font);
}

void ui_post_quit() {
    PostQuitMessage(0);
}

void ui_check_menu_item(int id, int checked) {
    CheckMenuItem(GetMenu(ui_state.main_window), static_cast<UINT>(id),
                  MF_BYCOMMAND | (checked ? MF_CHECKED : MF_UNCHECKED));
}

void ui_set_horizontal_position(Side side, int position) {
    SetScrollPos(GetWindow(pane_of(side), GW_CHILD), SB_CTL, position, TRUE);
}

bool ui_pointer_over_left_pane() {
    POINT p;
    if (!GetCursorPos(&p)) {
        return false;
    }
    HWND under = WindowFromPoint(p);
    return under != nullptr &&
           (under == ui_state.left_pane || GetParent(under) == ui_state.left_pane);
}
