#include "engine/hashing/PairHashTables.h"

#include <algorithm>
#include <bit>
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

// The cells (x, y, a) within one cell of an own cell (qx, qy, a), as
// indexes of PairHashSlot::nearbyCells, and the bit there that names it.
template <class Visit>
void ForEachNearbyCell(int32_t cell, Visit visit)
{
    const int32_t position = cell / kHashAngles;
    const int32_t qx = position / kHashCells;
    const int32_t qy = position % kHashCells;
    const int32_t angle = cell % kHashAngles;
    for (int32_t x = std::max(qx - 1, 0); x <= std::min(qx + 1, kHashCells - 1); ++x)
        for (int32_t y = std::max(qy - 1, 0); y <= std::min(qy + 1, kHashCells - 1); ++y)
            visit(static_cast<size_t>((x * kHashCells + y) * kHashAngles + angle),
                  static_cast<uint16_t>(1u << (3 * (x - qx + 1) + (y - qy + 1))));
}

} // namespace

void PairHashSlot::Clear()
{
    for (int32_t cell : usedCells) {
        ForEachNearbyCell(cell, [this](size_t nearby, uint16_t) { nearbyCells[nearby] = 0; });
        ForEachNearbyPosition(cell, [this](size_t position, uint64_t) { reachedAngles[position] = 0; });
    }
    usedCells.clear();
    entered.clear();
    nextInCell.clear();
}

void PairHashSlot::Enter(int32_t cell, int32_t i, int32_t j)
{
    constexpr uint16_t kOwnCellBit = 1u << 4;
    const int16_t at = static_cast<int16_t>(entered.size());
    entered.push_back({static_cast<uint8_t>(i), static_cast<uint8_t>(j)});
    nextInCell.push_back(-1);
    CellList& list = cellLists[static_cast<size_t>(cell)];
    if ((nearbyCells[static_cast<size_t>(cell)] & kOwnCellBit) == 0) {
        list.head = at;
        usedCells.push_back(cell);
        ForEachNearbyCell(cell, [this](size_t nearby, uint16_t bit) { nearbyCells[nearby] |= bit; });
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

void PairHashSlot::GatherBucket(int32_t qx, int32_t qy, int32_t angle, PairBucket& bucket) const
{
    const AngleSources& sources = SourcesOfBucketAngle(angle);
    // The first five entries that reach the bucket, in entry order; from each
    // contributing cell only its first five can be among them.
    struct Reach {
        int16_t at;
        int16_t times;
    };
    std::array<Reach, 9 * 4 * kBucketPairs> found;
    size_t count = 0;
    const int32_t position = (qx + kHashCellRange) * kHashCells + qy + kHashCellRange;
    for (int32_t s = 0; s < sources.count; ++s) {
        const AngleSource& source = sources.sources[static_cast<size_t>(s)];
        const int32_t sameAngle = position * kHashAngles + source.angle + kHashAngleRange;
        for (uint32_t cells = nearbyCells[static_cast<size_t>(sameAngle)]; cells != 0; cells &= cells - 1) {
            const int32_t bit = std::countr_zero(cells);
            const int32_t ox = bit / 3 - 1;
            const int32_t oy = bit % 3 - 1;
            const int32_t cell = sameAngle - (ox * kHashCells + oy) * kHashAngles;
            int32_t taken = 0;
            for (int16_t at = cellLists[static_cast<size_t>(cell)].head; at >= 0 && taken < kBucketPairs;
                 at = nextInCell[static_cast<size_t>(at)], ++taken)
                found[count++] = Reach{at, static_cast<int16_t>(source.times)};
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
