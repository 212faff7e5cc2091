#include "ui/win32/theme_win32.h"

#include "ui/settings.h"
#include "ui/ui_platform.h"
#include "ui/view/theme_palette.h"
#include "ui/win32/ui_state.h"

ThemeGdi theme;

namespace {

// What the caption and scroll bars of the main window were last given.
bool caption_dark = false;
bool bars_dark = false;

// Windows' app mode: AppsUseLightTheme, 0 for dark; light when Windows has none.
bool windows_apps_light() {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER,
                      L"Software\\Microsoft\\Windows\\CurrentVersion\\Themes\\Personalize", 0,
                      KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) {
        return true;
    }
    DWORD value = 1;
    DWORD size = sizeof value;
    DWORD type = 0;
    const LSTATUS status = RegQueryValueExW(key, L"AppsUseLightTheme", nullptr, &type,
                                            reinterpret_cast<BYTE*>(&value), &size);
    RegCloseKey(key);
    return status != ERROR_SUCCESS || type != REG_DWORD || value != 0;
}

bool system_high_contrast() {
    HIGHCONTRASTW contrast = {};
    contrast.cbSize = sizeof contrast;
    return SystemParametersInfoW(SPI_GETHIGHCONTRAST, sizeof contrast, &contrast, 0) &&
           (contrast.dwFlags & HCF_HIGHCONTRASTON) != 0;
}

HBRUSH brush_of(COLORREF c) {
    return CreateSolidBrush(c);
}

// Deletes a GDI object and forgets its handle.
template <typename T>
void delete_gdi(T& handle) {
    if (handle != nullptr) {
        DeleteObject(handle);
        handle = nullptr;
    }
}

// The brushes the classes were registered with (app_main.cpp).
HBRUSH class_brush(HWND window) {
    if (window == ui_state.position_bar) {
        return static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    }
    if (window == ui_state.left_title) {
        return static_cast<HBRUSH>(GetStockObject(LTGRAY_BRUSH));
    }
    return reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_WINDOW + 1));
}

void set_class_brush(HWND window, HBRUSH own) {
    if (window != nullptr) {
        SetClassLongPtrW(window, GCLP_HBRBACKGROUND,
                         reinterpret_cast<LONG_PTR>(own != nullptr ? own : class_brush(window)));
    }
}

void create_palette_gdi(const ThemePalette& p, bool own_background) {
    ui_state.chosen_brush = brush_of(color_of(p.chosen));
    ui_state.gap_brush = brush_of(color_of(p.filler));
    ui_state.changed_brush = brush_of(color_of(p.own));
    ui_state.changed_mark_brush = brush_of(color_of(p.own_mark));
    ui_state.chosen_mark_brush = brush_of(color_of(p.chosen_mark));
    theme.text = theme.chosen_text = color_of(p.text);
    theme.title_text = color_of(p.title_text);
    if (own_background) {
        theme.window = brush_of(color_of(p.window));
        theme.title = brush_of(color_of(p.title_fill));
        theme.bar = brush_of(color_of(p.bar_fill));
        theme.bar_pen = CreatePen(PS_SOLID, 1, color_of(p.bar_mark));
    }
}

// High contrast: the system's colours; own and filler rows keep the window's colour
// and are told apart by their margin marks, chosen rows take the highlight.
void create_system_gdi() {
    const COLORREF window = GetSysColor(COLOR_WINDOW);
    const COLORREF text = GetSysColor(COLOR_WINDOWTEXT);
    const COLORREF highlight_text = GetSysColor(COLOR_HIGHLIGHTTEXT);
    ui_state.chosen_brush = brush_of(GetSysColor(COLOR_HIGHLIGHT));
    ui_state.gap_brush = brush_of(window);
    ui_state.changed_brush = brush_of(window);
    // The characters that differ are underlined in the row's text colour.
    ui_state.changed_mark_brush = brush_of(text);
    ui_state.chosen_mark_brush = brush_of(highlight_text);
    theme.text = text;
    theme.chosen_text = highlight_text;
    theme.title_text = GetSysColor(COLOR_BTNTEXT);
    theme.window = brush_of(window);
    theme.title = brush_of(GetSysColor(COLOR_BTNFACE));
    theme.bar = brush_of(window);
    theme.bar_pen = CreatePen(PS_SOLID, 1, text);
}

template <typename Function>
Function system_function(const wchar_t* library, const char* name) {
    HMODULE module = LoadLibraryW(library);  // kept loaded for the process
    if (module == nullptr) {
        return nullptr;
    }
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(GetProcAddress(module, name)));
}

// The caption dark or light, where the window manager offers it (Windows 10 1809 and
// later: attribute 20, before 20H1 19).
void set_caption_dark(bool dark) {
    if (dark == caption_dark || ui_state.main_window == nullptr) {
        return;
    }
    using SetAttribute = HRESULT(WINAPI*)(HWND, DWORD, LPCVOID, DWORD);
    static const auto set_attribute =
        system_function<SetAttribute>(L"dwmapi.dll", "DwmSetWindowAttribute");
    if (set_attribute == nullptr) {
        return;
    }
    const BOOL value = dark ? TRUE : FALSE;
    if (FAILED(set_attribute(ui_state.main_window, 20, &value, sizeof value))) {
        set_attribute(ui_state.main_window, 19, &value, sizeof value);
    }
    caption_dark = dark;
}

// The scroll bars in the system's dark form, or back to their own.
void set_scroll_bars_dark(bool dark) {
    if (dark == bars_dark) {
        return;
    }
    using SetTheme = HRESULT(WINAPI*)(HWND, LPCWSTR, LPCWSTR);
    static const auto set_theme = system_function<SetTheme>(L"uxtheme.dll", "SetWindowTheme");
    if (set_theme == nullptr) {
        return;
    }
    for (HWND bar : {GetWindow(ui_state.left_pane, GW_CHILD),
                     GetWindow(ui_state.right_pane, GW_CHILD), ui_state.vertical_scrollbar}) {
        if (bar != nullptr) {
            set_theme(bar, dark ? L"DarkMode_Explorer" : nullptr, nullptr);
        }
    }
    bars_dark = dark;
}

}  // namespace

bool (*high_contrast_on)() = system_high_contrast;

Look current_look() {
    if (high_contrast_on()) {
        return LOOK_HIGH_CONTRAST;
    }
    return theme_is_dark(settings.theme, windows_apps_light()) ? LOOK_DARK : LOOK_LIGHT;
}

int create_theme_gdi() {
    theme.look = current_look();
    if (theme.look == LOOK_HIGH_CONTRAST) {
        create_system_gdi();
    } else {
        create_palette_gdi(look_palette(), theme.look == LOOK_DARK);
    }
    return ui_state.chosen_brush && ui_state.gap_brush && ui_state.changed_brush &&
                   ui_state.changed_mark_brush && ui_state.chosen_mark_brush
               ? 0
               : -1;
}

void release_theme_gdi(bool closing) {
    set_class_brush(ui_state.left_pane, nullptr);
    set_class_brush(ui_state.left_title, nullptr);
    set_class_brush(ui_state.position_bar, nullptr);
    delete_gdi(ui_state.chosen_brush);
    delete_gdi(ui_state.gap_brush);
    delete_gdi(ui_state.changed_brush);
    delete_gdi(ui_state.changed_mark_brush);
    delete_gdi(ui_state.chosen_mark_brush);
    delete_gdi(theme.window);
    delete_gdi(theme.title);
    delete_gdi(theme.bar);
    delete_gdi(theme.bar_pen);
    theme = ThemeGdi{};
    if (closing) {
        caption_dark = bars_dark = false;  // the next main window starts light
    }
}

void apply_theme_to_windows() {
    set_class_brush(ui_state.left_pane, theme.window);
    set_class_brush(ui_state.left_title, theme.title);
    set_class_brush(ui_state.position_bar, theme.bar);
    set_caption_dark(theme.look == LOOK_DARK);
    set_scroll_bars_dark(theme.look == LOOK_DARK);
    if (ui_state.main_window != nullptr) {
        RedrawWindow(ui_state.main_window, nullptr, nullptr,
                     RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
    }
}

void follow_system_look() {
    if (theme.look == LOOK_HIGH_CONTRAST || current_look() != theme.look) {
        ui_theme_changed();
    }
}

void use_title_text_color(HDC dc) {
    if (theme.look != LOOK_LIGHT) {
        SetTextColor(dc, theme.title_text);
    }
}

void ui_theme_changed() {
    release_theme_gdi(false);
    create_theme_gdi();
    apply_theme_to_windows();
}

const ThemePalette& look_palette() {
    return theme.look == LOOK_DARK ? DARK_PALETTE : LIGHT_PALETTE;
}
