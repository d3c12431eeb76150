#pragma once
// Document units: every length of the library is an integer in thousandths of a screen
// pixel at 100 %; the panel's scale is a percentage.

#include <cstdint>

namespace pv::graphics {

inline constexpr int32_t PixelScale = 1000;

// Document units to pixels at the given scale (rounded as MulDiv rounds).
int32_t ScaleValue(int32_t value, int32_t scale);
// Pixels at the given scale to document units.
int32_t UnScaleValue(int32_t value, int32_t scale);

// Pixels at 100 % to document units, and back (truncating towards zero).
constexpr int32_t PixelsToUnits(int32_t pixels) { return pixels * PixelScale; }
constexpr int32_t UnitsToPixels(int32_t units) { return units / PixelScale; }

}  // namespace pv::graphics
