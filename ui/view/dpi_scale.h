#ifndef PAIREX_UI_VIEW_DPI_SCALE_H
#define PAIREX_UI_VIEW_DPI_SCALE_H

// Pixel measures are written as their values at BASE_DPI and scaled to the window's
// DPI when used.
constexpr int BASE_DPI = 96;

// `value` (a measure at BASE_DPI) at `dpi`, rounded to the nearest pixel, halves away
// from zero. A `dpi` of 0 or less is taken as BASE_DPI.
int dpi_scale(int value, int dpi);

// The inverse: a measure at `dpi` back at BASE_DPI, rounded the same way. For any dpi of
// at least BASE_DPI, dpi_unscale(dpi_scale(v, dpi), dpi) == v.
int dpi_unscale(int value, int dpi);

#endif
