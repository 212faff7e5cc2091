#include "merge/line_ends.h"

#include "common/byte_scan.h"
#include "merge/document.h"

std::string_view line_end_bytes(LineEnd end) {
    switch (end) {
        case ENDS_LF:
            return "\n";
        case ENDS_CRLF:
            return "\r\n";
        default:
            return "";
    }
}

void record_crlf_ends(const char* text, std::size_t n, std::vector<bool>& crlf) {
    crlf.clear();
    if (find_byte(text, n, '\r') == nullptr) {
        return;
    }
    crlf.reserve(count_byte(text, n, '\n'));
    for (std::size_t i = 0; i < n; ++i) {
        if (text[i] == '\n') {
            crlf.push_back(i > 0 && text[i - 1] == '\r');
        }
    }
}

std::size_t drop_crlf_returns(char* text, std::size_t n) {
    std::size_t kept = 0;
    for (std::size_t i = 0; i < n; ++i) {
        if (text[i] != '\r' || i + 1 == n || text[i + 1] != '\n') {
            text[kept++] = text[i];
        }
    }
    return kept;
}

LineEnd line_end_of(const MergeSide& side, int32_t i) {
    if (i + 1 == side.line_count && side.lacks_final_newline) {
        return ENDS_NONE;
    }
    const auto k = static_cast<std::size_t>(i);
    return k < side.crlf_ends.size() && side.crlf_ends[k] ? ENDS_CRLF : ENDS_LF;
}
