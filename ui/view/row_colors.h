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

// Blocks resolved beyond one side, and the merged view below the panes. A block that
// holds its conflict's base or an edited text paints its rows in both panes in a colour
// of its own; the merged view colours each resolved block by where its text came from.
constexpr RowColor BASE_RGB{216, 200, 255};          // lavender: the common ancestor
constexpr RowColor EDITED_RGB{255, 208, 144};        // orange: a text written by hand
constexpr RowColor MERGED_LEFT_RGB{176, 216, 255};   // light blue
constexpr RowColor MERGED_RIGHT_RGB{255, 192, 224};  // pink
constexpr RowColor MERGED_BOTH_RGB{208, 240, 176};   // light olive
constexpr RowColor MERGED_OPEN_RGB{255, 200, 200};   // still to be decided
// Greyed, yet at 4.5:1 on MERGED_OPEN_RGB.
constexpr RowColor BASE_PREVIEW_TEXT_RGB{92, 92, 92};
// The bar at the left edge of the current block's rows (not dark: text stays legible).
constexpr RowColor CURRENT_BLOCK_RGB{0, 0, 255};

#endif
