#include "engine/matching/ReduceImpression.h"

#include <algorithm>

namespace vela::engine {

namespace {

constexpr int32_t kErodedBorder = 2;

bool NeighbourhoodIsDirected(const BlockMap& map, int32_t row, int32_t column)
{
    for (int32_t dr = -1; dr <= 1; ++dr) {
        for (int32_t dc = -1; dc <= 1; ++dc) {
            if (!IsDirected(BlockValueAt(map, row + dr, column + dc)))
                return false;
        }
    }
    return true;
}

} // namespace

BlockMap ErodeBlockMap(const BlockMap& map)
{
    BlockMap eroded;
    eroded.fill(kNoDirection);
    for (int32_t row = kErodedBorder; row < kBlockRows - kErodedBorder; ++row) {
        for (int32_t column = kErodedBorder; column < kBlockColumns - kErodedBorder; ++column) {
            if (NeighbourhoodIsDirected(map, row, column))
                eroded[row * kBlockColumns + column] = map[row * kBlockColumns + column];
        }
    }
    return eroded;
}

Impression ReduceImpression(const Impression& impression)
{
    Impression reduced = impression;
    reduced.blocks = ErodeBlockMap(impression.blocks);
    reduced.x.fill(0);
    reduced.y.fill(0);
    reduced.direction.fill(0);
    const int32_t count = std::min<int32_t>(impression.count, kMaxMinutiae);
    int32_t kept = 0;
    for (int32_t i = 0; i < count; ++i) {
        if (!IsDirected(BlockUnderMinutia(reduced.blocks, impression.x[i], impression.y[i])))
            continue;
        reduced.x[kept] = impression.x[i];
        reduced.y[kept] = impression.y[i];
        reduced.direction[kept] = impression.direction[i];
        ++kept;
    }
    reduced.count = static_cast<uint8_t>(kept);
    return reduced;
}

} // namespace vela::engine
