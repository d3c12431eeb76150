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

// Set bits of a word; built for processors without a population count
// instruction, where std::popcount is a library call.
int32_t CountBits(uint64_t word)
{
#if defined(__POPCNT__)
    return std::popcount(word);
#else
    word -= (word >> 1) & 0x5555555555555555u;
    word = (word & 0x3333333333333333u) + ((word >> 2) & 0x3333333333333333u);
    word = (word + (word >> 4)) & 0x0F0F0F0F0F0F0F0Fu;
    return static_cast<int32_t>((word * 0x0101010101010101u) >> 56);
#endif
}

// The word of PairHashSlot::occupied that holds a cell, and its bit there.
struct CellBit {
    size_t word;
    int32_t bit;
};

CellBit CellBitOf(int32_t cell)
{
    const int32_t position = cell / kHashAngles;
    return CellBit{static_cast<size_t>(position / kHashCells * kHashAngles + cell % kHashAngles),
                   position % kHashCells};
}

} // namespace

PairHashSlot::PairHashSlot()
{
    constexpr size_t kMostPairs = kMaxMinutiae * kMaxMinutiae;
    entered.reserve(kMostPairs);
    enteredCell.reserve(kMostPairs);
    grouped.reserve(kMostPairs);
    groupStart.reserve(kMostPairs + 1);
}

void PairHashSlot::Clear()
{
    // Both tables are a few tens of kilobytes: one straight fill costs less
    // than visiting the nine positions around every pair entered.
    std::fill(occupied.begin(), occupied.end(), 0);
    std::fill(reachedAngles.begin(), reachedAngles.end(), 0);
    entered.clear();
    enteredCell.clear();
    grouped.clear();
    groupStart.clear();
}

void PairHashSlot::Enter(int32_t cell, int32_t i, int32_t j)
{
    entered.push_back({static_cast<uint8_t>(i), static_cast<uint8_t>(j)});
    enteredCell.push_back(cell);
    const CellBit at = CellBitOf(cell);
    const uint64_t bit = uint64_t{1} << at.bit;
    if ((occupied[at.word] & bit) != 0)
        return;
    occupied[at.word] |= bit;
    ForEachNearbyPosition(cell, [this](size_t position, uint64_t angles) { reachedAngles[position] |= angles; });
}

void PairHashSlot::Index()
{
    int32_t rank = 0;
    for (size_t word = 0; word < occupied.size(); ++word) {
        rankBefore[word] = static_cast<int16_t>(rank);
        rank += CountBits(occupied[word]);
    }
    // A counting sort by rank keeps each group in entry order.
    constexpr size_t kMostPairs = kMaxMinutiae * kMaxMinutiae;
    std::array<int16_t, kMostPairs> ranks;
    std::array<int16_t, kMostPairs + 1> filled;
    groupStart.assign(static_cast<size_t>(rank) + 1, 0);
    grouped.resize(entered.size());
    for (size_t k = 0; k < enteredCell.size(); ++k) {
        const CellBit at = CellBitOf(enteredCell[k]);
        ranks[k] = static_cast<int16_t>(rankBefore[at.word] +
                                        CountBits(occupied[at.word] & ((uint64_t{1} << at.bit) - 1)));
        ++groupStart[static_cast<size_t>(ranks[k]) + 1];
    }
    for (size_t r = 1; r < groupStart.size(); ++r)
        groupStart[r] = static_cast<int16_t>(groupStart[r] + groupStart[r - 1]);
    std::copy(groupStart.begin(), groupStart.end(), filled.begin());
    for (size_t k = 0; k < enteredCell.size(); ++k)
        grouped[static_cast<size_t>(filled[static_cast<size_t>(ranks[k])]++)] = static_cast<int16_t>(k);
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
    const int32_t x = qx + kHashCellRange;
    const int32_t y = qy + kHashCellRange;
    for (int32_t s = 0; s < sources.count; ++s) {
        const AngleSource& source = sources.sources[static_cast<size_t>(s)];
        for (int32_t column = std::max(x - 1, 0); column <= std::min(x + 1, kHashCells - 1); ++column) {
            const size_t word = static_cast<size_t>(column * kHashAngles + source.angle + kHashAngleRange);
            const uint64_t cells = occupied[word];
            // Bits y - 1 .. y + 1 of the word; y - 1 is off the table when y is 0.
            const int32_t lowest = std::max(y - 1, 0);
            const uint64_t near = (cells >> lowest) & (y == 0 ? 3 : 7);
            if (near == 0)
                continue;
            // The near cells take the ranks after those of the word's lower cells.
            int32_t rank = rankBefore[word] + CountBits(cells & ((uint64_t{1} << lowest) - 1));
            for (uint64_t bits = near; bits != 0; bits &= bits - 1, ++rank) {
                const int32_t end = std::min<int32_t>(groupStart[static_cast<size_t>(rank) + 1],
                                                      groupStart[static_cast<size_t>(rank)] + kBucketPairs);
                for (int32_t k = groupStart[static_cast<size_t>(rank)]; k < end; ++k)
                    found[count++] = Reach{grouped[static_cast<size_t>(k)], static_cast<int16_t>(source.times)};
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
}

PairHashTables* AttachPairHashTables(MatchContext& context)
{
    if (context.pairHash)
        return context.pairHash.get();
    try {
        std::unique_ptr<PairHashTables, PairHashTablesDeleter> tables(
            new PairHashTables(), PairHashTablesDeleter{&DestroyPairHashTables});
        context.pairHash = std::move(tables);
        return context.pairHash.get();
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

} // namespace vela::engine
