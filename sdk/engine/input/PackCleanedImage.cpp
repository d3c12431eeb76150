#include "engine/input/PackCleanedImage.h"

#include <algorithm>
#include <cstring>

#include "engine/input/CutWorkArea.h"
#include "engine/records/EngineGeometry.h"

namespace vela::engine {

namespace {

constexpr int32_t kEdge = 4;

void ClearEdges(uint8_t* area, const ContentRect& bounds)
{
    // Work in 64 bits: a rectangle far off the area must not overflow.
    const int64_t lastTopRow = std::min<int64_t>(int64_t{bounds.top} + kEdge, kWorkHeight - 1);
    const int64_t firstBottomRow = std::max<int64_t>(int64_t{bounds.bottom} - kEdge, 0);
    const int64_t lastLeftColumn = std::min<int64_t>(int64_t{bounds.left} + kEdge, kWorkWidth - 1);
    const int64_t firstRightColumn = std::max<int64_t>(int64_t{bounds.right} - kEdge, 0);
    for (int64_t row = 0; row < kWorkHeight; ++row) {
        uint8_t* pixels = area + row * kCanvasSide;
        if (row <= lastTopRow || row >= firstBottomRow) {
            std::memset(pixels, 0, kWorkWidth);
            continue;
        }
        for (int64_t column = 0; column <= lastLeftColumn; ++column)
            pixels[column] = 0;
        for (int64_t column = firstRightColumn; column < kWorkWidth; ++column)
            pixels[column] = 0;
    }
}

} // namespace

ResultCode PackCleanedImage(uint8_t* area, size_t areaLength, uint8_t* output, size_t outputLength,
                            const ContentRect& bounds)
{
    if (area == nullptr || output == nullptr || areaLength < kWorkAreaOnCanvasBytes ||
        outputLength < static_cast<size_t>(kCleanedImageBytes))
        return result::WorkBufferUnavailable;

    ClearEdges(area, bounds);
    for (int32_t row = 0; row < kWorkHeight; ++row) {
        const uint8_t* pixels = area + static_cast<size_t>(row) * kCanvasSide;
        uint8_t* packed = output + row * kCleanedRowBytes;
        for (int32_t byte = 0; byte < kCleanedRowBytes; ++byte) {
            const uint8_t* eight = pixels + 8 * byte;
            uint32_t bits = 0;
            for (int32_t bit = 0; bit < 8; ++bit)
                bits = (bits << 1) | (eight[bit] == 255 ? 1u : 0u);
            packed[byte] = static_cast<uint8_t>(bits);
        }
    }
    return result::Success;
}

} // namespace vela::engine
