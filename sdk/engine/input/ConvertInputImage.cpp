#include "engine/input/ConvertInputImage.h"

#include <algorithm>
#include <cstring>

#include "engine/input/BmpLayout.h"
#include "engine/input/ValidateInputBmp.h"
#include "base/ByteOrder.h"
#include "engine/records/RoundHalfAway.h"

namespace vela::engine {

namespace {

// The single-precision factor lies a little below 0.0254, so resolutions that
// would give an exact half (12,500 pixels a metre: 317.5 dpi) round down.
constexpr float kInchesPerMetre = 0.025399999832f;
constexpr int32_t kHalfCanvas = kCanvasSide / 2;

struct BmpPicture {
    const uint8_t* rows;  // bottom row first
    int32_t width;
    int32_t height;
    int64_t stride;

    const uint8_t* TopDownRow(int32_t row) const { return rows + (height - 1 - row) * stride; }
};

struct Point {
    int32_t x;
    int32_t y;
};

// The centroid weighted by darkness (255 - grey), row 0 at the top, truncated;
// the middle of the picture when every pixel is white.
Point DarknessCentroid(const BmpPicture& picture)
{
    int64_t weightSum = 0;
    int64_t xSum = 0;
    int64_t ySum = 0;
    for (int32_t row = 0; row < picture.height; ++row) {
        const uint8_t* pixels = picture.TopDownRow(row);
        for (int32_t column = 0; column < picture.width; ++column) {
            const int64_t weight = 255 - pixels[column];
            weightSum += weight;
            xSum += weight * column;
            ySum += weight * row;
        }
    }
    if (weightSum == 0)
        return {picture.width / 2, picture.height / 2};
    return {static_cast<int32_t>(xSum / weightSum), static_cast<int32_t>(ySum / weightSum)};
}

int32_t WindowStart(int32_t centre, int32_t size)
{
    return std::clamp(centre - kHalfCanvas, 0, size - kCanvasSide);
}

} // namespace

int32_t PixelsPerMetreToDpi(int32_t pixelsPerMetre)
{
    return RoundHalfAway(static_cast<double>(pixelsPerMetre) * static_cast<double>(kInchesPerMetre));
}

ResultCode ConvertInputImage(const uint8_t* bmp, size_t bmpLength, uint8_t* canvas, size_t canvasLength,
                             ScannerParameters& parameters, int32_t& width, int32_t& height, ContentRect& bounds)
{
    if (const ResultCode code = ValidateInputBmp(bmp, bmpLength, nullptr); code != result::Success)
        return code;
    if (canvas == nullptr || canvasLength < kCanvasBytes)
        return result::WorkBufferUnavailable;

    const BmpPicture picture{bmp + bmp::kPixelDataOffset, ReadLe<int32_t>(bmp + bmp::kWidthField),
                             ReadLe<int32_t>(bmp + bmp::kHeightField),
                             bmp::RowStride(ReadLe<int32_t>(bmp + bmp::kWidthField))};
    parameters.sourceDpiX = PixelsPerMetreToDpi(ReadLe<int32_t>(bmp + bmp::kXPixelsPerMetreField));
    parameters.sourceDpiY = PixelsPerMetreToDpi(ReadLe<int32_t>(bmp + bmp::kYPixelsPerMetreField));

    int32_t left = 0;
    int32_t top = 0;
    if (picture.width > kCanvasSide || picture.height > kCanvasSide) {
        const Point centroid = DarknessCentroid(picture);
        if (picture.height > kCanvasSide)
            top = WindowStart(centroid.y, picture.height);
        if (picture.width > kCanvasSide)
            left = WindowStart(centroid.x, picture.width);
    }
    width = std::min(picture.width, kCanvasSide);
    height = std::min(picture.height, kCanvasSide);

    // Pixel bytes are taken as grey values: the check has made sure that the
    // palette entries in use are grey and in ascending order.
    std::memset(canvas, 255, kCanvasBytes);
    for (int32_t row = 0; row < height; ++row)
        std::memcpy(canvas + static_cast<size_t>(row) * kCanvasSide, picture.TopDownRow(top + row) + left,
                    static_cast<size_t>(width));

    parameters.cropX = left;
    parameters.cropY = top;
    bounds = {0, 0, width - 1, height - 1};
    return result::Success;
}

} // namespace vela::engine
