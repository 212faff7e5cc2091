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
    // A read file's line starts are found as far as a line is asked for (line_text), so
    // that a load does not write 8 bytes for every line before anything is shown: a
    // read leaves only the first start here, with room for all. Other texts hold all.
    mutable std::vector<char*> lines;
    char* text_end = nullptr;  // where the last line's text ends
    int32_t line_count = 0;
    // How each line ended in its file, one per line: the buffer keeps a line feed
    // between lines whatever the end was, and only the last line may have none. A read
    // file without carriage returns keeps none here: its lines end in a line feed, but
    // the last when `unended`.
    std::vector<LineEnd> ends;
    bool unended = false;
    TextEncoding encoding = ENCODING_BYTES;  // how the file was stored
    DisplayCharset charset = CHARSET_UTF8;   // what its bytes show as
    FileStamp stamp;                         // the file as it was read (or last written by us)
};

// Finds the line starts of `t` up to line `upto` (below line_count) and somewhat beyond;
// `t.lines` has room for all of them.
void find_line_starts(const Text& t, std::size_t upto);

// The text of line `i` (0-based, below line_count) without its end, every byte of it.
inline std::string_view line_text(const Text& t, int32_t i) {
    const auto k = static_cast<std::size_t>(i);
    const auto count = static_cast<std::size_t>(t.line_count);
    if (k + 1 >= t.lines.size() && t.lines.size() < count) {
        find_line_starts(t, k + 1);
    }
    const char* begin = t.lines[k];
    const char* end = k + 1 < count ? t.lines[k + 1] - 1 : t.text_end;
    return {begin, static_cast<std::size_t>(end - begin)};
}

// How line `i` (0-based, below line_count) ended in its file.
inline LineEnd line_end_of(const Text& t, int32_t i) {
    const auto k = static_cast<std::size_t>(i);
    if (k < t.ends.size()) {
        return t.ends[k];
    }
    return t.unended && i + 1 == t.line_count ? ENDS_NONE : ENDS_LF;
}

// True when the text's last line had no line end.
inline bool lacks_final_newline(const Text& t) {
    return t.line_count > 0 && line_end_of(t, t.line_count - 1) == ENDS_NONE;
}

#endif
