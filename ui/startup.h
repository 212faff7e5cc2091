#ifndef PAIREX_UI_STARTUP_H
#define PAIREX_UI_STARTUP_H

// The start-up after the command line was scanned: scratch buffer, "Options", brushes,
// the main window (whose creation reads the other settings), the title font, the
// children, the popup menus, then the files named by "f1" and "f2" (or both sides of
// the conflict file named by "merge"); when both load, a comparison is posted. Returns 0, or -1
// when start-up failed (nothing reported).
int start_application();

// Saves the settings, releases fonts, brushes and the document and posts the quit
// message. Runs once per start: Quit and the window's destruction do not both save.
void shut_down();

// Asked before the program ends while choices are unwritten.
constexpr const char* QUIT_QUESTION = "The merged file has not been written.\nQuit anyway ?";

// True when the program may end: no choice was made since the last comparison or
// Write, or the user answered Yes to QUIT_QUESTION.
bool confirm_quit();

// Quit (307): shut_down once confirm_quit agrees; on No nothing changes.
void quit_command();

// Back to "not started" (tests start the program more than once in one process).
void reset_startup_state();

#endif
