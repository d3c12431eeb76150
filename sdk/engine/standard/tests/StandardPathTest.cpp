// The steps of the standard path that can be checked on small pictures:
// the two samplers and the contrast stretch.
#include <gtest/gtest.h>

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

} // namespace
} // namespace vela::engine::test
