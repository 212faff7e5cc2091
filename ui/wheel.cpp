#include "ui/wheel.h"

#include <algorithm>

namespace {
// Keeps delta * units far inside 64 bits whatever the system setting says.
constexpr int MAX_UNITS_PER_NOTCH = 1 << 20;
}  // namespace

int32_t wheel_units(WheelAccumulator& wheel, int delta, int units_per_notch) {
    if (units_per_notch <= 0) {
        wheel.rest = 0;
        return 0;
    }
    if ((delta > 0 && wheel.rest < 0) || (delta < 0 && wheel.rest > 0)) {
        wheel.rest = 0;
    }
    wheel.rest += static_cast<int64_t>(delta) * std::min(units_per_notch, MAX_UNITS_PER_NOTCH);
    const int64_t units = wheel.rest / WHEEL_NOTCH;  // towards zero: the rest keeps its sign
    wheel.rest -= units * WHEEL_NOTCH;
    return static_cast<int32_t>(std::clamp<int64_t>(units, INT32_MIN, INT32_MAX));
}
