#pragma once

#include <cstdint>
#include <span>

#include "engine/records/ResultCodes.h"

namespace vela::engine {

// The work buffer the image form needs: two 640 x 640 canvases.
inline constexpr size_t kImageFeaturesWorkSize = 819200;

// The first impression of a stored block as flat BiometricFeatures (2,644
// bytes): minutiae in work-image pixels with angles in degrees counted toward
// the top of the image, and each block's direction in degrees (180 for none).
// 0xC3100064 for a type without impressions, a block whose first impression
// lies beyond its size word or buffer, or a compact block that cannot be
// expanded.
ResultCode XGetBiometricFeatures(std::span<const uint8_t> block, std::span<uint8_t> features);

// The quality 0..100 of one picture, measured on a grid of `mode` pixels
// (clamped to 2..30). The BMP's own checks come first; a picture that cannot
// be measured gives 0xC3100074, a work buffer shorter than 819,200 bytes
// 0xC3100075.
ResultCode XGetBiometricFeatures(std::span<const uint8_t> bmp, int32_t mode, int32_t* value, int32_t scannerId,
                                 int32_t dataId, std::span<uint8_t> work);

} // namespace vela::engine
