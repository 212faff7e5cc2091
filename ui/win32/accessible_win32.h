#ifndef PAIREX_UI_WIN32_ACCESSIBLE_WIN32_H
#define PAIREX_UI_WIN32_ACCESSIBLE_WIN32_H

#include "ui/win32/windows_api.h"

// What assistive technology sees of the program: the accessible objects (MSAA's
// IAccessible) of the panes, the merged result and the position bar, the events a screen reader
// listens to, and the keyboard focus that Tab moves between the panes.

// Answers WM_GETOBJECT for a pane, the merged result or the position bar: true, with `result` set,
// when the client object was asked for; false leaves the message to the default handling.
bool answer_get_object(HWND window, WPARAM wparam, LPARAM lparam, LRESULT& result);

// After anything that may have moved to another block or changed what it holds (every
// command, a click): when the panes' value differs from the one last told, the focused
// pane raises EVENT_OBJECT_VALUECHANGE.
void announce_pane_value();

// A pane was created: with the left one, focus and told value start afresh, and the
// left pane takes the focus the main window holds.
void start_pane_focus(HWND pane);

// Tab and Shift+Tab: the focus goes to the next (previous) window of the focus order,
// and from then on the focused pane's title bar shows a focus rectangle.
void move_pane_focus(bool backwards);

// The main window got the focus: it hands it on to the pane that had it last.
void restore_pane_focus();

// A pane (or the merged result) got or lost the focus: it is remembered, and the focus
// cues show where it is.
void pane_focus_changed(HWND pane, bool gained);

// Draws the focus rectangle into a window being painted, a pane's title bar or the
// merged result, when its pane (or itself) has the focus and the user has moved the
// focus with the keyboard.
void paint_focus_cue(HWND title, HDC dc);

#endif
