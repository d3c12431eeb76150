#include <gtest/gtest.h>

#include "ExtractionTestSupport.h"

namespace vela::engine {
namespace {

using namespace extraction_test;

// A framed image of one value with rectangles of another drawn in.
struct FramedImage {
    WorkImage image = WorkImage(kWorkImageBytes, 255);
    std::vector<int32_t> entries = std::vector<int32_t>(extraction_work::kEntryCount);

    FramedImage(uint8_t background) { std::fill(image.begin(), image.end(), background), FillFrame(image.data(), 5, 127); }
    void Rectangle(int column, int row, int width, int height, uint8_t value)
    {
        for (int r = row; r < row + height; ++r)
            for (int c = column; c < column + width; ++c)
                Pixel(image, c, r) = value;
    }
    int Count(uint8_t value) const { return static_cast<int>(std::count(image.begin(), image.end(), value)); }
};

TEST(FillSmallRegions, FillsRegionsBelowTheLimitOnly)
{
    struct Case {
        int width, height, limit;
        bool filled;
    };
    const Case cases[] = {
        {17, 1, 18, true},  {18, 1, 18, false}, // holes
        {13, 1, 14, true},  {14, 1, 14, false}, // ridge fragments (after inversion)
        {4, 4, 18, true},   {6, 3, 18, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.width << "x" << c.height << " limit " << c.limit);
        FramedImage f(255);
        f.Rectangle(100, 200, c.width, c.height, 0);
        FillSmallRegions(f.image.data(), c.limit, f.entries.data());
        EXPECT_EQ(f.Count(0), c.filled ? 0 : c.width * c.height);
        EXPECT_EQ(f.Count(1), 0) << "marks must vanish";
        EXPECT_EQ(f.Count(127), kWorkImageBytes - kWorkPixels) << "the frame stays";
    }
}

TEST(FillSmallRegions, TheWholeEmptyImageIsOneLargeRegion)
{
    // A region of 115,200 pixels must be explored whole, not split into
    // small pieces by the bounded entry area.
    FramedImage f(0);
    f.Rectangle(100, 200, 1, 1, 255);
    FillSmallRegions(f.image.data(), 18, f.entries.data());
    EXPECT_EQ(f.Count(0), kWorkPixels - 1);
    EXPECT_EQ(f.Count(255), 1);
}

TEST(FillSmallRegions, RegionsAreFourConnected)
{
    // Two 9-pixel squares touching only at a corner are two regions below 18.
    FramedImage f(255);
    f.Rectangle(100, 200, 3, 3, 0);
    f.Rectangle(103, 203, 3, 3, 0);
    FillSmallRegions(f.image.data(), 18, f.entries.data());
    EXPECT_EQ(f.Count(0), 0);
}

TEST(FillSmallRegions, RidgeFragmentsOf13GoAndOf14Stay)
{
    // What the clean-up does to fragments: invert, fill below 14, invert back.
    for (int length : {13, 14}) {
        FramedImage f(0);
        f.Rectangle(50, 50, length, 1, 255);
        InvertImage(f.image.data());
        FillSmallRegions(f.image.data(), 14, f.entries.data());
        InvertImage(f.image.data());
        EXPECT_EQ(f.Count(255), length == 13 ? 0 : 14) << length;
    }
}

TEST(BoxMeanWork, MeansOverTheWindowAndCopiesOutsideItsRange)
{
    WorkImage source = BlankWorkImage(), destination = BlankWorkImage(), scratch = BlankWorkImage();
    Pixel(source, 100, 100) = 90;
    BoxMeanWork(source.data(), destination.data(), scratch.data(), 3);
    EXPECT_EQ(PixelAt(destination, 99, 99), 10);   // 90 / 3 / 3
    EXPECT_EQ(PixelAt(destination, 101, 101), 10);
    EXPECT_EQ(PixelAt(destination, 102, 100), 0);
    EXPECT_EQ(CountSet(destination), 9);

    Pixel(source, 0, 0) = 255; // reads the margin as it is (zero) at the corner
    BoxMeanWork(source.data(), destination.data(), scratch.data(), 9);
    EXPECT_EQ(PixelAt(destination, 0, 0), 255 / 9 / 9);

    for (int window : {1, 17}) {
        BoxMeanWork(source.data(), destination.data(), scratch.data(), window);
        EXPECT_EQ(destination, source) << window;
    }
    // Windows wider than the margin stay inside the buffer.
    BoxMeanWork(source.data(), destination.data(), scratch.data(), 15);
}

TEST(CleanRidgeImage, BlankImageStaysBlank)
{
    WorkImage image = BlankWorkImage();
    ExtractionRun run;
    run.Directions(image);
    run.Clean(image);
    EXPECT_EQ(std::count(image.begin(), image.end(), 0), kWorkImageBytes);
}

TEST(CleanRidgeImage, FillsAOnePixelGapAlongARidge)
{
    WorkImage image = GratingWorkImage(30, 8.0); // ridges along the columns
    int gapColumn = 140;
    while (PixelAt(image, gapColumn, 200) == 0 || PixelAt(image, gapColumn - 1, 200) != 0)
        ++gapColumn;
    int width = 0;
    while (PixelAt(image, gapColumn + width, 200) != 0)
        Pixel(image, gapColumn + width++, 200) = 0;
    ASSERT_GE(width, 3);

    ExtractionRun run;
    run.Directions(image);
    run.Clean(image);
    for (int c = 1; c < width - 1; ++c)
        EXPECT_EQ(PixelAt(image, gapColumn + c, 200), 255) << c;
}

TEST(CleanRidgeImage, RidgesTouchingTheBorderStayInsideAndLeaveTheMarginClear)
{
    // Ridges run into all four edges; sanitizer builds catch any access past the buffer.
    for (int direction : {0, 15, 30, 45}) {
        WorkImage image = GratingWorkImage(direction, 7.0);
        ExtractionRun run;
        run.All(image);
        int marginSet = 0;
        for (int row = 0; row < kWorkImageRows; ++row)
            for (int column = 0; column < kWorkImageStride; ++column)
                if (row < 5 || row >= 405 || column < 5 || column >= 293)
                    marginSet += image[row * kWorkImageStride + column] != 0;
        EXPECT_EQ(marginSet, 0) << direction;
    }
}

} // namespace
} // namespace vela::engine
