#include <unistd.h>

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstring>
#include <vector>

#include "engine/engine_internal.h"

namespace {

// Working data of one analysis: the kept sequences and the diagonal vectors.
struct Analysis {
    const std::int32_t* xv;  // kept classes of file 0
    const std::int32_t* yv;  // kept classes of file 1
    const std::int32_t* xi;  // their middle-line indexes
    const std::int32_t* yi;
    char* changed0;
    char* changed1;
    std::int32_t* fdiag;  // indexed by diagonal, offset applied
    std::int32_t* bdiag;
    bool heuristic;
};

struct Snake {
    std::int32_t diagonal;
    std::int32_t cost;
    std::int32_t x;  // where the range is split: a point on the chosen path
};

constexpr std::int32_t SNAKE_LIMIT = 20;

Snake find_middle_snake(const Analysis& a, std::int32_t xoff, std::int32_t xlim, std::int32_t yoff,
                        std::int32_t ylim) {
    const std::int32_t* const xv = a.xv;
    const std::int32_t* const yv = a.yv;
    std::int32_t* const fd = a.fdiag;
    std::int32_t* const bd = a.bdiag;
    const std::int32_t dmin = xoff - ylim;
    const std::int32_t dmax = xlim - yoff;
    const std::int32_t fmid = xoff - yoff;
    const std::int32_t bmid = xlim - ylim;
    std::int32_t fmin = fmid;
    std::int32_t fmax = fmid;
    std::int32_t bmin = bmid;
    std::int32_t bmax = bmid;
    const bool odd = ((fmid - bmid) & 1) != 0;
    fd[fmid] = xoff;
    bd[bmid] = xlim;

    bool big_snake = false;
    for (std::int32_t c = 1;; ++c) {
        if (fmin > dmin) {
            fd[--fmin - 1] = -1;
        } else {
            ++fmin;
        }
        if (fmax < dmax) {
            fd[++fmax + 1] = -1;
        } else {
            --fmax;
        }
        for (std::int32_t d = fmax; d >= fmin; d -= 2) {
            const std::int32_t tlo = fd[d - 1];
            const std::int32_t thi = fd[d + 1];
            std::int32_t x = tlo >= thi ? tlo + 1 : thi;
            const std::int32_t x0 = x;
            std::int32_t y = x - d;
            while (x < xlim && y < ylim && xv[x] == yv[y]) {
                ++x;
                ++y;
            }
            if (x - x0 > SNAKE_LIMIT) {
                big_snake = true;
            }
            fd[d] = x;
            if (odd && bmin <= d && d <= bmax && bd[d] <= x) {
                return {d, 2 * c - 1, bd[d]};
            }
        }

        if (bmin > dmin) {
            bd[--bmin - 1] = INT32_MAX;
        } else {
            ++bmin;
        }
        if (bmax < dmax) {
            bd[++bmax + 1] = INT32_MAX;
        } else {
            --bmax;
        }
        for (std::int32_t d = bmax; d >= bmin; d -= 2) {
            const std::int32_t tlo = bd[d - 1];
            const std::int32_t thi = bd[d + 1];
            std::int32_t x = tlo < thi ? tlo : thi - 1;
            const std::int32_t x0 = x;
            std::int32_t y = x - d;
            while (x > xoff && y > yoff && xv[x - 1] == yv[y - 1]) {
                --x;
                --y;
            }
            if (x0 - x > SNAKE_LIMIT) {
                big_snake = true;
            }
            bd[d] = x;
            if (!odd && fmin <= d && d <= fmax && x <= fd[d]) {
                return {d, 2 * c, bd[d]};
            }
        }

        if (!a.heuristic || c <= 200 || !big_snake) {
            continue;
        }
        // Accept a good diagonal that ends in a long snake instead of the optimum.
        {
            std::int64_t best = 0;
            std::int32_t best_d = 0;
            for (std::int32_t d = fmax; d >= fmin; d -= 2) {
                const std::int64_t dd = d - fmid;
                const std::int32_t x = fd[d];
                const std::int32_t y = x - d;
                const std::int64_t v = static_cast<std::int64_t>(x - xoff) * 2 - dd;
                if (v > 12 * (c + (dd < 0 ? -dd : dd)) &&
                    static_cast<std::int64_t>(x) * 2 - dd > best && x - xoff > SNAKE_LIMIT &&
                    y - yoff > SNAKE_LIMIT) {
                    std::int32_t k = 1;
                    while (k <= SNAKE_LIMIT && xv[x - k] == yv[y - k]) {
                        ++k;
                    }
                    if (k > SNAKE_LIMIT) {
                        best = static_cast<std::int64_t>(x) * 2 - dd;
                        best_d = d;
                    }
                }
            }
            if (best > 0) {
                return {best_d, 2 * c - 1, fd[best_d]};
            }
        }
        {
            std::int64_t best = 0;
            std::int32_t best_d = 0;
            for (std::int32_t d = bmax; d >= bmin; d -= 2) {
                const std::int64_t dd = d - bmid;
                const std::int32_t x = bd[d];
                const std::int32_t y = x - d;
                const std::int64_t v = static_cast<std::int64_t>(xlim - x) * 2 + dd;
                if (v > 12 * (c + (dd < 0 ? -dd : dd)) && v > best && xlim - x > SNAKE_LIMIT &&
                    ylim - y > SNAKE_LIMIT) {
                    std::int32_t k = 0;
                    while (k < SNAKE_LIMIT && xv[x + k] == yv[y + k]) {
                        ++k;
                    }
                    if (k == SNAKE_LIMIT) {
                        best = v;
                        best_d = d;
                    }
                }
            }
            if (best > 0) {
                return {best_d, 2 * c - 1, bd[best_d]};
            }
        }
    }
}

// Marks the changed lines of the two ranges. Iterates on the second half instead of
// recursing, so that the stack depth follows the number of splits on one side only.
void compare_ranges(const Analysis& a, std::int32_t xoff, std::int32_t xlim, std::int32_t yoff,
                    std::int32_t ylim) {
    for (;;) {
        while (xoff < xlim && yoff < ylim && a.xv[xoff] == a.yv[yoff]) {
            ++xoff;
            ++yoff;
        }
        while (xlim > xoff && ylim > yoff && a.xv[xlim - 1] == a.yv[ylim - 1]) {
            --xlim;
            --ylim;
        }
        if (xoff == xlim) {
            for (std::int32_t y = yoff; y < ylim; ++y) {
                a.changed1[a.yi[y]] = 1;
            }
            return;
        }
        if (yoff == ylim) {
            for (std::int32_t x = xoff; x < xlim; ++x) {
                a.changed0[a.xi[x]] = 1;
            }
            return;
        }
        const Snake s = find_middle_snake(a, xoff, xlim, yoff, ylim);
        const std::int32_t b = s.x;
        const std::int32_t split = std::min(std::max(b, xoff), xlim);
        const std::int32_t ysplit = std::min(std::max(split - s.diagonal, yoff), ylim);
        if ((split == xoff && ysplit == yoff) || (split == xlim && ysplit == ylim)) {
            // No progress is possible on a split at a corner: mark both ranges.
            for (std::int32_t x = xoff; x < xlim; ++x) {
                a.changed0[a.xi[x]] = 1;
            }
            for (std::int32_t y = yoff; y < ylim; ++y) {
                a.changed1[a.yi[y]] = 1;
            }
            return;
        }
        compare_ranges(a, xoff, split, yoff, ysplit);
        xoff = split;
        yoff = ysplit;
    }
}

// Lines without a partner are discarded; lines with very many partners are discarded
// when they sit among discarded lines.
void discard_unmatchable_lines(InputFile files[2]) {
    const std::int32_t limit = files[0].class_limit;
    std::vector<std::int32_t> counts[2];
    for (int f = 0; f < 2; ++f) {
        counts[f].assign(static_cast<std::size_t>(limit), 0);
        for (std::int32_t i = 0; i < files[f].line_count; ++i) {
            ++counts[f][files[f].line_classes[i]];
        }
    }
    for (int f = 0; f < 2; ++f) {
        InputFile& file = files[f];
        const std::vector<std::int32_t>& other = counts[1 - f];
        const std::int32_t n = file.line_count;
        std::vector<char> marks(static_cast<std::size_t>(n));
        std::int32_t t = n / 64;
        std::int32_t many = 5;
        while (t > 3) {
            t /= 4;
            many *= 2;
        }
        for (std::int32_t i = 0; i < n; ++i) {
            const std::int32_t partners = other[file.line_classes[i]];
            marks[i] = partners == 0 ? 1 : partners > many ? 2 : 0;
        }

        for (std::int32_t i = 0; i < n; ++i) {
            if (marks[i] == 2) {
                marks[i] = 0;  // a provisional mark outside a run
                continue;
            }
            if (marks[i] != 1) {
                continue;
            }
            std::int32_t end = i;
            std::int32_t provisional = 0;
            while (end < n && marks[end] != 0) {
                if (marks[end] == 2) {
                    ++provisional;
                }
                ++end;
            }
            while (marks[end - 1] == 2) {
                marks[--end] = 0;
                --provisional;
            }
            const std::int32_t length = end - i;
            if (provisional * 4 > length) {
                for (std::int32_t j = i; j < end; ++j) {
                    if (marks[j] == 2) {
                        marks[j] = 0;
                    }
                }
                continue;  // the walk goes on with the line after the run's first
            }
            std::int32_t minimum = 1;
            t = length / 4;
            while (t > 3) {
                t /= 4;
                minimum *= 2;
            }
            ++minimum;
            for (std::int32_t j = i; j < end;) {
                if (marks[j] != 2) {
                    ++j;
                    continue;
                }
                std::int32_t k = j;
                while (k < end && marks[k] == 2) {
                    ++k;
                }
                if (k - j >= minimum) {
                    std::fill(marks.begin() + j, marks.begin() + k, 0);
                }
                j = k;
            }
            // From each end of the run inwards: provisional marks near the end are
            // cleared, up to the first discard 8 or more lines in or 3 discards in a row.
            auto clear_near_end = [&](auto mark_at) {
                std::int32_t consecutive = 0;
                for (std::int32_t j = 0; j < length; ++j) {
                    char& m = mark_at(j);
                    if (j >= 8 && m == 1) {
                        break;
                    }
                    if (m == 2) {
                        m = 0;
                        consecutive = 0;
                    } else if (m == 0) {
                        consecutive = 0;
                    } else if (++consecutive == 3) {
                        break;
                    }
                }
            };
            clear_near_end([&](std::int32_t j) -> char& { return marks[i + j]; });
            clear_near_end([&](std::int32_t j) -> char& { return marks[end - 1 - j]; });
            i = end - 1;
        }

        file.kept_classes.clear();
        file.kept_line_index.clear();
        for (std::int32_t i = 0; i < n; ++i) {
            if (marks[i] == 0) {
                file.kept_classes.push_back(file.line_classes[i]);
                file.kept_line_index.push_back(i);
            } else {
                file.line_changed[i] = 1;
            }
        }
        file.kept_count = static_cast<std::int32_t>(file.kept_classes.size());
    }
}

// Moves each run of changed lines as far towards the end as equal lines allow,
// without crossing a change of the other file.
void slide_change_runs(InputFile files[2]) {
    for (int f = 0; f < 2; ++f) {
        const InputFile& file = files[f];
        const char* other = files[1 - f].line_changed;
        char* changed = file.line_changed;
        const std::int32_t* classes = file.line_classes.data();
        const std::int32_t n = file.line_count;
        std::int32_t i = 0;
        std::int32_t j = 0;
        for (;;) {
            while (i < n && !changed[i]) {
                while (other[j]) {
                    ++j;
                }
                ++j;
                ++i;
            }
            if (i == n) {
                break;
            }
            std::int32_t start = i;
            for (;;) {
                while (i < n && changed[i]) {
                    ++i;
                }
                const std::int32_t end = i;
                if (end < n && classes[start] == classes[end] && !other[j]) {
                    changed[start] = 0;
                    changed[end] = 1;
                    ++start;
                    ++i;
                    ++j;
                    continue;
                }
                break;
            }
        }
    }
}

std::vector<Change> build_change_script(InputFile files[2]) {
    const char* c0 = files[0].line_changed;
    const char* c1 = files[1].line_changed;
    std::int32_t i0 = files[0].line_count;
    std::int32_t i1 = files[1].line_count;
    std::vector<Change> script;
    while (i0 >= 0 || i1 >= 0) {
        // The flag blocks have a zero entry before the first line, so [-1] is unchanged.
        if ((i0 > 0 && c0[i0 - 1]) || (i1 > 0 && c1[i1 - 1])) {
            const std::int32_t line0 = i0;
            const std::int32_t line1 = i1;
            while (i0 > 0 && c0[i0 - 1]) {
                --i0;
            }
            while (i1 > 0 && c1[i1 - 1]) {
                --i1;
            }
            script.push_back({line1 - i1, line0 - i0, i0, i1});
        }
        --i0;
        --i1;
    }
    std::reverse(script.begin(), script.end());
    return script;
}

// Compares two regular files byte for byte from their start, as stored: text mode
// would drop carriage returns and stop at a Ctrl-Z, and so call different binary files
// equal.
bool raw_files_equal(InputFile files[2]) {
    for (int i = 0; i < 2; ++i) {
        if (::lseek(files[i].descriptor, 0, SEEK_SET) != 0) {
            report_engine_error("Error in file %s", files[i].name.c_str());
            return false;
        }
    }
    std::vector<char> blocks[2];
    const std::size_t block = 65536;
    blocks[0].resize(block);
    blocks[1].resize(block);
    for (;;) {
        std::size_t counts[2];
        for (int i = 0; i < 2; ++i) {
            std::size_t have = 0;
            while (have < block) {
                const int n = static_cast<int>(::read(files[i].descriptor, blocks[i].data() + have,
                                                      static_cast<unsigned>(block - have)));
                if (n < 0) {
                    report_engine_error("Error in file %s", files[i].name.c_str());
                    break;
                }
                if (n == 0) {
                    break;
                }
                have += static_cast<std::size_t>(n);
            }
            counts[i] = have;
        }
        if (counts[0] != counts[1] ||
            std::memcmp(blocks[0].data(), blocks[1].data(), counts[0]) != 0) {
            return false;
        }
        if (counts[0] < block) {
            return true;
        }
    }
}

// Compares the rest of a binary pair block by block, as read in text mode: for
// standard input or a pipe, which cannot be read again from the start.
bool streamed_files_equal(InputFile files[2]) {
    const std::size_t block = std::max(files[0].block_size(), files[1].block_size());
    for (int i = 0; i < 2; ++i) {
        InputFile& f = files[i];
        if (f.text_capacity < block) {
            char* old = f.text.release();
            f.text.reset(static_cast<char*>(engine_realloc(old, block)));
            f.text_capacity = block;
        }
    }
    for (;;) {
        std::size_t counts[2];
        for (int i = 0; i < 2; ++i) {
            InputFile& f = files[i];
            std::size_t have = static_cast<std::size_t>(f.text_length);
            if (!f.is_absent() && have < block) {
                have += read_text_mode(f, f.text.get() + have, block - have);
            }
            counts[i] = have;
        }
        if (counts[0] != counts[1] ||
            std::memcmp(files[0].text.get(), files[1].text.get(), counts[0]) != 0) {
            return false;
        }
        if (counts[0] < block) {
            return true;
        }
        files[0].text_length = files[1].text_length = 0;
    }
}

}  // namespace

int compare_two_files(InputFile files[2], int depth) {
    (void)depth;
    if (load_input_pair(files) == 1) {
        const bool sized = [&] {
            for (int i = 0; i < 2; ++i) {
                if (!files[i].is_absent() && !files[i].status.is_regular) {
                    return false;
                }
            }
            return true;
        }();
        const bool both_regular = !files[0].is_absent() && !files[1].is_absent() &&
                                  files[0].status.is_regular && files[1].status.is_regular;
        bool differ;
        if (sized && files[0].status.size != files[1].status.size) {
            differ = true;
        } else if (files[0].descriptor == files[1].descriptor) {
            differ = false;
        } else if (both_regular) {
            differ = !raw_files_equal(files);
        } else {
            differ = !streamed_files_equal(files);
        }
        if (differ) {
            emit_message("Binary files %s and %s differ\n", files[0].name.c_str(),
                         files[1].name.c_str());
        }
        return differ ? 1 : 0;
    }

    const std::int32_t n0 = files[0].line_count;
    const std::int32_t n1 = files[1].line_count;
    std::vector<char> flags(static_cast<std::size_t>(n0) + n1 + 4, 0);
    files[0].line_changed = flags.data() + 1;
    files[1].line_changed = flags.data() + n0 + 3;

    discard_unmatchable_lines(files);
    {
        const std::int32_t k0 = files[0].kept_count;
        const std::int32_t k1 = files[1].kept_count;
        const std::size_t span = static_cast<std::size_t>(k0) + k1 + 3;
        std::vector<std::int32_t> diagonals(2 * span);
        Analysis a;
        a.xv = files[0].kept_classes.data();
        a.yv = files[1].kept_classes.data();
        a.xi = files[0].kept_line_index.data();
        a.yi = files[1].kept_line_index.data();
        a.changed0 = files[0].line_changed;
        a.changed1 = files[1].line_changed;
        a.fdiag = diagonals.data() + k1 + 1;
        a.bdiag = diagonals.data() + span + k1 + 1;
        a.heuristic = engine_options.speed_heuristic != 0;
        compare_ranges(a, 0, k0, 0, k1);
    }
    slide_change_runs(files);
    const std::vector<Change> script = build_change_script(files);

    int result = 0;
    if (!script.empty()) {
        begin_pair_output();
        print_change_listing(files, script);
        close_listing();
        if (!engine_options.skip_blank_hunks) {
            result = 1;
        } else {
            for (const Change& c : script) {
                const HunkMeasure m = measure_hunk(files, &c, 1);
                if (m.deletes != 0 || m.inserts != 0) {
                    result = 1;
                    break;
                }
            }
        }
    }
    files[0].line_changed = files[1].line_changed = nullptr;
    return result;
}
