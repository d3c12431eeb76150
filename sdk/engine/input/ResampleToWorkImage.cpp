#include "engine/input/ResampleToWorkImage.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

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

// SampleAxes for every column of one row of the output. Away from the
// picture's edges two columns are sampled at a time, in two-lane doubles
// that do each column's multiplications and additions in SampleAxes's order.
void SampleRow(const uint8_t* canvas, const std::vector<SampleAxis>& columns, const SampleAxis& row,
               int32_t background, uint8_t* out)
{
    const int32_t count = static_cast<int32_t>(columns.size());
    int32_t j = 0;
#if defined(__SSE2__)
    if (!row.outside && !row.outermost) {
        const __m128d rowWeights[2] = {_mm_set1_pd(row.weights[0]), _mm_set1_pd(row.weights[1])};
        const uint8_t* lines[2] = {canvas + row.cells[0] * kCanvasSide, canvas + row.cells[1] * kCanvasSide};
        for (; j + 2 <= count; j += 2) {
            const SampleAxis& a = columns[static_cast<size_t>(j)];
            const SampleAxis& b = columns[static_cast<size_t>(j + 1)];
            if (a.outside || a.outermost || b.outside || b.outermost) {
                out[j] = SampleAxes(canvas, a, row, background, kCanvasSide);
                out[j + 1] = SampleAxes(canvas, b, row, background, kCanvasSide);
                continue;
            }
            __m128d weighted = _mm_setzero_pd();
            __m128d weightSum = _mm_setzero_pd();
            for (int r = 0; r < 2; ++r) {
                for (int c = 0; c < 2; ++c) {
                    const __m128d weight = _mm_mul_pd(rowWeights[r], _mm_set_pd(b.weights[c], a.weights[c]));
                    const __m128d pixels = _mm_set_pd(lines[r][b.cells[c]], lines[r][a.cells[c]]);
                    weighted = _mm_add_pd(weighted, _mm_mul_pd(weight, pixels));
                    weightSum = _mm_add_pd(weightSum, weight);
                }
            }
            // Positive weights of non-negative greys: the mean is at least 0,
            // and RoundHalfAway adds one half and truncates.
            const __m128i rounded = _mm_cvttpd_epi32(_mm_add_pd(_mm_div_pd(weighted, weightSum), _mm_set1_pd(0.5)));
            out[j] = static_cast<uint8_t>(std::clamp(_mm_cvtsi128_si32(rounded), 0, 255));
            out[j + 1] = static_cast<uint8_t>(std::clamp(_mm_cvtsi128_si32(_mm_srli_si128(rounded, 4)), 0, 255));
        }
    }
#endif
    for (; j < count; ++j)
        out[j] = SampleAxes(canvas, columns[static_cast<size_t>(j)], row, background, kCanvasSide);
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
        SampleRow(canvas, columns, row, background, second + i * kCanvasSide);
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
