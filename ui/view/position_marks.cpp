#include "ui/view/position_marks.h"

#include <algorithm>

#include "ui/view/dpi_scale.h"

std::vector<int32_t> position_marks(const MergeSide& left, int32_t total_rows, int32_t height,
                                    int32_t arrow_height, int32_t scroll_width) {
    std::vector<int32_t> marks;
    if (!left.own_blocks || !left.filler_blocks || total_rows <= 0 || scroll_width <= 0) {
        return marks;
    }
    const int32_t even = scroll_width & ~1;
    // The bar's scrollbar is narrower than a standard one; its arrow buttons shrink
    // with it.
    const int64_t arrow = static_cast<int64_t>(arrow_height) * (even - 2) / scroll_width + 1;
    const int64_t span = height - 3 * arrow;
    const BlockTable& own = *left.own_blocks;
    const BlockTable& filler = *left.filler_blocks;
    // A row of the bar is drawn once however many blocks fall on it: a pair with
    // millions of blocks drew a line for each, and the bar's paint kept the window
    // waiting most of a second under wine.
    std::vector<char> marked(static_cast<std::size_t>(std::max(height, 0)), 0);
    const auto mark = [&](int64_t row) {
        const int64_t y = row * span / total_rows + arrow;
        if (y >= 0 && y < height) {
            marked[static_cast<std::size_t>(y)] = 1;
        }
    };
    int64_t passed = 0;
    for (std::size_t k = 0; k < own.size() && !is_end(own[k]); ++k) {
        if (is_present(own[k])) {
            mark(own[k].first + passed);
        }
        if (k < filler.size() && is_present(filler[k])) {
            mark(filler[k].first + passed);
            passed += filler[k].last - filler[k].first + 1;
        }
    }
    for (int32_t y = 0; y < height; ++y) {
        if (marked[static_cast<std::size_t>(y)] != 0) {
            marks.push_back(y);
        }
    }
    return marks;
}

int32_t mark_thickness(int dpi) {
    return dpi_scale(1, dpi);
}

TextRect title_text_rect(const TextRect& client, int dpi) {
    const int32_t inset = dpi_scale(1, dpi);
    return {client.left, client.top + inset, client.right, client.bottom - inset};
}
