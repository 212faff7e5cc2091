#ifndef PAIREX_UI_VIEW_EDIT_SCRIPT_H
#define PAIREX_UI_VIEW_EDIT_SCRIPT_H

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

// A shortest edit script between two sequences (the greedy O(ND) search), bounded in
// cost: the search gives up past `max_cost` insertions and deletions, so that its
// work stays within (n + m) * max_cost steps and its memory within max_cost squared.

namespace edit_script_detail {

// The greedy forward search: fills `trace` with the v of every finished round d
// (diagonals -d..d, starting at index d * d) and returns the cost of the script, or
// -1 past `limit`.
template <typename Equal>
int32_t search(int32_t n, int32_t m, Equal& equal, int32_t limit, std::vector<int32_t>& trace) {
    const int32_t offset = limit + 1;
    // v[offset + k]: the furthest x reached on diagonal k = x - y.
    std::vector<int32_t> v(static_cast<std::size_t>(2 * offset + 1), 0);
    for (int32_t d = 0; d <= limit; ++d) {
        for (int32_t k = -d; k <= d; k += 2) {
            const bool down = k == -d || (k != d && v[offset + k - 1] < v[offset + k + 1]);
            int32_t x = down ? v[offset + k + 1] : v[offset + k - 1] + 1;
            int32_t y = x - k;
            while (x < n && y < m && y >= 0 && equal(x, y)) {
                ++x;
                ++y;
            }
            v[offset + k] = x;
            if (x >= n && y >= m) {
                return d;
            }
        }
        trace.insert(trace.end(), v.begin() + offset - d, v.begin() + offset + d + 1);
    }
    return -1;
}

// Back from the end: each round undoes one insertion or deletion.
inline void trace_back(int32_t n, int32_t m, int32_t cost, const std::vector<int32_t>& trace,
                       std::vector<uint8_t>& a_changed, std::vector<uint8_t>& b_changed) {
    int32_t x = n;
    int32_t y = m;
    for (int32_t d = cost; d > 0; --d) {
        const int32_t* before = trace.data() + static_cast<std::ptrdiff_t>(d - 1) * (d - 1);
        auto at = [&](int32_t k) { return before[k + d - 1]; };
        const int32_t k = x - y;
        const bool down = k == -d || (k != d && at(k - 1) < at(k + 1));
        const int32_t from_k = down ? k + 1 : k - 1;
        const int32_t from_x = at(from_k);
        const int32_t from_y = from_x - from_k;
        if (down && from_y >= 0 && from_y < m) {
            b_changed[static_cast<std::size_t>(from_y)] = 1;
        } else if (!down && from_x >= 0 && from_x < n) {
            a_changed[static_cast<std::size_t>(from_x)] = 1;
        }
        x = from_x;
        y = from_y;
    }
}

}  // namespace edit_script_detail

// Sets a_changed[i] for every element of a[0..n) the script deletes and b_changed[j]
// for every element of b[0..m) it inserts; `equal(i, j)` tells whether a[i] equals
// b[j]. Returns false, with both flag vectors all zero, when more than `max_cost`
// edits are needed. Both vectors are resized to n and m.
template <typename Equal>
bool shortest_edit(int32_t n, int32_t m, Equal equal, int32_t max_cost,
                   std::vector<uint8_t>& a_changed, std::vector<uint8_t>& b_changed) {
    a_changed.assign(static_cast<std::size_t>(n), 0);
    b_changed.assign(static_cast<std::size_t>(m), 0);
    const int32_t limit = std::min(max_cost, n + m);
    if (limit < 0) {
        return false;
    }
    std::vector<int32_t> trace;
    const int32_t cost = edit_script_detail::search(n, m, equal, limit, trace);
    if (cost < 0) {
        return false;
    }
    edit_script_detail::trace_back(n, m, cost, trace, a_changed, b_changed);
    return true;
}

#endif
