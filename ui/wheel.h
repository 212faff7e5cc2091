#ifndef PAIREX_UI_WHEEL_H
#define PAIREX_UI_WHEEL_H

#include <cstdint>

// Mouse wheel arithmetic. The window system reports a wheel's turn as a delta, 120 for
// one notch; precision touchpads send smaller deltas that must add up to the same.

constexpr int WHEEL_NOTCH = 120;

// How far one notch moves: `units` rows (or columns), or a whole page.
struct WheelSetting {
    int units = 3;
    bool page = false;
};

// What a wheel has turned that did not yet make a whole unit.
struct WheelAccumulator {
    int64_t rest = 0;  // in units of 1/WHEEL_NOTCH
};

// Adds `delta` at `units_per_notch` and returns the whole units it completes, with the
// delta's sign; the fraction left waits for the next delta. A turn the other way first
// drops what was left of the old direction. 0 units per notch (or less) moves nothing.
int32_t wheel_units(WheelAccumulator& wheel, int delta, int units_per_notch);

#endif
