#pragma once

#include <array>
#include <cstdint>

#include "engine/input/GreyCanvas.h"

namespace vela::engine {

// The extent of the picture on a 640 x 640 canvas after centring: the filters
// work on rows 0..height-1 and columns 0..width-1, and the block maps on its
// whole 16 x 16 blocks.
struct CanvasExtent {
    int32_t width;
    int32_t height;

    int32_t Columns() const { return width / kCanvasBlockSide; }
    int32_t Rows() const { return height / kCanvasBlockSide; }
};

// A point in canvas pixels.
struct CanvasPoint {
    int32_t x;
    int32_t y;
};

// An inclusive window of canvas rows and columns.
struct CanvasWindow {
    int32_t firstRow;
    int32_t lastRow;
    int32_t firstColumn;
    int32_t lastColumn;
};

// 40 x 40 bytes, one per block of the canvas, row stride 40. Blocks beyond the
// used extent stay background (mask 0) or unoriented (181).
using CanvasBlockMap = std::array<uint8_t, kBlockMapBytes>;

inline int32_t BlockIndexOfPixel(int32_t row, int32_t column)
{
    return (row / kCanvasBlockSide) * kBlockMapSide + column / kCanvasBlockSide;
}

} // namespace vela::engine
