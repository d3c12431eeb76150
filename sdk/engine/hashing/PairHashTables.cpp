#include "engine/hashing/PairHashTables.h"

#include <algorithm>
#include <new>

namespace vela::engine {

namespace {

void DestroyPairHashTables(PairHashTables* tables)
{
    delete tables;
}

// A pair of angle a is entered at the angles a - 1, a and a + 1, folded so
// that -20 and 20 share the bucket angle 20 (only -19..20 are filled).
int32_t WrapBucketAngle(int32_t angle)
{
    if (angle < -(kHashAngleRange - 1))
        return kHashAngleRange;
    if (angle > kHashAngleRange)
        return -(kHashAngleRange - 1);
    return angle;
}

// For a bucket angle, the own angles whose pairs reach it and how many times
// each does (a pair of angle -20 reaches bucket angle 20 twice).
struct AngleSource {
    int32_t angle;
    int32_t times;
};
struct AngleSources {
    std::array<AngleSource, 4> sources{};
    int32_t count = 0;
    uint64_t mask = 0;  // bit a + 20 for each own angle a
};

std::array<AngleSources, kHashAngles> MakeAngleSources()
{
    std::array<AngleSources, kHashAngles> table{};
    for (int32_t own = -kHashAngleRange; own <= kHashAngleRange; ++own) {
        for (int32_t turn = -1; turn <= 1; ++turn) {
            AngleSources& into = table[static_cast<size_t>(WrapBucketAngle(own + turn) + kHashAngleRange)];
            int32_t k = 0;
            while (k < into.count && into.sources[static_cast<size_t>(k)].angle != own)
                ++k;
            if (k == into.count)
                into.sources[static_cast<size_t>(into.count++)] = AngleSource{own, 0};
            ++into.sources[static_cast<size_t>(k)].times;
            into.mask |= uint64_t{1} << (own + kHashAngleRange);
        }
    }
    return table;
}

const AngleSources& SourcesOfBucketAngle(int32_t angle)
{
    static const std::array<AngleSources, kHashAngles> table = MakeAngleSources();
    return table[static_cast<size_t>(angle + kHashAngleRange)];
}

// The cell positions (qx, qy) within one cell of an own cell, as indexes of
// PairHashSlot::reachedAngles, and the bits of the bucket angles its pairs reach.
template <class Visit>
void ForEachNearbyPosition(int32_t cell, Visit visit)
{
    const int32_t position = cell / kHashAngles;
    const int32_t qx = position / kHashCells;
    const int32_t qy = position % kHashCells;
    const int32_t own = cell % kHashAngles - kHashAngleRange;
    uint64_t angleBit = 0;
    for (int32_t turn = -1; turn <= 1; ++turn)
        angleBit |= uint64_t{1} << (WrapBucketAngle(own + turn) + kHashAngleRange);
    for (int32_t x = std::max(qx - 1, 0); x <= std::min(qx + 1, kHashCells - 1); ++x)
        for (int32_t y = std::max(qy - 1, 0); y <= std::min(qy + 1, kHashCells - 1); ++y)
            visit(static_cast<size_t>(x * kHashCells + y), angleBit);
}

} // namespace

void PairHashSlot::Clear()
{
    for (int32_t cell : usedCells) {
        occupied[static_cast<size_t>(cell / kHashAngles)] = 0;
        ForEachNearbyPosition(cell, [this](size_t position, uint64_t) { reachedAngles[position] = 0; });
    }
    usedCells.clear();
    entered.clear();
    nextInCell.clear();
}

void PairHashSlot::Enter(int32_t cell, int32_t i, int32_t j)
{
    const int16_t at = static_cast<int16_t>(entered.size());
    entered.push_back({static_cast<uint8_t>(i), static_cast<uint8_t>(j)});
    nextInCell.push_back(-1);
    CellList& list = cellLists[static_cast<size_t>(cell)];
    uint64_t& angles = occupied[static_cast<size_t>(cell / kHashAngles)];
    const uint64_t angleBit = uint64_t{1} << (cell % kHashAngles);
    if ((angles & angleBit) == 0) {
        angles |= angleBit;
        list.head = at;
        usedCells.push_back(cell);
        ForEachNearbyPosition(cell, [this](size_t position, uint64_t bit) { reachedAngles[position] |= bit; });
    } else {
        nextInCell[static_cast<size_t>(list.tail)] = at;
    }
    list.tail = at;
}

PairBucket PairHashSlot::Bucket(int32_t index) const
{
    if (index < 0 || index >= kHashBuckets)
        return PairBucket{};
    const int32_t angle = index % kHashAngles - kHashAngleRange;
    const int32_t qy = index / kHashAngles % kHashCells - kHashCellRange;
    const int32_t qx = index / kHashAngles / kHashCells - kHashCellRange;
    return Bucket(qx, qy, angle);
}

PairBucket PairHashSlot::GatherBucket(int32_t qx, int32_t qy, int32_t angle) const
{
    PairBucket bucket;
    const AngleSources& sources = SourcesOfBucketAngle(angle);
    // The first five entries that reach the bucket, in entry order; from each
    // contributing cell only its first five can be among them.
    struct Reach {
        int16_t at;
        int16_t times;
    };
    std::array<Reach, 9 * 4 * kBucketPairs> found;
    size_t count = 0;
    for (int32_t ox = -1; ox <= 1; ++ox) {
        for (int32_t oy = -1; oy <= 1; ++oy) {
            const int32_t px = qx - ox + kHashCellRange;
            const int32_t py = qy - oy + kHashCellRange;
            if (px < 0 || px >= kHashCells || py < 0 || py >= kHashCells)
                continue;
            const uint64_t angles = occupied[static_cast<size_t>(px * kHashCells + py)] & sources.mask;
            if (angles == 0)
                continue;
            for (int32_t s = 0; s < sources.count; ++s) {
                const AngleSource& source = sources.sources[static_cast<size_t>(s)];
                if (!((angles >> (source.angle + kHashAngleRange)) & 1))
                    continue;
                const int32_t cell = (px * kHashCells + py) * kHashAngles + source.angle + kHashAngleRange;
                int32_t taken = 0;
                for (int16_t at = cellLists[static_cast<size_t>(cell)].head; at >= 0 && taken < kBucketPairs;
                     at = nextInCell[static_cast<size_t>(at)], ++taken)
                    found[count++] = Reach{at, static_cast<int16_t>(source.times)};
            }
        }
    }
    // Few entries: an insertion sort by entry order.
    for (size_t k = 1; k < count; ++k) {
        const Reach moving = found[k];
        size_t m = k;
        for (; m > 0 && found[m - 1].at > moving.at; --m)
            found[m] = found[m - 1];
        found[m] = moving;
    }
    for (size_t k = 0; k < count && bucket.count < kBucketPairs; ++k)
        for (int32_t t = 0; t < found[k].times && bucket.count < kBucketPairs; ++t)
            bucket.pairs[bucket.count++] = entered[static_cast<size_t>(found[k].at)];
    return bucket;
}

PairHashTables* AttachPairHashTables(MatchContext& context)
{
    if (context.pairHash)
        return context.pairHash.get();
    try {
        std::unique_ptr<PairHashTables, PairHashTablesDeleter> tables(
            new PairHashTables(), PairHashTablesDeleter{&DestroyPairHashTables});
        for (PairHashSlot& slot : tables->slots) {
            slot.entered.reserve(kMaxMinutiae * kMaxMinutiae);
            slot.nextInCell.reserve(kMaxMinutiae * kMaxMinutiae);
            slot.usedCells.reserve(kMaxMinutiae * kMaxMinutiae);
        }
        context.pairHash = std::move(tables);
        return context.pairHash.get();
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

} // namespace vela::engine
