#include "ui/window_placement.h"

#include <algorithm>
#include <climits>
#include <cstdlib>

#include "ui/settings.h"

namespace {

constexpr const char* SECTION = "Misc";

long long overlap_area(const ScreenRect& a, const ScreenRect& b) {
    const long long w = std::min<long long>(a.right, b.right) - std::max<long long>(a.left, b.left);
    const long long h = std::min<long long>(a.bottom, b.bottom) - std::max<long long>(a.top, b.top);
    return w > 0 && h > 0 ? w * h : 0;
}

// The gap between two ranges on one axis, 0 when they meet or overlap.
long long gap(long long a_low, long long a_high, long long b_low, long long b_high) {
    if (a_high <= b_low) {
        return b_low - a_high;
    }
    if (b_high <= a_low) {
        return a_low - b_high;
    }
    return 0;
}

long long squared_distance(const ScreenRect& a, const ScreenRect& b) {
    const long long dx = gap(a.left, a.right, b.left, b.right);
    const long long dy = gap(a.top, a.bottom, b.top, b.bottom);
    return dx * dx + dy * dy;
}

// The work area the window belongs on.
const ScreenRect& home_area(const ScreenRect& saved, const std::vector<ScreenRect>& areas) {
    std::size_t best = 0;
    long long best_overlap = 0;
    for (std::size_t i = 0; i < areas.size(); ++i) {
        const long long overlap = overlap_area(saved, areas[i]);
        if (overlap > best_overlap) {
            best = i;
            best_overlap = overlap;
        }
    }
    if (best_overlap > 0) {
        return areas[best];
    }
    long long best_distance = LLONG_MAX;
    for (std::size_t i = 0; i < areas.size(); ++i) {
        const long long distance = squared_distance(saved, areas[i]);
        if (distance < best_distance) {
            best = i;
            best_distance = distance;
        }
    }
    return areas[best];
}

// One axis: the size held to [minimum, room], the start moved just enough to fit.
void fit_axis(int& low, int& high, int area_low, int area_high, int minimum) {
    const int room = std::max(area_high - area_low, 1);
    const int size = std::min(std::max(high - low, minimum), room);
    const int start = std::clamp(low, area_low, area_low + room - size);
    low = start;
    high = start + size;
}

// The caption can be grabbed with the mouse: its row lies on the area, with at least
// PLACEMENT_VISIBLE_MIN pixels of it (or all of a narrower window) across.
bool caption_reachable(const ScreenRect& r, const ScreenRect& area) {
    const long long across =
        std::min<long long>(r.right, area.right) - std::max<long long>(r.left, area.left);
    const long long needed = std::min<long long>(PLACEMENT_VISIBLE_MIN, r.right - r.left);
    return r.top >= area.top &&
           static_cast<long long>(r.top) + PLACEMENT_VISIBLE_MIN <= area.bottom && across >= needed;
}

bool fits(const ScreenRect& r, const ScreenRect& area) {
    return static_cast<long long>(r.right) - r.left <=
               static_cast<long long>(area.right) - area.left &&
           static_cast<long long>(r.bottom) - r.top <=
               static_cast<long long>(area.bottom) - area.top;
}

bool in_limit(int value) {
    return value >= -PLACEMENT_COORDINATE_LIMIT && value <= PLACEMENT_COORDINATE_LIMIT;
}

}  // namespace

WindowPlacement read_window_placement() {
    WindowPlacement placement;
    // INT_MIN stands for a missing key: it is beyond the limit.
    const int left = settings_read_int(SECTION, "Window left", INT_MIN);
    const int top = settings_read_int(SECTION, "Window top", INT_MIN);
    const int width = settings_read_int(SECTION, "Window width", 0);
    const int height = settings_read_int(SECTION, "Window height", 0);
    if (!in_limit(left) || !in_limit(top) || width < 1 || height < 1 || !in_limit(width) ||
        !in_limit(height)) {
        return placement;
    }
    placement.known = true;
    placement.normal = {left, top, left + width, top + height};
    placement.maximized = settings_read_ranged(SECTION, "Window maximized", 0, 0, 1) == 1;
    return placement;
}

void write_window_placement(const WindowPlacement& placement) {
    if (!placement.known) {
        return;
    }
    const ScreenRect& r = placement.normal;
    settings_write_int(SECTION, "Window left", r.left);
    settings_write_int(SECTION, "Window top", r.top);
    settings_write_int(SECTION, "Window width", static_cast<long>(r.right) - r.left);
    settings_write_int(SECTION, "Window height", static_cast<long>(r.bottom) - r.top);
    settings_write_int(SECTION, "Window maximized", placement.maximized ? 1 : 0);
}

ScreenRect place_on_screen(const ScreenRect& saved, const std::vector<ScreenRect>& work_areas,
                           int min_width, int min_height) {
    if (work_areas.empty()) {
        return saved;
    }
    const ScreenRect& area = home_area(saved, work_areas);
    if (fits(saved, area) && caption_reachable(saved, area)) {
        return saved;
    }
    ScreenRect placed = saved;
    fit_axis(placed.left, placed.right, area.left, area.right, min_width);
    fit_axis(placed.top, placed.bottom, area.top, area.bottom, min_height);
    return placed;
}
