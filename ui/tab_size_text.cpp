#include "ui/tab_size_text.h"

#include <cstdint>

#include "merge/merge_platform.h"
#include "ui/settings.h"

std::optional<int> parse_tab_size_text(std::string_view text) {
    text = text.substr(0, TAB_TEXT_MAX);
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) {
        ++i;
    }
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    // At most nine digits fit in the characters read, so the value stays far inside
    // the int range.
    std::int64_t value = 0;
    const std::size_t digits_start = i;
    while (i < text.size() && text[i] >= '0' && text[i] <= '9') {
        value = value * 10 + (text[i] - '0');
        ++i;
    }
    if (i == digits_start) {
        return std::nullopt;
    }
    return static_cast<int>(negative ? -value : value);
}

bool apply_tab_size_text(std::string_view text) {
    const std::optional<int> size = parse_tab_size_text(text);
    if (!size) {
        return false;
    }
    settings.tab_size = *size;
    platform_repaint_panes();
    return true;
}
