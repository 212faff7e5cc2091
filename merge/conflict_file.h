#ifndef PAIREX_MERGE_CONFLICT_FILE_H
#define PAIREX_MERGE_CONFLICT_FILE_H

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "merge/line_ends.h"
#include "merge/side.h"

// A file that git left with conflict markers, read into its two sides. Pure: no file,
// no message; the caller loads and reports.
//
//   <<<<<<< ours-label
//   ours lines
//   ||||||| base-label      (optional: the diff3 and zdiff3 styles)
//   base lines              (belong to neither side)
//   =======
//   theirs lines
//   >>>>>>> theirs-label
//
// A marker is 7 or more of its character; the markers of one conflict have the length
// of its opening marker, so that a longer marker (git's conflict-marker-size) can hold
// lines that look like shorter ones.

// One line of a file: its text without the end, and the end.
struct EndedLine {
    std::string_view text;
    LineEnd end;
    bool operator==(const EndedLine&) const = default;
};

// Where one conflict's parts went: lines first[s] .. first[s] + count[s] - 1 (0-based)
// of side s, and base lines base_first .. of base_lines when it has a base section.
struct ConflictRange {
    std::array<int32_t, 2> first{};
    std::array<int32_t, 2> count{};
    int32_t base_first = 0;
    int32_t base_count = 0;
    bool has_base = false;
    bool operator==(const ConflictRange&) const = default;
};

// The two sides of a conflict file, indexed by Side: the left side takes each
// conflict's first part ("ours"), the right side its last part ("theirs"); the lines
// outside conflicts belong to both. The base
// sections' lines, which belong to neither, are kept apart.
struct ConflictSides {
    std::array<std::vector<EndedLine>, 2> lines;
    std::array<std::string, 2> labels;  // the opening marker's label, the closing marker's label
    int32_t conflicts = 0;
    std::vector<EndedLine> base_lines;
    std::vector<ConflictRange> ranges;  // one per conflict, in file order
};

// Why a file could not be read: the 1-based line of the marker at fault and what is
// wrong there.
struct MarkerError {
    int32_t line = 0;
    std::string what;
};

// Reads `lines` into `out`. Returns true, or false with `error` set when a marker
// stands where it cannot (a base or closing marker outside a conflict, markers out of
// order, an opening marker inside a conflict, a conflict never closed). A line of
// equals signs outside a conflict is text: it underlines headings.
bool read_conflict_markers(std::span<const EndedLine> lines, ConflictSides& out,
                           MarkerError& error);

#endif
