#ifndef PAIREX_UI_WIN32_DIALOGS_H
#define PAIREX_UI_WIN32_DIALOGS_H

#include <string>

#include "ui/settings.h"
#include "ui/win32/windows_api.h"

// The dialogs of the Options and Help menus.

// The logical-font record of `spec`, and a font made from it (nullptr when the system
// refuses one).
LOGFONTW logical_font(const FontSpec& spec);
HFONT make_font(const FontSpec& spec);

// Run the font dialog on the text or title font. A confirmed choice that can be made
// into a font replaces the font in use, its metrics and its FontSpec, and repaints
// what shows it (the title font also re-runs the layout); a cancelled dialog or a
// font that cannot be made changes nothing.
void choose_text_font(HWND main_window);
void choose_title_font(HWND main_window);

// "TAB_DIALOG": the edit 107 shows the tab size; OK takes a number from it.
INT_PTR CALLBACK tab_dialog_proc(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam);
// "ABOUT_DIALOG": control 106 shows the program's title.
INT_PTR CALLBACK about_dialog_proc(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam);

// The control of the help window that holds the help page.
constexpr int HELP_TEXT_ID = 100;

// The help file where the system's help viewer would find it by its bare name (the
// program's directory first). Returns false when there is none.
bool find_help_file(std::string& path);

// The program's own help page in a modal window owned by `owner`, captioned
// "Pairex help"; returns when the user closes it.
void show_help_window(HWND owner);

#endif
