#include "merge/conflict_file.h"

#include <cstddef>

namespace {

constexpr std::size_t MIN_MARKER = 7;

// The number of `c` that start `text` when they form a marker (followed by the end of
// the line or a blank), else 0.
std::size_t marker_size(std::string_view text, char c) {
    std::size_t n = 0;
    while (n < text.size() && text[n] == c) {
        ++n;
    }
    if (n < MIN_MARKER || (n < text.size() && text[n] != ' ')) {
        return 0;
    }
    return n;
}

// The label after a marker of `size` characters: what follows the blank.
std::string_view marker_label(std::string_view text, std::size_t size) {
    return text.size() > size ? text.substr(size + 1) : std::string_view();
}

enum Part { OUTSIDE, OURS, BASE, THEIRS };

bool fail(MarkerError& error, std::size_t index, const char* what) {
    error.line = static_cast<int32_t>(index + 1);
    error.what = what;
    return false;
}

}  // namespace

bool read_conflict_markers(std::span<const EndedLine> lines, ConflictSides& out,
                           MarkerError& error) {
    out = ConflictSides();
    Part part = OUTSIDE;
    std::size_t size = 0;    // the markers' length in the open conflict
    std::size_t opened = 0;  // the index of its opening marker
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const std::string_view text = lines[i].text;
        if (part == OUTSIDE) {
            if (const std::size_t n = marker_size(text, '<')) {
                part = OURS;
                size = n;
                opened = i;
                if (out.conflicts == 0) {
                    out.labels[0] = marker_label(text, n);
                }
                ++out.conflicts;
            } else if (marker_size(text, '|') != 0 || marker_size(text, '>') != 0) {
                return fail(error, i, "conflict marker outside a conflict");
            } else {
                out.lines[0].push_back(lines[i]);
                out.lines[1].push_back(lines[i]);
            }
            continue;
        }
        // Inside a conflict only markers of its own length count; others are text.
        const bool separator = text.size() == size && marker_size(text, '=') == size;
        if (marker_size(text, '<') == size) {
            return fail(error, i, "conflict marker inside a conflict");
        }
        if (marker_size(text, '|') == size) {
            if (part != OURS) {
                return fail(error, i, "conflict marker out of order");
            }
            part = BASE;
        } else if (separator) {
            if (part == THEIRS) {
                return fail(error, i, "conflict marker out of order");
            }
            part = THEIRS;
        } else if (marker_size(text, '>') == size) {
            if (part != THEIRS) {
                return fail(error, i, "conflict marker out of order");
            }
            if (out.conflicts == 1) {
                out.labels[1] = marker_label(text, size);
            }
            part = OUTSIDE;
        } else if (part == OURS) {
            out.lines[0].push_back(lines[i]);
        } else if (part == THEIRS) {
            out.lines[1].push_back(lines[i]);
        }
    }
    if (part != OUTSIDE) {
        return fail(error, opened, "conflict not closed");
    }
    return true;
}
