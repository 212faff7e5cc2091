#ifndef PAIREX_MERGE_BLOCK_STATE_H
#define PAIREX_MERGE_BLOCK_STATE_H

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

// How a block is resolved beyond the chosen flags, and the texts such a resolution
// holds. The chosen flags keep saying which side's own lines are in the merged text;
// what they cannot say (both sides, the base, a hand edit) is kept beside them.

enum Resolution : uint8_t {
    RESOLVED_OPEN,        // no side holds the block
    RESOLVED_LEFT,        // the left side's lines (the chosen flags say so)
    RESOLVED_RIGHT,       // the right side's lines
    RESOLVED_LEFT_RIGHT,  // the left side's own lines, then the right side's
    RESOLVED_RIGHT_LEFT,  // the right side's own lines, then the left side's
    RESOLVED_BASE,        // the base lines of a conflict (conflict mode)
    RESOLVED_EDITED,      // a text of its own, set by hand
};

// Lines held in one buffer, each followed there by a line feed. Any bytes but the line
// feed may be in a line.
class LineList {
public:
    int32_t count() const { return static_cast<int32_t>(starts_.size()) - 1; }
    // Line i, 0 <= i < count().
    std::string_view line(int32_t i) const {
        const auto k = static_cast<std::size_t>(i);
        return std::string_view(bytes_).substr(starts_[k], starts_[k + 1] - starts_[k] - 1);
    }
    std::size_t byte_size() const { return bytes_.size(); }
    // May throw std::bad_alloc.
    void append(std::string_view line) {
        bytes_.append(line);
        bytes_.push_back('\n');
        starts_.push_back(bytes_.size());
    }
    void reserve(std::size_t bytes, std::size_t lines) {
        bytes_.reserve(bytes);
        starts_.reserve(lines + 1);
    }

private:
    std::string bytes_;
    std::vector<std::size_t> starts_{0};
};

// What block k holds beyond its chosen flags: RESOLVED_OPEN when the flags say it all
// (open, left or right), else one of the kinds after RESOLVED_RIGHT; `text` is the
// edited text of RESOLVED_EDITED (shared with the undo history, never changed).
struct BlockExtra {
    Resolution kind = RESOLVED_OPEN;
    std::shared_ptr<const LineList> text;
    bool operator==(const BlockExtra&) const = default;
};

#endif
