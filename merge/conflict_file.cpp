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

namespace {

// Reads a conflict file's lines one at a time into its two sides.
class MarkerReader {
public:
    MarkerReader(ConflictSides& out, MarkerError& error) : out_(out), error_(error) {}

    // Takes line `i`. False when it is a marker that does not belong there.
    bool take(std::size_t i, const EndedLine& line) {
        return part_ == OUTSIDE ? take_outside(i, line) : take_inside(i, line);
    }
    // False when a conflict was left open.
    bool finish() { return part_ == OUTSIDE || fail(error_, opened_, "conflict not closed"); }

private:
    bool take_outside(std::size_t i, const EndedLine& line) {
        const std::string_view text = line.text;
        if (const std::size_t n = marker_size(text, '<')) {
            part_ = OURS;
            size_ = n;
            opened_ = i;
            if (out_.conflicts == 0) {
                out_.labels[0] = marker_label(text, n);
            }
            ++out_.conflicts;
            ConflictRange range;
            for (int s = 0; s < 2; ++s) {
                range.first[s] = static_cast<int32_t>(out_.lines[s].size());
            }
            range.base_first = static_cast<int32_t>(out_.base_lines.size());
            out_.ranges.push_back(range);
            return true;
        }
        if (marker_size(text, '|') != 0 || marker_size(text, '>') != 0) {
            return fail(error_, i, "conflict marker outside a conflict");
        }
        out_.lines[0].push_back(line);
        out_.lines[1].push_back(line);
        return true;
    }

    // Inside a conflict only markers of its own length count; others are text.
    bool take_inside(std::size_t i, const EndedLine& line) {
        const std::string_view text = line.text;
        if (marker_size(text, '<') == size_) {
            return fail(error_, i, "conflict marker inside a conflict");
        }
        if (marker_size(text, '|') == size_) {
            out_.ranges.back().has_base = part_ == OURS;
            return move_to(BASE, part_ == OURS, i);
        }
        if (text.size() == size_ && marker_size(text, '=') == size_) {
            return move_to(THEIRS, part_ != THEIRS, i);
        }
        if (marker_size(text, '>') == size_) {
            if (part_ == THEIRS && out_.conflicts == 1) {
                out_.labels[1] = marker_label(text, size_);
            }
            return move_to(OUTSIDE, part_ == THEIRS, i);
        }
        ConflictRange& range = out_.ranges.back();
        if (part_ == OURS) {
            out_.lines[0].push_back(line);
            ++range.count[0];
        } else if (part_ == THEIRS) {
            out_.lines[1].push_back(line);
            ++range.count[1];
        } else {
            out_.base_lines.push_back(line);
            ++range.base_count;
        }
        return true;
    }

    bool move_to(Part next, bool in_order, std::size_t i) {
        if (!in_order) {
            return fail(error_, i, "conflict marker out of order");
        }
        part_ = next;
        return true;
    }

    ConflictSides& out_;
    MarkerError& error_;
    Part part_ = OUTSIDE;
    std::size_t size_ = 0;    // the markers' length in the open conflict
    std::size_t opened_ = 0;  // the index of its opening marker
};

}  // namespace

bool read_conflict_markers(std::span<const EndedLine> lines, ConflictSides& out,
                           MarkerError& error) {
    out = ConflictSides();
    MarkerReader reader(out, error);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (!reader.take(i, lines[i])) {
            return false;
        }
    }
    return reader.finish();
}
