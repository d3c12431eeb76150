#pragma once

// Builders of synthetic work images and a runner of the block-direction,
// ridge clean-up and minutiae steps, shared by the extraction tests.

#include <cmath>
#include <cstdint>
#include <functional>
#include <numbers>
#include <vector>

#include "engine/directions/BlockDirections.h"
#include "engine/directions/ExtractionWork.h"
#include "engine/directions/RidgeCleanup.h"
#include "engine/minutiae/FindMinutiae.h"
#include "base/ByteOrder.h"
#include "engine/records/EngineGeometry.h"
#include "engine/records/ImpressionRecord.h"

namespace vela::engine::extraction_test {

using WorkImage = std::vector<uint8_t>;

inline WorkImage BlankWorkImage() { return WorkImage(kWorkImageBytes, 0); }

inline uint8_t& Pixel(WorkImage& image, int column, int row)
{
    return image[kWorkImageFirstPixel + row * kWorkImageStride + column];
}

inline uint8_t PixelAt(const WorkImage& image, int column, int row)
{
    return image[kWorkImageFirstPixel + row * kWorkImageStride + column];
}

// Active pixels set (255) where the function of (column, row) is positive.
inline WorkImage BinaryWorkImage(const std::function<double(double, double)>& f)
{
    WorkImage image = BlankWorkImage();
    for (int row = 0; row < kWorkHeight; ++row)
        for (int column = 0; column < kWorkWidth; ++column)
            Pixel(image, column, row) = f(column, row) > 0 ? 255 : 0;
    return image;
}

// Ridges along block direction `direction` (3-degree steps counted from the
// row direction toward the top), `period` pixels apart.
inline WorkImage GratingWorkImage(int direction, double period)
{
    const double theta = direction * 3.0 * std::numbers::pi / 180.0;
    return BinaryWorkImage([=](double x, double y) {
        return std::cos(2 * std::numbers::pi * (x * std::sin(theta) + y * std::cos(theta)) / period);
    });
}

inline int CountSet(const WorkImage& image)
{
    int set = 0;
    for (int row = 0; row < kWorkHeight; ++row)
        for (int column = 0; column < kWorkWidth; ++column)
            set += PixelAt(image, column, row) != 0;
    return set;
}

struct ExtractionRun {
    std::vector<uint8_t> work = std::vector<uint8_t>(extraction_work::kSize);
    std::vector<uint8_t> record = std::vector<uint8_t>(impression::kSize);

    uint8_t Quality() const { return record[impression::kQualityOffset]; }
    int Count() const { return record[impression::kCountOffset]; }
    uint8_t Block(int row, int column) const { return record[impression::kBlocksOffset + row * kBlockColumns + column]; }
    int X(int i) const { return record[impression::kMinutiaXOffset + i]; }
    int Y(int i) const { return record[impression::kMinutiaYOffset + i]; }
    int Direction(int i) const { return record[impression::kMinutiaDirectionOffset + i]; }

    void Directions(WorkImage& image) { BuildBlockDirectionMap(image, record, work); }
    void Clean(WorkImage& image) { CleanRidgeImage(image, record, work); }
    void Minutiae(WorkImage& image) { FindMinutiae(image, record, work); }
    void All(WorkImage& image)
    {
        Directions(image);
        Clean(image);
        Minutiae(image);
    }
};

} // namespace vela::engine::extraction_test
