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

// What one bucket holds: its first pairs (i, j) in the order they were entered.
struct PairBucket {
    uint8_t count = 0;
    std::array<std::array<uint8_t, 2>, kBucketPairs> pairs{};
};

// The bucket of a cell and angle, or -1 outside the table.
inline int32_t PairBucketIndex(int32_t qx, int32_t qy, int32_t angle)
{
    if (qx < -kHashCellRange || qx > kHashCellRange || qy < -kHashCellRange || qy > kHashCellRange ||
        angle < -kHashAngleRange || angle > kHashAngleRange)
        return -1;
    return ((qx + kHashCellRange) * kHashCells + (qy + kHashCellRange)) * kHashAngles + (angle + kHashAngleRange);
}

// The pair hash of one impression (`first`, with directions in fine units,
// built from `source`). A pair belongs in the 27 buckets around its own cell
// and angle, and a bucket keeps the first five pairs that reach it. Written
// out, that table is 1.2 MB of scattered writes for every impression hashed,
// while a comparison reads one bucket per pair of the other impression; so
// each pair is kept once, under its own cell, and a bucket is gathered from
// the cells around it when it is read. What a bucket holds is the same.
using PairFeatureTable = std::array<std::array<PairFeature, kMaxMinutiae>, kMaxMinutiae>;   // [i][j]

struct PairHashSlot {
    PairHashSlot();

    PairFeatureTable features{};

    bool built = false;
    Impression source;
    Impression first;

    void Clear();
    // Enters pair (i, j) under its own cell (an index of PairBucketIndex);
    // the buckets read what was entered once Index has run.
    void Enter(int32_t cell, int32_t i, int32_t j);
    void Index();
    // The bucket of an index of PairBucketIndex, or of a cell and angle
    // (empty outside the table).
    PairBucket Bucket(int32_t index) const;
    PairBucket Bucket(int32_t qx, int32_t qy, int32_t angle) const
    {
        PairBucket bucket;
        ReadBucket(qx, qy, angle, bucket);
        return bucket;
    }
    // The same, written into a bucket the caller keeps: the comparison reads
    // thousands, most of them empty, and a copy through the stack costs more
    // than the look that tells them empty.
    void ReadBucket(int32_t qx, int32_t qy, int32_t angle, PairBucket& into) const
    {
        into.count = 0;
        if (PairBucketIndex(qx, qy, angle) < 0)
            return;
        const size_t position = static_cast<size_t>((qx + kHashCellRange) * kHashCells + qy + kHashCellRange);
        if (((reachedAngles[position] >> (angle + kHashAngleRange)) & 1) == 0)
            return;
        GatherBucket(qx, qy, angle, into);
    }

private:
    void GatherBucket(int32_t qx, int32_t qy, int32_t angle, PairBucket& bucket) const;

    // A table of every cell would be megabytes of scattered writes for each
    // impression hashed; the few hundred pairs are kept small instead.
    // The pairs in the order they were entered, and each one's own cell.
    std::vector<std::array<uint8_t, 2>> entered;
    std::vector<int32_t> enteredCell;
    // Which own cells hold pairs: for each (qx, angle) one word, bit qy. The
    // three cells of a column next to each other are one shift of a word.
    std::vector<uint64_t> occupied = std::vector<uint64_t>(kHashCells * kHashAngles);
    // Occupied cells in the words before each word: with the bits below a
    // cell's own in its word, the cell's rank among all occupied cells.
    std::vector<int16_t> rankBefore = std::vector<int16_t>(kHashCells * kHashAngles);
    // The entered pairs grouped by the rank of their cell, each group in
    // entry order, as indexes into `entered`; group r begins at groupStart[r].
    std::vector<int16_t> grouped;
    std::vector<int16_t> groupStart;
    // For each cell position (qx, qy), bit b + 20 set when the bucket of
    // angle b there can hold pairs: an own cell whose pairs reach that angle
    // lies within one cell either way. Most buckets read are empty, and this
    // tells so with one look.
    std::vector<uint64_t> reachedAngles = std::vector<uint64_t>(kHashCells * kHashCells);
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

    // The pair features of the impression aligned last when no slot held
    // them: a comparison the other way round hashes that impression next.
    bool alignedBuilt = false;
    Impression alignedSource;
    PairFeatureTable alignedFeatures{};

    PairHashSlot& Active() { return slots[active]; }
    const PairHashSlot& Active() const { return slots[active]; }
};

// The context's tables, attached on first use; nullptr when memory runs out.
PairHashTables* AttachPairHashTables(MatchContext& context);

} // namespace vela::engine
