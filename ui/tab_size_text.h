#ifndef PAIREX_UI_TAB_SIZE_TEXT_H
#define PAIREX_UI_TAB_SIZE_TEXT_H

#include <optional>
#include <string_view>

// The rule of the tab size dialog's text, apart from the dialog itself.

// The dialog reads at most this many characters of its edit field.
constexpr std::size_t TAB_TEXT_MAX = 9;

// The tab size that `text` names: a decimal integer with an optional sign after
// optional blanks, read from the first TAB_TEXT_MAX characters; whatever follows the
// digits is ignored. Nothing when those characters do not start with a number. Any
// value is taken, 0 and negative ones included.
std::optional<int> parse_tab_size_text(std::string_view text);

// The dialog's OK: when `text` names a number it becomes settings.tab_size and both
// panes repaint; otherwise nothing changes. Returns true when the size was taken.
bool apply_tab_size_text(std::string_view text);

#endif
