#include "engine/standard/PrepareStandardImpression.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "engine/directions/BlockDirections.h"
#include "engine/directions/RidgeCleanup.h"

namespace vela::engine {
namespace {

constexpr int kStretchClip = 4000;
constexpr int kStretchInset = 24;
constexpr int kForegroundClip = 500;
constexpr int kForegroundInset = 30;
constexpr int kForegroundFrame = 11;
constexpr int kForegroundLevel = 35;
constexpr int32_t kCountedBlock = 50;
constexpr int32_t kFilledBlock = 53;
constexpr int kLocalMeanWindow = 11;
// The fit reads rows 11..389 and columns 11..279: its window is not centred.
constexpr int kFitFirst = 11;
constexpr int kFitLastRow = 389;
constexpr int kFitLastColumn = 279;
constexpr int kBinaryFrame = 10;
constexpr double kCrossWeight = 2.11;
constexpr double kFitTolerance = 1.05;
constexpr int kLastIntercept = 16;

uint8_t* Active(uint8_t* image, int row, int column)
{
    return image + kWorkImageFirstPixel + row * kWorkImageStride + column;
}

const uint8_t* Active(const uint8_t* image, int row, int column)
{
    return image + kWorkImageFirstPixel + row * kWorkImageStride + column;
}

int BlockOf(int row, int column) { return (row / kBlockSide) * kBlockColumns + column / kBlockSide; }

// The sums of the fit a ~ s b + t over the foreground pixels.
struct FitSums {
    double n = 0, a = 0, b = 0, aa = 0, ab = 0, bb = 0;

    double Slope(double t) const { return bb == 0 ? 0 : (ab - t * b) / bb; }
    double Error(double s, double t) const
    {
        if (n == 0)
            return 0;
        return (aa - kCrossWeight * s * ab - kCrossWeight * t * a + kCrossWeight * s * t * b + n * t * t +
                s * s * bb) /
               n;
    }
};

// The intercept is raised while the error stays within 5 % of the error at
// 0; the last intercept before it leaves that band is taken.
ThresholdLine FitIntercept(const FitSums& sums)
{
    const double limit = kFitTolerance * sums.Error(sums.Slope(0), 0);
    int t = 1;
    for (; t <= kLastIntercept; ++t)
        if (!(sums.Error(sums.Slope(t), t) < limit))
            break;
    const int chosen = t > kLastIntercept ? kLastIntercept - 1 : t - 1;
    const double intercept = chosen > 0 ? chosen : 0;
    return ThresholdLine{sums.Slope(intercept), intercept};
}

} // namespace

void StretchImageContrast(int n, int inset, uint8_t* image)
{
    std::array<int32_t, 256> histogram{};
    for (int row = inset; row <= kWorkHeight - 1 - inset; ++row)
        for (int column = inset; column <= kWorkWidth - 1 - inset; ++column)
            ++histogram[*Active(image, row, column)];

    int hi = 255;
    for (int left = n; left > 0 && hi >= 0;) {
        if (histogram[hi] > 0) {
            --histogram[hi];
            --left;
        } else {
            --hi;
        }
    }
    int lo = 0;
    for (int left = n; left > 0 && lo <= 255;) {
        if (histogram[lo] > 0) {
            --histogram[lo];
            --left;
        } else {
            ++lo;
        }
    }
    if (hi < 0)
        hi = 0;
    if (lo > 255)
        lo = 0;
    if (hi - lo <= 0)
        return;
    for (int row = 0; row < kWorkHeight; ++row) {
        uint8_t* p = Active(image, row, 0);
        for (int column = 0; column < kWorkWidth; ++column)
            p[column] = static_cast<uint8_t>(std::clamp((p[column] - lo) * 255 / (hi - lo), 0, 255));
    }
}

BlockCounts CountBlockForeground(uint8_t* image)
{
    FillFrame(image, kForegroundFrame, 0);
    StretchImageContrast(kForegroundClip, kForegroundInset, image);
    BlockCounts counts{};
    for (int row = 0; row < kWorkHeight; ++row) {
        const uint8_t* p = Active(image, row, 0);
        for (int column = 0; column < kWorkWidth; ++column)
            if (p[column] > kForegroundLevel)
                ++counts[BlockOf(row, column)];
    }
    BlockCounts closed = counts;
    const auto counted = [&](int r, int c) { return counts[r * kBlockColumns + c] > kCountedBlock; };
    for (int r = 1; r < kBlockRows - 1; ++r) {
        for (int c = 1; c < kBlockColumns - 1; ++c) {
            if (counts[r * kBlockColumns + c] > kCountedBlock)
                continue;
            if ((counted(r, c - 1) && counted(r, c + 1)) || (counted(r - 1, c) && counted(r + 1, c)))
                closed[r * kBlockColumns + c] = kFilledBlock;
        }
    }
    return closed;
}

ThresholdLine FitThresholdLine(const uint8_t* grey, const uint8_t* mean, const BlockCounts& counts)
{
    FitSums sums;
    for (int row = kFitFirst; row <= kFitLastRow; ++row) {
        const uint8_t* a = Active(grey, row, 0);
        const uint8_t* b = Active(mean, row, 0);
        for (int column = kFitFirst; column <= kFitLastColumn; ++column) {
            if (!ForegroundBlock(counts[BlockOf(row, column)]))
                continue;
            const double va = a[column], vb = b[column];
            sums.n += 1;
            sums.a += va;
            sums.b += vb;
            sums.aa += va * va;
            sums.ab += va * vb;
            sums.bb += vb * vb;
        }
    }
    return FitIntercept(sums);
}

void AdaptiveBinarise(uint8_t* grey, uint8_t* output, uint8_t* scratch, uint8_t* boxScratch)
{
    BoxMeanWork(grey, scratch, boxScratch, kLocalMeanWindow);
    FillFrame(scratch, kWorkImageMargin, 0);
    for (int row = 0; row < kWorkHeight; ++row) {
        const uint8_t* a = Active(grey, row, 0);
        const uint8_t* b = Active(scratch, row, 0);
        uint8_t* out = Active(output, row, 0);
        for (int column = 0; column < kWorkWidth; ++column)
            out[column] = static_cast<uint8_t>(std::abs(a[column] - b[column]));
    }
    const BlockCounts counts = CountBlockForeground(output);

    const ThresholdLine line = FitThresholdLine(grey, scratch, counts);

    std::memset(output, 0, kWorkImageBytes);
    for (int row = 0; row < kWorkHeight; ++row) {
        const uint8_t* a = Active(grey, row, 0);
        const uint8_t* b = Active(scratch, row, 0);
        uint8_t* out = Active(output, row, 0);
        for (int column = 0; column < kWorkWidth; ++column)
            out[column] = ForegroundBlock(counts[BlockOf(row, column)]) && a[column] > line.slope * b[column] + line.intercept
                              ? 255
                              : 0;
    }
    FillFrame(output, kBinaryFrame, 0);
}

void PrepareStandardImpression(StandardWorkArea& area, uint8_t* impression, int32_t blockEnergy)
{
    std::memset(impression, 0, standard_impression::kMinutiaeOffset);
    impression[0] = 1;
    impression[1] = 0;
    impression[standard_impression::kBlockColumnsOffset] = static_cast<uint8_t>(kBlockColumns);
    impression[standard_impression::kBlockRowsOffset] = static_cast<uint8_t>(kBlockRows);
    StretchImageContrast(kStretchClip, kStretchInset, area.W(1));
    AdaptiveBinarise(area.W(1), area.W(0), area.W(2), area.W(3));
    EstimateBlockDirections(area.W(0), impression + standard_impression::kBlocksOffset,
                            impression[standard_impression::kQualityOffset], blockEnergy);
}

} // namespace vela::engine
