#pragma once

#include <cstdint>

#include "engine/standard/StandardImpression.h"

namespace vela::engine {

// The sampler that brings an image to 170 pixels per centimetre: the ISO
// path samples in doubles, the INCITS path in thousandths of a pixel. The two
// give different pixels and are not interchangeable.
enum class StandardSampler { Float, FixedPoint };

void ResampleImage(const uint8_t* source, uint8_t* destination, int32_t width, int32_t height, int32_t newWidth,
                   int32_t newHeight);
// False, writing nothing, when a scale factor rounds to 0 thousandths.
bool ResampleImageFixedPoint(const uint8_t* source, uint8_t* destination, int32_t width, int32_t height,
                             int32_t newWidth, int32_t newHeight);

// One grey view as the caller gives it.
struct StandardImageSpec {
    int32_t width;
    int32_t height;
    int32_t xResolution; // pixels per centimetre
    int32_t yResolution;
    bool invert;         // every pixel p is read as 255 - p
    int32_t blockEnergy;
};

// Size of the image at 170 pixels per centimetre; 0 on an axis that shrinks
// to nothing.
int32_t ScaledLength(int32_t length, int32_t resolution);
// Whether such an image can be processed: sizes and resolutions fit the records'
// 16-bit fields and the resampled image is not empty.
bool UsableImageSpec(const StandardImageSpec& spec, StandardSampler sampler);

// Where the 288 x 400 work area was cut from the image at 170 pixels per cm.
struct StandardCut {
    int32_t left = 0;
    int32_t top = 0;
};

// The whole standard path for one view: resampling, inversion, the cut around
// the brightness centroid, preparation, ridge clean-up and FindStandardMinutiae
// into the impression. 0, or standard_result::OutOfMemory or LowQuality.
int32_t ExtractStandardView(const uint8_t* pixels, const StandardImageSpec& spec, StandardSampler sampler,
                            StandardCapacity capacity, StandardWorkArea& area, uint8_t* impression,
                            StandardCut& cut);

} // namespace vela::engine
