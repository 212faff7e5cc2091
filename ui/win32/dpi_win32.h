#ifndef PAIREX_UI_WIN32_DPI_WIN32_H
#define PAIREX_UI_WIN32_DPI_WIN32_H

#include "ui/win32/windows_api.h"

// The DPI `window` is shown at: GetDpiForWindow where the system has it, else the
// LOGPIXELSY of the window's device context.
int window_dpi(HWND window);

// The DPI of the screen's device context, which the system's dialogs convert points
// with whatever monitor the window is on.
int system_dpi();

// The system metric `index` at `dpi`: GetSystemMetricsForDpi where the system has it,
// else GetSystemMetrics scaled from the system's own DPI.
int metric_for_dpi(int index, int dpi);

// Sets view_metrics.dpi to `dpi` and the scrollbar sizes to theirs at it. The fonts are
// not remade: the caller does that when the DPI changed.
void set_view_dpi(int dpi);
// set_view_dpi with the DPI `window` is shown at.
void measure_window_dpi(HWND window);

#endif
