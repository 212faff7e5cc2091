#include "common/white_space.h"

bool is_white_text(std::string_view text, DisplayCharset charset) {
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t n = white_space_at(text, at, charset);
        if (n == 0) {
            return false;
        }
        at += n;
    }
    return true;
}
