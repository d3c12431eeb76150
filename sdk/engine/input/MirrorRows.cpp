#include "engine/input/MirrorRows.h"

#include <algorithm>

#include "engine/input/GreyCanvas.h"

namespace vela::engine {

ResultCode MirrorRows(uint8_t* canvas, size_t length, int32_t width, int32_t height)
{
    if (canvas == nullptr || length < kCanvasBytes || width < 0 || width > kCanvasSide || height < 0 ||
        height > kCanvasSide)
        return result::WorkBufferUnavailable;
    for (int32_t row = 0; row < height; ++row) {
        uint8_t* pixels = canvas + static_cast<size_t>(row) * kCanvasSide;
        std::reverse(pixels, pixels + width);
    }
    return result::Success;
}

} // namespace vela::engine
