#include "engine/input/CentreOnCanvas.h"

#include <algorithm>
#include <cstring>

namespace vela::engine {

namespace {

int32_t CentringOffset(int32_t size)
{
    return size < kCanvasSide ? (kCanvasSide - size) / 2 : 0;
}

} // namespace

ResultCode CentreOnCanvas(const uint8_t* canvas, size_t canvasLength, uint8_t* output, size_t outputLength,
                          int32_t background, int32_t& width, int32_t& height, ContentRect& bounds)
{
    if (canvas == nullptr || output == nullptr || canvasLength < kCanvasBytes || outputLength < kCanvasBytes ||
        width < 0 || width > kCanvasSide || height < 0 || height > kCanvasSide)
        return result::WorkBufferUnavailable;

    const int32_t offsetX = CentringOffset(width);
    const int32_t offsetY = CentringOffset(height);
    if (offsetX == 0 && offsetY == 0) {
        std::memcpy(output, canvas, kCanvasBytes);
        return result::Success;
    }

    std::memset(output, std::clamp(background, 0, 255), kCanvasBytes);
    for (int32_t row = 0; row < height; ++row)
        std::memcpy(output + static_cast<size_t>(row + offsetY) * kCanvasSide + offsetX,
                    canvas + static_cast<size_t>(row) * kCanvasSide, static_cast<size_t>(width));
    width += 2 * offsetX;
    height += 2 * offsetY;
    bounds.left += offsetX;
    bounds.right += offsetX;
    bounds.top += offsetY;
    bounds.bottom += offsetY;
    return result::Success;
}

} // namespace vela::engine
