#include "engine/cleaning/ContrastQuality.h"

#include <algorithm>
#include <cmath>

#include "engine/records/EngineGeometry.h"
#include "engine/records/RoundHalfAway.h"

namespace vela::engine {
namespace {

constexpr int32_t kLowestGroupContrast = 45;

int32_t Index(int32_t row, int32_t column) { return row * kBlockMapSide + column; }

} // namespace

uint8_t BlockContrast(const uint8_t* enhanced, int32_t blockRow, int32_t blockColumn)
{
    int64_t sum = 0;
    for (int32_t row = blockRow * kCanvasBlockSide; row < (blockRow + 1) * kCanvasBlockSide; ++row) {
        const uint8_t* line = enhanced + row * kCanvasSide + blockColumn * kCanvasBlockSide;
        for (int32_t k = 0; k < kCanvasBlockSide; ++k)
            sum += (line[k] - 128) * (line[k] - 128);
    }
    const int64_t mean = sum / 16 / 16;
    return static_cast<uint8_t>(RoundHalfAway(std::sqrt(static_cast<double>(mean))));
}

void ContrastQuality(const uint8_t* enhanced, CanvasBlockMap& mask, CanvasBlockMap& contrast, CanvasExtent extent)
{
    for (int32_t r = 0; r < extent.Rows(); ++r)
        for (int32_t c = 0; c < extent.Columns(); ++c)
            contrast[Index(r, c)] = BlockContrast(enhanced, r, c);
    for (int32_t gr = 0; gr < extent.Rows() / 2; ++gr)
        for (int32_t gc = 0; gc < extent.Columns() / 2; ++gc) {
            int32_t sum = 0, k = 0;
            for (int32_t r = 2 * gr; r <= 2 * gr + 1; ++r)
                for (int32_t c = 2 * gc; c <= 2 * gc + 1; ++c)
                    if (mask[Index(r, c)]) {
                        sum += contrast[Index(r, c)];
                        ++k;
                    }
            if (k == 0 || sum / k >= kLowestGroupContrast)
                continue;
            for (int32_t r = 2 * gr; r <= 2 * gr + 1; ++r)
                for (int32_t c = 2 * gc; c <= 2 * gc + 1; ++c)
                    mask[Index(r, c)] = 0;
        }
}

int32_t WindowQuality(CanvasPoint point, const CanvasBlockMap& mask, const CanvasBlockMap& contrast,
                      CanvasExtent extent)
{
    const int32_t halfWidth = kWorkWidth / 2, halfHeight = kWorkHeight / 2;
    const int32_t firstGroupColumn = std::max(0, (point.x - halfWidth) / kCanvasBlockSide) / 2;
    const int32_t lastGroupColumn = std::min(extent.Columns(), (point.x + halfWidth) / kCanvasBlockSide) / 2 - 1;
    const int32_t firstGroupRow = std::max(0, (point.y - halfHeight) / kCanvasBlockSide) / 2;
    const int32_t lastGroupRow = std::min(extent.Rows(), (point.y + halfHeight) / kCanvasBlockSide) / 2 - 1;
    int32_t n = 0, sum = 0;
    for (int32_t gr = firstGroupRow; gr <= lastGroupRow; ++gr)
        for (int32_t gc = firstGroupColumn; gc <= lastGroupColumn; ++gc)
            for (int32_t r = 2 * gr; r <= 2 * gr + 1; ++r)
                for (int32_t c = 2 * gc; c <= 2 * gc + 1; ++c)
                    if (mask[Index(r, c)]) {
                        ++n;
                        sum += contrast[Index(r, c)];
                    }
    const int32_t m = n > 1 ? RoundHalfAway(static_cast<double>(sum) / n) : 0;
    return std::clamp((m - 62) * 65 / 28 + 35, 0, 100);
}

} // namespace vela::engine
