#include "engine/input/CutWorkArea.h"

#include <algorithm>
#include <cstring>

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
    // The columns of the area that lie on the content, the same for every row.
    const int64_t firstJ = std::clamp<int64_t>(-dx, 0, kWorkWidth);
    const int64_t endJ = std::clamp<int64_t>(int64_t{width} - dx, firstJ, kWorkWidth);
    for (int32_t i = 0; i < kWorkHeight; ++i) {
        uint8_t* out = output + static_cast<size_t>(i) * kCanvasSide;
        std::memset(out, 0, kWorkWidth);
        const int64_t row = top + i;
        if (row < 0 || row >= height)
            continue;
        const uint8_t* maskRow = mask + (row / kCanvasBlockSide) * kBlockMapSide;
        const uint8_t* line = canvas + row * kCanvasSide;
        // Block by block along the row: a block of the mask is copied whole or not at all.
        for (int64_t j = firstJ; j < endJ;) {
            const int64_t column = dx + j;
            const int64_t end = std::min<int64_t>(endJ, j + kCanvasBlockSide - column % kCanvasBlockSide);
            if (maskRow[column / kCanvasBlockSide] == 1) {
                const size_t length = static_cast<size_t>(end - j);
                std::memcpy(out + j, line + column, length);
                int32_t zero = 0;
                for (size_t k = 0; k < length; ++k)
                    zero += line[column + static_cast<int64_t>(k)] == 0 ? 1 : 0;
                counts.copied += static_cast<int32_t>(length);
                counts.zero += zero;
                counts.nonZero += static_cast<int32_t>(length) - zero;
            }
            j = end;
        }
    }

    bounds.left = static_cast<int32_t>(bounds.left - dx);
    bounds.right = static_cast<int32_t>(bounds.right - dx);
    bounds.top = static_cast<int32_t>(bounds.top - top);
    bounds.bottom = static_cast<int32_t>(bounds.bottom - top);
    return result::Success;
}

} // namespace vela::engine
