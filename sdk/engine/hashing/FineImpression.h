#pragma once

#include <cstdint>

#include "engine/records/ImpressionRecord.h"

namespace vela::engine {

// Fine directions: 3-degree units 0..120 turning the other way from the
// 15-degree minutia steps, d' = 120 - 5 d.
inline constexpr int32_t kFineDirections = 120;

// A copy of the impression with its minutia directions in fine units; block
// map and positions unchanged. Directions beyond 24 (corrupt records) are
// taken modulo 24 first.
Impression MakeFineImpression(const Impression& impression);

// The way back: each fine direction d' becomes 24 - RoundHalfAway(d' / 5).
void RestoreDirections(Impression& fine);

// cos and sin of 3 k degrees, k = 0..120.
struct CosSin {
    double cos;
    double sin;
};
const CosSin& CosSin3(int32_t k);

// A minutia pair's vector turned into the frame of a direction k (fine
// units). Valid when its length lies strictly between 5 and 100 half pixels.
inline constexpr int32_t kShortestTurnedSquared = 25;
inline constexpr int32_t kLongestTurnedSquared = 10000;
struct TurnedVector {
    int32_t dx;
    int32_t dy;
    bool valid;
};
TurnedVector RotatePairVector(int32_t dx, int32_t dy, int32_t k);

// Turning and rounding moves a vector's end by less than one half pixel, so
// a pair at most 4 or at least 102 long is out of range however it turns;
// most pairs of an impression are, and callers skip the turn.
inline bool PairSurelyOutOfRange(int32_t dx, int32_t dy)
{
    constexpr int32_t kSurelyShortSquared = 16;
    constexpr int32_t kSurelyLongSquared = 102 * 102;
    const int32_t squared = dx * dx + dy * dy;
    return squared <= kSurelyShortSquared || squared >= kSurelyLongSquared;
}

// The difference of two fine directions folded into -60..60, then in
// 9-degree steps truncated toward zero (-20..20).
int32_t FoldFineDifference(int32_t difference);
int32_t PairAngle(int32_t firstDirection, int32_t secondDirection);

} // namespace vela::engine
