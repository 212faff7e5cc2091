#include <algorithm>
#include <cstdint>
#include <span>
#include <vector>

#include "engine/engine_internal.h"

namespace {

// A line is kept (0), discarded (1: no line of its class in the other file), or
// discarded provisionally (2: very many there), the last only where it sits among
// discarded lines.
constexpr char MARK_KEEP = 0;
constexpr char MARK_DISCARD = 1;
constexpr char MARK_PROVISIONAL = 2;

// "Very many" partners: 5 in a file of up to 255 lines, doubled each time the file is
// four times larger, so the limit grows with the square root of the file's size: a
// class that common says little about where a line belongs.
constexpr std::int32_t FEW_PARTNERS = 5;
constexpr std::int32_t LINES_PER_PARTNER_STEP = 64;
// A run with provisional marks on more than a quarter of its lines keeps them all: that
// many frequent lines are more likely common text than part of a change.
constexpr std::int32_t PROVISIONAL_SHARE = 4;
// Near a run's ends its provisional marks are cleared, up to the first discarded line
// 8 or more lines in, or up to 3 discarded lines in a row.
constexpr std::int32_t END_REACH = 8;
constexpr std::int32_t END_DISCARDS_IN_A_ROW = 3;

// A class's lines in one file, counted up to PARTNERS_COUNTED: only "none" and "more
// than `many`" matter (see initial_marks), and `many` stays below it for any file, so
// half the width of a line number does, and the two tables are half the fresh memory.
using PartnerCount = std::uint16_t;
constexpr PartnerCount PARTNERS_COUNTED = UINT16_MAX;

// For each class, its number of lines in `file` (up to PARTNERS_COUNTED); `counts` has a
// place for every class.
void count_class_lines(const InputFile& file, Table<PartnerCount>& counts) {
    std::fill(counts.begin(), counts.end(), 0);
    for (std::int32_t i = 0; i < file.line_count; ++i) {
        PartnerCount& c = counts[file.line_classes[i]];
        c = static_cast<PartnerCount>(c + (c != PARTNERS_COUNTED ? 1 : 0));
    }
}

// A quantity that starts at `base` and doubles each time `n` divided by 4 (after a
// first division by `first_divisor`) stays above 3.
std::int32_t grow_by_quarters(std::int32_t n, std::int32_t first_divisor, std::int32_t base) {
    std::int32_t t = n / first_divisor;
    std::int32_t value = base;
    while (t > 3) {
        t /= 4;
        value *= 2;
    }
    return value;
}

// `marks` has a place for every line of `file`.
void initial_marks(const InputFile& file, const Table<PartnerCount>& other, std::span<char> marks) {
    const std::int32_t n = file.line_count;
    // At most 5 * 2^12 for a file of 2^31 lines: a count that stopped is above it.
    const std::int32_t many = grow_by_quarters(n, LINES_PER_PARTNER_STEP, FEW_PARTNERS);
    for (std::int32_t i = 0; i < n; ++i) {
        const std::int32_t partners = other[file.line_classes[i]];
        marks[i] = partners == 0 ? MARK_DISCARD : partners > many ? MARK_PROVISIONAL : MARK_KEEP;
    }
}

void clear_provisional(std::span<char> marks, std::int32_t from, std::int32_t to) {
    for (std::int32_t j = from; j < to; ++j) {
        if (marks[j] == MARK_PROVISIONAL) {
            marks[j] = MARK_KEEP;
        }
    }
}

// Within the run [from, to), clears every stretch of `minimum` or more provisional
// marks in a row.
void clear_long_provisional_stretches(std::span<char> marks, std::int32_t from, std::int32_t to,
                                      std::int32_t minimum) {
    for (std::int32_t j = from; j < to;) {
        if (marks[j] != MARK_PROVISIONAL) {
            ++j;
            continue;
        }
        std::int32_t k = j;
        while (k < to && marks[k] == MARK_PROVISIONAL) {
            ++k;
        }
        if (k - j >= minimum) {
            std::fill(marks.begin() + j, marks.begin() + k, MARK_KEEP);
        }
        j = k;
    }
}

// From one end of a run of `length` lines inwards (`mark_at(j)` is the mark j lines
// in): clears provisional marks up to the first discard END_REACH or more lines in, or
// up to END_DISCARDS_IN_A_ROW discards in a row.
template <typename MarkAt>
void clear_near_end(std::int32_t length, MarkAt mark_at) {
    std::int32_t consecutive = 0;
    for (std::int32_t j = 0; j < length; ++j) {
        char& m = mark_at(j);
        if (j >= END_REACH && m == MARK_DISCARD) {
            break;
        }
        if (m == MARK_PROVISIONAL) {
            m = MARK_KEEP;
            consecutive = 0;
        } else if (m == MARK_KEEP) {
            consecutive = 0;
        } else if (++consecutive == END_DISCARDS_IN_A_ROW) {
            break;
        }
    }
}

// Settles the provisional marks of the run that starts with the discard at `start`;
// returns where the walk goes on.
std::int32_t settle_run(std::span<char> marks, std::int32_t start) {
    const std::int32_t n = static_cast<std::int32_t>(marks.size());
    std::int32_t end = start;
    std::int32_t provisional = 0;
    while (end < n && marks[end] != MARK_KEEP) {
        provisional += marks[end] == MARK_PROVISIONAL ? 1 : 0;
        ++end;
    }
    while (marks[end - 1] == MARK_PROVISIONAL) {  // the run ends with a discard
        marks[--end] = MARK_KEEP;
        --provisional;
    }
    const std::int32_t length = end - start;
    if (provisional * PROVISIONAL_SHARE > length) {
        clear_provisional(marks, start, end);
        return start + 1;  // the walk goes on with the line after the run's first
    }
    // Stretches of provisional marks are kept from 2 lines in a run of up to 15 lines,
    // from longer ones in longer runs: frequent lines in a row are likely common text.
    const std::int32_t minimum = grow_by_quarters(length, 4, 1) + 1;
    clear_long_provisional_stretches(marks, start, end, minimum);
    clear_near_end(length, [&](std::int32_t j) -> char& { return marks[start + j]; });
    clear_near_end(length, [&](std::int32_t j) -> char& { return marks[end - 1 - j]; });
    return end;
}

// Walks the marks: a provisional mark outside a run of discards is cleared, each run
// is settled.
void settle_provisional_marks(std::span<char> marks) {
    const std::int32_t n = static_cast<std::int32_t>(marks.size());
    for (std::int32_t i = 0; i < n;) {
        if (marks[i] == MARK_DISCARD) {
            i = settle_run(marks, i);
            continue;
        }
        if (marks[i] == MARK_PROVISIONAL) {
            marks[i] = MARK_KEEP;
        }
        ++i;
    }
}

// Sizes the kept sequences once for every line: growing them would copy and touch
// fresh pages each time.
void reserve_kept_lines(InputFile& file) {
    file.kept_classes.clear();
    file.kept_line_index.clear();
    file.kept_classes.reserve(static_cast<std::size_t>(file.line_count));
    file.kept_line_index.reserve(static_cast<std::size_t>(file.line_count));
}

// The kept lines go into the kept sequences (reserved); the others are changed. The
// marks are the line_changed flags themselves, which become 0 or 1 here.
void keep_unmarked_lines(InputFile& file) {
    for (std::int32_t i = 0; i < file.line_count; ++i) {
        if (file.line_changed[i] == MARK_KEEP) {
            file.kept_classes.push_back(file.line_classes[i]);
            file.kept_line_index.push_back(i);
        } else {
            file.line_changed[i] = 1;
        }
    }
    file.kept_count = static_cast<std::int32_t>(file.kept_classes.size());
}

// Where the run stands while lines are discarded: after the classes, before the search.
constexpr std::uint32_t DISCARD_PERMILLE = 200;

}  // namespace

// Each file's lines are counted and then marked on its own (for large files both at
// once). The marks are written in the line_changed flags, which are all 0 before: a
// table of their own would be fresh memory too.
void discard_unmatchable_lines(InputFile files[2]) {
    // The kept sequences first: carved before the counts, these larger tables take the
    // kept blocks' pages that are in, and the counts fit in what is left.
    reserve_kept_lines(files[0]);
    reserve_kept_lines(files[1]);
    const auto limit = static_cast<std::size_t>(files[0].class_limit);
    Table<PartnerCount> counts[2] = {Table<PartnerCount>(limit), Table<PartnerCount>(limit)};
    const std::span<char> marks[2] = {
        {files[0].line_changed, static_cast<std::size_t>(files[0].line_count)},
        {files[1].line_changed, static_cast<std::size_t>(files[1].line_count)}};
    for_both_files(files, [&](int f) { count_class_lines(files[f], counts[f]); });
    // Between the passes over both files, so that a stop waits for one pass at most.
    engine_progress(DISCARD_PERMILLE);
    for_both_files(files, [&](int f) { initial_marks(files[f], counts[1 - f], marks[f]); });
    engine_progress(DISCARD_PERMILLE);
    for_both_files(files, [&](int f) { settle_provisional_marks(marks[f]); });
    engine_progress(DISCARD_PERMILLE);
    for_both_files(files, [&](int f) { keep_unmarked_lines(files[f]); });
    engine_progress(DISCARD_PERMILLE);
}
