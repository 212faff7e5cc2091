#ifndef PAIREX_UI_WIN32_WINDOW_PLACEMENT_WIN32_H
#define PAIREX_UI_WIN32_WINDOW_PLACEMENT_WIN32_H

#include "ui/win32/windows_api.h"

// Where CreateWindow puts the main window: the saved placement held on the monitors
// attached now, or the window system's choice when none was saved.
struct StartPlacement {
    int x;
    int y;
    int width;
    int height;
    DWORD style;  // WS_MAXIMIZE when the window opens maximised, else 0
};
StartPlacement main_window_start_placement();

// Keeps the main window's placement in settings.window (written at shut-down).
void remember_window_placement(HWND window);

#endif
