#include "merge/line_ends.h"

#include "common/byte_scan.h"

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

std::vector<LineEnd> line_ends_of(const char* text, std::size_t n) {
    std::vector<LineEnd> ends(count_byte(text, n, '\n'), ENDS_LF);
    if (find_byte(text, n, '\r') == nullptr) {
        return ends;  // most files: nothing more to look at
    }
    std::size_t line = 0;
    for (std::size_t i = 0; i < n; ++i) {
        if (text[i] == '\n') {
            if (i > 0 && text[i - 1] == '\r') {
                ends[line] = ENDS_CRLF;
            }
            ++line;
        }
    }
    return ends;
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
