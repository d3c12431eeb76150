#include "engine/matching/MatchTables.h"

#include <cmath>
#include <cstdlib>

namespace vela::engine {

namespace {

constexpr DirectionCostTable BuildDirectionCost()
{
    DirectionCostTable table{};
    for (int32_t u = 0; u < kDirectionCostValues; ++u) {
        for (int32_t v = 0; v < kDirectionCostValues; ++v) {
            if (u == kNoDirection || v == kNoDirection)
                continue;
            const int32_t a = u % kDirectionSteps;
            const int32_t b = v % kDirectionSteps;
            const int32_t d = a > b ? a - b : b - a;
            const int32_t circular = d < kDirectionSteps - d ? d : kDirectionSteps - d;
            table[u][v] = (static_cast<uint32_t>(circular) << 16) + 1u;
        }
    }
    return table;
}

} // namespace

const DirectionCostTable DirectionCost = BuildDirectionCost();

namespace {

int32_t ComputeRoundDistance(int32_t dx, int32_t dy)
{
    const double squared = static_cast<double>(dx) * dx + static_cast<double>(dy) * dy;
    return static_cast<int32_t>(std::floor(std::sqrt(squared) + 0.5));
}

using RoundDistanceTable = std::array<std::array<int32_t, kMatchDistanceSide>, kMatchDistanceSide>;

RoundDistanceTable BuildRoundDistance()
{
    RoundDistanceTable table{};
    for (int32_t dy = 0; dy < kMatchDistanceSide; ++dy) {
        for (int32_t dx = 0; dx < kMatchDistanceSide; ++dx)
            table[dy][dx] = ComputeRoundDistance(dx, dy);
    }
    return table;
}

const RoundDistanceTable kRoundDistance = BuildRoundDistance();

} // namespace

int32_t MatchRoundDistance(int32_t dx, int32_t dy)
{
    dx = std::abs(dx);
    dy = std::abs(dy);
    if (dx < kMatchDistanceSide && dy < kMatchDistanceSide)
        return kRoundDistance[dy][dx];
    return ComputeRoundDistance(dx, dy);
}

const std::array<int32_t, 27> PairDistanceWeight = {150, 120, 93, 70, 52, 38, 29, 23, 20, 18, 16, 16, 16, 16,
                                                    16,  16,  15, 14, 13, 12, 11, 10, 10, 10, 9,  8,  7};

const std::array<int32_t, 6> PairAngleWeight = {15, 14, 10, 7, 1, 1};

const std::array<int32_t, kScoreCurvePoints> ScoreCurveLower = {
    686,  823,  984,  1095, 1211, 1357, 1537, 1637, 1765, 1839, 1960, 2094, 2187,
    2290, 2416, 2519, 2618, 2721, 2821, 2949, 3026, 3108, 3143, 3243, 3276};

const std::array<int32_t, kScoreCurvePoints> ScoreCurveUpper = {
    1071, 1226, 1398, 1527, 1655, 1819, 2016, 2128, 2274, 2360, 2498, 2644, 2755,
    2876, 3013, 3134, 3245, 3366, 3477, 3623, 3718, 3812, 3864, 3976, 4027};

} // namespace vela::engine
