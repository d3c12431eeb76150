#pragma once

#include <array>
#include <cstdint>

#include "engine/records/ImpressionRecord.h"

namespace vela::engine {

// Impressions marked as coming from a smaller sensor area are compared with
// others after enlarging these about the centre: x by 500 / 454, y by 500 / 410.
inline constexpr double kRescaleX = 1.1013215859030836;
inline constexpr double kRescaleY = 1.2195121951219512;

// A block direction after the enlargement: the direction (cos, sin) stretched
// by the two factors and folded into 0..180 degrees. 60 and 61 stay.
using ScaleDirectionTable = std::array<uint8_t, kNoDirection + 1>;
const ScaleDirectionTable& ScaleDirectionMap();

// The impression enlarged about its centre: minutiae that leave the area are
// dropped, each block is sampled from where it came from and its direction
// stretched; blocks that come from off the grid are 61.
Impression RescaleImpression(const Impression& impression);

} // namespace vela::engine
