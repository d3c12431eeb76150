#include "engine/cleaning/OrientationMap.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "engine/cleaning/RidgeTables.h"
#include "engine/input/FindCorePoint.h"
#include "engine/records/RoundHalfAway.h"

namespace vela::engine {
namespace {

constexpr double kDegreesPerRadian = 57.29577951308232;
constexpr double kFlatGradient = 2;
constexpr int32_t kFewestNeighbours = 2; // a smoothed block needs more oriented neighbours than this
constexpr int32_t kLargestBreak = 30;
constexpr int32_t kFewestForFilling = 15;

uint8_t& At(CanvasBlockMap& map, int32_t row, int32_t column) { return map[row * kBlockMapSide + column]; }
uint8_t At(const CanvasBlockMap& map, int32_t row, int32_t column) { return map[row * kBlockMapSide + column]; }

int32_t AngularDifference(int32_t a, int32_t b)
{
    const int32_t d = std::abs(a - b);
    return std::min(d, 180 - d);
}

struct NeighbourSum {
    double cosSum = 0;
    double sinSum = 0;
    int32_t count = 0;
};

NeighbourSum SumOrientedNeighbours(const CanvasBlockMap& map, int32_t row, int32_t column)
{
    const ThetaCosSinTable& table = ThetaCosSin();
    NeighbourSum sum;
    for (int32_t r = row - 1; r <= row + 1; ++r)
        for (int32_t c = column - 1; c <= column + 1; ++c) {
            const uint8_t value = At(map, r, c);
            if (value == kNoOrientation)
                continue;
            sum.cosSum += table.cos2[value];
            sum.sinSum += table.sin2[value];
            ++sum.count;
        }
    return sum;
}

} // namespace

OrientationSums BlockOrientationSums(const uint8_t* image, int32_t blockRow, int32_t blockColumn)
{
    // Every neighbour must exist: the first pixel row and column of the
    // canvas and its last are left out of the sums.
    const int32_t firstRow = std::max(1, blockRow * kCanvasBlockSide);
    const int32_t lastRow = std::min(kCanvasSide - 2, blockRow * kCanvasBlockSide + kCanvasBlockSide - 1);
    const int32_t firstColumn = std::max(1, blockColumn * kCanvasBlockSide);
    const int32_t lastColumn = std::min(kCanvasSide - 2, blockColumn * kCanvasBlockSide + kCanvasBlockSide - 1);
    constexpr int32_t s = kCanvasSide;
    OrientationSums sums{0, 0, 0};
    for (int32_t row = firstRow; row <= lastRow; ++row) {
        for (int32_t column = firstColumn; column <= lastColumn; ++column) {
            const uint8_t* p = image + row * s + column;
            const int32_t gx = 2 * (p[1] - p[-1]) + p[s + 1] + p[-s + 1] - p[s - 1] - p[-s - 1];
            const int32_t gy = 2 * (p[s] - p[-s]) + p[s + 1] + p[s - 1] - p[-s + 1] - p[-s - 1];
            sums.gxy += gx * gy;
            sums.gxx += gx * gx;
            sums.gyy += gy * gy;
        }
    }
    return sums;
}

uint8_t BlockOrientation(const OrientationSums& sums)
{
    if (sums.gxx + sums.gyy < kFlatGradient)
        return kNoOrientation;
    // On a tie the limit of the formula below: 45 degrees for a negative Gxy.
    if (sums.gxx == sums.gyy)
        return sums.gxy < 0 ? 45 : 135;
    double a = std::atan(2.0 * static_cast<double>(sums.gxy) / static_cast<double>(sums.gxx - sums.gyy)) / 2;
    if (sums.gyy < sums.gxx)
        a += std::numbers::pi / 2;
    int32_t degrees = RoundHalfAway(a * kDegreesPerRadian);
    if (degrees > 180)
        degrees = (degrees - 180) % 180;
    if (degrees < 0)
        degrees += 180;
    return static_cast<uint8_t>(degrees % 180);
}

uint8_t MeanOrientation(double cosSum, double sinSum)
{
    if (cosSum == 0)
        return sinSum >= 0 ? 45 : 135;
    double a = std::atan(sinSum / cosSum) / 2;
    if (cosSum < 0)
        a += std::numbers::pi / 2;
    int32_t degrees = RoundHalfAway(a * kDegreesPerRadian);
    if (degrees < 0)
        degrees += 180;
    return static_cast<uint8_t>(degrees);
}

CanvasBlockMap BuildOrientationMap(const uint8_t* meanImage, const CanvasBlockMap& mask, CanvasExtent extent)
{
    CanvasBlockMap raw;
    raw.fill(kNoOrientation);
    for (int32_t r = 0; r < extent.Rows(); ++r)
        for (int32_t c = 0; c < extent.Columns(); ++c)
            if (At(mask, r, c))
                At(raw, r, c) = BlockOrientation(BlockOrientationSums(meanImage, r, c));

    CanvasBlockMap smoothed = raw;
    for (int32_t r = 1; r <= extent.Rows() - 2; ++r)
        for (int32_t c = 1; c <= extent.Columns() - 2; ++c) {
            if (At(raw, r, c) == kNoOrientation)
                continue;
            const NeighbourSum sum = SumOrientedNeighbours(raw, r, c);
            At(smoothed, r, c) = sum.count <= kFewestNeighbours ? kNoOrientation : MeanOrientation(sum.cosSum, sum.sinSum);
        }
    return smoothed;
}

void ClearOrientationBreaks(CanvasBlockMap& orientation, CanvasExtent extent)
{
    const CanvasBlockMap was = orientation;
    for (int32_t r = 1; r <= extent.Rows() - 1; ++r)
        for (int32_t c = 1; c <= extent.Columns() - 1; ++c) {
            const uint8_t here = At(was, r, c);
            if (here == kNoOrientation)
                continue;
            const uint8_t up = At(was, r - 1, c), left = At(was, r, c - 1);
            if (up != kNoOrientation && AngularDifference(here, up) > kLargestBreak) {
                At(orientation, r, c) = kNoOrientation;
                At(orientation, r - 1, c) = kNoOrientation;
            }
            if (left != kNoOrientation && AngularDifference(here, left) > kLargestBreak) {
                At(orientation, r, c) = kNoOrientation;
                At(orientation, r, c - 1) = kNoOrientation;
            }
        }
}

void FillOrientationHoles(CanvasBlockMap& orientation, const CanvasBlockMap& mask, CanvasExtent extent)
{
    const int32_t blocks = extent.Rows() * extent.Columns();
    int32_t oriented = 0;
    for (int32_t r = 0; r < extent.Rows(); ++r)
        for (int32_t c = 0; c < extent.Columns(); ++c)
            oriented += At(orientation, r, c) != kNoOrientation;
    if (oriented <= kFewestForFilling || oriented == blocks)
        return;

    for (bool filled = true; filled;) {
        filled = false;
        CanvasBlockMap next = orientation;
        for (int32_t r = 1; r <= extent.Rows() - 2; ++r)
            for (int32_t c = 1; c <= extent.Columns() - 2; ++c) {
                if (At(orientation, r, c) != kNoOrientation)
                    continue;
                const NeighbourSum sum = SumOrientedNeighbours(orientation, r, c);
                if (sum.count == 0)
                    continue;
                At(next, r, c) = MeanOrientation(sum.cosSum, sum.sinSum);
                filled = true;
            }
        if (filled)
            orientation = next;
    }
    for (int32_t r = 0; r < extent.Rows(); ++r)
        for (int32_t c = 0; c < extent.Columns(); ++c)
            if (!At(mask, r, c))
                At(orientation, r, c) = kNoOrientation;
}

} // namespace vela::engine
