#ifndef PAIREX_UI_WIN32_THEME_WIN32_H
#define PAIREX_UI_WIN32_THEME_WIN32_H

#include "ui/win32/windows_api.h"

// The look the panes are painted in, and the GDI objects of it beyond the row brushes
// of UiState. Light paints exactly as the program always did: the windows keep their
// classes' brushes and the device contexts' default text colour and pen.
enum Look { LOOK_LIGHT, LOOK_DARK, LOOK_HIGH_CONTRAST };

struct ThemeGdi {
    Look look = LOOK_LIGHT;
    COLORREF text = 0;         // rows not chosen
    COLORREF chosen_text = 0;  // chosen rows
    COLORREF title_text = 0;
    HBRUSH window = nullptr;  // the panes' background (dark and high contrast)
    HBRUSH title = nullptr;
    HBRUSH bar = nullptr;
    HPEN bar_pen = nullptr;  // the position bar's marks
};

extern ThemeGdi theme;

// The colours of the look's blocks beyond one side, the merged result and the current
// block's bar: the dark palette's in dark, else the light one's.
struct ThemePalette;
const ThemePalette& look_palette();

// Whether Windows' high-contrast mode is on (SPI_GETHIGHCONTRAST). A test may put its
// own answer in place: wine cannot turn the mode on.
extern bool (*high_contrast_on)();

// The look for settings.theme, Windows' app mode and its high-contrast mode.
Look current_look();

// Makes the row brushes of UiState and the objects of ThemeGdi for current_look().
// Returns 0, or -1 when a brush could not be made.
int create_theme_gdi();

// Deletes them, giving the window classes their own brushes back first (a later start
// in the same process must not paint with a deleted brush). `closing`: the windows go
// too, and the next ones start with a light caption and scroll bars.
void release_theme_gdi(bool closing);

// Gives the panes, title bars and position bar their look's background, the caption
// and scroll bars their dark or light form where the system offers one, and repaints.
void apply_theme_to_windows();

// A system setting changed: repaints in the look it gives, when that is another one
// or high contrast's system colours may have changed.
void follow_system_look();

// Sets the title bars' text colour of the look into `dc` (nothing in light).
void use_title_text_color(HDC dc);

#endif
