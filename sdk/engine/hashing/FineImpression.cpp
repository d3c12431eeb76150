#include "engine/hashing/FineImpression.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <numbers>

#include "engine/records/RoundHalfAway.h"

namespace vela::engine {

namespace {


const std::array<CosSin, kFineDirections + 1>& CosSinTable()
{
    static const std::array<CosSin, kFineDirections + 1> table = [] {
        std::array<CosSin, kFineDirections + 1> values{};
        for (int32_t k = 0; k <= kFineDirections; ++k) {
            const double radians = 3.0 * k * std::numbers::pi / 180.0;
            values[k] = CosSin{std::cos(radians), std::sin(radians)};
        }
        return values;
    }();
    return table;
}

} // namespace

Impression MakeFineImpression(const Impression& impression)
{
    Impression fine = impression;
    const int32_t count = std::min<int32_t>(impression.count, kMaxMinutiae);
    for (int32_t i = 0; i < count; ++i) {
        const int32_t d = impression.direction[i] <= kMinutiaDirections ? impression.direction[i]
                                                                         : impression.direction[i] % kMinutiaDirections;
        fine.direction[i] = static_cast<uint8_t>(kFineDirections - 5 * d);
    }
    return fine;
}

void RestoreDirections(Impression& fine)
{
    for (int32_t i = 0; i < std::min<int32_t>(fine.count, kMaxMinutiae); ++i)
        fine.direction[i] = static_cast<uint8_t>(kMinutiaDirections - RoundHalfAway(fine.direction[i] / 5.0));
}

const CosSin& CosSin3(int32_t k)
{
    return CosSinTable()[static_cast<size_t>(k)];
}

TurnedVector RotatePairVector(int32_t dx, int32_t dy, int32_t k)
{
    if (PairSurelyOutOfRange(dx, dy))
        return TurnedVector{0, 0, false};
    const CosSin& turn = CosSin3(k);
    const int32_t x = RoundSmallHalfAway(dx * turn.cos - dy * turn.sin);
    const int32_t y = RoundSmallHalfAway(dy * turn.cos + dx * turn.sin);
    const int32_t squared = x * x + y * y;
    return TurnedVector{x, y, squared > kShortestTurnedSquared && squared < kLongestTurnedSquared};
}

int32_t FoldFineDifference(int32_t difference)
{
    if (difference > kFineDirections / 2)
        return difference - kFineDirections;
    if (difference < -kFineDirections / 2)
        return difference + kFineDirections;
    return difference;
}

int32_t PairAngle(int32_t firstDirection, int32_t secondDirection)
{
    return FoldFineDifference(secondDirection - firstDirection) / 3;
}

} // namespace vela::engine
