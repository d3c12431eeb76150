#include "engine/hashing/BuildPairHash.h"

#include <algorithm>

#include "engine/hashing/FineImpression.h"

namespace vela::engine {

namespace {

constexpr int32_t kLowestQuality = 10;
constexpr int32_t kFewestMinutiae = 4;

// Angles -20 and 20 are the same turn: both live in bucket angle 20.
int32_t WrapBucketAngle(int32_t angle)
{
    if (angle < -(kHashAngleRange - 1))
        return kHashAngleRange;
    if (angle > kHashAngleRange)
        return -(kHashAngleRange - 1);
    return angle;
}

void ClearSlot(PairHashSlot& slot)
{
    for (auto& row : slot.features)
        row.fill(PairFeature{});
    for (int32_t index : slot.filledBuckets)
        slot.counts[static_cast<size_t>(index)] = 0;
    slot.filledBuckets.clear();
}

inline __attribute__((always_inline)) void AddPair(PairHashSlot& slot, int32_t index, int32_t i, int32_t j)
{
    uint8_t& count = slot.counts[static_cast<size_t>(index)];
    if (count >= kBucketPairs)
        return;
    if (count == 0)
        slot.filledBuckets.push_back(index);
    slot.pairs[static_cast<size_t>(index)][count] = {static_cast<uint8_t>(i), static_cast<uint8_t>(j)};
    ++count;
}

// Enters the pair into the 27 buckets around its own cell and angle, in the
// order x offset, y offset, angle. A valid feature is shorter than 100 half
// pixels, so every neighbouring cell lies inside the table and the bucket
// indices need no check beyond the one for the whole neighbourhood.
void AddPairToNeighbours(PairHashSlot& slot, const PairFeature& feature, int32_t i, int32_t j)
{
    const int32_t qx = feature.dx / kHashCellSize;
    const int32_t qy = feature.dy / kHashCellSize;
    const bool inside = qx - 1 >= -kHashCellRange && qx + 1 <= kHashCellRange && qy - 1 >= -kHashCellRange &&
                        qy + 1 <= kHashCellRange && feature.angle >= -kHashAngleRange - 1 &&
                        feature.angle <= kHashAngleRange + 1;
    if (!inside) {
        for (int32_t ox = -1; ox <= 1; ++ox)
            for (int32_t oy = -1; oy <= 1; ++oy)
                for (int32_t oa = -1; oa <= 1; ++oa) {
                    const int32_t index = PairBucketIndex(qx + ox, qy + oy, WrapBucketAngle(feature.angle + oa));
                    if (index >= 0)
                        AddPair(slot, index, i, j);
                }
        return;
    }
    const int32_t angles[3] = {WrapBucketAngle(feature.angle - 1) + kHashAngleRange,
                               WrapBucketAngle(feature.angle) + kHashAngleRange,
                               WrapBucketAngle(feature.angle + 1) + kHashAngleRange};
    const int32_t corner = ((qx - 1 + kHashCellRange) * kHashCells + (qy - 1 + kHashCellRange)) * kHashAngles;
    int32_t cells[9];
    for (int32_t ox = 0; ox < 3; ++ox)
        for (int32_t oy = 0; oy < 3; ++oy)
            cells[ox * 3 + oy] = corner + (ox * kHashCells + oy) * kHashAngles;
    // The buckets lie far apart in a table larger than the cache: ask for all
    // of them before the first is written, so that the misses overlap.
    for (int32_t cell : cells) {
        __builtin_prefetch(&slot.counts[static_cast<size_t>(cell + angles[0])], 1);
        __builtin_prefetch(&slot.pairs[static_cast<size_t>(cell + angles[0])], 1);
        __builtin_prefetch(&slot.pairs[static_cast<size_t>(cell + angles[2])], 1);
    }
    for (int32_t cell : cells)
        for (int32_t angle : angles)
            AddPair(slot, cell + angle, i, j);
}

} // namespace

bool RefusesPairHash(const Impression& impression)
{
    return impression.quality < kLowestQuality || impression.count < kFewestMinutiae ||
           impression.count > kMaxMinutiae;
}

PairFeature MakePairFeature(const Impression& fine, int32_t i, int32_t j)
{
    if (i == j)
        return PairFeature{};
    const TurnedVector turned = RotatePairVector(fine.x[j] - fine.x[i], fine.y[j] - fine.y[i], fine.direction[i]);
    if (!turned.valid)
        return PairFeature{};
    return PairFeature{static_cast<int16_t>(turned.dx), static_cast<int16_t>(turned.dy),
                       static_cast<int16_t>(PairAngle(fine.direction[i], fine.direction[j]))};
}

int32_t BuildPairHash(const Impression& impression, PairHashTables& tables)
{
    if (RefusesPairHash(impression))
        return -1;
    for (size_t s = 0; s < tables.slots.size(); ++s) {
        if (tables.slots[s].built && tables.slots[s].source == impression) {
            tables.active = s;
            return 0;
        }
    }
    // The other slot keeps the impression hashed last.
    tables.active = 1 - tables.active;
    PairHashSlot& slot = tables.Active();
    ClearSlot(slot);
    slot.source = impression;
    slot.first = MakeFineImpression(impression);
    slot.built = true;
    const int32_t n = impression.count;
    for (int32_t i = 0; i < n; ++i) {
        for (int32_t j = 0; j < n; ++j)
            slot.features[i][j] = MakePairFeature(slot.first, i, j);
    }
    for (int32_t i = 0; i < n; ++i) {
        for (int32_t j = 0; j < n; ++j) {
            const PairFeature& feature = slot.features[i][j];
            if (feature.angle == kNoPairFeature)
                continue;
            AddPairToNeighbours(slot, feature, i, j);
        }
    }
    return 0;
}

PairBucket PairBucketAt(const PairHashTables& tables, int32_t qx, int32_t qy, int32_t angle)
{
    const int32_t index = PairBucketIndex(qx, qy, angle);
    return index < 0 ? PairBucket{} : tables.Active().Bucket(index);
}

} // namespace vela::engine
