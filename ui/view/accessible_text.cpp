#include "ui/view/accessible_text.h"

#include <algorithm>
#include <cstring>
#include <string_view>
#include <tuple>
#include <utility>

#include "common/charset.h"
#include "merge/blocks.h"
#include "merge/conflict_mode.h"
#include "merge/document.h"
#include "merge/resolution.h"

namespace {

// "left lines 72 to 75", "left line 72" or "left no lines".
std::string side_lines(const char* side, int32_t first, int32_t last) {
    std::string text = side;
    if (first <= 0) {
        return text + " no lines";
    }
    if (last <= first) {
        return text + " line " + std::to_string(first);
    }
    return text + " lines " + std::to_string(first) + " to " + std::to_string(last);
}

// Block k's own lines on one side, 1-based; {0, 0} when it has none.
std::pair<int32_t, int32_t> own_lines(const MergeSide& side, int32_t k) {
    if (!side.own_blocks || k < 0 || static_cast<std::size_t>(k) >= side.own_blocks->size()) {
        return {0, 0};
    }
    const DiffBlock& b = (*side.own_blocks)[static_cast<std::size_t>(k)];
    return is_present(b) ? std::pair{b.first, b.last} : std::pair{0, 0};
}

// At most `limit` bytes of `text`, cut before a character that would not fit whole.
std::string_view cut_between_characters(std::string_view text, std::size_t limit) {
    if (text.size() <= limit) {
        return text;
    }
    std::size_t end = limit;
    for (int back = 0;
         back < 3 && end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80; ++back) {
        --end;
    }
    return text.substr(0, end);
}

// A line's text as a row's name: cut, shown as UTF-8, without NUL bytes (one would end
// the name where the reader's string ends).
std::string reader_line_name(std::string_view text, DisplayCharset charset) {
    std::string name;
    append_display_utf8(cut_between_characters(text, LINE_NAME_MAX), charset, name);
    std::replace(name.begin(), name.end(), '\0', ' ');
    return name;
}

const char* source_word(LineSource source) {
    switch (source) {
        case SOURCE_LEFT:
            return "left";
        case SOURCE_RIGHT:
            return "right";
        case SOURCE_BASE:
            return "base";
        case SOURCE_EDITED:
            return "edited";
        case SOURCE_NONE:
            break;
    }
    return "";
}

}  // namespace

const char* resolution_word(Resolution resolution) {
    switch (resolution) {
        case RESOLVED_LEFT:
            return "left";
        case RESOLVED_RIGHT:
            return "right";
        case RESOLVED_LEFT_RIGHT:
            return "left then right";
        case RESOLVED_RIGHT_LEFT:
            return "right then left";
        case RESOLVED_BASE:
            return "base";
        case RESOLVED_EDITED:
            return "edited";
        case RESOLVED_OPEN:
            break;
    }
    return "unresolved";
}

std::string block_value_text(const BlockSummary& block) {
    return "Difference " + std::to_string(block.index + 1) + " of " + std::to_string(block.count) +
           ", " + side_lines("left", block.left_first, block.left_last) + ", " +
           side_lines("right", block.right_first, block.right_last) + ", " +
           resolution_word(block.resolution);
}

std::string pane_value_text() {
    if (merge_document.not_compared != 0) {
        return "Not compared";
    }
    const int32_t k = current_block();
    if (k < 0) {
        return "No differences";
    }
    BlockSummary block;
    block.index = k;
    block.count = block_count();
    std::tie(block.left_first, block.left_last) = own_lines(merge_document.left, k);
    std::tie(block.right_first, block.right_last) = own_lines(merge_document.right, k);
    block.resolution = block_resolution(k);
    return block_value_text(block);
}

std::string pane_name_text(Side side) {
    return (side == SIDE_LEFT ? "Left: " : "Right: ") + side_title(side_of(side));
}

const char* row_state_word(RowState state, Resolution resolution) {
    if (state == ROW_COMMON) {
        return "common";
    }
    if (state == ROW_PAST_END) {
        return "past the end";
    }
    if (resolution == RESOLVED_BASE || resolution == RESOLVED_EDITED) {
        return resolution_word(resolution);
    }
    switch (state) {
        case ROW_OWN:
            return "own";
        case ROW_OWN_CHOSEN:
            return "chosen";
        case ROW_FILLER:
            return "filler";
        default:
            return "chosen filler";
    }
}

RowAccessible describe_row_for_reader(Side which, int32_t row) {
    const MergeSide& side = side_of(which);
    const RowView view = describe_row(side, row, RowFormat{});
    RowAccessible out;
    out.state = view.state;
    if (view.state == ROW_PAST_END) {
        return out;
    }
    out.description = row_state_word(view.state, block_resolution(view.block));
    if (view.line >= 0) {
        out.name = reader_line_name(line_text(side, view.line), side.charset);
        out.description += ", line " + std::to_string(view.line + 1);
    }
    out.in_current_block = view.block >= 0 && view.block == current_block();
    if (out.in_current_block) {
        out.description += ", current difference";
    }
    return out;
}

const char* merged_state_word(MergedState state, Resolution resolution) {
    switch (state) {
        case MERGED_COMMON:
            return "common";
        case MERGED_LEFT:
            return "left";
        case MERGED_RIGHT:
            return "right";
        case MERGED_BOTH:
            return resolution == RESOLVED_RIGHT_LEFT ? "right then left" : "left then right";
        case MERGED_BASE:
            return "base";
        case MERGED_EDITED:
            return "edited";
        case MERGED_OPEN:
            return "unresolved";
        case MERGED_BASE_PREVIEW:
            break;
    }
    return "base preview";
}

RowAccessible describe_merged_row_for_reader(const MergedRows& rows, int32_t row) {
    RowAccessible out;
    if (row < 0 || row >= rows.row_count) {
        return out;
    }
    const MergedRow r = merged_row(rows, row);
    out.state = r.block >= 0 ? ROW_OWN : ROW_COMMON;
    const char* word = merged_state_word(r.state, block_resolution(r.block));
    out.description = word;
    if (r.source != SOURCE_NONE) {
        out.name = reader_line_name(r.text, merged_row_charset(r.source));
        const char* source = source_word(r.source);
        out.description +=
            std::strcmp(word, source) == 0 ? ", line " : std::string(", ") + source + " line ";
        out.description += std::to_string(r.line + 1);
    }
    out.in_current_block = r.block >= 0 && r.block == current_block();
    if (out.in_current_block) {
        out.description += ", current difference";
    }
    return out;
}

int32_t visible_row_count(Side which, int32_t top_row, int32_t page_rows) {
    const MergeSide& side = side_of(which);
    int32_t count = 0;
    while (count < page_rows && row_to_line(side, top_row + count) < side.line_count) {
        ++count;
    }
    return count;
}

std::string visible_rows_text(int32_t top_row, int32_t page_rows, int32_t total_rows) {
    if (total_rows <= 0) {
        return "No rows";
    }
    const int32_t first = std::clamp(top_row, 0, total_rows - 1) + 1;
    const int32_t last = std::clamp(first - 1 + std::max(page_rows, 1), first, total_rows);
    return "Rows " + std::to_string(first) + " to " + std::to_string(last) + " of " +
           std::to_string(total_rows);
}
