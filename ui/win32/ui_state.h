#ifndef PAIREX_UI_WIN32_UI_STATE_H
#define PAIREX_UI_WIN32_UI_STATE_H

#include "merge/side.h"
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

constexpr COLORREF COLOR_CHOSEN = RGB(0, 255, 255);
constexpr COLORREF COLOR_GAP = RGB(255, 255, 0);
constexpr COLORREF COLOR_CHANGED = RGB(0, 255, 0);

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

// The program: registers the classes, loads the accelerators, scans the command line,
// starts up and runs the message loop. Returns the exit status (ui/exit_status.h).
int app_main(HINSTANCE instance, HINSTANCE previous, const char* command_line);

#endif
