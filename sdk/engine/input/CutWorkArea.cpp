#include "engine/input/CutWorkArea.h"

#include "engine/records/EngineGeometry.h"
#include "engine/records/RoundHalfAway.h"

namespace vela::engine {

ResultCode CutWorkArea(const uint8_t* canvas, size_t canvasLength, uint8_t* output, size_t outputLength,
                       int32_t px, int32_t py, const uint8_t* mask, size_t maskLength, int32_t width,
                       int32_t height, ContentRect& bounds, CutCounts& counts)
{
    if (canvas == nullptr || output == nullptr || mask == nullptr || canvasLength < kCanvasBytes ||
        outputLength < kWorkAreaOnCanvasBytes || maskLength < kBlockMapBytes || width < 0 || width > kCanvasSide ||
        height < 0 || height > kCanvasSide)
        return result::WorkBufferUnavailable;

    const int64_t dx = int64_t{kCanvasBlockSide} * RoundHalfAway((static_cast<double>(px) - kWorkWidth / 2) / 16.0);
    const int64_t top = int64_t{kCanvasBlockSide} * RoundHalfAway((static_cast<double>(py) - kWorkHeight / 2) / 16.0);

    counts = {};
    for (int32_t i = 0; i < kWorkHeight; ++i) {
        uint8_t* out = output + static_cast<size_t>(i) * kCanvasSide;
        const int64_t row = top + i;
        for (int32_t j = 0; j < kWorkWidth; ++j) {
            const int64_t column = dx + j;
            out[j] = 0;
            if (row < 0 || row >= height || column < 0 || column >= width)
                continue;
            if (mask[(row / kCanvasBlockSide) * kBlockMapSide + column / kCanvasBlockSide] != 1)
                continue;
            const uint8_t pixel = canvas[row * kCanvasSide + column];
            out[j] = pixel;
            ++counts.copied;
            if (pixel != 0)
                ++counts.nonZero;
            else
                ++counts.zero;
        }
    }

    bounds.left = static_cast<int32_t>(bounds.left - dx);
    bounds.right = static_cast<int32_t>(bounds.right - dx);
    bounds.top = static_cast<int32_t>(bounds.top - top);
    bounds.bottom = static_cast<int32_t>(bounds.bottom - top);
    return result::Success;
}

} // namespace vela::engine
