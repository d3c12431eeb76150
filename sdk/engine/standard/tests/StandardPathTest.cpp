// The steps of the standard path that can be checked on small pictures:
// the two samplers, the contrast stretch, the window of the threshold fit
// and where a branching may lie.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "engine/records/EngineGeometry.h"
#include "engine/standard/PrepareStandardImpression.h"
#include "engine/standard/StandardImage.h"
#include "engine/standard/StandardMinutiae.h"

namespace vela::engine::test {
namespace {

TEST(StandardSamplers, EdgesKeepTheirPixelsAndTheInsideIsAreaWeighted)
{
    std::vector<uint8_t> source(10 * 10);
    for (int i = 0; i < 100; ++i)
        source[i] = static_cast<uint8_t>(i * 2);
    std::vector<uint8_t> floatOut(20 * 20), fixedOut(20 * 20);
    ResampleImage(source.data(), floatOut.data(), 10, 10, 20, 20);
    ASSERT_TRUE(ResampleImageFixedPoint(source.data(), fixedOut.data(), 10, 10, 20, 20));
    for (const auto* out : {&floatOut, &fixedOut}) {
        EXPECT_EQ((*out)[0], source[0]);
        EXPECT_EQ((*out)[19], source[9]) << "last column";
        EXPECT_EQ((*out)[19 * 20], source[90]) << "last row";
        // Inside, a smooth ramp stays a ramp within one grey level.
        for (int i = 2; i < 18; ++i)
            for (int j = 2; j < 18; ++j)
                EXPECT_NEAR((*out)[i * 20 + j], (i / 2.0 * 10 + j / 2.0) * 2, 11.0) << i << "," << j;
    }
    EXPECT_FALSE(ResampleImageFixedPoint(source.data(), fixedOut.data(), 3000, 10, 2, 10)) << "factor rounds to 0";
}

TEST(StretchImageContrast, SpreadsTheClippedRangeOverTheGreyScale)
{
    std::vector<uint8_t> image(kWorkImageBytes, 0);
    for (int row = 0; row < kWorkHeight; ++row)
        for (int column = 0; column < kWorkWidth; ++column)
            image[kWorkImageFirstPixel + row * kWorkImageStride + column] = static_cast<uint8_t>(100 + (column % 51));
    StretchImageContrast(1, 0, image.data());
    const uint8_t* first = image.data() + kWorkImageFirstPixel;
    EXPECT_EQ(first[0], 0);
    EXPECT_EQ(first[50], 255);
    EXPECT_EQ(first[25], 25 * 255 / 50);
    // A flat picture is left alone.
    std::vector<uint8_t> flat(kWorkImageBytes, 77);
    StretchImageContrast(4000, 24, flat.data());
    EXPECT_EQ(flat[kWorkImageFirstPixel + 1000], 77);
}

TEST(FineDirections, VectorsAndMeans)
{
    EXPECT_EQ(FineVectorDirection(1, 0), 0);
    EXPECT_EQ(FineVectorDirection(0, 1), 64);
    EXPECT_EQ(FineVectorDirection(-1, 0), 128);
    EXPECT_EQ(FineVectorDirection(0, -1), 192);
    EXPECT_EQ(FineVectorDirection(10, -1), 252);
    EXPECT_EQ(FineCircularMean(10, 20), 15);
    EXPECT_EQ(FineCircularMean(250, 10), 2) << "across the turn";
    EXPECT_EQ(FineCircularMean(156, 100), 128);
    EXPECT_EQ(FinePairMean(10, 20, 100), 15);
    EXPECT_EQ(FinePairMean(100, 10, 20), 15);
    EXPECT_EQ(FinePairMean(10, 100, 104), 102);
}

// A clean three-way split of a thinned ridge at (column, row): a branch of
// `reach` pixels to the left, one up-right and one down-right.
std::vector<uint8_t> SplitAt(int column, int row, int reach = 8)
{
    std::vector<uint8_t> image(kWorkImageBytes, 0);
    const auto set = [&](int c, int r) { image[kWorkImageFirstPixel + r * kWorkImageStride + c] = 255; };
    set(column, row);
    for (int k = 1; k <= reach; ++k) {
        set(column - k, row);
        set(column + k, row - k);
        set(column + k, row + k);
    }
    return image;
}

int BranchingsFound(std::vector<uint8_t> image)
{
    std::vector<int32_t> offsets(64);
    OffsetList points{offsets.data(), static_cast<int>(offsets.size())};
    auto list = std::make_unique<StandardMinutiaList>();
    TraceBranchings(image.data(), points, *list);
    return list->count;
}

TEST(TraceBranchings, APointCountsUpToColumn277AndRow389)
{
    struct Case {
        int column, row, found;
    };
    const Case cases[] = {
        {11, 200, 1},  {10, 200, 0},  {276, 200, 1}, {277, 200, 1}, {278, 200, 0},
        {144, 11, 1},  {144, 10, 0},  {144, 388, 1}, {144, 389, 1}, {144, 390, 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(BranchingsFound(SplitAt(c.column, c.row)), c.found)
            << "split at column " << c.column << ", row " << c.row;
}

// Grey 200 over a local mean of 100 in a few pixels of one column or one
// row, zero elsewhere, every block foreground: the fit sees those pixels
// only when they lie in its window.
TEST(FitThresholdLine, ReadsRows11To389AndColumns11To279)
{
    struct Case {
        int column, row;  // -1: the whole band of rows or columns 100..110
        double slope;
    };
    const Case cases[] = {
        {11, -1, 2.0},  {10, -1, 0.0},  {279, -1, 2.0}, {280, -1, 0.0},
        {-1, 11, 2.0},  {-1, 10, 0.0},  {-1, 389, 2.0}, {-1, 390, 0.0},
    };
    BlockCounts foreground;
    foreground.fill(100);
    for (const Case& c : cases) {
        std::vector<uint8_t> grey(kWorkImageBytes, 0), mean(kWorkImageBytes, 0);
        for (int k = 100; k <= 110; ++k) {
            const int column = c.column >= 0 ? c.column : k, row = c.row >= 0 ? c.row : k;
            grey[kWorkImageFirstPixel + row * kWorkImageStride + column] = 200;
            mean[kWorkImageFirstPixel + row * kWorkImageStride + column] = 100;
        }
        const ThresholdLine line = FitThresholdLine(grey.data(), mean.data(), foreground);
        EXPECT_EQ(line.slope, c.slope) << "column " << c.column << ", row " << c.row;
        EXPECT_EQ(line.intercept, 0.0) << "column " << c.column << ", row " << c.row;
    }
}


} // namespace
} // namespace vela::engine::test
