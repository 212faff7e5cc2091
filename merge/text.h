#ifndef PAIREX_MERGE_TEXT_H
#define PAIREX_MERGE_TEXT_H

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

#include "common/charset.h"
#include "common/encoding.h"
#include "common/file_stamp.h"
#include "merge/line_ends.h"

// The text of one file split into lines: what a side holds, what a read gives and what
// conflict mode makes of each of a conflict file's two parts.
struct Text {
    // All lines live in one buffer, as the read left the file; lines[i] points into it.
    // A line's length is the distance to the next line less its line feed (to text_end
    // for the last), see line_text, so a line may hold any byte.
    std::unique_ptr<char[]> text;
    std::size_t text_capacity = 0;  // bytes at text, spare ones past the text included
    std::vector<char*> lines;
    char* text_end = nullptr;  // where the last line's text ends
    int32_t line_count = 0;
    // How each line ended in its file, one per line: the buffer keeps a line feed
    // between lines whatever the end was, and only the last line may have none.
    std::vector<LineEnd> ends;
    TextEncoding encoding = ENCODING_BYTES;  // how the file was stored
    DisplayCharset charset = CHARSET_UTF8;   // what its bytes show as
    FileStamp stamp;                         // the file as it was read (or last written by us)
};

// The text of line `i` (0-based, below line_count) without its end, every byte of it.
inline std::string_view line_text(const Text& t, int32_t i) {
    const auto k = static_cast<std::size_t>(i);
    const char* begin = t.lines[k];
    const char* end = k + 1 < t.lines.size() ? t.lines[k + 1] - 1 : t.text_end;
    return {begin, static_cast<std::size_t>(end - begin)};
}

// How line `i` (0-based, below line_count) ended in its file.
inline LineEnd line_end_of(const Text& t, int32_t i) {
    const auto k = static_cast<std::size_t>(i);
    return k < t.ends.size() ? t.ends[k] : ENDS_LF;
}

// True when the text's last line had no line end.
inline bool lacks_final_newline(const Text& t) {
    return t.line_count > 0 && line_end_of(t, t.line_count - 1) == ENDS_NONE;
}

#endif
