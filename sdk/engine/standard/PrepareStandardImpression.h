#pragma once

#include <array>
#include <cstdint>

#include "engine/standard/StandardImpression.h"

namespace vela::engine {

// Contrast stretch, adaptive binarisation and block directions of the grey
// image in W1: the binary image goes to W0, the block map and its quality
// into the impression (cleared first, capacity as written by the caller).
void PrepareStandardImpression(StandardWorkArea& area, uint8_t* impression, int32_t blockEnergy);

// Stretches the active area so that `n` pixels of the inset window lie at or
// beyond each end of the grey scale.
void StretchImageContrast(int n, int inset, uint8_t* image);

// Per block, the pixels above 35 after a frame clear and a stretch, with
// single gaps between counted blocks closed.
using BlockCounts = std::array<int32_t, kBlockCount>;
BlockCounts CountBlockForeground(uint8_t* image);
inline bool ForegroundBlock(int32_t count) { return count > 51; }

// The line a ~ slope b + intercept that the binarisation compares each grey
// pixel a with (b its local mean), fitted over the pixels of foreground
// blocks in rows 11..389 and columns 11..279 of the work area.
struct ThresholdLine {
    double slope;
    double intercept;
};
ThresholdLine FitThresholdLine(const uint8_t* grey, const uint8_t* mean, const BlockCounts& counts);

// Binarises the grey image against its 11-pixel local mean, fitted over the
// foreground blocks.
void AdaptiveBinarise(uint8_t* grey, uint8_t* output, uint8_t* scratch, uint8_t* boxScratch);

} // namespace vela::engine
