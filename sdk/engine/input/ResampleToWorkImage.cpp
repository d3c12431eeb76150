#include "engine/input/ResampleToWorkImage.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

#include "engine/records/RoundHalfAway.h"

namespace vela::engine {

namespace {

constexpr int32_t kBackgroundMargin = 32;
constexpr int32_t kMinBrighterPixels = 100;

// Just under one half: a position on a pixel centre takes half of each
// neighbour, a position between two centres takes both nearly whole.
constexpr double kSampleReach = 0.499999999999999;

int32_t ScaledSize(int32_t size, int32_t target, int32_t source)
{
    return RoundHalfAway(static_cast<double>(size) * target / source);
}

} // namespace

int32_t BackgroundLevel(const uint8_t* canvas, int32_t width, int32_t height)
{
    int64_t sum = 0;
    int64_t count = 0;
    for (int32_t row = kBackgroundMargin; row <= height - kBackgroundMargin; ++row) {
        for (int32_t column = kBackgroundMargin; column <= width - kBackgroundMargin; ++column) {
            sum += canvas[row * kCanvasSide + column];
            ++count;
        }
    }
    if (count == 0)
        return 255;
    const int64_t mean = sum / count;

    int64_t brighterSum = 0;
    int64_t brighterCount = 0;
    for (int32_t row = kBackgroundMargin; row <= height - kBackgroundMargin; ++row) {
        for (int32_t column = kBackgroundMargin; column <= width - kBackgroundMargin; ++column) {
            const uint8_t grey = canvas[row * kCanvasSide + column];
            if (grey > mean) {
                brighterSum += grey;
                ++brighterCount;
            }
        }
    }
    if (brighterCount < kMinBrighterPixels)
        return static_cast<int32_t>(mean);
    return std::min(RoundHalfAway(static_cast<double>(brighterSum) / static_cast<double>(brighterCount)), 255);
}

namespace {

// Where one coordinate samples along its axis: the pixel it falls in, and,
// away from the outermost pixels, the two neighbours and their weights.
struct SampleAxis {
    int32_t pixel = 0;
    bool outside = false;
    bool outermost = false;
    int32_t cells[2] = {0, 0};
    double weights[2] = {0.0, 0.0};
};

SampleAxis MakeSampleAxis(double coordinate, int32_t size)
{
    SampleAxis axis;
    axis.pixel = static_cast<int32_t>(coordinate);
    axis.outside = axis.pixel < 0 || axis.pixel >= size;
    axis.outermost = axis.pixel == 0 || axis.pixel == size - 1;
    const double lowEdge = coordinate - kSampleReach;
    const double highEdge = coordinate + kSampleReach;
    axis.cells[0] = static_cast<int32_t>(std::floor(lowEdge));
    axis.cells[1] = static_cast<int32_t>(std::floor(highEdge));
    axis.weights[0] = 1.0 - (lowEdge - std::floor(lowEdge));
    axis.weights[1] = highEdge - std::floor(highEdge);
    return axis;
}

uint8_t SampleAxes(const uint8_t* canvas, const SampleAxis& x, const SampleAxis& y, int32_t background,
                   int32_t stride)
{
    if (x.outside || y.outside)
        return static_cast<uint8_t>(background);
    if (x.outermost || y.outermost)
        return canvas[y.pixel * stride + x.pixel];
    double weighted = 0.0;
    double weightSum = 0.0;
    for (int r = 0; r < 2; ++r) {
        for (int c = 0; c < 2; ++c) {
            const double weight = y.weights[r] * x.weights[c];
            weighted += weight * canvas[y.cells[r] * stride + x.cells[c]];
            weightSum += weight;
        }
    }
    return static_cast<uint8_t>(std::clamp(RoundHalfAway(weighted / weightSum), 0, 255));
}

} // namespace

uint8_t SampleArea(const uint8_t* canvas, int32_t width, int32_t height, double x, double y, int32_t background,
                   int32_t stride)
{
    return SampleAxes(canvas, MakeSampleAxis(x, width), MakeSampleAxis(y, height), background, stride);
}

ResultCode ResampleToWorkImage(uint8_t* canvas, size_t canvasLength, uint8_t* second, size_t secondLength,
                               ScannerParameters& parameters, int32_t& background, int32_t& width,
                               int32_t& height, ContentRect& bounds)
{
    if (canvas == nullptr || second == nullptr || canvasLength < kCanvasBytes || secondLength < kCanvasBytes ||
        width < 0 || width > kCanvasSide || height < 0 || height > kCanvasSide)
        return result::WorkBufferUnavailable;

    background = BackgroundLevel(canvas, width, height);
    const ScannerParameters& p = parameters;
    if (p.targetDpiX == p.sourceDpiX && p.targetDpiY == p.sourceDpiY)
        return result::Success;
    // Parameters that do not come from GetScannerParameters and a BMP may
    // lack a resolution; such a picture is left as it is.
    if (p.targetDpiX <= 0 || p.targetDpiY <= 0 || p.sourceDpiX <= 0 || p.sourceDpiY <= 0)
        return result::Success;

    const int32_t newWidth = ScaledSize(width, p.targetDpiX, p.sourceDpiX);
    const int32_t newHeight = ScaledSize(height, p.targetDpiY, p.sourceDpiY);
    if (newWidth < 1 || newHeight < 1)
        return result::Success;
    const int32_t cropX = ScaledSize(p.cropX, p.targetDpiX, p.sourceDpiX);
    const int32_t cropY = ScaledSize(p.cropY, p.targetDpiY, p.sourceDpiY);

    const int32_t leftOffset = newWidth > kCanvasSide ? (newWidth - kCanvasSide) / 2 : 0;
    const int32_t topOffset = newHeight > kCanvasSide ? (newHeight - kCanvasSide) / 2 : 0;
    const int32_t outWidth = std::min(newWidth, kCanvasSide);
    const int32_t outHeight = std::min(newHeight, kCanvasSide);

    std::memset(second, background, kCanvasBytes);
    // Every column samples at the same x on each row: work its axis out once.
    std::vector<SampleAxis> columns(static_cast<size_t>(outWidth));
    for (int32_t j = 0; j < outWidth; ++j)
        columns[static_cast<size_t>(j)] =
            MakeSampleAxis(static_cast<double>(j + leftOffset) * width / newWidth, width);
    for (int32_t i = 0; i < outHeight; ++i) {
        const SampleAxis row = MakeSampleAxis(static_cast<double>(i + topOffset) * height / newHeight, height);
        for (int32_t j = 0; j < outWidth; ++j)
            second[i * kCanvasSide + j] = SampleAxes(canvas, columns[static_cast<size_t>(j)], row, background, kCanvasSide);
    }
    std::memcpy(canvas, second, kCanvasBytes);

    width = outWidth;
    height = outHeight;
    bounds = {0, 0, outWidth - 1, outHeight - 1};
    parameters.cropX = cropX + leftOffset;
    parameters.cropY = cropY + topOffset;
    return result::Success;
}

} // namespace vela::engine
