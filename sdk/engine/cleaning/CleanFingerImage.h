#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

#include "engine/input/GreyCanvas.h"
#include "engine/records/EngineGeometry.h"

namespace vela::engine {

// Where the cleaned variants go: count in = capacity, out = produced.
struct CleanedVariantList {
    int32_t count;
    uint8_t* images[4]; // 14,400 bytes each
};

// Where the ImageParameters blocks go: count in = capacity, out = produced.
struct ImageParameterList {
    int32_t count;
    uint8_t* blocks[2]; // 108 bytes each
};

// The cleaned output image (centroid cut of the enhanced image); only the
// pointer is used.
struct CleanedOutputImage {
    int32_t count;
    uint8_t* image; // 14,400 bytes, or none
};

inline constexpr int32_t kCleaningDone = 0;
inline constexpr int32_t kCleaningNoRoom = -5; // fewer than 4 variants or 2 parameter blocks
inline constexpr int32_t kCleaningFailed = -6; // the picture could not be converted, or the work buffer is short

// The work buffer: four grey canvases A, B, C, D, the int16 enhancement
// accumulator and four slots for the packed cuts; 2-byte aligned.
namespace cleaning_work {
inline constexpr size_t kCanvasA = 0;
inline constexpr size_t kCanvasB = kCanvasA + kCanvasBytes;
inline constexpr size_t kCanvasC = kCanvasB + kCanvasBytes;
inline constexpr size_t kCanvasD = kCanvasC + kCanvasBytes;
inline constexpr size_t kAccumulator = kCanvasD + kCanvasBytes;
inline constexpr size_t kSlots = kAccumulator + kCanvasBytes * sizeof(int16_t);
inline constexpr size_t kSize = kSlots + 4 * static_cast<size_t>(kCleanedImageBytes); // 2,515,200
} // namespace cleaning_work

// Cleans one 8-bit grey BMP of the given scanner into up to four 1-bit
// cleaned variants (core and centroid cuts, threshold-binarised and enhanced)
// and up to two ImageParameters blocks, chosen by the BiometricDataId.
int32_t CleanFingerImage(int32_t scannerId, int32_t dataId, std::span<const uint8_t> bmp,
                         CleanedVariantList& variants, ImageParameterList& parameters, CleanedOutputImage& output,
                         std::span<uint8_t> work);

// Whether every pixel of the BMP takes the value of its first stored pixel or
// one other value (pictures of two grey levels only).
bool HoldsTwoGreyValues(std::span<const uint8_t> bmp);

} // namespace vela::engine
