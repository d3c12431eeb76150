#pragma once

#include "engine/records/EngineGeometry.h"

namespace vela::engine {

// The offsets the minutiae steps scan: first to last active pixel of a
// WorkImage (the margin columns between rows included, they are clear).
inline constexpr int kScanFirst = kWorkImageFirstPixel;
inline constexpr int kScanLast = kWorkImageFirstPixel + (kWorkHeight - 1) * kWorkImageStride + kWorkWidth - 1;

// Work-image pixel position of an offset in that range.
struct PixelPosition {
    int column;
    int row;
};
inline PixelPosition PositionOf(int at)
{
    const int relative = at - kWorkImageFirstPixel;
    return PixelPosition{relative % kWorkImageStride, relative / kWorkImageStride};
}

} // namespace vela::engine
