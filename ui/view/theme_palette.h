#ifndef PAIREX_UI_VIEW_THEME_PALETTE_H
#define PAIREX_UI_VIEW_THEME_PALETTE_H

#include "ui/view/row_colors.h"
#include "ui/view/view_text.h"

// The looks the panes can take, and the colours of each as data, so that a test can
// check every text against its fill. High contrast takes the system's own colours and
// tells the row states apart by a mark in the margin (margin_mark).

// "Theme" in "Options". Any other stored value counts as THEME_FOLLOW_WINDOWS.
enum ThemeChoice { THEME_FOLLOW_WINDOWS = 0, THEME_LIGHT = 1, THEME_DARK = 2 };

struct ThemePalette {
    RowColor window;  // behind common rows
    RowColor text;    // every row's text
    RowColor own;     // a block's own lines, not chosen
    RowColor filler;
    RowColor chosen;    // chosen own lines and chosen fillers
    RowColor own_mark;  // behind the characters that differ
    RowColor chosen_mark;
    // Blocks that hold their conflict's base or an edited text, in the panes and the
    // merged result.
    RowColor base;
    RowColor edited;
    // The merged result's other origins, its open blocks and an open conflict's base.
    RowColor merged_from_left;
    RowColor merged_from_right;
    RowColor merged_from_both;
    RowColor merged_open;
    RowColor base_preview_text;  // on merged_open
    RowColor current_block;      // the bar at the left edge of the current block's rows
    RowColor title_fill;
    RowColor title_text;
    RowColor bar_fill;
    RowColor bar_mark;
};

// Light is the program's first look, colour for colour (row_colors.h).
extern const ThemePalette LIGHT_PALETTE;
extern const ThemePalette DARK_PALETTE;

// Whether the panes are dark for the stored `theme` when Windows' app mode is light
// (`windows_light`) or dark.
bool theme_is_dark(int theme, bool windows_light);

// WCAG 2 relative luminance (0 black .. 1 white) and contrast ratio (1 .. 21).
double relative_luminance(RowColor c);
double contrast_ratio(RowColor a, RowColor b);

// The mark in the left margin that tells a row's state without colour, in high
// contrast: up to two vertical bars, the first solid or dotted.
struct MarginMark {
    bool first_bar;
    bool first_dotted;
    bool second_bar;
    bool operator==(const MarginMark&) const = default;
};
MarginMark margin_mark(RowState state);

#endif
