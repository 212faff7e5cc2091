#ifndef PAIREX_UI_VIEW_ROW_COLORS_H
#define PAIREX_UI_VIEW_ROW_COLORS_H

#include <cstdint>

// The colours the panes paint, as red, green and blue, for the painting and for the
// tests that check them.
struct RowColor {
    uint8_t red;
    uint8_t green;
    uint8_t blue;
};

constexpr RowColor ROW_TEXT_RGB{0, 0, 0};  // the device context's default text colour
constexpr RowColor CHOSEN_RGB{0, 255, 255};
constexpr RowColor GAP_RGB{255, 255, 0};
constexpr RowColor CHANGED_RGB{0, 255, 0};
// Behind the characters that differ: the row's own colour, darker, so that the block
// colours stay recognisable and black text stays easy to read on it.
constexpr RowColor CHANGED_MARK_RGB{0, 160, 0};
constexpr RowColor CHOSEN_MARK_RGB{0, 160, 160};

#endif
