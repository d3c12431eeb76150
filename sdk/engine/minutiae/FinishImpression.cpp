#include "engine/minutiae/FinishImpression.h"

#include <algorithm>
#include <array>
#include <cstdlib>

#include "engine/minutiae/NeighbourCodes.h"
#include "engine/records/EngineGeometry.h"
#include "engine/records/ImpressionRecord.h"

namespace vela::engine {
namespace {

constexpr int kCrowdReach = 10;   // |dx|, |dy| below, half pixels
constexpr int kCrowdDistance = 9; // RoundDistance at most
constexpr int kCrowdNeighbours = 3;
constexpr int kHoleWeight = 3;
constexpr int kWindowFirstRow = 6, kWindowLastRow = 17;
constexpr int kWindowFirstColumn = 4, kWindowLastColumn = 12;
constexpr int kWindowBlocks =
    (kWindowLastRow - kWindowFirstRow + 1) * (kWindowLastColumn - kWindowFirstColumn + 1); // 108

bool Directed(uint8_t value) { return value < kDirectionSteps; }

// Minutiae with more than three others close by.
int CrowdedMinutiae(const uint8_t* x, const uint8_t* y, int count)
{
    int crowded = 0;
    for (int i = 0; i < count; ++i) {
        int close = 0;
        for (int j = 0; j < count; ++j) {
            const int dx = std::abs(x[j] - x[i]), dy = std::abs(y[j] - y[i]);
            if (j != i && dx < kCrowdReach && dy < kCrowdReach && RoundDistance(dx, dy) <= kCrowdDistance)
                ++close;
        }
        if (close > kCrowdNeighbours)
            ++crowded;
    }
    return crowded;
}

// No-direction blocks enclosed by the print: those not reached by a run of
// no-direction blocks from either end of their row or of their column.
int HolesInsidePrint(const uint8_t* blocks)
{
    std::array<bool, kBlockCount> outside{};
    for (int r = 0; r < kBlockRows; ++r) {
        for (int c = 0; c < kBlockColumns && !Directed(blocks[r * kBlockColumns + c]); ++c)
            outside[r * kBlockColumns + c] = true;
        for (int c = kBlockColumns - 1; c >= 0 && !Directed(blocks[r * kBlockColumns + c]); --c)
            outside[r * kBlockColumns + c] = true;
    }
    for (int c = 0; c < kBlockColumns; ++c) {
        for (int r = 0; r < kBlockRows && !Directed(blocks[r * kBlockColumns + c]); ++r)
            outside[r * kBlockColumns + c] = true;
        for (int r = kBlockRows - 1; r >= 0 && !Directed(blocks[r * kBlockColumns + c]); --r)
            outside[r * kBlockColumns + c] = true;
    }
    int holes = 0;
    for (int b = 0; b < kBlockCount; ++b)
        if (!Directed(blocks[b]) && !outside[b])
            ++holes;
    return holes;
}

int DirectedBlocks(const uint8_t* blocks)
{
    return static_cast<int>(std::count_if(blocks, blocks + kBlockCount, Directed));
}

int UndirectedInCentralWindow(const uint8_t* blocks)
{
    int undirected = 0;
    for (int r = kWindowFirstRow; r <= kWindowLastRow; ++r)
        for (int c = kWindowFirstColumn; c <= kWindowLastColumn; ++c)
            if (!Directed(blocks[r * kBlockColumns + c]))
                ++undirected;
    return undirected;
}

} // namespace

void FinishImpressionRecord(uint8_t* record)
{
    constexpr ImpressionFields kRecordFields{impression::kQualityOffset, impression::kCountOffset,
                                             impression::kBlocksOffset,  impression::kMinutiaXOffset,
                                             impression::kMinutiaYOffset, 4};
    FinishImpressionRecord(record, kRecordFields);
}

void FinishImpressionRecord(uint8_t* record, const ImpressionFields& fields)
{
    uint8_t& quality = record[fields.quality];
    const int count = record[fields.count];
    if (count < fields.fewestMinutiae ||
        4 * CrowdedMinutiae(record + fields.x, record + fields.y, count) >= count) {
        quality = 0;
        return;
    }
    const uint8_t* blocks = record + fields.blocks;
    const int directed = DirectedBlocks(blocks);
    const int holes = HolesInsidePrint(blocks);
    const int filled = directed > 0 ? 100 * directed / (directed + kHoleWeight * holes) : 0;
    quality = static_cast<uint8_t>(std::min<int>(quality, filled));
    const int central = (kWindowBlocks - UndirectedInCentralWindow(blocks)) * 100 / kWindowBlocks;
    quality = static_cast<uint8_t>(std::min<int>(quality, central));
}

} // namespace vela::engine
