#include "engine/matching/PairMinutiae.h"

#include <algorithm>
#include <bit>
#include <cstdlib>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "engine/matching/MatchTables.h"
#include "engine/matching/RotateImpression.h"

namespace vela::engine {

namespace {

constexpr int32_t kFewestMinutiae = 5;

// Block (row, column) of the result is block (row - rowShift, column -
// columnShift) of the source, undirected off the grid: each row a copy of
// the part of a source row that stays on it.
BlockMap ShiftBlockMap(const BlockMap& source, int32_t columnShift, int32_t rowShift)
{
    BlockMap shifted;
    shifted.fill(kNoDirection);
    const int32_t firstColumn = std::clamp(columnShift, 0, kBlockColumns);
    const int32_t endColumn = std::clamp(kBlockColumns + columnShift, 0, kBlockColumns);
    if (firstColumn >= endColumn)
        return shifted;
    for (int32_t row = std::max(rowShift, 0); row < std::min(kBlockRows + rowShift, kBlockRows); ++row) {
        const uint8_t* from = source.data() + (row - rowShift) * kBlockColumns + firstColumn - columnShift;
        std::copy(from, from + (endColumn - firstColumn), shifted.data() + row * kBlockColumns + firstColumn);
    }
    return shifted;
}

int32_t CountOnDirectedBlocks(const Impression& minutiae, const BlockMap& map)
{
    int32_t count = 0;
    for (int32_t i = 0; i < minutiae.count; ++i) {
        if (IsDirected(BlockUnderMinutia(map, minutiae.x[i], minutiae.y[i])))
            ++count;
    }
    return count;
}

int32_t DirectionDifference(int32_t a, int32_t b)
{
    const int32_t d = std::abs(a - b);
    return std::min(d, kMinutiaDirections - d);
}

// A list of transformed minutiae by index, cut and measured while splitting.
struct Part {
    std::array<int32_t, kMaxMinutiae> index{};
    int32_t count = 0;

    void Add(int32_t i) { index[count++] = i; }
};

int32_t MeanY(const Impression& t, const Part& part)
{
    int32_t sum = 0;
    for (int32_t k = 0; k < part.count; ++k)
        sum += t.y[part.index[k]];
    return part.count > 0 ? sum / part.count : 0;
}

int32_t MeanX(const Impression& t, const Part& part)
{
    int32_t sum = 0;
    for (int32_t k = 0; k < part.count; ++k)
        sum += t.x[part.index[k]];
    return part.count > 0 ? sum / part.count : 0;
}

// Splits a part in two at a mean; false, leaving the part whole, when either
// side would hold no more than the minimum.
bool SplitPart(const Impression& t, const Part& part, bool byY, int32_t minimum, Part& low, Part& high)
{
    const int32_t mean = byY ? MeanY(t, part) : MeanX(t, part);
    low = Part{};
    high = Part{};
    for (int32_t k = 0; k < part.count; ++k) {
        const int32_t i = part.index[k];
        const int32_t value = byY ? t.y[i] : t.x[i];
        if (value < mean)
            low.Add(i);
        else
            high.Add(i);
    }
    return low.count > minimum && high.count > minimum;
}

MatchRegion MakeRegion(const Impression& t, const Part& part)
{
    MatchRegion region;
    region.centreX = MeanX(t, part);
    region.centreY = MeanY(t, part);
    region.count = std::min(part.count, kMaxRegionMinutiae);
    for (int32_t k = 0; k < region.count; ++k) {
        const int32_t i = part.index[k];
        region.x[k] = t.x[i];
        region.y[k] = t.y[i];
        region.direction[k] = t.direction[i];
    }
    return region;
}

// The second impression's nearest minutia inside the window with a direction
// close enough; -1 when there is none.
struct Partner {
    int32_t index = -1;
    int32_t distance = 0;
    int32_t directionDifference = 0;
    int32_t dx = 0;
    int32_t dy = 0;
};

// The second impression's minutiae by cells of 16 x 16 half pixels, each
// cell's in index order, so that a search looks at the few minutiae near a
// point rather than at all of them. Each entry carries the minutia itself,
// so that a search reads one small run of bytes per cell.
class PartnerGrid {
public:
    struct Entry {
        uint8_t x;
        uint8_t y;
        uint8_t direction;
        uint8_t index;
    };

    explicit PartnerGrid(const Impression& second)
    {
        std::array<int32_t, kCells + 1> counts{};
        const int32_t count = std::min<int32_t>(second.count, kMaxMinutiae);
        for (int32_t j = 0; j < count; ++j)
            ++counts[CellOf(second.x[j], second.y[j]) + 1];
        for (int32_t c = 0; c < kCells; ++c)
            counts[c + 1] += counts[c];
        start_ = counts;
        for (int32_t j = 0; j < count; ++j) {
            byIndex_[j] = Entry{second.x[j], second.y[j], second.direction[j], static_cast<uint8_t>(j)};
            entries_[counts[CellOf(second.x[j], second.y[j])]++] = byIndex_[j];
            directionsInTurn_ = directionsInTurn_ && second.direction[j] < kMinutiaDirections;
        }
    }

    const Entry& ByIndex(int32_t j) const { return byIndex_[j]; }

    // Whether every minutia's direction is one of the 24 steps, so that a
    // mask of the acceptable directions can stand for the difference test.
    bool DirectionsInTurn() const { return directionsInTurn_; }

    // Calls visit(entry) for every minutia within reach - 1 of (x, y) on both axes.
    template <class Visit>
    void Near(int32_t x, int32_t y, int32_t reach, Visit visit) const
    {
        const int32_t low = x - reach + 1, high = x + reach - 1, top = y - reach + 1, bottom = y + reach - 1;
        if (high < 0 || bottom < 0 || low >= kSpan || top >= kSpan)
            return;
        const int32_t firstColumn = ColumnOf(std::max(low, 0));
        const int32_t lastColumn = ColumnOf(std::min(high, kSpan - 1));
        const int32_t lastRow = RowOf(std::min(bottom, kSpan - 1));
        for (int32_t row = RowOf(std::max(top, 0)); row <= lastRow; ++row) {
            // The cells of one row of the grid lie next to each other.
            const int32_t end = start_[row * kColumns + lastColumn + 1];
            for (int32_t k = start_[row * kColumns + firstColumn]; k < end; ++k)
                visit(entries_[k]);
        }
    }

private:
    static constexpr int32_t kCellSize = 16;
    static constexpr int32_t kSpan = 256;  // positions are bytes; those past the map share its last cells
    static constexpr int32_t kColumns = (kMinutiaMaxX + kCellSize - 1) / kCellSize;
    static constexpr int32_t kRows = (kMinutiaMaxY + kCellSize - 1) / kCellSize;
    static constexpr int32_t kCells = kColumns * kRows;

    static int32_t ColumnOf(int32_t x) { return std::min(x / kCellSize, kColumns - 1); }
    static int32_t RowOf(int32_t y) { return std::min(y / kCellSize, kRows - 1); }
    static int32_t CellOf(int32_t x, int32_t y) { return RowOf(y) * kColumns + ColumnOf(x); }

    std::array<int32_t, kCells + 1> start_{};
    std::array<Entry, kMaxMinutiae> entries_{};
    std::array<Entry, kMaxMinutiae> byIndex_{};
    bool directionsInTurn_ = true;
};

// Rounded distances of the offsets a pairing window can hold, looked up
// without a call; wider windows fall back to MatchRoundDistance.
class RoundDistances {
public:
    RoundDistances()
    {
        for (int32_t dy = 0; dy < kMatchDistanceSide; ++dy)
            for (int32_t dx = 0; dx < kMatchDistanceSide; ++dx)
                table_[dy][dx] = static_cast<uint8_t>(MatchRoundDistance(dx, dy));
    }

    int32_t operator()(int32_t dx, int32_t dy) const
    {
        const int32_t ax = std::abs(dx);
        const int32_t ay = std::abs(dy);
        if (ax < kMatchDistanceSide && ay < kMatchDistanceSide)
            return table_[ay][ax];
        return MatchRoundDistance(dx, dy);
    }

    // Offsets already known to lie in the table, on both axes below kMatchDistanceSide.
    int32_t InTable(int32_t ax, int32_t ay) const { return table_[ay][ax]; }

private:
    std::array<std::array<uint8_t, kMatchDistanceSide>, kMatchDistanceSide> table_{};
};

const RoundDistances& Distances()
{
    static const RoundDistances distances;
    return distances;
}

// The second impression's nearest minutia inside the window with a direction
// close enough, the lowest index among equally near ones; -1 when there is none.
// Whether a minutia qualifies is data the branch predictor cannot learn, so
// every one near is ranked by a key (distance, then index) that is all ones
// when it does not qualify, and the least key wins. With every direction of
// the grid one of the 24 steps, the direction test is a bit of `accepted`.
template <bool kByMask>
Partner FindPartner(int32_t x, int32_t y, int32_t direction, uint32_t accepted, const PartnerGrid& grid,
                    const PairingParameters& parameters, const RoundDistances& distances)
{
    constexpr uint32_t kNoKey = ~uint32_t{0};
    constexpr uint32_t kIndexBits = 8;  // indexes stay below kMaxMinutiae
    const int32_t window = parameters.window;
    const bool wideWindow = window > kMatchDistanceSide;
    uint32_t bestKey = kNoKey;
    grid.Near(x, y, window, [&](const PartnerGrid::Entry& entry) {
        const int32_t dx = entry.x - x;
        const int32_t dy = entry.y - y;
        const int32_t ax = std::abs(dx);
        const int32_t ay = std::abs(dy);
        const uint32_t turnedAway =
            kByMask ? ((accepted >> entry.direction) & 1u) ^ 1u
                    : static_cast<uint32_t>(DirectionDifference(direction, entry.direction) >
                                            parameters.directionTolerance);
        const uint32_t rejected = static_cast<uint32_t>(ax >= window) | static_cast<uint32_t>(ay >= window) | turnedAway;
        // Within a window no wider than the table every qualifying offset is
        // in it; a rejected one reads any entry, its key being all ones.
        const uint32_t distance = static_cast<uint32_t>(
            wideWindow ? distances(dx, dy) : distances.InTable(std::min(ax, kMatchDistanceSide - 1),
                                                               std::min(ay, kMatchDistanceSide - 1)));
        bestKey = std::min(bestKey, (distance << kIndexBits | entry.index) | (0u - rejected));
    });
    if (bestKey == kNoKey)
        return Partner{};
    const PartnerGrid::Entry& best = grid.ByIndex(static_cast<int32_t>(bestKey & ((1u << kIndexBits) - 1)));
    return Partner{best.index, static_cast<int32_t>(bestKey >> kIndexBits),
                   DirectionDifference(direction, best.direction), best.x - x, best.y - y};
}

} // namespace

uint32_t AcceptedDirections(int32_t direction, int32_t tolerance)
{
    if (direction >= 0 && direction < kMinutiaDirections && tolerance >= 0 && 2 * tolerance < kMinutiaDirections) {
        // The band of 2 tolerance + 1 steps from direction - tolerance, round the circle.
        const uint64_t band = (uint64_t{1} << (2 * tolerance + 1)) - 1;
        const uint64_t placed = band << ((direction - tolerance + kMinutiaDirections) % kMinutiaDirections);
        return static_cast<uint32_t>((placed | placed >> kMinutiaDirections) & ((1u << kMinutiaDirections) - 1));
    }
    uint32_t mask = 0;
    for (int32_t d = 0; d < kMinutiaDirections; ++d)
        mask |= static_cast<uint32_t>(DirectionDifference(direction, d) <= tolerance) << d;
    return mask;
}

namespace {

// RotateBlockMap(map, rotation), made once for a run of calls with one map.
const BlockMap& TurnedBlockMap(MatchContext& context, const BlockMap& map, int32_t rotation)
{
    ImpressionMemo& memo = context.memo;
    if (!memo.turnedFilled || memo.turnedRotation != rotation || !(memo.turnedSource == map)) {
        memo.turned = RotateBlockMap(map, rotation);
        memo.turnedSource = map;
        memo.turnedRotation = rotation;
        memo.turnedFilled = true;
    }
    return memo.turned;
}

// TransformImpression with the first map already turned by the alignment's rotation.
Impression TransformTurned(const Impression& first, const BlockMap& turnedBlocks, const Alignment& alignment)
{
    const Rotation rotation = AlignmentRotation(alignment.rotation);
    Impression moved = first;
    moved.blocks = ShiftBlockMap(turnedBlocks, alignment.columnShift, alignment.rowShift);
    moved.x.fill(0);
    moved.y.fill(0);
    moved.direction.fill(0);
    const int32_t count = std::min<int32_t>(first.count, kMaxMinutiae);
    int32_t kept = 0;
    for (int32_t i = 0; i < count; ++i) {
        int32_t x = first.x[i];
        int32_t y = first.y[i];
        if (alignment.rotation != 0)
            RotateMinutiaPosition(rotation, x, y, x, y);
        x += kMinutiaUnitsPerBlock * alignment.columnShift;
        y += kMinutiaUnitsPerBlock * alignment.rowShift;
        if (!IsDirected(BlockUnderMinutia(moved.blocks, x, y)))
            continue;
        moved.x[kept] = static_cast<uint8_t>(x);
        moved.y[kept] = static_cast<uint8_t>(y);
        moved.direction[kept] = TurnMinutiaDirection(first.direction[i], rotation.minutiaTurn);
        ++kept;
    }
    moved.count = static_cast<uint8_t>(kept);
    return moved;
}

} // namespace

Impression TransformImpression(const Impression& first, const Alignment& alignment)
{
    return TransformTurned(first, RotateBlockMap(first.blocks, alignment.rotation), alignment);
}

int32_t SplitRegions(const Impression& transformed, const PairingParameters& parameters,
                     std::array<MatchRegion, kMaxRegions>& regions)
{
    Part all;
    for (int32_t i = 0; i < transformed.count; ++i)
        all.Add(i);

    Part upper;
    Part lower;
    if (all.count <= parameters.regionMinimum ||
        !SplitPart(transformed, all, true, parameters.regionMinimum, upper, lower)) {
        regions[0] = MakeRegion(transformed, all);
        return 1;
    }
    int32_t count = 0;
    for (const Part* half : {&upper, &lower}) {
        Part left;
        Part right;
        if (SplitPart(transformed, *half, false, parameters.regionMinimum, left, right)) {
            regions[count++] = MakeRegion(transformed, left);
            regions[count++] = MakeRegion(transformed, right);
        } else {
            regions[count++] = MakeRegion(transformed, *half);
        }
    }
    return count;
}

namespace {

// The re-centring passes of a region with a partner search `find(x, y,
// direction)` over the second impression.
template <class Find>
void PairRegionPasses(MatchRegion& region, const PairingParameters& parameters, int32_t iterations, Find find)
{
    int32_t bestScore = 0;
    int32_t bestClose = 0;
    for (int32_t pass = 0; pass < iterations; ++pass) {
        int32_t score = 0;
        int32_t close = 0;
        int32_t matched = 0;
        int32_t sumDx = 0;
        int32_t sumDy = 0;
        for (int32_t k = 0; k < region.count; ++k) {
            const Partner partner = find(k, region.x[k], region.y[k], region.direction[k]);
            if (partner.index < 0 || partner.distance >= parameters.window)
                continue;
            ++matched;
            sumDx += partner.dx;
            sumDy += partner.dy;
            if (partner.distance < parameters.closeDistance) {
                ++close;
                score += PairDistanceWeight[partner.distance] * PairAngleWeight[partner.directionDifference];
            }
        }
        if (score > bestScore) {
            bestScore = score;
            bestClose = close;
        }
        if (matched == 0 || (std::abs(sumDx) < matched && std::abs(sumDy) < matched))
            break;
        const int32_t moveX = sumDx / matched;
        const int32_t moveY = sumDy / matched;
        for (int32_t k = 0; k < region.count; ++k) {
            region.x[k] = static_cast<int16_t>(region.x[k] + moveX);
            region.y[k] = static_cast<int16_t>(region.y[k] + moveY);
        }
    }
    region.score = bestScore / 10;
    region.paired = bestClose;
}

template <bool kByMask>
void PairRegionNear(MatchRegion& region, const PartnerGrid& grid, const PairingParameters& parameters,
                    int32_t iterations)
{
    const RoundDistances& distances = Distances();
    std::array<uint32_t, kMaxRegionMinutiae> accepted{};
    if (kByMask) {
        for (int32_t k = 0; k < region.count; ++k)
            accepted[k] = AcceptedDirections(region.direction[k], parameters.directionTolerance);
    }
    PairRegionPasses(region, parameters, iterations, [&](int32_t k, int32_t x, int32_t y, int32_t direction) {
        return FindPartner<kByMask>(x, y, direction, accepted[k], grid, parameters, distances);
    });
}

void PairRegionNear(MatchRegion& region, const PartnerGrid& grid, const PairingParameters& parameters,
                    int32_t iterations)
{
    if (grid.DirectionsInTurn())
        PairRegionNear<true>(region, grid, parameters, iterations);
    else
        PairRegionNear<false>(region, grid, parameters, iterations);
}

#if defined(__SSE2__)
// The second impression's minutiae ordered by y, laid out field by field,
// for the usual pairing: every direction one of the 24 steps and a window
// no wider than the distance table. The minutiae within a window's rows are
// one run of that order, and sixteen of them at a time are tested on x and
// direction; the few left are ranked as FindPartner ranks them (distance,
// then index), so the partner found is the same.
class PartnerRows {
public:
    static bool Suit(const Impression& second, const PairingParameters& parameters)
    {
        const int32_t count = std::min<int32_t>(second.count, kMaxMinutiae);
        const bool inTurn = std::all_of(second.direction.begin(), second.direction.begin() + count,
                                        [](uint8_t direction) { return direction < kMinutiaDirections; });
        return inTurn && parameters.window <= kMatchDistanceSide && parameters.directionTolerance >= 0 &&
               parameters.directionTolerance <= 255;
    }

    explicit PartnerRows(const Impression& second)
    {
        const int32_t count = std::min<int32_t>(second.count, kMaxMinutiae);
        std::array<uint8_t, kRowValues + 1> next{};
        for (int32_t j = 0; j < count; ++j)
            ++next[second.y[j] + 1];
        for (int32_t v = 0; v < kRowValues; ++v)
            next[v + 1] = static_cast<uint8_t>(next[v + 1] + next[v]);
        below_ = next;
        for (int32_t j = 0; j < count; ++j) {
            const size_t at = next[second.y[j]]++;
            xs_[at] = second.x[j];
            ys_[at] = second.y[j];
            directions_[at] = second.direction[j];
            indexes_[at] = static_cast<uint8_t>(j);
        }
    }

    Partner Find(int32_t x, int32_t y, int32_t direction, const PairingParameters& parameters,
                 const RoundDistances& distances) const
    {
        const int32_t reach = parameters.window - 1;  // |dx| and |dy| at most this
        const int32_t top = std::max(y - reach, 0), bottom = std::min(y + reach, kRowValues - 1);
        const int32_t left = std::max(x - reach, 0), right = std::min(x + reach, kRowValues - 1);
        if (reach < 0 || top > bottom || left > right)
            return Partner{};
        const int32_t begin = below_[top], end = below_[bottom + 1];
        // Key: distance, then index, then the place in this order.
        uint32_t bestKey = ~uint32_t{0};
        const auto consider = [&](int32_t at) {
            const uint32_t distance = static_cast<uint32_t>(distances.InTable(std::abs(xs_[at] - x), std::abs(ys_[at] - y)));
            bestKey = std::min(bestKey, distance << 16 | uint32_t{indexes_[at]} << 8 | static_cast<uint32_t>(at));
        };
        if (direction >= 0 && direction < kMinutiaDirections) {
            const __m128i low = _mm_set1_epi8(static_cast<char>(left));
            const __m128i high = _mm_set1_epi8(static_cast<char>(right));
            const __m128i own = _mm_set1_epi8(static_cast<char>(direction));
            const __m128i turn = _mm_set1_epi8(static_cast<char>(kMinutiaDirections));
            const __m128i tolerance = _mm_set1_epi8(static_cast<char>(parameters.directionTolerance));
            for (int32_t at = begin; at < end; at += 16) {
                const __m128i xs = _mm_loadu_si128(reinterpret_cast<const __m128i*>(xs_.data() + at));
                const __m128i directions = _mm_loadu_si128(reinterpret_cast<const __m128i*>(directions_.data() + at));
                const __m128i inside = _mm_and_si128(_mm_cmpeq_epi8(_mm_max_epu8(xs, low), xs),
                                                     _mm_cmpeq_epi8(_mm_min_epu8(xs, high), xs));
                const __m128i apart = _mm_sub_epi8(_mm_max_epu8(directions, own), _mm_min_epu8(directions, own));
                const __m128i circular = _mm_min_epu8(apart, _mm_sub_epi8(turn, apart));
                const __m128i close = _mm_cmpeq_epi8(_mm_min_epu8(circular, tolerance), circular);
                uint32_t bits = static_cast<uint32_t>(_mm_movemask_epi8(_mm_and_si128(inside, close)));
                if (end - at < 16)
                    bits &= (1u << (end - at)) - 1;
                for (; bits != 0; bits &= bits - 1)
                    consider(at + std::countr_zero(bits));
            }
        } else {
            for (int32_t at = begin; at < end; ++at) {
                if (xs_[at] >= left && xs_[at] <= right &&
                    DirectionDifference(direction, directions_[at]) <= parameters.directionTolerance)
                    consider(at);
            }
        }
        if (bestKey == ~uint32_t{0})
            return Partner{};
        const size_t at = bestKey & 0xFF;
        return Partner{indexes_[at], static_cast<int32_t>(bestKey >> 16), DirectionDifference(direction, directions_[at]),
                       xs_[at] - x, ys_[at] - y};
    }

private:
    static constexpr int32_t kRowValues = 256;  // positions are bytes
    // Read sixteen at a time from any place of the order.
    std::array<uint8_t, kMaxMinutiae + 16> xs_{};
    std::array<uint8_t, kMaxMinutiae + 16> ys_{};
    std::array<uint8_t, kMaxMinutiae + 16> directions_{};
    std::array<uint8_t, kMaxMinutiae + 16> indexes_{};
    std::array<uint8_t, kRowValues + 1> below_{};  // minutiae with y below each value
};
#endif

// Pairs every region against the second impression, by rows where they suit.
void PairRegions(std::array<MatchRegion, kMaxRegions>& regions, int32_t count, const Impression& second,
                 const PairingParameters& parameters, int32_t iterations)
{
#if defined(__SSE2__)
    if (PartnerRows::Suit(second, parameters)) {
        const PartnerRows rows(second);
        const RoundDistances& distances = Distances();
        for (int32_t r = 0; r < count; ++r)
            PairRegionPasses(regions[r], parameters, iterations, [&](int32_t, int32_t x, int32_t y, int32_t direction) {
                return rows.Find(x, y, direction, parameters, distances);
            });
        return;
    }
#endif
    const PartnerGrid grid(second);
    for (int32_t r = 0; r < count; ++r)
        PairRegionNear(regions[r], grid, parameters, iterations);
}

} // namespace

void PairRegion(MatchRegion& region, const Impression& second, const PairingParameters& parameters,
                int32_t iterations)
{
    std::array<MatchRegion, kMaxRegions> one{region};
    PairRegions(one, 1, second, parameters, iterations);
    region = one[0];
}

PairingResult PairMinutiae(MatchContext& context, const Impression& first, const Impression& second,
                           const Alignment& alignment)
{
    context.regionCount = 0;
    context.transformed =
        TransformTurned(first, TurnedBlockMap(context, first.blocks, alignment.rotation), alignment);
    const Impression& moved = context.transformed;
    if (moved.count < kFewestMinutiae)
        return PairingResult{};
    const int32_t common =
        std::max(CountOnDirectedBlocks(moved, second.blocks), CountOnDirectedBlocks(second, moved.blocks));
    if (common < kFewestMinutiae)
        return PairingResult{};

    PairingResult result;
    result.commonCount = common;
    context.regionCount = SplitRegions(moved, context.pairing, context.regions);
    PairRegions(context.regions, context.regionCount, second, context.pairing, context.pairing.iterations);
    for (int32_t r = 0; r < context.regionCount; ++r) {
        result.regionScoreSum += context.regions[r].score;
        result.closeCount += context.regions[r].paired;
    }
    return result;
}

} // namespace vela::engine
