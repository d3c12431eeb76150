#pragma once

#include <cstdint>

#include "engine/cleaning/CleaningCanvas.h"

namespace vela::engine {

// Marks as print (1) the blocks where enough pixels of the stretched
// difference of the two means exceed cleanC, then closes one-block gaps.
// The difference image is framed and stretched in place.
CanvasBlockMap BuildForegroundMask(uint8_t* difference, CanvasExtent extent, int32_t cleanC, double cleanD);

// A background block between two print blocks (left and right, or above and
// below) becomes print; tests read the mask as it was.
void FillMaskGaps(CanvasBlockMap& mask, CanvasExtent extent);

// A block between two background blocks (left and right, or above and below)
// becomes background; tests read the mask as it was.
void RemoveIsolatedBlocks(CanvasBlockMap& mask, CanvasExtent extent);

// 0..100: how much of the print's width the inner rows use where the print
// is cut off at one side; 100 for a print of 9 blocks or fewer.
int32_t EdgeCutMeasure(const CanvasBlockMap& mask, CanvasExtent extent);

// The reference point when no core is found: 13 blocks below the first row
// of 4 print blocks, at the print's mean column; else the canvas middle.
CanvasPoint FallbackReferencePoint(const CanvasBlockMap& mask, CanvasExtent extent);

// The centroid of the inner print blocks in canvas pixels; the canvas middle
// for 10 blocks or fewer.
CanvasPoint MaskCentroid(const CanvasBlockMap& mask, CanvasExtent extent);

} // namespace vela::engine
