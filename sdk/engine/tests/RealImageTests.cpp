#include <gtest/gtest.h>

#include <cstdio>
#include <map>

#include "CleaningTestSupport.h"
#include "engine/cleaning/ImageFeatures.h"

namespace vela::engine {
namespace {

using namespace extraction_test;

struct ImpressionFigures {
    int32_t windowQuality;   // byte 52 of the centroid block
    int32_t imageQuality;    // ComputeImageFeatures, grid step 8
    int32_t minutiae[4];     // per cleaned variant
    int32_t quality[4];      // impression quality per variant
};

// Cleans and extracts every impression once; the tests below read the figures.
class RealImages : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        if (!std::filesystem::exists(FingerprintDir()))
            return;
        std::vector<uint8_t> featureWork(2 * kCanvasBytes);
        CleaningRun run;
        for (int finger = 1; finger <= 6; ++finger)
            for (int impression = 1; impression <= 8; ++impression) {
                const auto bmp = ReadFileBytes(FingerprintDir() / Name(finger, impression));
                ImpressionFigures f{};
                if (run.Clean(bmp) != kCleaningDone)
                    continue;
                f.windowQuality = run.Field(0, 52);
                f.imageQuality = ComputeImageFeatures(bmp, 8, featureWork, 14, 150);
                for (int v = 0; v < 4; ++v) {
                    WorkImage image = UnpackCleanedImage(run.variantImages[v].data());
                    ExtractionRun extraction;
                    extraction.All(image);
                    f.minutiae[v] = extraction.Count();
                    f.quality[v] = extraction.Quality();
                }
                figures_[Name(finger, impression)] = f;
            }
    }

    void SetUp() override
    {
        if (!std::filesystem::exists(FingerprintDir()))
            GTEST_SKIP() << "no fingerprint images at " << FingerprintDir();
    }

    static std::string Name(int finger, int impression)
    {
        char name[32];
        std::snprintf(name, sizeof name, "f%02d_%d.bmp", finger, impression);
        return name;
    }

    template <typename F>
    static double MeanOver(std::initializer_list<int> fingers, F value)
    {
        double sum = 0;
        int n = 0;
        for (int finger : fingers)
            for (int impression = 1; impression <= 8; ++impression, ++n)
                sum += value(figures_.at(Name(finger, impression)));
        return sum / n;
    }

    static inline std::map<std::string, ImpressionFigures> figures_;
};

// One test, as cleaning all 48 impressions is the costly part. f01, f03 and
// f06 are dark, even prints; f04 and f05 are faint and patchy.
TEST_F(RealImages, EveryImpressionGivesPlausibleMinutiaeAndClearOnesRateHigher)
{
    ASSERT_EQ(figures_.size(), 48u);
    for (const auto& [name, f] : figures_)
        for (int v = 0; v < 4; ++v) {
            EXPECT_GE(f.minutiae[v], 12) << name << " variant " << v;
            EXPECT_LE(f.minutiae[v], 70) << name << " variant " << v;
            EXPECT_GT(f.quality[v], 20) << name << " variant " << v;
        }

    const std::initializer_list<int> clear = {1, 3, 6}, smudged = {4, 5};
    auto window = [](const ImpressionFigures& f) { return f.windowQuality; };
    auto image = [](const ImpressionFigures& f) { return f.imageQuality; };
    auto impression = [](const ImpressionFigures& f) { return (f.quality[0] + f.quality[1]) / 2.0; };
    EXPECT_GT(MeanOver(clear, window), MeanOver(smudged, window) + 5);
    EXPECT_GT(MeanOver(clear, image), MeanOver(smudged, image) + 5);
    EXPECT_GT(MeanOver(clear, impression), MeanOver(smudged, impression));
    for (int finger : clear)
        for (int k = 1; k <= 8; ++k)
            for (int faint : smudged)
                for (int j = 1; j <= 8; ++j)
                    EXPECT_GT(figures_.at(Name(finger, k)).imageQuality, figures_.at(Name(faint, j)).imageQuality)
                        << Name(finger, k) << " against " << Name(faint, j);
}

} // namespace
} // namespace vela::engine
