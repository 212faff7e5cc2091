#include "ui/view/dpi_scale.h"

#include <climits>
#include <cstdint>

namespace {

// value * numerator / denominator rounded to nearest, halves away from zero, held to
// the int range (denominator > 0).
int scale_by(int value, int numerator, int denominator) {
    const int64_t product = int64_t{value} * numerator;
    const int64_t half = denominator / 2;
    const int64_t q =
        product >= 0 ? (product + half) / denominator : -((-product + half) / denominator);
    return static_cast<int>(q > INT_MAX ? INT_MAX : q < INT_MIN ? INT_MIN : q);
}

int held_dpi(int dpi) {
    return dpi > 0 ? dpi : BASE_DPI;
}

}  // namespace

int dpi_scale(int value, int dpi) {
    return scale_by(value, held_dpi(dpi), BASE_DPI);
}

int dpi_unscale(int value, int dpi) {
    return scale_by(value, BASE_DPI, held_dpi(dpi));
}
