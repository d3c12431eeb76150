#include "engine/minutiae/MinutiaFilters.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <cstring>

#include "engine/minutiae/FacingPairs.h"
#include "engine/minutiae/NeighbourCodes.h"
#include "engine/records/EngineGeometry.h"
#include "engine/records/ImpressionRecord.h"

namespace vela::engine {
namespace {

constexpr int kRightmostColumn = 265;
constexpr int kFacingDirections = 9;
constexpr int kFacingReachX = 13; // |dx| must stay below
constexpr int kFacingReachY = 12; // |dy| must not exceed
constexpr int kVectorReach = 10;

constexpr int kCrowdReach = 14;
constexpr int kInnerEdgeDistance = 58;
constexpr int kCrowdDirections = 5;

constexpr int kBackgroundReach = 10;
constexpr int kCentreX = kWorkWidth / 2;
constexpr int kCentreY = kWorkHeight / 2;

// Direction of the vector (dx, dy), brought into the reach of VectorDirection.
int DirectionToward(int dx, int dy)
{
    if (dx == 0)
        return dy < 0 ? 18 : 6;
    if (dy == 0)
        return dx < 0 ? 12 : 0;
    const int longest = std::max(std::abs(dx), std::abs(dy));
    if (longest > kVectorReach) {
        dx = dx * kVectorReach / longest;
        dy = dy * kVectorReach / longest;
    }
    return VectorDirection(dx, dy);
}

int CrowdRadius(const MinutiaList& m, int i, int j)
{
    const int edge = std::min({static_cast<int>(m.x[i]), kWorkWidth - m.x[i], static_cast<int>(m.y[i]),
                               kWorkHeight - m.y[i]});
    const bool turned = CircularDifference(m.direction[i], m.direction[j]) > kCrowdDirections;
    if (edge < kInnerEdgeDistance)
        return turned ? 10 : 9;
    return turned ? 8 : 6;
}

} // namespace

bool NearBackground(int x, int y, const uint8_t* blocks)
{
    for (int v = -kBackgroundReach; v <= kBackgroundReach; v += kBackgroundReach) {
        for (int u = -kBackgroundReach; u <= kBackgroundReach; u += kBackgroundReach) {
            const int px = x + u, py = y + v;
            if (px < 0 || px >= kWorkWidth || py < 0 || py >= kWorkHeight)
                return true;
            if (blocks[(py / kBlockSide) * kBlockColumns + px / kBlockSide] >= kDirectionSteps)
                return true;
        }
    }
    return false;
}

namespace {

int CentreDistance(const MinutiaList& m, int i)
{
    return std::max(std::abs(m.x[i] - kCentreX), std::abs(m.y[i] - kCentreY));
}

void KeepNearestCentre(MinutiaList& m)
{
    std::array<int, kCentreY + kCentreX + 1> histogram{};
    for (int i = 0; i < m.count; ++i)
        ++histogram[CentreDistance(m, i)];
    int reached = 0, ring = 0;
    for (ring = 0; ring < static_cast<int>(histogram.size()); ++ring) {
        reached += histogram[ring];
        if (reached >= kMaxMinutiae)
            break;
    }
    for (int i = 0; i < m.count; ++i)
        if (CentreDistance(m, i) > ring + 1)
            m.valid[i] = 0;
    m.Compact();
}

} // namespace

int PairCost(const MinutiaList& m, int i, int j)
{
    const int turn = CircularDifference(m.direction[i], m.direction[j]);
    if (turn < kFacingDirections)
        return kNoPartner;
    const int dx = m.x[j] - m.x[i], dy = m.y[j] - m.y[i];
    if (std::abs(dx) >= kFacingReachX || std::abs(dy) > kFacingReachY)
        return kNoPartner;
    const int away = CircularDifference(m.direction[i], DirectionToward(dx, dy));
    if (away <= kFacingDirections)
        return kNoPartner;
    return RoundDistance(std::abs(dx), std::abs(dy)) - turn - away + 24;
}

std::optional<int> NearestPartner(const MinutiaList& m, int i)
{
    return LowestCostPartner(m, i, [](const MinutiaList& list, int a, int b) { return PairCost(list, a, b); });
}

void RemoveFacingPairs(MinutiaList& m)
{
    for (int i = 0; i < m.count; ++i)
        if (m.x[i] > kRightmostColumn)
            m.valid[i] = 0;
    DropMutualPartners(m, NearestPartner);
}

void RemoveCrowdedMinutiae(MinutiaList& m)
{
    for (int i = 0; i < m.count; ++i) {
        for (int j = 0; j < m.count; ++j) {
            const int dx = std::abs(m.x[j] - m.x[i]), dy = std::abs(m.y[j] - m.y[i]);
            if (j == i || dx >= kCrowdReach || dy >= kCrowdReach)
                continue;
            if (RoundDistance(dx, dy) < CrowdRadius(m, i, j)) {
                m.valid[i] = 0;
                break;
            }
        }
    }
    m.Compact();
}

void LimitMinutiae(MinutiaList& m, uint8_t* record)
{
    const uint8_t* blocks = record + impression::kBlocksOffset;
    for (int i = 0; i < m.count; ++i)
        if (NearBackground(m.x[i], m.y[i], blocks))
            m.valid[i] = 0;
    m.Compact();
    if (m.count > kMaxMinutiae)
        KeepNearestCentre(m);

    const int kept = std::min(m.count, kMaxMinutiae);
    std::memset(record + impression::kMinutiaXOffset, 0, 3 * kMaxMinutiae);
    for (int i = 0; i < kept; ++i) {
        record[impression::kMinutiaXOffset + i] = static_cast<uint8_t>(m.x[i] / 2);
        record[impression::kMinutiaYOffset + i] = static_cast<uint8_t>(m.y[i] / 2);
        record[impression::kMinutiaDirectionOffset + i] = static_cast<uint8_t>(m.direction[i] % 24);
    }
    record[impression::kCountOffset] = static_cast<uint8_t>(kept);
}

} // namespace vela::engine
