#include "engine/input/ValidateInputBmp.h"

#include <array>

#include "engine/input/BmpLayout.h"
#include "base/ByteOrder.h"

namespace vela::engine {

namespace {

constexpr int64_t kMinSide = 100;
constexpr int64_t kMaxSide = 2000;
constexpr int32_t kMinPixelsPerMetre = 7874;   // 200 dpi
constexpr int32_t kMaxPixelsPerMetre = 39370;  // 1000 dpi

bool IsPlainGreyBmp(const uint8_t* bmp)
{
    return bmp[0] == 'B' && bmp[1] == 'M' && ReadLe<uint16_t>(bmp + bmp::kPlanesField) == 1 &&
           ReadLe<uint16_t>(bmp + bmp::kBitsPerPixelField) == 8 &&
           ReadLe<uint32_t>(bmp + bmp::kCompressionField) == 0;
}

bool InRange(int64_t value, int64_t low, int64_t high)
{
    return value >= low && value <= high;
}

bool UsedPaletteIsGreyRamp(const uint8_t* bmp, int64_t width, int64_t height, int64_t stride)
{
    std::array<bool, bmp::kPaletteEntries> used{};
    const uint8_t* rows = bmp + bmp::kPixelDataOffset;
    for (int64_t row = 0; row < height; ++row) {
        const uint8_t* pixels = rows + row * stride;
        for (int64_t column = 0; column < width; ++column)
            used[pixels[column]] = true;
    }

    int32_t previousGrey = 0;
    for (size_t index = 0; index < bmp::kPaletteEntries; ++index) {
        if (!used[index])
            continue;
        const uint8_t* entry = bmp + bmp::kPaletteOffset + 4 * index;
        const uint8_t blue = entry[0];
        if (entry[1] != blue || entry[2] != blue || blue < previousGrey)
            return false;
        previousGrey = blue;
    }
    return true;
}

} // namespace

ResultCode ValidateInputBmp(const uint8_t* bmp, size_t length, int32_t* byteSize)
{
    if (byteSize != nullptr)
        *byteSize = 0;
    if (bmp == nullptr || length < bmp::kHeadersSize || !IsPlainGreyBmp(bmp))
        return result::BadBmpFormat;
    if (ReadLe<uint32_t>(bmp + bmp::kPixelOffsetField) != bmp::kPixelDataOffset)
        return result::BadBmpPixelOffset;

    const int64_t width = ReadLe<int32_t>(bmp + bmp::kWidthField);
    const int64_t height = ReadLe<int32_t>(bmp + bmp::kHeightField);
    const int64_t stride = bmp::RowStride(width);
    if (!InRange(stride, kMinSide, kMaxSide) || !InRange(height, kMinSide, kMaxSide))
        return result::BadImageSize;

    if (!InRange(ReadLe<int32_t>(bmp + bmp::kXPixelsPerMetreField), kMinPixelsPerMetre, kMaxPixelsPerMetre) ||
        !InRange(ReadLe<int32_t>(bmp + bmp::kYPixelsPerMetreField), kMinPixelsPerMetre, kMaxPixelsPerMetre))
        return result::BadResolution;

    const int64_t size = stride * height + static_cast<int64_t>(bmp::kPixelDataOffset);
    if (static_cast<uint64_t>(size) > length)
        return result::BadChainEntrySize;
    if (!UsedPaletteIsGreyRamp(bmp, width, height, stride))
        return result::BadBmpPalette;

    if (byteSize != nullptr)
        *byteSize = static_cast<int32_t>(size);
    return result::Success;
}

} // namespace vela::engine
