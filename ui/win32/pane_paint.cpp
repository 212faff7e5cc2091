#include "ui/win32/pane_paint.h"

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "merge/document.h"
#include "merge/resolution.h"
#include "ui/scrolling.h"
#include "ui/settings.h"
#include "ui/view/change_marks.h"
#include "ui/view/dpi_scale.h"
#include "ui/view/position_marks.h"
#include "ui/view/theme_palette.h"
#include "ui/view/view_text.h"
#include "ui/win32/merged_pane.h"
#include "ui/win32/theme_win32.h"
#include "ui/win32/ui_state.h"
#include "ui/win32/wide.h"

namespace {

HBRUSH fill_for(RowState state) {
    switch (state) {
        case ROW_OWN:
            return ui_state.changed_brush;
        case ROW_FILLER:
            return ui_state.gap_brush;
        case ROW_OWN_CHOSEN:
        case ROW_FILLER_CHOSEN:
            return ui_state.chosen_brush;
        default:
            return nullptr;
    }
}

// The row's text as the wide call draws it, and for each byte of the UTF-8 text the
// UTF-16 index of its character: the marks are byte spans of the UTF-8 text.
struct WideRow {
    std::wstring text;
    std::vector<std::size_t> unit_of_byte;
};

// Width of the first `units` of `text` as DrawTextW shows them (doubled ampersands as
// one), so that a mark lines up with the characters drawn over it.
int drawn_width(HDC dc, const std::wstring& text, std::size_t units) {
    if (units == 0) {
        return 0;
    }
    RECT r = {0, 0, 0, 0};
    DrawTextW(dc, text.c_str(), static_cast<int>(units), &r, DT_LEFT | DT_SINGLELINE | DT_CALCRECT);
    return r.right - r.left;
}

// The UTF-16 index where a mark starting or ending at byte `byte` of the UTF-8 text
// starts or ends: a byte inside a character widens the mark to the whole character.
std::size_t unit_at(const WideRow& wide_row, uint32_t byte, bool end) {
    const std::vector<std::size_t>& map = wide_row.unit_of_byte;
    std::size_t i = byte < map.size() ? byte : map.size() - 1;
    while (end && i > 0 && i + 1 < map.size() && map[i] == map[i - 1]) {
        ++i;
    }
    return map[i];
}

bool is_chosen(RowState state) {
    return state == ROW_OWN_CHOSEN || state == ROW_FILLER_CHOSEN;
}

// High contrast: the row's state as bars in the left margin, in the row's text colour.
// Solid, dotted, and a second bar for a chosen row; the text starts after the margin.
int paint_margin_mark(HDC dc, const RECT& row_rect, RowState state) {
    const int unit = dpi_scale(2, view_metrics.dpi);
    const MarginMark mark = margin_mark(state);
    SetDCBrushColor(dc, is_chosen(state) ? theme.chosen_text : theme.text);
    HBRUSH brush = static_cast<HBRUSH>(GetStockObject(DC_BRUSH));
    auto bar = [&](int left, bool dotted) {
        for (int y = row_rect.top; y < row_rect.bottom; y += dotted ? 2 * unit : unit) {
            const RECT piece = {row_rect.left + left, y, row_rect.left + left + unit,
                                std::min<int>(y + unit, row_rect.bottom)};
            FillRect(dc, &piece, brush);
        }
    };
    if (mark.first_bar) {
        bar(unit / 2, mark.first_dotted);
    }
    if (mark.second_bar) {
        bar(unit / 2 + 2 * unit, false);
    }
    return 4 * unit;
}

// The darker shade of the row's colour behind the characters that differ; in high
// contrast a line under them in the row's text colour.
void paint_marks(HDC dc, const RECT& row_rect, const RowView& row, const WideRow& wide_row) {
    HBRUSH brush =
        row.state == ROW_OWN_CHOSEN ? ui_state.chosen_mark_brush : ui_state.changed_mark_brush;
    if (brush == nullptr) {
        return;
    }
    for (const MarkSpan& span : row.marks) {
        RECT r = row_rect;
        const std::size_t begin = unit_at(wide_row, span.begin, false);
        const std::size_t end = unit_at(wide_row, span.end, true);
        r.left = row_rect.left + drawn_width(dc, wide_row.text, begin);
        r.right = row_rect.left + drawn_width(dc, wide_row.text, end);
        if (theme.look == LOOK_HIGH_CONTRAST) {
            r.top = r.bottom - dpi_scale(2, view_metrics.dpi);
        }
        if (r.left < r.right) {
            FillRect(dc, &r, brush);
        }
    }
}

// A row whose line is too long for in-line marks says so at its right end, on the
// marks' shade (in high contrast on the row's own fill), over whatever text is there.
void paint_marks_note(HDC dc, const RECT& row_rect, RowState state) {
    const std::wstring note = wide(MARKS_GIVEN_UP_NOTE);
    RECT size = {0, 0, 0, 0};
    DrawTextW(dc, note.c_str(), static_cast<int>(note.size()), &size,
              DT_LEFT | DT_SINGLELINE | DT_NOPREFIX | DT_CALCRECT);
    const int pad = dpi_scale(4, view_metrics.dpi);
    RECT r = row_rect;
    r.left = std::max<LONG>(row_rect.left, row_rect.right - (size.right - size.left) - 2 * pad);
    HBRUSH shade =
        state == ROW_OWN_CHOSEN ? ui_state.chosen_mark_brush : ui_state.changed_mark_brush;
    if (HBRUSH brush =
            theme.look == LOOK_HIGH_CONTRAST || shade == nullptr ? fill_for(state) : shade) {
        FillRect(dc, &r, brush);
    }
    r.left += pad;
    DrawTextW(dc, note.c_str(), static_cast<int>(note.size()), &r,
              DT_LEFT | DT_SINGLELINE | DT_NOPREFIX | DT_EXTERNALLEADING);
}

// A block holding its base or an edited text is neither side's: both panes show it in
// a colour of its own, without the marks of the characters that differ.
HBRUSH resolution_fill(int32_t block) {
    switch (block_resolution(block)) {
        case RESOLVED_BASE:
            return color_brush(look_palette().base);
        case RESOLVED_EDITED:
            return color_brush(look_palette().edited);
        default:
            return nullptr;
    }
}

void paint_row(HDC dc, const RECT& client, int screen_row, const RowView& row) {
    const int height = view_metrics.line_height;
    RECT r = {client.left, screen_row * height, client.right, (screen_row + 1) * height};
    SetBkMode(dc, TRANSPARENT);
    HBRUSH own = row.block >= 0 ? resolution_fill(row.block) : nullptr;
    if (HBRUSH brush = own != nullptr ? own : fill_for(row.state)) {
        FillRect(dc, &r, brush);
    }
    if (row.block >= 0 && row.block == current_block()) {
        paint_current_block_bar(dc, r);
    }
    if (theme.look == LOOK_HIGH_CONTRAST) {
        r.left += paint_margin_mark(dc, r, row.state);
    }
    if (row.text.empty() && !row.marks_given_up) {
        return;
    }
    if (theme.look != LOOK_LIGHT) {
        SetTextColor(dc, is_chosen(row.state) ? theme.chosen_text : theme.text);
    }
    WideRow wide_row;
    wide_row.text = wide(row.text, &wide_row.unit_of_byte);
    if (!row.marks.empty() && own == nullptr) {
        paint_marks(dc, r, row, wide_row);
    }
    // Prefix processing shows the doubled ampersands of the row text as one.
    DrawTextW(dc, wide_row.text.c_str(), static_cast<int>(wide_row.text.size()), &r,
              DT_LEFT | DT_SINGLELINE | DT_EXTERNALLEADING);
    if (row.marks_given_up && own == nullptr) {
        paint_marks_note(dc, r, row.state);
    }
}

}  // namespace

HBRUSH color_brush(const RowColor& color) {
    // Made once per colour for the whole run, like the system's stock brushes.
    static std::vector<std::pair<COLORREF, HBRUSH>> made;
    const COLORREF c = color_of(color);
    for (const auto& [rgb, brush] : made) {
        if (rgb == c) {
            return brush;
        }
    }
    HBRUSH brush = CreateSolidBrush(c);
    if (brush != nullptr) {
        made.emplace_back(c, brush);
    }
    return brush;
}

void paint_current_block_bar(HDC dc, const RECT& row) {
    RECT bar = row;
    bar.right = bar.left + dpi_scale(3, view_metrics.dpi);
    if (HBRUSH brush = color_brush(look_palette().current_block)) {
        FillRect(dc, &bar, brush);
    }
}

void paint_pane(HWND pane, Side which) {
    const MergeSide& side = side_of(which);
    // An empty file has rows to show only as filler rows against the other file.
    if ((side.lines.empty() && !side.filler_blocks) || view_metrics.line_height <= 0) {
        DefWindowProcW(pane, WM_PAINT, 0, 0);
        return;
    }
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(pane, &ps);
    HGDIOBJ old_font = ui_state.text_font ? SelectObject(dc, ui_state.text_font) : nullptr;
    RECT client;
    GetClientRect(pane, &client);
    const RowFormat format{settings.line_numbers != 0, settings.tab_size};
    const RowSpan span = rows_in_band(ps.rcPaint.top, ps.rcPaint.bottom, view_metrics.line_height);
    for (int32_t i = span.first; i < span.limit; ++i) {
        RowView row = describe_row(side, merge_document.top_row + i, format);
        if (row.state == ROW_PAST_END) {
            break;
        }
        if (settings.highlight_changes != 0) {
            mark_row_changes(which, row, format);
        }
        paint_row(dc, client, i, row);
    }
    if (old_font != nullptr) {
        SelectObject(dc, old_font);
    }
    EndPaint(pane, &ps);
    if (which == SIDE_LEFT) {
        merged_view_follow();
    }
}

void paint_position_bar(HWND bar) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(bar, &ps);
    RECT client;
    GetClientRect(bar, &client);
    const std::vector<int32_t> marks =
        position_marks(merge_document.left, merge_document.total_rows, client.bottom,
                       view_metrics.vscroll_arrow_height, view_metrics.vscroll_width);
    // Light draws with the device context's own black pen.
    HGDIOBJ old_pen = theme.bar_pen != nullptr ? SelectObject(dc, theme.bar_pen) : nullptr;
    for (int32_t y : marks) {
        for (int32_t t = 0; t < mark_thickness(view_metrics.dpi); ++t) {
            MoveToEx(dc, 0, y + t, nullptr);
            LineTo(dc, client.right, y + t);
        }
    }
    if (old_pen != nullptr) {
        SelectObject(dc, old_pen);
    }
    EndPaint(bar, &ps);
}
