#include <vector>

#include <gtest/gtest.h>

#include "EngineTestSupport.h"
#include "engine/input/CentreOnCanvas.h"
#include "engine/input/ConvertInputImage.h"
#include "engine/input/InitImageParameters.h"
#include "engine/input/MirrorRows.h"
#include "engine/input/ResampleToWorkImage.h"
#include "engine/records/ImageParameters.h"

namespace vela::engine {
namespace {

using test::TestBmp;

struct Converted {
    std::vector<uint8_t> canvas = std::vector<uint8_t>(kCanvasBytes);
    ScannerParameters parameters;
    int32_t width = 0;
    int32_t height = 0;
    ContentRect bounds;
    ResultCode code = 0;
};

Converted Convert(const TestBmp& bmp)
{
    Converted c;
    const std::vector<uint8_t> bytes = bmp.Bytes();
    c.code = ConvertInputImage(bytes.data(), bytes.size(), c.canvas.data(), c.canvas.size(), c.parameters, c.width,
                               c.height, c.bounds);
    return c;
}

uint8_t Pixel(const std::vector<uint8_t>& canvas, int row, int column)
{
    return canvas[static_cast<size_t>(row) * kCanvasSide + column];
}

TEST(ConvertInputImage, SmallPictureIsCopiedTopDownIntoAWhiteCanvas)
{
    TestBmp bmp;
    bmp.Fill(128);
    bmp.At(0, 0) = 0;
    bmp.At(109, 119) = 50;
    const Converted c = Convert(bmp);
    ASSERT_EQ(c.code, result::Success);
    EXPECT_EQ(c.width, 120);
    EXPECT_EQ(c.height, 110);
    EXPECT_EQ(c.bounds, (ContentRect{0, 0, 119, 109}));
    EXPECT_EQ(c.parameters.cropX, 0);
    EXPECT_EQ(c.parameters.cropY, 0);
    EXPECT_EQ(c.parameters.sourceDpiX, 500);
    EXPECT_EQ(c.parameters.sourceDpiY, 500);
    EXPECT_EQ(Pixel(c.canvas, 0, 0), 0);
    EXPECT_EQ(Pixel(c.canvas, 109, 119), 50);
    EXPECT_EQ(Pixel(c.canvas, 50, 50), 128);
    EXPECT_EQ(Pixel(c.canvas, 50, 120), 255);
    EXPECT_EQ(Pixel(c.canvas, 110, 50), 255);
}

TEST(ConvertInputImage, LargeWhitePictureIsCutFromItsMiddle)
{
    TestBmp bmp;
    bmp.width = 1000;
    bmp.height = 800;
    const Converted c = Convert(bmp);
    ASSERT_EQ(c.code, result::Success);
    EXPECT_EQ(c.parameters.cropX, 180);  // columns 180..819
    EXPECT_EQ(c.parameters.cropY, 80);   // rows 80..719
    EXPECT_EQ(c.width, 640);
    EXPECT_EQ(c.height, 640);
    EXPECT_EQ(c.bounds, (ContentRect{0, 0, 639, 639}));
}

TEST(ConvertInputImage, LargePictureWindowFollowsTheDarkness)
{
    struct Case {
        int32_t width, height, darkRow, darkColumn, left, top;
    };
    const Case cases[] = {
        {1000, 800, 700, 900, 360, 160},  // clamped to the right and bottom edges
        {1000, 800, 400, 500, 180, 80},
        {1000, 800, 30, 20, 0, 0},        // clamped to the left and top
        {300, 900, 500, 10, 0, 180},      // only the height is cut
        {900, 300, 10, 400, 80, 0},       // only the width is cut
    };
    for (const Case& k : cases) {
        TestBmp bmp;
        bmp.width = k.width;
        bmp.height = k.height;
        bmp.Fill(255);
        bmp.At(k.darkRow, k.darkColumn) = 0;
        const Converted c = Convert(bmp);
        ASSERT_EQ(c.code, result::Success);
        EXPECT_EQ(c.parameters.cropX, k.left) << k.width << "x" << k.height;
        EXPECT_EQ(c.parameters.cropY, k.top) << k.width << "x" << k.height;
        EXPECT_EQ(Pixel(c.canvas, k.darkRow - k.top, k.darkColumn - k.left), 0);
        EXPECT_EQ(c.width, std::min(k.width, 640));
        EXPECT_EQ(c.height, std::min(k.height, 640));
    }
}

TEST(ConvertInputImage, RefusesBadInputAndShortCanvas)
{
    TestBmp bmp;
    bmp.xPixelsPerMetre = 100;
    EXPECT_EQ(Convert(bmp).code, result::BadResolution);

    const std::vector<uint8_t> bytes = TestBmp().Bytes();
    std::vector<uint8_t> canvas(kCanvasBytes - 1);
    ScannerParameters parameters;
    int32_t width = 0;
    int32_t height = 0;
    ContentRect bounds;
    EXPECT_EQ(ConvertInputImage(bytes.data(), bytes.size(), canvas.data(), canvas.size(), parameters, width, height,
                                bounds),
              result::WorkBufferUnavailable);
}

TEST(ConvertInputImage, ResolutionInDotsPerInch)
{
    EXPECT_EQ(PixelsPerMetreToDpi(19685), 500);
    EXPECT_EQ(PixelsPerMetreToDpi(7874), 200);
    EXPECT_EQ(PixelsPerMetreToDpi(39370), 1000);
    EXPECT_EQ(PixelsPerMetreToDpi(17874), 454);
    // 12,500 and 17,500 pixels a metre are exact halves with a factor of
    // 0.0254; the single-precision factor lies just below and rounds down.
    EXPECT_EQ(PixelsPerMetreToDpi(12500), 317);
    EXPECT_EQ(PixelsPerMetreToDpi(17500), 444);
}

TEST(GetScannerParameters, TableOfScanners)
{
    struct Case {
        int32_t scanner, dataId;
        int32_t sourceX, sourceY, targetX, targetY;
        uint8_t mirror;
        int32_t cleanA, cleanB, cleanC;
        double cleanD;
        int32_t limitHigh, limitLow, thresholdSteps;
    };
    const Case cases[] = {
        {0, 150, 500, 500, 500, 500, 0, 0, 0, 30, 64.0, 50, 0, 3},
        {1, 1, 500, 500, 454, 410, 0, 0, 0, 30, 64.0, 50, 0, 3},
        {1, 150, 500, 500, 432, 432, 0, 0, 0, 30, 64.0, 50, 0, 3},
        {2, 150, 454, 410, 432, 432, 1, 0, 0, 30, 64.0, 50, 0, 16},
        {3, 1, 500, 500, 454, 410, 0, 0, 0, 15, 51.0, 50, 0, 3},
        {4, 99, 500, 500, 454, 410, 0, 10, 8, 15, 64.0, 50, 0, 3},
        {5, 100, 500, 500, 432, 432, 0, 0, 0, 30, 64.0, 150, 50, 3},
        {8, 150, 402, 443, 432, 432, 0, 0, 0, 30, 64.0, 50, 50, 3},
        {9, 1, 508, 508, 454, 410, 0, 10, 8, 15, 64.0, 50, 0, 3},
        {10, 1, 454, 410, 454, 410, 0, 0, 0, 30, 64.0, 50, 0, 16},
        {11, 150, 254, 254, 432, 432, 0, 10, 8, 15, 64.0, 50, 0, 3},
        {12, 1, 500, 500, 508, 508, 0, 0, 0, 30, 64.0, 50, 0, 3},
        {12, 150, 500, 500, 508, 508, 0, 0, 0, 30, 64.0, 50, 0, 3},
        {14, 150, 500, 500, 508, 508, 0, 0, 0, 20, 51.0, 150, 0, 3},
        {15, 1, 500, 500, 454, 410, 0, 0, 0, 20, 51.0, 150, 0, 3},
        {16, 150, 500, 500, 432, 432, 1, 0, 0, 20, 51.0, 150, 0, 3},
    };
    for (const Case& c : cases) {
        ScannerParameters p;
        p.sourceDpiX = 500;  // as the conversion leaves them
        p.sourceDpiY = 500;
        p.thresholdSteps = 99;  // stale values from an earlier call are reset
        p.mirror = 1;
        ASSERT_EQ(GetScannerParameters(c.scanner, c.dataId, p), result::Success) << c.scanner;
        EXPECT_EQ(p.scannerId, c.scanner);
        EXPECT_EQ(p.sourceDpiX, c.sourceX) << c.scanner;
        EXPECT_EQ(p.sourceDpiY, c.sourceY) << c.scanner;
        EXPECT_EQ(p.targetDpiX, c.targetX) << c.scanner << "/" << c.dataId;
        EXPECT_EQ(p.targetDpiY, c.targetY) << c.scanner << "/" << c.dataId;
        EXPECT_EQ(p.mirror, c.mirror) << c.scanner;
        EXPECT_EQ(p.cleanA, c.cleanA) << c.scanner;
        EXPECT_EQ(p.cleanB, c.cleanB) << c.scanner;
        EXPECT_EQ(p.cleanC, c.cleanC) << c.scanner;
        EXPECT_EQ(p.cleanD, c.cleanD) << c.scanner;
        EXPECT_EQ(p.limitHigh, c.limitHigh) << c.scanner;
        EXPECT_EQ(p.limitLow, c.limitLow) << c.scanner;
        EXPECT_EQ(p.thresholdSteps, c.thresholdSteps) << c.scanner;
    }
}

TEST(GetScannerParameters, NegativeAndUnknownIdsAreErrors)
{
    for (const int32_t scanner : {-1, 6, 7, 13, 17, INT32_MIN}) {
        ScannerParameters p;
        EXPECT_EQ(GetScannerParameters(scanner, 150, p), result::BadScannerId) << scanner;
    }
    ScannerParameters p;
    EXPECT_EQ(GetScannerParameters(1, -1, p), result::UnknownBiometricDataId);
    EXPECT_EQ(GetScannerParameters(-1, -1, p), result::BadScannerId);
}

TEST(InitImageParameters, PresetsTheWorkGeometryOfTheDataType)
{
    struct Case {
        int32_t dataId, resolutionX, resolutionY;
    };
    for (const Case& c : {Case{1, 454, 410}, Case{99, 454, 410}, Case{100, 432, 432}, Case{167, 432, 432}}) {
        std::vector<uint8_t> block(image_parameters::kSize, 0xCC);
        ASSERT_EQ(InitImageParameters(c.dataId, block.data(), block.size()), result::Success);
        EXPECT_EQ(ReadLe<int32_t>(&block[20]), 288);
        EXPECT_EQ(ReadLe<int32_t>(&block[24]), 400);
        EXPECT_EQ(ReadLe<int32_t>(&block[28]), c.resolutionX) << c.dataId;
        EXPECT_EQ(ReadLe<int32_t>(&block[32]), c.resolutionY) << c.dataId;
        EXPECT_EQ(ReadLe<int32_t>(&block[36]), 115200);
        for (size_t i : {size_t{0}, size_t{16}, size_t{40}, size_t{104}})
            EXPECT_EQ(ReadLe<int32_t>(&block[i]), 0) << i;
    }
    std::vector<uint8_t> shortBlock(107);
    EXPECT_EQ(InitImageParameters(1, shortBlock.data(), shortBlock.size()), result::WorkBufferUnavailable);
}

struct Resampled {
    Converted converted;
    std::vector<uint8_t> second = std::vector<uint8_t>(kCanvasBytes);
    int32_t background = -1;
};

Resampled Resample(const TestBmp& bmp, int32_t scanner, int32_t dataId)
{
    Resampled r{Convert(bmp)};
    Converted& c = r.converted;
    EXPECT_EQ(c.code, result::Success);
    EXPECT_EQ(GetScannerParameters(scanner, dataId, c.parameters), result::Success);
    EXPECT_EQ(ResampleToWorkImage(c.canvas.data(), c.canvas.size(), r.second.data(), r.second.size(), c.parameters,
                                  r.background, c.width, c.height, c.bounds),
              result::Success);
    return r;
}

TEST(ResampleToWorkImage, NewSizesPerScannerAndDataType)
{
    struct Case {
        int32_t scanner, dataId, width, height;
    };
    const Case cases[] = {
        {14, 150, 252, 343},  // 500 -> 508 dpi
        {14, 1, 252, 343},
        {12, 1, 252, 343},
        {1, 1, 225, 277},     // 500 -> 454 x 410
        {1, 150, 214, 292},   // 500 -> 432
        {0, 150, 248, 338},   // never resampled
        {2, 150, 236, 356},   // 454 x 410 -> 432
        {10, 1, 248, 338},    // 454 x 410 both ways
        {8, 150, 267, 330},   // 402 x 443 -> 432
        {11, 150, 422, 575},  // 254 -> 432
    };
    for (const Case& c : cases) {
        TestBmp bmp;
        bmp.width = 248;
        bmp.height = 338;
        const Resampled r = Resample(bmp, c.scanner, c.dataId);
        EXPECT_EQ(r.converted.width, c.width) << "scanner " << c.scanner << " type " << c.dataId;
        EXPECT_EQ(r.converted.height, c.height) << "scanner " << c.scanner << " type " << c.dataId;
        EXPECT_EQ(r.converted.bounds, (ContentRect{0, 0, c.width - 1, c.height - 1}));
    }
}

TEST(ResampleToWorkImage, OversizedResultKeepsItsMiddleAndMovesTheCrop)
{
    TestBmp bmp;
    bmp.width = 700;
    bmp.height = 660;
    bmp.Fill(255);
    bmp.At(330, 350) = 0;  // centres the window: crop (30, 10)
    const Resampled r = Resample(bmp, 11, 150);  // 254 -> 432 dpi
    const Converted& c = r.converted;
    // 640 x 432 / 254 = 1088.5 -> 1089, middle offset 224.
    EXPECT_EQ(c.width, 640);
    EXPECT_EQ(c.height, 640);
    EXPECT_EQ(c.parameters.cropX, 51 + 224);  // 30 x 432 / 254 = 51.02
    EXPECT_EQ(c.parameters.cropY, 17 + 224);  // 10 x 432 / 254 = 17.01
    EXPECT_EQ(c.bounds, (ContentRect{0, 0, 639, 639}));
}

TEST(ResampleToWorkImage, ScalesThePictureAndFillsWithTheBackground)
{
    TestBmp bmp;
    bmp.width = 248;
    bmp.height = 338;
    bmp.Fill(200);
    for (int row = 100; row < 150; ++row) {
        for (int column = 100; column < 150; ++column)
            bmp.At(row, column) = 0;
    }
    const Resampled r = Resample(bmp, 11, 150);  // 254 -> 432 dpi: x 1.70
    EXPECT_EQ(r.background, 200);
    const std::vector<uint8_t>& canvas = r.converted.canvas;
    EXPECT_EQ(Pixel(canvas, 10, 10), 200);
    EXPECT_EQ(Pixel(canvas, 212, 212), 0);     // the square now spans about 170..255
    EXPECT_EQ(Pixel(canvas, 160, 212), 200);
    EXPECT_EQ(Pixel(canvas, 600, 300), 200);   // beyond the picture: background
    EXPECT_EQ(Pixel(canvas, 300, 600), 200);
}

// Every resampled pixel is the sample of the picture at its place, whether
// the row is sampled two columns at a time or one: noise pictures scaled up
// and down, on the first, outermost and inner rows and columns.
TEST(ResampleToWorkImage, EveryPixelIsTheSampleOfItsPlace)
{
    TestBmp bmp;
    bmp.width = 248;
    bmp.height = 338;
    bmp.Fill(0);
    uint32_t state = 3;
    for (int row = 0; row < bmp.height; ++row)
        for (int column = 0; column < bmp.width; ++column) {
            state = state * 1103515245u + 12345u;
            bmp.At(row, column) = static_cast<uint8_t>(state >> 16);
        }
    for (const auto [scanner, dataId] : {std::pair{14, 150}, std::pair{1, 150}, std::pair{8, 150}, std::pair{11, 150}}) {
        Resampled r{Convert(bmp)};
        Converted& c = r.converted;
        ASSERT_EQ(GetScannerParameters(scanner, dataId, c.parameters), result::Success);
        const std::vector<uint8_t> original = c.canvas;
        const int32_t width = c.width, height = c.height;
        ASSERT_EQ(ResampleToWorkImage(c.canvas.data(), c.canvas.size(), r.second.data(), r.second.size(), c.parameters,
                                      r.background, c.width, c.height, c.bounds),
                  result::Success);
        ASSERT_NE(c.width, width) << scanner;
        for (int32_t i = 0; i < c.height; ++i)
            for (int32_t j = 0; j < c.width; ++j) {
                const double x = static_cast<double>(j) * width / c.width;
                const double y = static_cast<double>(i) * height / c.height;
                ASSERT_EQ(c.canvas[static_cast<size_t>(i * kCanvasSide + j)],
                          SampleArea(original.data(), width, height, x, y, r.background))
                    << "scanner " << scanner << " at " << j << ", " << i;
            }
    }
}

TEST(ResampleToWorkImage, ShortBuffersAreRefused)
{
    std::vector<uint8_t> canvas(kCanvasBytes);
    std::vector<uint8_t> second(kCanvasBytes - 1);
    ScannerParameters p;
    int32_t background = 0;
    int32_t width = 100;
    int32_t height = 100;
    ContentRect bounds;
    EXPECT_EQ(ResampleToWorkImage(canvas.data(), canvas.size(), second.data(), second.size(), p, background, width,
                                  height, bounds),
              result::WorkBufferUnavailable);
}

TEST(BackgroundLevel, MeanOrMeanOfTheBrighterPixels)
{
    std::vector<uint8_t> canvas(kCanvasBytes, 180);
    EXPECT_EQ(BackgroundLevel(canvas.data(), 200, 200), 180);

    // Columns 32..99 at 100, 100..168 at 220: the mean is 160, and more than
    // 100 pixels are brighter.
    for (int row = 0; row < 200; ++row) {
        for (int column = 0; column < 200; ++column)
            canvas[row * kCanvasSide + column] = column < 100 ? 100 : 220;
    }
    EXPECT_EQ(BackgroundLevel(canvas.data(), 200, 200), 220);

    // Only 50 brighter pixels: the mean stays.
    std::fill(canvas.begin(), canvas.end(), 100);
    for (int column = 40; column < 90; ++column)
        canvas[50 * kCanvasSide + column] = 250;
    EXPECT_EQ(BackgroundLevel(canvas.data(), 200, 200), (100 * (137 * 137 - 50) + 250 * 50) / (137 * 137));
}

TEST(SampleArea, WeightsTheNeighbouringPixels)
{
    // Ten columns with grey 10 x column, on every row.
    std::vector<uint8_t> canvas(kCanvasBytes, 0);
    for (int row = 0; row < 10; ++row) {
        for (int column = 0; column < 10; ++column)
            canvas[row * kCanvasSide + column] = static_cast<uint8_t>(10 * column);
    }
    struct Case {
        double x, y;
        int expected;
    };
    const Case cases[] = {
        {5.0, 5.0, 45},    // on a pixel: half of it and half of the left neighbour
        {5.5, 5.5, 50},    // between centres: the pixel alone
        {5.2, 4.0, 47},    // 0.3 of column 4, 0.7 of column 5
        {0.7, 5.0, 0},     // the outermost column gives its own pixel
        {9.9, 5.0, 90},
        {-0.5, 5.0, 0},    // truncates to column 0
        {5.0, 9.2, 50},    // outermost row
        {10.0, 5.0, 77},   // outside: the background
        {5.0, -1.0, 77},
    };
    for (const Case& c : cases)
        EXPECT_EQ(SampleArea(canvas.data(), 10, 10, c.x, c.y, 77), c.expected) << c.x << ", " << c.y;
}

TEST(CentreOnCanvas, MovesASmallerPictureToTheMiddle)
{
    std::vector<uint8_t> canvas(kCanvasBytes, 255);
    for (int row = 0; row < 400; ++row) {
        for (int column = 0; column < 301; ++column)
            canvas[row * kCanvasSide + column] = static_cast<uint8_t>(row % 200);
    }
    std::vector<uint8_t> output(kCanvasBytes);
    int32_t width = 301;
    int32_t height = 400;
    ContentRect bounds{0, 0, 300, 399};
    ASSERT_EQ(CentreOnCanvas(canvas.data(), canvas.size(), output.data(), output.size(), 77, width, height, bounds),
              result::Success);
    // Offsets (169, 120).
    EXPECT_EQ(width, 639);
    EXPECT_EQ(height, 640);
    EXPECT_EQ(bounds, (ContentRect{169, 120, 469, 519}));
    EXPECT_EQ(Pixel(output, 0, 0), 77);
    EXPECT_EQ(Pixel(output, 119, 200), 77);
    EXPECT_EQ(Pixel(output, 120, 168), 77);
    EXPECT_EQ(Pixel(output, 121, 169), 1);
    EXPECT_EQ(Pixel(output, 519, 469), 199);
    EXPECT_EQ(Pixel(output, 519, 470), 77);
    EXPECT_EQ(Pixel(output, 639, 639), 77);
}

TEST(CentreOnCanvas, FullSizePictureIsCopiedAsItIs)
{
    std::vector<uint8_t> canvas(kCanvasBytes);
    for (size_t i = 0; i < canvas.size(); ++i)
        canvas[i] = static_cast<uint8_t>(i % 253);
    std::vector<uint8_t> output(kCanvasBytes);
    int32_t width = 640;
    int32_t height = 640;
    ContentRect bounds{0, 0, 639, 639};
    ASSERT_EQ(CentreOnCanvas(canvas.data(), canvas.size(), output.data(), output.size(), 77, width, height, bounds),
              result::Success);
    EXPECT_EQ(output, canvas);
    EXPECT_EQ(bounds, (ContentRect{0, 0, 639, 639}));
    EXPECT_EQ(CentreOnCanvas(canvas.data(), canvas.size(), output.data(), 100, 77, width, height, bounds),
              result::WorkBufferUnavailable);
}

TEST(MirrorRows, ReversesTheContentOfEachRow)
{
    std::vector<uint8_t> canvas(kCanvasBytes, 9);
    for (int column = 0; column < 5; ++column)
        canvas[kCanvasSide + column] = static_cast<uint8_t>(column);
    ASSERT_EQ(MirrorRows(canvas.data(), canvas.size(), 5, 2), result::Success);
    EXPECT_EQ(std::vector<uint8_t>(canvas.begin() + kCanvasSide, canvas.begin() + kCanvasSide + 6),
              (std::vector<uint8_t>{4, 3, 2, 1, 0, 9}));
    EXPECT_EQ(MirrorRows(canvas.data(), canvas.size(), 641, 2), result::WorkBufferUnavailable);
    EXPECT_EQ(MirrorRows(canvas.data(), canvas.size() - 1, 5, 2), result::WorkBufferUnavailable);
}

} // namespace
} // namespace vela::engine
