#pragma once

#include <cstddef>
#include <cstdint>

namespace vela::engine {

// The input stage works on 640 x 640 grey canvases (row stride 640, rows
// top-down, 0 black .. 255 white) and on block maps of 40 x 40 bytes, one
// block per 16 x 16 canvas pixels.
inline constexpr int32_t kCanvasSide = 640;
inline constexpr size_t kCanvasBytes = static_cast<size_t>(kCanvasSide) * kCanvasSide;
inline constexpr int32_t kCanvasBlockSide = 16;
inline constexpr int32_t kBlockMapSide = kCanvasSide / kCanvasBlockSide;  // 40
inline constexpr size_t kBlockMapBytes = static_cast<size_t>(kBlockMapSide) * kBlockMapSide;

// The bounding rectangle of the picture on a canvas, edges included.
struct ContentRect {
    int32_t left = 0;
    int32_t top = 0;
    int32_t right = -1;
    int32_t bottom = -1;

    bool operator==(const ContentRect&) const = default;
};

} // namespace vela::engine
