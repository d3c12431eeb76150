#pragma once

#include <array>
#include <cstdint>

#include "engine/records/EngineGeometry.h"

namespace vela::engine {

// DirectionCost[u][v] for block values 0..61: the circular difference of the
// two directions in the high 16 bits and 1 in the low 16 bits, so that a sum
// over overlapping blocks carries the total difference and the number of
// directed pairs at once. 60 counts as 0; a 61 on either side costs nothing.
inline constexpr int32_t kDirectionCostValues = kNoDirection + 1;
using DirectionCostTable = std::array<std::array<uint32_t, kDirectionCostValues>, kDirectionCostValues>;
extern const DirectionCostTable DirectionCost;

// floor(sqrt(dx^2 + dy^2) + 0.5) for 0 <= dx, dy < 20.
inline constexpr int32_t kMatchDistanceSide = 20;
int32_t MatchRoundDistance(int32_t dx, int32_t dy);

// Weight of a close pair by its rounded distance (0..26) and by the
// difference of the two minutia directions (0..5).
extern const std::array<int32_t, 27> PairDistanceWeight;
extern const std::array<int32_t, 6> PairAngleWeight;

// The reference curves of the score, over 8..70 common-area minutiae.
inline constexpr int32_t kScoreCurvePoints = 25;
extern const std::array<int32_t, kScoreCurvePoints> ScoreCurveLower;
extern const std::array<int32_t, kScoreCurvePoints> ScoreCurveUpper;

} // namespace vela::engine
