#include "engine/standard/StandardMinutiae.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <cstring>

#include "engine/directions/RidgeCleanup.h"
#include "engine/minutiae/FacingPairs.h"
#include "engine/minutiae/FinishImpression.h"
#include "engine/minutiae/MinutiaFilters.h"
#include "engine/minutiae/NeighbourCodes.h"
#include "engine/minutiae/Spurs.h"
#include "engine/minutiae/Thinning.h"
#include "engine/minutiae/TraceRidges.h"
#include "engine/minutiae/WorkScan.h"

namespace vela::engine {
namespace {

namespace layout = standard_impression;

constexpr int kVectorReach = 10;
constexpr int kEdgeInset = 11;             // a branching point lies at columns 11..277, rows 11..389
constexpr int kShortestBranchSpread = 6;   // city-block distance from point to branch end
constexpr int kValleyFrame = 6;

constexpr int kFacingTurn = 102;           // directions at least this far apart may face
constexpr int kFacingReachX = 13;          // |dx| must stay below
constexpr int kFacingReachY = 12;          // |dy| must not exceed
constexpr int kFacingAway = 105;           // the partner lies more than this off i's direction
constexpr int kCrowdReach = 14;
constexpr int kInnerEdgeDistance = 58;
constexpr int kCrowdTurn = 64;
constexpr int kMergeDistance = 5;
constexpr int kMergeTurn = 32;
constexpr int kRingBins = 400;
constexpr int kCentreX = kWorkWidth / 2;
constexpr int kCentreY = kWorkHeight / 2;

// The twelve codes of three set neighbours no two of which are adjacent.
constexpr std::array<bool, 256> kBranchingCode = [] {
    std::array<bool, 256> table{};
    for (int code : {21, 37, 41, 69, 73, 74, 81, 82, 84, 146, 148, 164})
        table[code] = true;
    return table;
}();

struct FineDirectionTable {
    uint8_t value[2 * kVectorReach + 1][2 * kVectorReach + 1];
};

FineDirectionTable MakeFineDirections()
{
    FineDirectionTable table{};
    for (int dy = -kVectorReach; dy <= kVectorReach; ++dy)
        for (int dx = -kVectorReach; dx <= kVectorReach; ++dx)
            table.value[dy + kVectorReach][dx + kVectorReach] = static_cast<uint8_t>(AngleInSteps(dx, dy, 128) & 0xFF);
    return table;
}

int FineDifference(int u, int v)
{
    const int d = std::abs(u - v) & 0xFF;
    return std::min(d, 256 - d);
}

int SignedByte(uint8_t v) { return v >= 128 ? v - 256 : v; }

// Direction of (dx, dy), brought into the reach of the table.
uint8_t FineDirectionToward(int dx, int dy)
{
    if (dx == 0)
        return dy < 0 ? 192 : 64;
    if (dy == 0)
        return dx < 0 ? 128 : 0;
    const int longest = std::max(std::abs(dx), std::abs(dy));
    if (longest > kVectorReach) {
        dx = dx * kVectorReach / longest;
        dy = dy * kVectorReach / longest;
    }
    return FineVectorDirection(dx, dy);
}

bool InsideBranchingArea(PixelPosition p)
{
    return p.column >= kEdgeInset && p.column <= kWorkWidth - kEdgeInset && p.row >= kEdgeInset &&
           p.row <= kWorkHeight - kEdgeInset;
}

// Thins the binary image in place, removes short spurs and lists the
// bifurcations of what is left.
void SkeletonBifurcations(uint8_t* image, uint8_t* before, StandardWorkArea& area, StandardMinutiaList& list)
{
    int32_t* endings = area.entries.data();
    int32_t* branchings = endings + StandardWorkArea::kEndingCapacity;
    int32_t* walkPixels = branchings + StandardWorkArea::kBranchingCapacity;
    int32_t* walkEnds = walkPixels + StandardWorkArea::kWalkCapacity;
    OffsetList endingList{endings, static_cast<int>(StandardWorkArea::kEndingCapacity)};
    OffsetList branchingList{branchings, static_cast<int>(StandardWorkArea::kBranchingCapacity)};

    ThinRidges(image, before);
    FindMinutiaCandidates(image, endingList, branchingList);
    RemoveShortSpurs(image, before, endingList, branchingList,
                     WalkRecord{walkPixels, static_cast<int>(StandardWorkArea::kWalkCapacity), walkEnds});
    TraceBranchings(image, branchingList, list);
}

// The valley image: the inverted ridge image, cleared where there is no
// block direction.
void MakeValleyImage(uint8_t* image, const uint8_t* blocks)
{
    for (int row = 0; row < kWorkHeight; ++row) {
        uint8_t* p = image + kWorkImageFirstPixel + row * kWorkImageStride;
        for (int column = 0; column < kWorkWidth; ++column) {
            const bool directed = blocks[(row / kBlockSide) * kBlockColumns + column / kBlockSide] < kDirectionSteps;
            p[column] = directed ? static_cast<uint8_t>(255 - p[column]) : 0;
        }
    }
    FillFrame(image, kValleyFrame, 0);
}

int PairCost(const StandardMinutiaList& m, int i, int j)
{
    const int turn = FineDifference(m.direction[i], m.direction[j]);
    if (turn < kFacingTurn)
        return kNoPartner;
    const int dx = m.x[j] - m.x[i], dy = m.y[j] - m.y[i];
    if (std::abs(dx) >= kFacingReachX || std::abs(dy) > kFacingReachY)
        return kNoPartner;
    const int away = FineDifference(m.direction[i], FineDirectionToward(dx, dy));
    if (away <= kFacingAway)
        return kNoPartner;
    return RoundDistance(std::abs(dx), std::abs(dy)) - turn - away + 256;
}

std::optional<int> NearestPartner(const StandardMinutiaList& m, int i)
{
    return LowestCostPartner(m, i, [](const StandardMinutiaList& list, int a, int b) { return PairCost(list, a, b); });
}

int CrowdRadius(const StandardMinutiaList& m, int i, int turn)
{
    const int edge = std::min({static_cast<int>(m.x[i]), kWorkWidth - m.x[i], static_cast<int>(m.y[i]),
                               kWorkHeight - m.y[i]});
    if (edge < kInnerEdgeDistance)
        return turn >= kCrowdTurn ? 10 : 9;
    return turn >= kCrowdTurn ? 8 : 6;
}

// Near twins (close, nearly parallel) merge into their midpoint; any other
// minutia too close to another is dropped.
void ResolveCrowding(StandardMinutiaList& m)
{
    for (int i = 0; i < m.count; ++i) {
        for (int j = 0; j < m.count; ++j) {
            const int dx = std::abs(m.x[j] - m.x[i]), dy = std::abs(m.y[j] - m.y[i]);
            if (j == i || dx >= kCrowdReach || dy >= kCrowdReach)
                continue;
            const int distance = RoundDistance(dx, dy);
            const int turn = FineDifference(m.direction[i], m.direction[j]);
            if (distance < kMergeDistance && i > j && turn < kMergeTurn) {
                m.x[i] = static_cast<int16_t>((m.x[i] + m.x[j]) / 2);
                m.y[i] = static_cast<int16_t>((m.y[i] + m.y[j]) / 2);
                m.valid[i] = 1;
                m.valid[j] = 0;
            } else if (distance < CrowdRadius(m, i, turn)) {
                m.valid[i] = 0;
            }
        }
    }
    m.Compact();
}

int CentreDistance(const StandardMinutiaList& m, int i)
{
    return std::max(std::abs(m.x[i] - kCentreX), std::abs(m.y[i] - kCentreY));
}

// Keeps at most `capacity` minutiae, the rings nearest the centre first, and
// writes them into the impression.
void WriteNearestCentre(StandardMinutiaList& m, uint8_t* impression, int capacity)
{
    if (m.count > capacity) {
        std::array<int, kRingBins> histogram{};
        for (int i = 0; i < m.count; ++i)
            ++histogram[std::min(CentreDistance(m, i), kRingBins - 1)];
        int summed = 0, rings = 0;
        while (rings < kRingBins) {
            summed += histogram[rings++];
            if (summed >= capacity)
                break;
        }
        for (int i = 0; i < m.count; ++i)
            if (CentreDistance(m, i) > rings)
                m.valid[i] = 0;
    }
    int written = 0;
    for (int i = 0; i < m.count && written < capacity; ++i) {
        if (!m.valid[i])
            continue;
        impression[layout::XOffset(capacity) + written] = static_cast<uint8_t>(m.x[i] / 2);
        impression[layout::YOffset(capacity) + written] = static_cast<uint8_t>(m.y[i] / 2);
        impression[layout::DirectionOffset(capacity) + written] = m.direction[i];
        impression[layout::TypeOffset(capacity) + written] = m.type[i];
        ++written;
    }
    impression[layout::kCountOffset] = static_cast<uint8_t>(written);
}

} // namespace

uint8_t FineVectorDirection(int dx, int dy)
{
    static const FineDirectionTable table = MakeFineDirections();
    return table.value[dy + kVectorReach][dx + kVectorReach];
}

uint8_t FineCircularMean(uint8_t u, uint8_t v)
{
    const int a = SignedByte(u), b = SignedByte(v);
    const int d = std::abs(a - b);
    int mean = (a + b) / 2;
    if (256 - d < d)
        mean += 128;
    if (mean >= 256)
        mean -= 256;
    return static_cast<uint8_t>(mean & 0xFF);
}

uint8_t FinePairMean(uint8_t a, uint8_t b, uint8_t c)
{
    const int ab = FineDifference(a, b), ac = FineDifference(a, c), bc = FineDifference(b, c);
    if (ab <= ac && ab <= bc)
        return FineCircularMean(a, b);
    if (ac <= bc && ac <= ab)
        return FineCircularMean(a, c);
    return FineCircularMean(b, c);
}

void TraceBranchings(uint8_t* image, OffsetList& points, StandardMinutiaList& list)
{
    points.count = 0;
    for (int at = NextSetOffset(image, kScanFirst); at <= kScanLast; at = NextSetOffset(image, at + 1))
        if (kBranchingCode[NeighbourCode(image, at)])
            points.Add(at);

    for (int k = 0; k < points.count; ++k) {
        const int point = points.offsets[k];
        int neighbours[8];
        if (CutBranchingPoint(image, point, neighbours) < 3)
            continue;
        const PixelPosition p = PositionOf(point);
        uint8_t branch[3];
        bool complete = true;
        for (int n = 0; n < 3 && complete; ++n) {
            const auto end = FollowRidge(image, neighbours[n]);
            if (!end) {
                complete = false;
                break;
            }
            const PixelPosition e = PositionOf(*end), s = PositionOf(neighbours[n]);
            if (!InsideBranchingArea(p) ||
                std::abs(e.column - p.column) + std::abs(e.row - p.row) < kShortestBranchSpread)
                complete = false;
            else
                branch[n] = FineVectorDirection(e.column - s.column, e.row - s.row);
        }
        if (complete)
            list.Add(p.column, p.row, FinePairMean(branch[0], branch[1], branch[2]), layout::kRidgeBifurcation);
    }
}

void FindStandardMinutiae(StandardWorkArea& area, uint8_t* impression, StandardCapacity capacity)
{
    impression[layout::kCountOffset] = 0;
    if (impression[layout::kQualityOffset] < kLowestStandardQuality)
        return;
    const uint8_t* blocks = impression + layout::kBlocksOffset;
    uint8_t* ridge = area.W(0);
    uint8_t* before = area.W(1);
    uint8_t* valley = area.W(3);
    std::memcpy(valley, ridge, kWorkImageBytes);

    StandardMinutiaList& bifurcations = area.ridges;
    StandardMinutiaList& endings = area.valleys;
    bifurcations.count = 0;
    endings.count = 0;
    SkeletonBifurcations(ridge, before, area, bifurcations);
    MakeValleyImage(valley, blocks);
    SkeletonBifurcations(valley, before, area, endings);
    for (int i = 0; i < endings.count; ++i)
        endings.type[i] = layout::kRidgeEnding;

    // One list of both kinds, the endings first.
    StandardMinutiaList& m = endings;
    for (int i = 0; i < bifurcations.count; ++i) {
        if (!m.Add(bifurcations.x[i], bifurcations.y[i], bifurcations.direction[i], layout::kRidgeBifurcation))
            break;
        m.valid[m.count - 1] = bifurcations.valid[i];
    }

    for (int i = 0; i < m.count; ++i)
        if (m.valid[i] && NearBackground(m.x[i], m.y[i], blocks))
            m.valid[i] = 0;
    m.Compact();
    DropMutualPartners(m, [](const StandardMinutiaList& list, int i) { return NearestPartner(list, i); });
    ResolveCrowding(m);
    WriteNearestCentre(m, impression, capacity.capacity);

    const ImpressionFields fields{layout::kQualityOffset,          layout::kCountOffset,
                                  layout::kBlocksOffset,           layout::XOffset(capacity.capacity),
                                  layout::YOffset(capacity.capacity), capacity.fewestMinutiae};
    FinishImpressionRecord(impression, fields);
}

} // namespace vela::engine
