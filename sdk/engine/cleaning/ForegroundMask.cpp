#include "engine/cleaning/ForegroundMask.h"

#include <algorithm>

#include "engine/cleaning/CanvasFilters.h"
#include "engine/records/RoundHalfAway.h"

namespace vela::engine {
namespace {

constexpr int32_t kDifferenceFrame = 5;
constexpr int32_t kDifferenceClip = 40;
constexpr int32_t kStretchMargin = 20;
constexpr int32_t kGapPasses = 3;

uint8_t& At(CanvasBlockMap& map, int32_t row, int32_t column) { return map[row * kBlockMapSide + column]; }
uint8_t At(const CanvasBlockMap& map, int32_t row, int32_t column) { return map[row * kBlockMapSide + column]; }

int32_t PrintPixels(const uint8_t* image, int32_t blockRow, int32_t blockColumn, int32_t level)
{
    int32_t count = 0;
    for (int32_t row = blockRow * kCanvasBlockSide; row < (blockRow + 1) * kCanvasBlockSide; ++row)
        for (int32_t column = blockColumn * kCanvasBlockSide; column < (blockColumn + 1) * kCanvasBlockSide; ++column)
            count += image[row * kCanvasSide + column] > level;
    return count;
}

} // namespace

CanvasBlockMap BuildForegroundMask(uint8_t* difference, CanvasExtent extent, int32_t cleanC, double cleanD)
{
    FillCanvasFrame(difference, extent, kDifferenceFrame, 0);
    StretchContrast(difference, extent, kDifferenceClip,
                    CanvasWindow{kStretchMargin, extent.height - kStretchMargin, kStretchMargin,
                                 extent.width - kStretchMargin});
    CanvasBlockMap mask{};
    for (int32_t r = 0; r < extent.Rows(); ++r)
        for (int32_t c = 0; c < extent.Columns(); ++c)
            At(mask, r, c) = std::min(PrintPixels(difference, r, c, cleanC), 255) >= cleanD ? 1 : 0;
    for (int32_t pass = 0; pass < kGapPasses; ++pass)
        FillMaskGaps(mask, extent);
    return mask;
}

void FillMaskGaps(CanvasBlockMap& mask, CanvasExtent extent)
{
    const CanvasBlockMap was = mask;
    for (int32_t r = 1; r <= extent.Rows() - 2; ++r)
        for (int32_t c = 1; c <= extent.Columns() - 2; ++c)
            if (At(was, r, c) == 0 && ((At(was, r, c - 1) && At(was, r, c + 1)) || (At(was, r - 1, c) && At(was, r + 1, c))))
                At(mask, r, c) = 1;
}

void RemoveIsolatedBlocks(CanvasBlockMap& mask, CanvasExtent extent)
{
    const CanvasBlockMap was = mask;
    for (int32_t r = 1; r <= extent.Rows() - 2; ++r)
        for (int32_t c = 1; c <= extent.Columns() - 2; ++c)
            if ((!At(was, r, c - 1) && !At(was, r, c + 1)) || (!At(was, r - 1, c) && !At(was, r + 1, c)))
                At(mask, r, c) = 0;
}

int32_t EdgeCutMeasure(const CanvasBlockMap& mask, CanvasExtent extent)
{
    const int32_t cols = extent.Columns(), rows = extent.Rows();
    int32_t s = 0, t = 0;
    for (int32_t r = 2; r <= rows - 3; ++r) {
        int32_t inRow = 0;
        for (int32_t c = 2; c <= cols - 3; ++c)
            inRow += At(mask, r, c);
        s += inRow;
        if (cols - 3 >= 2 && At(mask, r, 2) != At(mask, r, cols - 3))
            t += inRow;
    }
    if (s <= 9)
        return 100;
    const double m = static_cast<double>(t) / s * (cols - 4) * (rows - 4) / s * 50;
    return std::min(RoundHalfAway(m), 100);
}

CanvasPoint FallbackReferencePoint(const CanvasBlockMap& mask, CanvasExtent extent)
{
    const CanvasPoint middle{extent.width / 2, extent.height / 2};
    const int32_t cols = extent.Columns(), rows = extent.Rows();
    int32_t firstRow = -1;
    for (int32_t r = 2; r < rows - 1 && firstRow < 0; ++r) {
        int32_t inRow = 0;
        for (int32_t c = 1; c <= cols - 1; ++c)
            inRow += At(mask, r, c);
        if (inRow >= 4)
            firstRow = r;
    }
    if (firstRow < 0)
        return middle;
    int32_t k = 0, columnSum = 0;
    for (int32_t r = 1; r <= rows - 2; ++r)
        for (int32_t c = 1; c <= cols - 2; ++c)
            if (At(mask, r, c)) {
                ++k;
                columnSum += c;
            }
    if (k > 30 && firstRow + 13 < rows - 2)
        return CanvasPoint{columnSum * kCanvasBlockSide / k, (firstRow + 13) * kCanvasBlockSide};
    return middle;
}

CanvasPoint MaskCentroid(const CanvasBlockMap& mask, CanvasExtent extent)
{
    int32_t k = 0, columnSum = 0, rowSum = 0;
    for (int32_t r = 1; r <= extent.Rows() - 2; ++r)
        for (int32_t c = 1; c <= extent.Columns() - 2; ++c)
            if (At(mask, r, c)) {
                ++k;
                columnSum += c;
                rowSum += r;
            }
    if (k <= 10)
        return CanvasPoint{extent.width / 2, extent.height / 2};
    return CanvasPoint{columnSum * kCanvasBlockSide / k + kCanvasBlockSide, rowSum * kCanvasBlockSide / k};
}

} // namespace vela::engine
