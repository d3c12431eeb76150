#include "engine/hashing/BuildPairHash.h"

#include <algorithm>
#include <array>

#include "engine/hashing/FineImpression.h"
#include "engine/records/RoundHalfAway.h"

namespace vela::engine {

namespace {

constexpr int32_t kLowestQuality = 10;
constexpr int32_t kFewestMinutiae = 4;

} // namespace

bool RefusesPairHash(const Impression& impression)
{
    return impression.quality < kLowestQuality || impression.count < kFewestMinutiae ||
           impression.count > kMaxMinutiae;
}

PairFeature MakePairFeature(const Impression& fine, int32_t i, int32_t j)
{
    const int32_t dx = fine.x[j] - fine.x[i];
    const int32_t dy = fine.y[j] - fine.y[i];
    if (i == j || PairSurelyOutOfRange(dx, dy))
        return PairFeature{};
    const TurnedVector turned = RotatePairVector(dx, dy, fine.direction[i]);
    if (!turned.valid)
        return PairFeature{};
    return PairFeature{static_cast<int16_t>(turned.dx), static_cast<int16_t>(turned.dy),
                       static_cast<int16_t>(PairAngle(fine.direction[i], fine.direction[j]))};
}

namespace {

// PairAngle of every difference of two fine directions, -120..120.
std::array<int16_t, 2 * kFineDirections + 1> MakePairAngles()
{
    std::array<int16_t, 2 * kFineDirections + 1> angles{};
    for (int32_t difference = -kFineDirections; difference <= kFineDirections; ++difference)
        angles[static_cast<size_t>(difference + kFineDirections)] =
            static_cast<int16_t>(FoldFineDifference(difference) / 3);
    return angles;
}

// MakePairFeature for every pair, without a branch per pair: whether a pair
// is in range cannot be predicted, so every pair of a row is turned, in
// loops over plain arrays that the compiler runs several pairs at a time,
// and the feature kept or not by a mask; the arithmetic is MakePairFeature's.
void FillPairFeatures(const Impression& fine, PairFeatureTable& features)
{
    static const std::array<int16_t, 2 * kFineDirections + 1> pairAngles = MakePairAngles();
    for (auto& row : features)
        row.fill(PairFeature{});
    const int32_t n = std::min<int32_t>(fine.count, kMaxMinutiae);
    std::array<int32_t, kMaxMinutiae> turnedX;
    std::array<int32_t, kMaxMinutiae> turnedY;
    std::array<int32_t, kMaxMinutiae> dxs;
    std::array<int32_t, kMaxMinutiae> dys;
    for (int32_t i = 0; i < n; ++i) {
        const CosSin& turn = CosSin3(fine.direction[i]);
        const double cosine = turn.cos;
        const double sine = turn.sin;
        for (int32_t j = 0; j < n; ++j) {
            dxs[j] = fine.x[j] - fine.x[i];
            dys[j] = fine.y[j] - fine.y[i];
        }
        for (int32_t j = 0; j < n; ++j) {
            turnedX[j] = RoundSmallHalfAway(dxs[j] * cosine - dys[j] * sine);
            turnedY[j] = RoundSmallHalfAway(dys[j] * cosine + dxs[j] * sine);
        }
        for (int32_t j = 0; j < n; ++j) {
            const int32_t x = turnedX[j];
            const int32_t y = turnedY[j];
            const int32_t squared = x * x + y * y;
            const bool valid = (i != j) & !PairSurelyOutOfRange(dxs[j], dys[j]) &
                               (squared > kShortestTurnedSquared) & (squared < kLongestTurnedSquared);
            const int16_t angle = pairAngles[static_cast<size_t>(fine.direction[j] - fine.direction[i] + kFineDirections)];
            const PairFeature feature{static_cast<int16_t>(x), static_cast<int16_t>(y), angle};
            features[i][j] = valid ? feature : PairFeature{};
        }
    }
}

} // namespace

const PairFeatureTable& PairFeaturesOf(PairHashTables& tables, const Impression& impression)
{
    for (const PairHashSlot& slot : tables.slots) {
        if (slot.built && slot.source == impression)
            return slot.features;
    }
    if (!tables.alignedBuilt || !(tables.alignedSource == impression)) {
        FillPairFeatures(MakeFineImpression(impression), tables.alignedFeatures);
        tables.alignedSource = impression;
        tables.alignedBuilt = true;
    }
    return tables.alignedFeatures;
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
    slot.Clear();
    slot.source = impression;
    slot.first = MakeFineImpression(impression);
    slot.built = true;
    if (tables.alignedBuilt && tables.alignedSource == impression)
        slot.features = tables.alignedFeatures;
    else
        FillPairFeatures(slot.first, slot.features);
    const int32_t n = impression.count;
    for (int32_t i = 0; i < n; ++i) {
        for (int32_t j = 0; j < n; ++j) {
            const PairFeature& feature = slot.features[i][j];
            if (feature.angle == kNoPairFeature)
                continue;
            // A valid feature is shorter than 100 half pixels: its cell lies
            // inside the table.
            const int32_t cell = PairBucketIndex(feature.dx / kHashCellSize, feature.dy / kHashCellSize, feature.angle);
            if (cell >= 0)
                slot.Enter(cell, i, j);
        }
    }
    slot.Index();
    return 0;
}

PairBucket PairBucketAt(const PairHashTables& tables, int32_t qx, int32_t qy, int32_t angle)
{
    const int32_t index = PairBucketIndex(qx, qy, angle);
    return index < 0 ? PairBucket{} : tables.Active().Bucket(index);
}

} // namespace vela::engine
