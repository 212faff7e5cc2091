#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdint>
#include <memory>
#include <vector>

#include "engine/engine_internal.h"

namespace {

// A snake of more than 20 equal lines passed in one step shows that the search runs
// along long matches, where the speed heuristic may pay off; a diagonal it accepts must
// end in that many equal lines.
constexpr std::int32_t SNAKE_LIMIT = 20;
// The speed heuristic waits until a search has cost 200 edits: below that the exact
// middle snake is cheap enough to find.
constexpr std::int32_t HEURISTIC_MIN_COST = 200;
// It accepts a diagonal only when the lines passed on it exceed 12 times the cost plus
// the diagonal's distance from its sweep's start: a path that far ahead of its cost is
// close enough to a shortest one.
constexpr std::int64_t HEURISTIC_PROGRESS_FACTOR = 12;

// A search that has cost this many steps (each one edit of both sweeps) without the
// sweeps meeting splits at the furthest point reached instead: without a bound, files
// with their lines reordered cost time quadratic in their length. Exact searches of
// ordinary pairs stay far below it; it grows with the square root of the kept lines
// of huge files, so that the split points stay good there.
constexpr std::int32_t MIN_COST_LIMIT = 2048;

// The searches of one analysis may together pass this many diagonals per kept line
// (plus WORK_BUDGET_FLOOR) at the cost limit above; past that every search stops at
// SPENT_COST_LIMIT. Pairs whose lines are nearly all matchable but in another order
// (shuffled, interleaved, drawn from a few distinct lines) otherwise cost time of the
// order of lines times MIN_COST_LIMIT; now it stays linear in the lines. Ordinary pairs
// never spend the budget, so their scripts are unchanged.
constexpr std::int64_t WORK_BUDGET_PER_LINE = 64;
constexpr std::int64_t WORK_BUDGET_FLOOR = std::int64_t{1} << 25;
constexpr std::int32_t SPENT_COST_LIMIT = 64;

// The search reports its progress each time it has passed this many more diagonals: a
// fraction of a millisecond of work, and a cost too small to measure.
constexpr std::int64_t PROGRESS_WORK = std::int64_t{1} << 16;
// The search's share of the run's progress, after the lines were read and classified.
constexpr std::uint32_t SEARCH_FIRST_PERMILLE = 200;

// Marks a forward or backward vector entry that no path has reached.
constexpr std::int32_t FORWARD_UNREACHED = -1;
constexpr std::int32_t BACKWARD_UNREACHED = INT32_MAX;

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
    std::int32_t cost_limit;
    std::int64_t work_budget;                    // diagonals all searches may pass at cost_limit
    std::int64_t work = 0;                       // diagonals passed so far
    std::int64_t next_progress = PROGRESS_WORK;  // work at the next progress report
    std::int64_t lines_done = 0;                 // lines of both files before the last range marked
    std::int64_t lines_total = 1;                // kept lines of both files
};

// How much of a hard pair's search the shared work budget stands for, in thousandths:
// the first searches over such a pair mark no range for seconds while they spend it,
// and about three fifths of the search's time goes by before it runs out.
constexpr std::int64_t BUDGET_PERMILLE = 600;

// Reports how far the marking has come, from the budget spent and the lines of the
// ranges marked (both only grow, and so does the sum); throws EngineStopped when
// stopped.
void report_search_progress(Analysis& a) {
    a.next_progress = a.work + PROGRESS_WORK;
    const std::int64_t spent = BUDGET_PERMILLE * std::min(a.work, a.work_budget) / a.work_budget;
    const std::int64_t done = spent + (1000 - spent) * a.lines_done / a.lines_total;
    engine_progress(
        SEARCH_FIRST_PERMILLE +
        static_cast<std::uint32_t>((SEARCHED_PERMILLE - SEARCH_FIRST_PERMILLE) * done / 1000));
}

// Where a range pair is split: a diagonal and a point on it that lies on the path.
struct Snake {
    std::int32_t diagonal;
    std::int32_t cost;
    std::int32_t x;
};

// The ranges of one search and the state of its two sweeps: the forward sweep from
// (xoff, yoff), the backward sweep from (xlim, ylim), each over a band of diagonals.
struct SnakeSearch {
    std::int32_t xoff, xlim, yoff, ylim;
    std::int32_t dmin, dmax;  // the diagonals the ranges allow
    std::int32_t fmid, bmid;  // the diagonals the sweeps start on
    std::int32_t fmin, fmax, bmin, bmax;
    bool odd;  // the sweeps can meet in a forward step only (else in a backward step)
    bool big_snake;
    std::int64_t snake_lines = 0;  // equal lines both sweeps have passed
};

SnakeSearch start_search(const Analysis& a, std::int32_t xoff, std::int32_t xlim, std::int32_t yoff,
                         std::int32_t ylim) {
    SnakeSearch s{};
    s.xoff = xoff;
    s.xlim = xlim;
    s.yoff = yoff;
    s.ylim = ylim;
    s.dmin = xoff - ylim;
    s.dmax = xlim - yoff;
    s.fmid = xoff - yoff;
    s.bmid = xlim - ylim;
    s.fmin = s.fmax = s.fmid;
    s.bmin = s.bmax = s.bmid;
    s.odd = ((s.fmid - s.bmid) & 1) != 0;
    s.big_snake = false;
    a.fdiag[s.fmid] = xoff;
    a.bdiag[s.bmid] = xlim;
    return s;
}

// Widens a sweep's band by one diagonal on each side the ranges allow (the diagonal
// beyond the new edge is marked unreached), and narrows it on each side they do not.
void widen_band(std::int32_t* v, std::int32_t& lo, std::int32_t& hi, const SnakeSearch& s,
                std::int32_t unreached) {
    if (lo > s.dmin) {
        v[--lo - 1] = unreached;
    } else {
        ++lo;
    }
    if (hi < s.dmax) {
        v[++hi + 1] = unreached;
    } else {
        --hi;
    }
}

// One step of the forward sweep: every diagonal of the band one edit further, then
// along its snake. True when it meets the backward sweep; `found` is then set.
bool forward_step(const Analysis& a, SnakeSearch& s, std::int32_t c, Snake& found) {
    std::int32_t* const fd = a.fdiag;
    const std::int32_t* const bd = a.bdiag;
    widen_band(fd, s.fmin, s.fmax, s, FORWARD_UNREACHED);
    const std::int32_t xlim = s.xlim;
    const std::int32_t ylim = s.ylim;
    const std::int32_t fmin = s.fmin;
    const std::int32_t bmin = s.bmin;
    const std::int32_t bmax = s.bmax;
    for (std::int32_t d = s.fmax; d >= fmin; d -= 2) {
        const std::int32_t tlo = fd[d - 1];
        const std::int32_t thi = fd[d + 1];
        std::int32_t x = tlo >= thi ? tlo + 1 : thi;
        const std::int32_t x0 = x;
        std::int32_t y = x - d;
        while (x < xlim && y < ylim && a.xv[x] == a.yv[y]) {
            ++x;
            ++y;
        }
        if (x - x0 > SNAKE_LIMIT) {
            s.big_snake = true;
        }
        s.snake_lines += x - x0;
        fd[d] = x;
        if (s.odd && bmin <= d && d <= bmax && bd[d] <= x) {
            found = {d, 2 * c - 1, bd[d]};
            return true;
        }
    }
    return false;
}

// One step of the backward sweep, the mirror image of forward_step.
bool backward_step(const Analysis& a, SnakeSearch& s, std::int32_t c, Snake& found) {
    const std::int32_t* const fd = a.fdiag;
    std::int32_t* const bd = a.bdiag;
    widen_band(bd, s.bmin, s.bmax, s, BACKWARD_UNREACHED);
    const std::int32_t xoff = s.xoff;
    const std::int32_t yoff = s.yoff;
    const std::int32_t bmin = s.bmin;
    const std::int32_t fmin = s.fmin;
    const std::int32_t fmax = s.fmax;
    for (std::int32_t d = s.bmax; d >= bmin; d -= 2) {
        const std::int32_t tlo = bd[d - 1];
        const std::int32_t thi = bd[d + 1];
        std::int32_t x = tlo < thi ? tlo : thi - 1;
        const std::int32_t x0 = x;
        std::int32_t y = x - d;
        while (x > xoff && y > yoff && a.xv[x - 1] == a.yv[y - 1]) {
            --x;
            --y;
        }
        if (x0 - x > SNAKE_LIMIT) {
            s.big_snake = true;
        }
        s.snake_lines += x0 - x;
        bd[d] = x;
        if (!s.odd && fmin <= d && d <= fmax && x <= fd[d]) {
            found = {d, 2 * c, bd[d]};
            return true;
        }
    }
    return false;
}

// Whether the SNAKE_LIMIT lines a sweep passed last before reaching (x, y) are equal.
template <bool FORWARD>
bool ends_in_snake(const Analysis& a, std::int32_t x, std::int32_t y) {
    const std::int32_t from_x = FORWARD ? x - SNAKE_LIMIT : x;
    const std::int32_t from_y = FORWARD ? y - SNAKE_LIMIT : y;
    return std::equal(a.xv + from_x, a.xv + from_x + SNAKE_LIMIT, a.yv + from_y);
}

// The speed heuristic for one sweep: of the diagonals whose progress (lines of both
// files passed from the sweep's corner) is far ahead of the cost, and whose last
// SNAKE_LIMIT lines passed are equal, the one with the most progress. True when there
// is one; `found` is then set. A template, so that each sweep gets its own tight loop.
template <bool FORWARD>
bool heuristic_cut(const Analysis& a, const SnakeSearch& s, std::int32_t c, Snake& found) {
    const std::int32_t* const v = FORWARD ? a.fdiag : a.bdiag;
    const std::int32_t lo = FORWARD ? s.fmin : s.bmin;
    const std::int32_t hi = FORWARD ? s.fmax : s.bmax;
    const std::int32_t mid = FORWARD ? s.fmid : s.bmid;
    std::int64_t best = 0;
    std::int32_t best_d = 0;
    for (std::int32_t d = hi; d >= lo; d -= 2) {
        const std::int64_t dd = d - mid;
        const std::int32_t x = v[d];
        const std::int32_t y = x - d;
        const std::int32_t passed_x = FORWARD ? x - s.xoff : s.xlim - x;
        const std::int32_t passed_y = FORWARD ? y - s.yoff : s.ylim - y;
        const std::int64_t progress =
            static_cast<std::int64_t>(passed_x) * 2 + (FORWARD ? -dd : dd);
        const std::int64_t needed = HEURISTIC_PROGRESS_FACTOR * (c + (dd < 0 ? -dd : dd));
        if (progress > needed && progress > best && passed_x > SNAKE_LIMIT &&
            passed_y > SNAKE_LIMIT && ends_in_snake<FORWARD>(a, x, y)) {
            best = progress;
            best_d = d;
        }
    }
    if (best > 0) {
        found = {best_d, 2 * c - 1, v[best_d]};
        return true;
    }
    return false;
}

// Past the cost limit: of the points both sweeps have reached, the one that has passed
// the most lines of both files from its sweep's corner. Any reached point lies on a
// path, so the script stays valid; it may just not be the shortest.
Snake furthest_reach(const Analysis& a, const SnakeSearch& s, std::int32_t c) {
    std::int64_t best = -1;
    Snake found{};
    for (std::int32_t d = s.fmax; d >= s.fmin; d -= 2) {
        const std::int32_t x = std::min(a.fdiag[d], s.xlim);
        const std::int64_t passed = static_cast<std::int64_t>(x) - s.xoff + (x - d) - s.yoff;
        if (passed > best) {
            best = passed;
            found = {d, 2 * c - 1, x};
        }
    }
    for (std::int32_t d = s.bmax; d >= s.bmin; d -= 2) {
        const std::int32_t x = std::max(a.bdiag[d], s.xoff);
        const std::int64_t passed = static_cast<std::int64_t>(s.xlim) - x + s.ylim - (x - d);
        if (passed > best) {
            best = passed;
            found = {d, 2 * c, x};
        }
    }
    return found;
}

// The middle snake of X[xoff, xlim) and Y[yoff, ylim): the sweeps from both corners
// advance one edit at a time until they meet. Under -H a long, costly search may stop
// early at a good diagonal instead, and any search stops at the cost limit (the script
// may then not be minimal).
Snake find_middle_snake(Analysis& a, std::int32_t xoff, std::int32_t xlim, std::int32_t yoff,
                        std::int32_t ylim) {
    SnakeSearch s = start_search(a, xoff, xlim, yoff, ylim);
    Snake found{};
    for (std::int32_t c = 1;; ++c) {
        if (forward_step(a, s, c, found) || backward_step(a, s, c, found)) {
            break;
        }
        if (a.heuristic && c > HEURISTIC_MIN_COST && s.big_snake &&
            (heuristic_cut<true>(a, s, c, found) || heuristic_cut<false>(a, s, c, found))) {
            break;
        }
        a.work += (s.fmax - s.fmin) / 2 + (s.bmax - s.bmin) / 2 + 2;
        if (a.work >= a.next_progress) {
            report_search_progress(a);
        }
        const std::int32_t limit =
            a.work + s.snake_lines > a.work_budget ? SPENT_COST_LIMIT : a.cost_limit;
        if (c >= limit) {
            found = furthest_reach(a, s, c);
            break;
        }
    }
    a.work += s.snake_lines;
    return found;
}

void mark_lines(char* changed, const std::int32_t* index, std::int32_t from, std::int32_t to) {
    for (std::int32_t k = from; k < to; ++k) {
        changed[index[k]] = 1;
    }
}

// Narrows both ranges past their equal first and last lines.
void skip_equal_ends(const Analysis& a, std::int32_t& xoff, std::int32_t& xlim, std::int32_t& yoff,
                     std::int32_t& ylim) {
    while (xoff < xlim && yoff < ylim && a.xv[xoff] == a.yv[yoff]) {
        ++xoff;
        ++yoff;
    }
    while (xlim > xoff && ylim > yoff && a.xv[xlim - 1] == a.yv[ylim - 1]) {
        --xlim;
        --ylim;
    }
}

// The ranges still to mark: the later half of each split, until the earlier one is done.
struct RangePair {
    std::int32_t xoff, xlim, yoff, ylim;
};

// Marks the changed lines of the two ranges, in order: the earlier half of each split
// first, then the later one. The later halves wait on a stack of their own: a split
// near one end of a hard pair leaves one half nearly whole, and recursing on it ran
// the thread's stack out on a pair of 4,000,000 lines.
void compare_ranges(Analysis& a, std::int32_t xoff, std::int32_t xlim, std::int32_t yoff,
                    std::int32_t ylim) {
    std::vector<RangePair> later;
    for (;;) {
        skip_equal_ends(a, xoff, xlim, yoff, ylim);
        const Snake s =
            xoff == xlim || yoff == ylim ? Snake{} : find_middle_snake(a, xoff, xlim, yoff, ylim);
        const std::int32_t split = std::min(std::max(s.x, xoff), xlim);
        const std::int32_t ysplit = std::min(std::max(split - s.diagonal, yoff), ylim);
        // An empty range, or a split at a corner, where no progress is possible: both
        // ranges are marked whole.
        if (xoff == xlim || yoff == ylim || (split == xoff && ysplit == yoff) ||
            (split == xlim && ysplit == ylim)) {
            mark_lines(a.changed0, a.xi, xoff, xlim);
            mark_lines(a.changed1, a.yi, yoff, ylim);
            a.lines_done = std::int64_t{xlim} + ylim;  // ranges are marked in order
            if (later.empty()) {
                return;
            }
            const RangePair next = later.back();
            later.pop_back();
            xoff = next.xoff;
            xlim = next.xlim;
            yoff = next.yoff;
            ylim = next.ylim;
            continue;
        }
        later.push_back({split, xlim, ysplit, ylim});
        xlim = split;
        ylim = ysplit;
    }
}

}  // namespace

void mark_changed_lines(InputFile files[2]) {
    const std::int32_t k0 = files[0].kept_count;
    const std::int32_t k1 = files[1].kept_count;
    // One block for both vectors, each indexed by diagonal from -(k1 + 1) to k0 + 1.
    const std::size_t span = static_cast<std::size_t>(k0) + k1 + 3;
    // Not zeroed and not advised for huge pages: every entry a sweep reads was written
    // by it first, and a cheap search touches only a few small pages of the block.
    const std::unique_ptr<std::int32_t[]> diagonals(new std::int32_t[2 * span]);
    Analysis a;
    a.xv = files[0].kept_classes.data();
    a.yv = files[1].kept_classes.data();
    a.xi = files[0].kept_line_index.data();
    a.yi = files[1].kept_line_index.data();
    a.changed0 = files[0].line_changed;
    a.changed1 = files[1].line_changed;
    a.fdiag = diagonals.get() + k1 + 1;
    a.bdiag = diagonals.get() + span + k1 + 1;
    a.heuristic = engine_options.speed_heuristic != 0;
    const auto root = static_cast<std::int32_t>(std::sqrt(static_cast<double>(span)));
    a.cost_limit = std::max(MIN_COST_LIMIT, root);
    a.work_budget = WORK_BUDGET_FLOOR + WORK_BUDGET_PER_LINE * (std::int64_t{k0} + k1);
    a.lines_total = std::max<std::int64_t>(1, std::int64_t{k0} + k1);
    compare_ranges(a, 0, k0, 0, k1);
}
