#ifndef PAIREX_UI_WIN32_WINDOW_PROCS_H
#define PAIREX_UI_WIN32_WINDOW_PROCS_H

#include "ui/win32/windows_api.h"

// The window procedures of the four classes.
LRESULT CALLBACK main_window_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
LRESULT CALLBACK pane_window_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
LRESULT CALLBACK title_window_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
LRESULT CALLBACK position_bar_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam);

#endif
