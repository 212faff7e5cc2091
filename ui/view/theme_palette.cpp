#include "ui/view/theme_palette.h"

#include <algorithm>
#include <cmath>

const ThemePalette LIGHT_PALETTE = {
    .window = {255, 255, 255},
    .text = ROW_TEXT_RGB,
    .own = CHANGED_RGB,
    .filler = GAP_RGB,
    .chosen = CHOSEN_RGB,
    .own_mark = CHANGED_MARK_RGB,
    .chosen_mark = CHOSEN_MARK_RGB,
    .base = BASE_RGB,
    .edited = EDITED_RGB,
    .merged_from_left = MERGED_LEFT_RGB,
    .merged_from_right = MERGED_RIGHT_RGB,
    .merged_from_both = MERGED_BOTH_RGB,
    .merged_open = MERGED_OPEN_RGB,
    .base_preview_text = BASE_PREVIEW_TEXT_RGB,
    .current_block = CURRENT_BLOCK_RGB,
    .title_fill = {192, 192, 192},  // the system's light grey brush
    .title_text = ROW_TEXT_RGB,
    .bar_fill = {255, 255, 255},
    .bar_mark = ROW_TEXT_RGB,
};

// Muted fills of the light look's hues (green own, olive filler, teal chosen), so that
// a user who knows one look finds the states in the other; light grey text on all.
const ThemePalette DARK_PALETTE = {
    .window = {30, 31, 34},
    .text = {232, 232, 232},
    .own = {30, 77, 43},
    .filler = {74, 68, 24},
    .chosen = {14, 74, 86},
    .own_mark = {38, 112, 56},
    .chosen_mark = {20, 106, 122},
    .base = {75, 46, 110},
    .edited = {112, 64, 20},
    .merged_from_left = {30, 52, 120},
    .merged_from_right = {90, 47, 62},
    .merged_from_both = {126, 96, 102},
    .merged_open = {110, 36, 36},
    .base_preview_text = {176, 176, 176},
    .current_block = {110, 160, 255},
    .title_fill = {43, 45, 49},
    .title_text = {232, 232, 232},
    .bar_fill = {30, 31, 34},
    .bar_mark = {200, 200, 200},
};

bool theme_is_dark(int theme, bool windows_light) {
    if (theme == THEME_LIGHT || theme == THEME_DARK) {
        return theme == THEME_DARK;
    }
    return !windows_light;
}

namespace {

double linear(uint8_t channel) {
    const double c = channel / 255.0;
    return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

}  // namespace

double relative_luminance(RowColor c) {
    return 0.2126 * linear(c.red) + 0.7152 * linear(c.green) + 0.0722 * linear(c.blue);
}

double contrast_ratio(RowColor a, RowColor b) {
    const double la = relative_luminance(a);
    const double lb = relative_luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

MarginMark margin_mark(RowState state) {
    switch (state) {
        case ROW_OWN:
            return {true, false, false};
        case ROW_FILLER:
            return {true, true, false};
        case ROW_OWN_CHOSEN:
            return {true, false, true};
        case ROW_FILLER_CHOSEN:
            return {true, true, true};
        default:
            return {false, false, false};
    }
}
