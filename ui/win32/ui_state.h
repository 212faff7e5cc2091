#ifndef PAIREX_UI_WIN32_UI_STATE_H
#define PAIREX_UI_WIN32_UI_STATE_H

#include "merge/side.h"
#include "ui/view/row_colors.h"
#include "ui/win32/windows_api.h"

// The handles of the user interface, from start-up to shut-down.
struct UiState {
    HINSTANCE instance = nullptr;
    HWND main_window = nullptr;
    HWND left_pane = nullptr;
    HWND right_pane = nullptr;
    HWND left_title = nullptr;
    HWND right_title = nullptr;
    HWND position_bar = nullptr;
    HWND vertical_scrollbar = nullptr;
    HMENU main_file_popup = nullptr;
    HMENU directory_file_popup = nullptr;
    HMENU quick_popup = nullptr;
    HMENU directory_menu = nullptr;  // owner of directory_file_popup
    HMENU quick_menu = nullptr;      // owner of quick_popup
    HBRUSH chosen_brush = nullptr;
    HBRUSH gap_brush = nullptr;
    HBRUSH changed_brush = nullptr;
    HBRUSH changed_mark_brush = nullptr;  // behind the characters that differ
    HBRUSH chosen_mark_brush = nullptr;
    HFONT text_font = nullptr;
    HFONT title_font = nullptr;
    HACCEL accelerators = nullptr;
};

extern UiState ui_state;

inline HWND pane_of(Side side) {
    return side == SIDE_LEFT ? ui_state.left_pane : ui_state.right_pane;
}
inline HWND title_of(Side side) {
    return side == SIDE_LEFT ? ui_state.left_title : ui_state.right_title;
}

constexpr COLORREF color_of(const RowColor& c) {
    return RGB(c.red, c.green, c.blue);
}
constexpr COLORREF COLOR_CHOSEN = color_of(CHOSEN_RGB);
constexpr COLORREF COLOR_GAP = color_of(GAP_RGB);
constexpr COLORREF COLOR_CHANGED = color_of(CHANGED_RGB);
constexpr COLORREF COLOR_CHANGED_MARK = color_of(CHANGED_MARK_RGB);
constexpr COLORREF COLOR_CHOSEN_MARK = color_of(CHOSEN_MARK_RGB);

extern const char APP_TITLE[];

// Registers "PAIREX", "DiffTitle", "DiffEdit" and "position_bar". Returns 0, or -1 when
// one could not be registered (a class left from an earlier start in the same process
// counts as registered).
int register_window_classes(HINSTANCE instance);

// Places the seven children for a client area of width x height; does nothing while
// they do not exist yet.
void layout_children(int width, int height);

// Set the row height of the panes and the height of the title bars from the current
// text and title fonts.
void measure_text_font();
void measure_title_font();

// Shows the quick popup at `point` (client coordinates of `pane`), owned by the pane.
void show_quick_menu(HWND pane, POINT point);

// Loads the optional 3-D controls library on platform versions below 4.
void load_3d_controls(HINSTANCE instance);

// The program: registers the classes, loads the accelerators, scans the command line
// (UTF-8, after the program name), starts up and runs the message loop. Returns the exit status
// (ui/exit_status.h).
int app_main(HINSTANCE instance, HINSTANCE previous, const char* command_line);

#endif
