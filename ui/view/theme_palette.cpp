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
    .edited = {216, 200, 240},
    .current_block = {255, 224, 176},
    .merged_from_left = {200, 224, 255},
    .merged_from_right = {255, 208, 216},
    .merged_from_base = {224, 224, 224},
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
    .edited = {75, 46, 110},
    .current_block = {59, 63, 117},
    .merged_from_left = {30, 52, 120},
    .merged_from_right = {90, 47, 62},
    .merged_from_base = {63, 63, 63},
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
