#ifndef PAIREX_UI_VIEW_POSITION_MARKS_H
#define PAIREX_UI_VIEW_POSITION_MARKS_H

#include <cstdint>
#include <vector>

#include "merge/document.h"

// Geometry of the position bar and the title bars.

// The y of every mark of the position bar for the left side's blocks: one at the
// start of each block's own lines and one at the start of its filler rows, each y
// within the bar once, from the top. `height` is the bar's client height,
// `arrow_height` and `scroll_width` the platform's vertical scrollbar arrow height and
// width. Empty without block tables or rows.
std::vector<int32_t> position_marks(const MergeSide& left, int32_t total_rows, int32_t height,
                                    int32_t arrow_height, int32_t scroll_width);

// How many pixels high a mark is drawn at `dpi`: one at 96.
int32_t mark_thickness(int dpi);

struct TextRect {
    int32_t left, top, right, bottom;
};
// Where a title bar draws its path: the client rectangle one pixel (at 96 DPI, scaled
// to `dpi`) in from top and bottom.
TextRect title_text_rect(const TextRect& client, int dpi);

#endif
