#include <algorithm>
#include <cstdint>
#include <cstring>

#include "common/byte_scan.h"
#include "engine/engine_internal.h"

namespace {

// The line tables are sized before the middle is split into lines, from a guess of the
// bytes per line: 32, or the prefix lines measured once the prefix has at least 10
// lines (fewer say little about the rest), for both files since they are mostly alike.
// A few short lines at the start say little about the rest either: the measure is
// trusted down to 8 bytes a line, and tables of files with shorter lines grow
// geometrically as their lines are found. An eighth more than the guess spares most
// files a last growth for their final few lines; 5 spare entries keep a tiny middle
// from growing its tables at once.
constexpr double GUESSED_LINE_BYTES = 32;
constexpr double MIN_MEASURED_LINE_BYTES = 8;
constexpr std::int32_t MEASURED_PREFIX_LINES = 10;
constexpr double HEADROOM = 1.125;
constexpr std::int32_t SPARE_LINE_ENTRIES = 5;

// Position of the first byte among the first `n` where the two data differ, or `n`.
std::int64_t first_difference(const char* a, const char* b, std::int64_t n) {
    std::int64_t i = 0;
    while (i + 8 <= n) {
        std::uint64_t wa;
        std::uint64_t wb;
        std::memcpy(&wa, a + i, sizeof wa);
        std::memcpy(&wb, b + i, sizeof wb);
        if (wa != wb) {
            break;
        }
        i += sizeof wa;
    }
    while (i < n && a[i] == b[i]) {
        ++i;
    }
    return i;
}

// Length of the bytes both data begin with, not counting a last line that lacks its
// line feed as equal to the same text with one.
std::int64_t matching_prefix_bytes(InputFile& f0, InputFile& f1) {
    const std::int64_t len0 = f0.text_length;
    const std::int64_t len1 = f1.text_length;
    // Bounded by the shorter data rather than ended by a byte written after it: a
    // mapped file that shrinks loses any such byte.
    std::int64_t p = first_difference(f0.data(), f1.data(), len0 < len1 ? len0 : len1);
    const bool passed0 = f0.lacks_final_newline ? p > len0 - 1 : p > len0;
    const bool passed1 = f1.lacks_final_newline ? p > len1 - 1 : p > len1;
    if (passed0 != passed1) {
        --p;
    }
    return p;
}

// Sets middle_begin of both files: the start of the first line that is not common to
// both. One buffer shared by both sides is prefix as a whole.
void find_prefix_end(InputFile& f0, InputFile& f1) {
    const bool shared = f0.descriptor == f1.descriptor;
    std::int64_t p = shared ? f0.text_length : matching_prefix_bytes(f0, f1);
    const char* t0 = f0.data();
    while (p > 0 && t0[p - 1] != '\n') {
        --p;
    }
    f0.middle_begin = f1.middle_begin = p;
}

// Sets middle_end of both files: the start of the common trailing lines, which never
// reach into the prefix. A last line that lacks its line feed on one side only leaves
// no suffix.
void find_suffix_start(InputFile& f0, InputFile& f1) {
    const char* t0 = f0.data();
    const char* t1 = f1.data();
    const std::int64_t len0 = f0.text_length;
    const std::int64_t len1 = f1.text_length;
    if (f0.lacks_final_newline != f1.lacks_final_newline) {
        f0.middle_end = len0;
        f1.middle_end = len1;
        return;
    }
    std::int64_t e0 = len0;
    std::int64_t e1 = len1;
    const std::int64_t limit0 = f0.middle_begin + (len0 > len1 ? len0 - len1 : 0);
    while (e0 > limit0 && t0[e0 - 1] == t1[e1 - 1]) {
        --e0;
        --e1;
    }
    // Forward to a line start: past one line feed, or two when the stop lies inside a
    // line, so that one whole common line stays in the middle.
    const bool inside = (e0 != 0 && t0[e0 - 1] != '\n') || (e1 != 0 && t1[e1 - 1] != '\n');
    int feeds = inside ? 2 : 1;
    const std::int64_t start0 = e0;
    while (feeds > 0 && e0 < len0) {
        if (t0[e0++] == '\n') {
            --feeds;
        }
    }
    e1 += e0 - start0;
    f0.middle_end = e0;
    f1.middle_end = e1;
}

// The lines before middle_begin, 0 when both middles are empty; the same in both files.
void count_prefix_lines(InputFile& f0, InputFile& f1) {
    std::int32_t n = 0;
    if (f0.middle_end != f0.middle_begin || f1.middle_end != f1.middle_begin) {
        const char* t0 = f0.data();
        for (const char* q = t0; q < t0 + f0.middle_begin;) {
            const char* nl = find_byte(q, static_cast<std::size_t>(t0 + f0.middle_begin - q), '\n');
            if (nl == nullptr) {
                break;
            }
            ++n;
            q = nl + 1;
        }
    }
    f0.prefix_line_count = f1.prefix_line_count = n;
}

// The first line_capacity of each file, from its middle's size (see the constants).
void size_line_tables(InputFile& f0, InputFile& f1) {
    double per_line = GUESSED_LINE_BYTES;
    if (f0.prefix_line_count >= MEASURED_PREFIX_LINES) {
        const std::int64_t measured = f1.middle_begin / (f0.prefix_line_count - 1);
        per_line = std::max(static_cast<double>(measured), MIN_MEASURED_LINE_BYTES);
    }
    for (InputFile* f : {&f0, &f1}) {
        const double middle = static_cast<double>(f->middle_end - f->middle_begin);
        f->line_capacity =
            static_cast<std::int32_t>(middle / per_line * HEADROOM + SPARE_LINE_ENTRIES);
    }
}

}  // namespace

void trim_identical_ends(InputFile files[2]) {
    find_prefix_end(files[0], files[1]);
    find_suffix_start(files[0], files[1]);
    count_prefix_lines(files[0], files[1]);
    size_line_tables(files[0], files[1]);
}
