#include "engine/matching/AlignBlockMaps.h"

#include <algorithm>

#include "engine/matching/MapCache.h"
#include "engine/matching/MatchTables.h"

namespace vela::engine {

namespace {

// The shift grid of the coarse and full searches.
constexpr int32_t kRowShiftLimit = 8;
constexpr int32_t kColumnShiftLimit = 6;
constexpr int32_t kGridStep = 2;

constexpr int32_t kNeighbours[8][2] = {{-1, -1}, {-1, 0}, {-1, 1}, {0, -1}, {0, 1}, {1, -1}, {1, 0}, {1, 1}};

uint32_t SumDirectionCost(const BlockMap& first, const BlockMap& second, int32_t columnShift, int32_t rowShift,
                          int32_t step)
{
    const int32_t rowBegin = std::max(0, rowShift);
    const int32_t rowEnd = std::min(kBlockRows, kBlockRows + rowShift);
    const int32_t columnBegin = std::max(0, columnShift);
    const int32_t columnEnd = std::min(kBlockColumns, kBlockColumns + columnShift);
    // A coarse evaluation keeps to the even rows and columns of the second map.
    const int32_t firstRow = step == 1 ? rowBegin : rowBegin + (rowBegin & 1);
    const int32_t firstColumn = step == 1 ? columnBegin : columnBegin + (columnBegin & 1);
    uint32_t sum = 0;
    for (int32_t r = firstRow; r < rowEnd; r += step) {
        const int32_t secondRow = r * kBlockColumns;
        const int32_t firstRowStart = (r - rowShift) * kBlockColumns - columnShift;
        for (int32_t c = firstColumn; c < columnEnd; c += step)
            sum += DirectionCost[first[firstRowStart + c]][second[secondRow + c]];
    }
    return sum;
}

AlignmentCost CostFromSum(uint32_t sum)
{
    AlignmentCost cost;
    cost.pairs = static_cast<int32_t>(sum & 0xFFFFu);
    const int32_t total = static_cast<int32_t>(sum >> 16);
    if (cost.pairs > 0)
        cost.difference = 100 * total / cost.pairs;
    return cost;
}

AlignmentCost WithMinimumPairs(AlignmentCost cost, int32_t minimumPairs)
{
    if (cost.pairs < minimumPairs)
        cost.difference = kNoAlignmentDifference;
    return cost;
}

struct Candidate {
    int32_t columnShift;
    int32_t rowShift;
    AlignmentCost cost;
};

Alignment ToAlignment(const Candidate& candidate, int32_t rotation)
{
    Alignment alignment;
    alignment.columnShift = candidate.columnShift;
    alignment.rowShift = candidate.rowShift;
    alignment.rotation = rotation;
    alignment.overlap = candidate.cost.pairs;
    alignment.difference = candidate.cost.difference;
    return alignment;
}

// The costs of the current first impression's maps against one second map,
// through the padded layouts; a shift beyond their padding falls back to the
// block-by-block sum, which gives the same costs.
class ShiftCosts {
public:
    ShiftCosts(const MapCacheSlot& slot, const BlockMap& second) : slot_(slot), second_(second), laidOut_(second) {}

    AlignmentCost Full(int32_t rotation, int32_t columnShift, int32_t rowShift, int32_t minimumPairs) const
    {
        uint32_t sum = 0;
        if (!PaddedDirectionCost(slot_.Padded(rotation), laidOut_, columnShift, rowShift, false, sum))
            return EvaluateAlignmentFull(slot_.Map(rotation), second_, columnShift, rowShift, minimumPairs);
        return WithMinimumPairs(CostFromSum(sum), minimumPairs);
    }

    AlignmentCost Coarse(int32_t rotation, int32_t columnShift, int32_t rowShift) const
    {
        uint32_t sum = 0;
        if (!PaddedDirectionCost(slot_.Padded(rotation), laidOut_, columnShift, rowShift, true, sum))
            return EvaluateAlignmentCoarse(slot_.Map(rotation), second_, columnShift, rowShift);
        return CostFromSum(sum);
    }

private:
    const MapCacheSlot& slot_;
    const BlockMap& second_;
    const SecondBlockMap laidOut_;
};

// The coarse search only decides whether any alignment is worth a full
// search: it stops at the first shift below the difference limit.
bool CoarseSearchFindsAlignment(const ShiftCosts& costs, int32_t limit)
{
    Candidate best{0, 0, AlignmentCost{}};
    for (int32_t dr = -kRowShiftLimit; dr <= kRowShiftLimit; dr += kGridStep) {
        for (int32_t dc = -kColumnShiftLimit; dc <= kColumnShiftLimit; dc += kGridStep) {
            const AlignmentCost cost = costs.Coarse(0, dc, dr);
            if (cost.difference < limit)
                return true;
            if (cost.difference < best.cost.difference)
                best = Candidate{dc, dr, cost};
        }
    }
    for (const auto& n : kNeighbours) {
        if (costs.Coarse(0, best.columnShift + n[1], best.rowShift + n[0]).difference < limit)
            return true;
    }
    for (int32_t rotation : {-1, 1}) {
        for (int32_t dr = -1; dr <= 1; ++dr) {
            for (int32_t dc = -1; dc <= 1; ++dc) {
                const AlignmentCost cost = costs.Coarse(rotation, best.columnShift + dc, best.rowShift + dr);
                if (cost.difference < limit)
                    return true;
            }
        }
    }
    return false;
}

Candidate FullSearch(const ShiftCosts& costs, int32_t minimumPairs)
{
    Candidate best{0, 0, AlignmentCost{}};
    for (int32_t dr = -kRowShiftLimit; dr <= kRowShiftLimit; dr += kGridStep) {
        for (int32_t dc = -kColumnShiftLimit; dc <= kColumnShiftLimit; dc += kGridStep) {
            const AlignmentCost cost = costs.Full(0, dc, dr, minimumPairs);
            if (cost.difference < best.cost.difference)
                best = Candidate{dc, dr, cost};
        }
    }
    const Candidate centre = best;
    for (const auto& n : kNeighbours) {
        const int32_t dc = centre.columnShift + n[1];
        const int32_t dr = centre.rowShift + n[0];
        const AlignmentCost cost = costs.Full(0, dc, dr, minimumPairs);
        if (cost.difference < best.cost.difference)
            best = Candidate{dc, dr, cost};
    }
    return best;
}

// Tries the maps turned 15 degrees either way around the shift found; a
// lower difference takes over shift, rotation and overlap.
Alignment RefineRotation(const ShiftCosts& costs, const Alignment& found, int32_t minimumPairs)
{
    Alignment best = found;
    for (int32_t rotation : {-1, 1}) {
        for (int32_t dr = -1; dr <= 1; ++dr) {
            for (int32_t dc = -1; dc <= 1; ++dc) {
                const Candidate candidate{
                    found.columnShift + dc, found.rowShift + dr,
                    costs.Full(rotation, found.columnShift + dc, found.rowShift + dr, minimumPairs)};
                if (candidate.cost.difference < best.difference)
                    best = ToAlignment(candidate, rotation);
            }
        }
    }
    return best;
}

} // namespace

AlignmentCost EvaluateAlignmentFull(const BlockMap& first, const BlockMap& second, int32_t columnShift,
                                    int32_t rowShift, int32_t minimumPairs)
{
    return WithMinimumPairs(CostFromSum(SumDirectionCost(first, second, columnShift, rowShift, 1)), minimumPairs);
}

AlignmentCost EvaluateAlignmentCoarse(const BlockMap& first, const BlockMap& second, int32_t columnShift,
                                      int32_t rowShift)
{
    return CostFromSum(SumDirectionCost(first, second, columnShift, rowShift, kGridStep));
}

Alignment AlignBlockMaps(MatchContext& context, const BlockMap& second, AlignMode mode)
{
    const ShiftCosts costs(CurrentMapCacheSlot(context.cache), second);
    const int32_t minimumPairs = context.tuning.minimumOverlap;
    Alignment found;
    if (mode == AlignMode::Reverse && context.forwardSaved) {
        const int32_t dc = -context.forward.columnShift;
        const int32_t dr = -context.forward.rowShift;
        found = ToAlignment(Candidate{dc, dr, costs.Full(0, dc, dr, minimumPairs)}, 0);
    } else {
        if (mode == AlignMode::Forward)
            context.forwardSaved = false;
        if (!CoarseSearchFindsAlignment(costs, context.tuning.maximumDifference))
            return Alignment{};
        found = ToAlignment(FullSearch(costs, minimumPairs), 0);
        if (mode == AlignMode::Forward) {
            context.forward = found;
            context.forwardSaved = true;
        }
    }
    return RefineRotation(costs, found, minimumPairs);
}

} // namespace vela::engine
