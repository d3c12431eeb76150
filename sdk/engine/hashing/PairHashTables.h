#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "engine/matching/MatchContext.h"
#include "engine/records/ImpressionRecord.h"

namespace vela::engine {

// What the hash alignment found: the working estimate is written by every
// step of a comparison, the handed-out one only when an alignment succeeds
// (until then its rotation is kNoRotation).
inline constexpr int16_t kNoRotation = 200;
struct AlignmentEstimate {
    int16_t meanCount = 0;   // mean minutiae count of the two impressions
    int16_t inliers = 0;
    int16_t rotation = 0;    // degrees
    int16_t xShift = 0;      // half pixels
    int16_t yShift = 0;
};

// A minutia pair seen from its first minutia: the vector to the second one
// turned into the first one's frame, and the difference of their directions
// in 9-degree steps (-20..20), or kNoPairFeature.
inline constexpr int16_t kNoPairFeature = 300;
struct PairFeature {
    int16_t dx = 0;
    int16_t dy = 0;
    int16_t angle = kNoPairFeature;
};

// The pair hash: cells of 4 x 4 half pixels in the first minutia's frame
// (-26..26 each way) by direction difference (-20..20); each bucket holds at
// most 5 pairs (i, j) of the first impression's minutiae.
inline constexpr int32_t kHashCellSize = 4;                          // half pixels a cell spans
inline constexpr int32_t kHashCellRange = 26;
inline constexpr int32_t kHashCells = 2 * kHashCellRange + 1;       // 53
inline constexpr int32_t kHashAngleRange = 20;
inline constexpr int32_t kHashAngles = 2 * kHashAngleRange + 1;     // 41
inline constexpr int32_t kHashBuckets = kHashCells * kHashCells * kHashAngles;
inline constexpr int32_t kBucketPairs = 5;

using BucketPairs = std::array<std::array<uint8_t, 2>, kBucketPairs>;

// What one bucket holds: its count and its pairs (i, j), read in place.
struct PairBucket {
    uint8_t count = 0;
    const std::array<uint8_t, 2>* pairs = nullptr;
};

// The bucket of a cell and angle, or -1 outside the table.
inline int32_t PairBucketIndex(int32_t qx, int32_t qy, int32_t angle)
{
    if (qx < -kHashCellRange || qx > kHashCellRange || qy < -kHashCellRange || qy > kHashCellRange ||
        angle < -kHashAngleRange || angle > kHashAngleRange)
        return -1;
    return ((qx + kHashCellRange) * kHashCells + (qy + kHashCellRange)) * kHashAngles + (angle + kHashAngleRange);
}

// The pair hash of one impression (`first`, with directions in fine
// units, built from `source`). A rebuild clears only the buckets the
// previous build filled, so that comparing stays cheap.
struct PairHashSlot {
    std::array<std::array<PairFeature, kMaxMinutiae>, kMaxMinutiae> features{};   // [i][j]
    // The counts lie apart from the pairs: every pair a build enters reads 27
    // counts, and the 115,000 counts stay in the cache where the whole table
    // (1.2 MB) would not.
    std::vector<uint8_t> counts = std::vector<uint8_t>(kHashBuckets);
    std::vector<BucketPairs> pairs = std::vector<BucketPairs>(kHashBuckets);
    std::vector<int32_t> filledBuckets;      // every bucket the last build put a first pair into

    PairBucket Bucket(int32_t index) const
    {
        return PairBucket{counts[static_cast<size_t>(index)], pairs[static_cast<size_t>(index)].data()};
    }

    bool built = false;
    Impression source;
    Impression first;
};

// The tables describe the impression they were last built from, the active
// slot. Two slots keep the first impression's hash while the reverse
// comparison hashes the second one, so that neither is built twice.
struct PairHashTables {
    std::array<std::array<int32_t, kMaxMinutiae>, kMaxMinutiae> votes{};          // [second][first]
    std::array<PairHashSlot, 2> slots;
    size_t active = 0;

    AlignmentEstimate working;
    AlignmentEstimate handedOut;

    PairHashSlot& Active() { return slots[active]; }
    const PairHashSlot& Active() const { return slots[active]; }
};

// The context's tables, attached on first use; nullptr when memory runs out.
PairHashTables* AttachPairHashTables(MatchContext& context);

} // namespace vela::engine
