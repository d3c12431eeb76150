#pragma once

#include <cstdint>
#include <cstring>

#include "engine/records/EngineGeometry.h"

namespace vela::engine {

// The offsets the minutiae steps scan: first to last active pixel of a
// WorkImage (the margin columns between rows included, they are clear).
inline constexpr int kScanFirst = kWorkImageFirstPixel;
inline constexpr int kScanLast = kWorkImageFirstPixel + (kWorkHeight - 1) * kWorkImageStride + kWorkWidth - 1;

// The first offset from `at` on whose byte is set, or past kScanLast. The
// thinned images are mostly clear, so clear stretches are passed over eight
// bytes at a time.
inline int NextSetOffset(const uint8_t* image, int at)
{
    while (at + 8 <= kScanLast + 1) {
        uint64_t word;
        std::memcpy(&word, image + at, sizeof word);
        if (word != 0)
            break;
        at += 8;
    }
    while (at <= kScanLast && image[at] == 0)
        ++at;
    return at;
}

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
