#ifndef PAIREX_UI_WIN32_PROGRESS_WIN32_H
#define PAIREX_UI_WIN32_PROGRESS_WIN32_H

#include "ui/win32/windows_api.h"

#include "common/progress.h"

// Long work's progress on the main window (common/progress.h): the title bar and the
// taskbar button show it, Escape or closing the window stops it.

// Makes the main window the progress reporter, from then on.
void install_progress_reporter();
// That reporter, for a test that plays the user through it.
const ProgressReporter& window_progress_reporter();

// For the main window's procedure: true when `message` must not be handled now because
// work runs. A close then stops the work and closes the window after it; a command
// waits until the work has ended (while the window is disabled, as during a print, it
// is dropped); other input is dropped.
bool progress_holds_message(UINT message, WPARAM wparam);

#endif
