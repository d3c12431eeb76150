#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "CleaningTestSupport.h"
#include "engine/cleaning/ImageFeatures.h"

namespace vela::engine {
namespace {

using namespace extraction_test;
namespace ip = image_parameters;

std::vector<uint8_t> UniformBmp(int width, int height, uint8_t value)
{
    return MakeGreyBmp(width, height, std::vector<uint8_t>(static_cast<size_t>(width) * height, value));
}

// Dark ridges of the given period, upright, on a light ground, in an oval print.
std::vector<uint8_t> GratingBmp(int width, int height, double period)
{
    std::vector<uint8_t> pixels(static_cast<size_t>(width) * height, 230);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const double u = (x - width / 2.0) / (width * 0.45), v = (y - height / 2.0) / (height * 0.45);
            if (u * u + v * v < 1)
                pixels[static_cast<size_t>(y) * width + x] =
                    static_cast<uint8_t>(130 + 100 * std::cos(2 * std::numbers::pi * (x + 0.3 * y) / period));
        }
    return MakeGreyBmp(width, height, pixels);
}

std::vector<uint8_t> RealBmp(const char* name)
{
    return ReadFileBytes(FingerprintDir() / name);
}

bool AllZero(const std::vector<uint8_t>& bytes)
{
    return std::all_of(bytes.begin(), bytes.end(), [](uint8_t b) { return b == 0; });
}

TEST(CleanFingerImage, RefusesListsWithTooLittleRoomAndWritesNothing)
{
    const auto bmp = GratingBmp(248, 338, 9);
    for (auto [variants, parameters] : {std::pair{3, 2}, std::pair{4, 1}}) {
        CleaningRun run;
        run.variants.count = variants;
        run.parameters.count = parameters;
        EXPECT_EQ(run.Clean(bmp), kCleaningNoRoom);
        EXPECT_EQ(run.variantImages[0][0], 0xEE);
        EXPECT_EQ(run.parameterBlocks[0][0], 0xEE);
        EXPECT_EQ(run.variants.count, variants);
    }
    CleaningRun noPointer;
    noPointer.variants.images[3] = nullptr;
    EXPECT_EQ(noPointer.Clean(bmp), kCleaningNoRoom);
}

TEST(CleanFingerImage, ShortWorkBufferOrBrokenPictureFails)
{
    CleaningRun run;
    run.work.resize(cleaning_work::kSize - 1);
    EXPECT_EQ(run.Clean(GratingBmp(248, 338, 9)), kCleaningFailed);
    CleaningRun broken;
    std::vector<uint8_t> bmp = GratingBmp(248, 338, 9);
    bmp.resize(2000);
    EXPECT_EQ(broken.Clean(bmp), kCleaningFailed);
}

TEST(CleanFingerImage, BlankPictureFindsNothing)
{
    for (uint8_t grey : {255, 128}) {
        CleaningRun run;
        ASSERT_EQ(run.Clean(UniformBmp(248, 338, grey)), kCleaningDone);
        ASSERT_EQ(run.variants.count, 4);
        ASSERT_EQ(run.parameters.count, 2);
        for (int block = 0; block < 2; ++block) {
            EXPECT_EQ(run.Field(block, ip::kCutPixelsOffset), 0);
            EXPECT_EQ(run.Field(block, ip::kRidgeShareOffset), 200);
            EXPECT_EQ(run.Field(block, ip::kQualityOffset), 0);
            EXPECT_EQ(run.Field(block, ip::kRidgePeriodOffset), 0);
            EXPECT_EQ(run.Field(block, ip::kTiltOffset), 0);
        }
        for (const auto& image : run.variantImages) {
            EXPECT_TRUE(AllZero(image));
            WorkImage work = UnpackCleanedImage(image.data());
            ExtractionRun extraction;
            extraction.All(work);
            for (int b = 0; b < kBlockCount; ++b)
                ASSERT_EQ(extraction.record[impression::kBlocksOffset + b], kNoDirection);
            EXPECT_EQ(extraction.Quality(), 0);
            EXPECT_EQ(extraction.Count(), 0);
        }
        std::vector<uint8_t> featureWork(2 * kCanvasBytes);
        EXPECT_EQ(ComputeImageFeatures(UniformBmp(248, 338, grey), 8, featureWork, 14, 150), 0);
    }
}

TEST(ComputeImageFeatures, FailsOnlyWhenThePictureCannotBeConverted)
{
    std::vector<uint8_t> work(2 * kCanvasBytes);
    std::vector<uint8_t> bmp = GratingBmp(248, 338, 9);
    EXPECT_GT(ComputeImageFeatures(bmp, 8, work, 14, 150), 0);
    for (int step : {1, 2, 30, 100}) // clamped to 2..30
        EXPECT_GE(ComputeImageFeatures(bmp, step, work, 14, 150), 0) << step;
    std::vector<uint8_t> shortWork(2 * kCanvasBytes - 1);
    EXPECT_EQ(ComputeImageFeatures(bmp, 8, shortWork, 14, 150), -4);
    bmp.resize(3000);
    EXPECT_EQ(ComputeImageFeatures(bmp, 8, work, 14, 150), -4);
}

TEST(CleanFingerImage, GratingGivesItsPeriodAtTheWorkResolution)
{
    // The ridges run across x + 0.3 y, so they lie period / sqrt(1.09) apart;
    // scanner 14 resamples 500 dpi to 508 dpi, which widens that by 1.6 %.
    for (double period : {8.0, 10.0, 12.0}) {
        CleaningRun run;
        ASSERT_EQ(run.Clean(GratingBmp(248, 338, period)), kCleaningDone);
        const double expected = period / std::sqrt(1.09) * 101.6;
        EXPECT_NEAR(run.Field(0, ip::kRidgePeriodOffset), expected, expected * 0.08) << period;
        EXPECT_GT(run.Field(0, ip::kCutPixelsOffset), 30000) << period;
        EXPECT_GT(run.Field(0, ip::kQualityOffset), 50) << period;
    }
}

TEST(CleanFingerImage, DataTypeChoosesWhatIsHandedBack)
{
    if (!std::filesystem::exists(FingerprintDir()))
        GTEST_SKIP() << "no fingerprint images at " << FingerprintDir();
    const auto bmp = RealBmp("f01_1.bmp");
    for (int dataId : {20, 120, 139, 150, 161, 162, 164, 165, 167}) {
        CleaningRun run;
        ASSERT_EQ(run.Clean(bmp, 14, dataId), kCleaningDone);
        EXPECT_EQ(run.variants.count, 4) << dataId;
        EXPECT_EQ(run.parameters.count, 2) << dataId;
    }
    for (int dataId : {1, 2, 10, 11, 101, 110, 111}) {
        CleaningRun run;
        ASSERT_EQ(run.Clean(bmp, 14, dataId), kCleaningDone);
        EXPECT_LE(run.variants.count, 1) << dataId;
        EXPECT_EQ(run.parameters.count, 1) << dataId;
        EXPECT_EQ(run.variantImages[1][0], 0xEE) << dataId; // only the first variant is written
    }
}

TEST(CleanFingerImage, SingleVariantFollowsTheScannerLimits)
{
    if (!std::filesystem::exists(FingerprintDir()))
        GTEST_SKIP() << "no fingerprint images at " << FingerprintDir();
    const auto bmp = RealBmp("f01_1.bmp");
    struct Case {
        int scannerId;
        int fromSlot; // index into the four variants of a type-20 run: 0 enhanced, 1 threshold
    };
    // A good picture: at least limitHigh 50 (scanner 1) gives the threshold
    // cut, below limitHigh 150 (scanners 5 and 15) the enhanced one.
    for (const Case c : {Case{1, 1}, Case{5, 0}, Case{15, 0}}) {
        CleaningRun all, one;
        ASSERT_EQ(all.Clean(bmp, c.scannerId, 20), kCleaningDone);
        ASSERT_EQ(one.Clean(bmp, c.scannerId, 1), kCleaningDone);
        ASSERT_GE(one.Field(0, ip::kQualityOffset), 50);
        EXPECT_EQ(one.variants.count, 1) << c.scannerId;
        EXPECT_EQ(one.variantImages[0], all.variantImages[c.fromSlot]) << c.scannerId;
        EXPECT_EQ(one.parameterBlocks[0], all.parameterBlocks[0]) << c.scannerId;
    }
    // Scanner 5 asks for quality 50: a blank picture gives no variant, but the
    // enhanced cut is still written.
    CleaningRun blank;
    ASSERT_EQ(blank.Clean(UniformBmp(248, 338, 255), 5, 1), kCleaningDone);
    EXPECT_EQ(blank.variants.count, 0);
    EXPECT_TRUE(AllZero(blank.variantImages[0]));
}

TEST(CleanFingerImage, BothParameterBlocksShareTheImageMeasures)
{
    if (!std::filesystem::exists(FingerprintDir()))
        GTEST_SKIP() << "no fingerprint images at " << FingerprintDir();
    CleaningRun run;
    ASSERT_EQ(run.Clean(RealBmp("f03_4.bmp")), kCleaningDone);
    const auto& centroid = run.parameterBlocks[0];
    const auto& core = run.parameterBlocks[1];
    EXPECT_TRUE(std::equal(centroid.begin(), centroid.begin() + 40, core.begin()));
    EXPECT_TRUE(std::equal(centroid.begin() + 48, centroid.begin() + 52, core.begin() + 48));
    EXPECT_TRUE(std::equal(centroid.begin() + 60, centroid.begin() + 84, core.begin() + 60));
    EXPECT_EQ(run.Field(1, ip::kInputOriginXOffset), 0);
    EXPECT_EQ(run.Field(1, ip::kInputOriginYOffset), 0);
    EXPECT_TRUE(std::all_of(centroid.begin() + 92, centroid.end(), [](uint8_t b) { return b == 0; }));
    // 248 x 338 at 500 dpi resampled to 508 dpi, work geometry of type 150.
    EXPECT_EQ(run.Field(0, ip::kInputWidthOffset), 248);
    EXPECT_EQ(run.Field(0, ip::kInputHeightOffset), 338);
    EXPECT_EQ(run.Field(0, ip::kResampledWidthOffset), 252);
    EXPECT_EQ(run.Field(0, ip::kResampledHeightOffset), 343);
    EXPECT_EQ(run.Field(0, ip::kResampledPixelsOffset), 252 * 343);
    EXPECT_EQ(run.Field(0, ip::kResolutionXOffset), 432);
    EXPECT_EQ(run.Field(0, ip::kWorkPixelsOffset), 115200);
    EXPECT_EQ(run.Field(0, ip::kAreaShareOffset), run.Field(0, ip::kCutPixelsOffset) * 100 / 115200);
    EXPECT_EQ(run.Field(0, ip::kOffsetXOffset) % 16, 0);
    EXPECT_EQ(run.Field(0, ip::kOffsetYOffset) % 16, 0);
    EXPECT_EQ(run.outputImage, run.variantImages[0]);
}

TEST(CleanFingerImage, TwoGreyValuesAreRecognisedOverTheStoredPixelsOnly)
{
    const int width = 101, height = 100; // rows padded by three bytes
    std::vector<uint8_t> pixels(static_cast<size_t>(width) * height, 0);
    for (size_t k = 0; k < pixels.size(); k += 3)
        pixels[k] = 255;
    auto bmp = MakeGreyBmp(width, height, pixels);
    for (int row = 0; row < height; ++row)
        bmp[1078 + row * 104 + 101] = 77; // padding is not a pixel
    EXPECT_TRUE(HoldsTwoGreyValues(bmp));
    pixels[500] = 128;
    EXPECT_FALSE(HoldsTwoGreyValues(MakeGreyBmp(width, height, pixels)));
    EXPECT_TRUE(HoldsTwoGreyValues(UniformBmp(120, 100, 9)));
    bmp.resize(2000);
    EXPECT_FALSE(HoldsTwoGreyValues(bmp));
}

TEST(CleanFingerImage, PicturesOfEverySizeStayInsideTheirBuffers)
{
    // Prints touching every border of the input, from the smallest to the
    // largest picture; the sanitizer builds catch any stray access.
    for (auto [width, height] : {std::pair{100, 100}, std::pair{248, 338}, std::pair{640, 640}, std::pair{700, 2000}}) {
        std::vector<uint8_t> pixels(static_cast<size_t>(width) * height);
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                pixels[static_cast<size_t>(y) * width + x] =
                    static_cast<uint8_t>(128 + 110 * std::sin(2 * std::numbers::pi * (x + y / 3.0) / 9));
        for (int scannerId : {0, 2, 14}) {
            CleaningRun run;
            EXPECT_EQ(run.Clean(MakeGreyBmp(width, height, pixels), scannerId, 150), kCleaningDone);
            WorkImage work = UnpackCleanedImage(run.variantImages[0].data());
            ExtractionRun extraction;
            extraction.All(work);
            EXPECT_LE(extraction.Count(), 70);
        }
    }
}

// Pins the bytes the cleaning and extraction give for one real picture, so
// that optimisations cannot change them unnoticed.
TEST(CleanFingerImage, OutputOfOneRealImageIsPinned)
{
    if (!std::filesystem::exists(FingerprintDir()))
        GTEST_SKIP() << "no fingerprint images at " << FingerprintDir();
    CleaningRun run;
    ASSERT_EQ(run.Clean(RealBmp("f02_5.bmp")), kCleaningDone);
    uint64_t hash = 1469598103934665603ull;
    auto mix = [&hash](const std::vector<uint8_t>& bytes) {
        for (uint8_t b : bytes)
            hash = (hash ^ b) * 1099511628211ull;
    };
    for (const auto& image : run.variantImages) {
        mix(image);
        WorkImage work = UnpackCleanedImage(image.data());
        ExtractionRun extraction;
        extraction.All(work);
        mix(extraction.record);
    }
    for (const auto& block : run.parameterBlocks)
        mix(block);
    std::vector<uint8_t> featureWork(2 * kCanvasBytes);
    const int32_t features = ComputeImageFeatures(RealBmp("f02_5.bmp"), 8, featureWork, 14, 150);
    EXPECT_EQ(features, 87);
    EXPECT_EQ(hash, 0xB3593BDEF923F8DDull);
}

} // namespace
} // namespace vela::engine
