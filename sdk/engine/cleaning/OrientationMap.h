#pragma once

#include <cstdint>

#include "engine/cleaning/CleaningCanvas.h"

namespace vela::engine {

// Sums of the Sobel gradient products over one block of the 3-mean image.
struct OrientationSums {
    int64_t gxx;
    int64_t gyy;
    int64_t gxy;
};
OrientationSums BlockOrientationSums(const uint8_t* meanImage, int32_t blockRow, int32_t blockColumn);

// Ridge orientation of a block in whole degrees 0..179 (0 = ridges along the
// rows, counted toward increasing rows), 181 when the block is flat.
uint8_t BlockOrientation(const OrientationSums& sums);

// Orientations of the print blocks, smoothed over each block's neighbours as
// doubled angles; 181 for background.
CanvasBlockMap BuildOrientationMap(const uint8_t* meanImage, const CanvasBlockMap& mask, CanvasExtent extent);

// Both blocks of an upper or left pair more than 30 degrees apart lose their orientation.
void ClearOrientationBreaks(CanvasBlockMap& orientation, CanvasExtent extent);

// Fills unoriented blocks from their oriented neighbours, pass after pass,
// then clears the background blocks again. Maps with 15 oriented blocks or
// fewer, or with no hole, are left alone.
void FillOrientationHoles(CanvasBlockMap& orientation, const CanvasBlockMap& mask, CanvasExtent extent);

// The doubled-angle mean of a sum of ThetaCosSin vectors, in degrees 0..179.
uint8_t MeanOrientation(double cosSum, double sinSum);

} // namespace vela::engine
