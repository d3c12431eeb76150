#pragma once

#include <cstdint>
#include <span>

namespace vela::engine {

// The quality 0..100 of a fingerprint picture from how well its grey
// profiles on a grid match ridge waves, how much of the picture they cover
// and how central they lie; -4 when the picture cannot be converted. The
// work buffer holds two 640 x 640 canvases (819,200 bytes).
int32_t ComputeImageFeatures(std::span<const uint8_t> bmp, int32_t step, std::span<uint8_t> work, int32_t scannerId,
                             int32_t dataId);

// Correlation of the grey profile at a canvas pixel with the ridge wave that
// fits it, and the mean absolute deviation of the profile.
struct RidgeMatch {
    int32_t correlation;
    int32_t deviation;
};
RidgeMatch MatchRidgePattern(const uint8_t* canvas, int32_t row, int32_t column, int32_t angle);
// The best of the matches at line angles 0, 45, 90 and 135 (the first on ties).
RidgeMatch BestRidgePattern(const uint8_t* canvas, int32_t row, int32_t column);

} // namespace vela::engine
