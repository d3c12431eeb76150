#include <filesystem>
#include <vector>

#include <gtest/gtest.h>

#include "EngineTestSupport.h"
#include "FingerprintPictures.h"
#include "engine/input/CentreOnCanvas.h"
#include "engine/input/ConvertInputImage.h"
#include "engine/input/ResampleToWorkImage.h"
#include "engine/input/ValidateInputBmp.h"

namespace vela::engine {
namespace {

std::vector<std::filesystem::path> FingerprintFiles()
{
    std::vector<std::filesystem::path> files;
    if (!std::filesystem::is_directory(test::FingerprintDir()))
        return files;
    for (const auto& entry : std::filesystem::directory_iterator(test::FingerprintDir())) {
        if (entry.path().extension() == ".bmp")
            files.push_back(entry.path());
    }
    std::sort(files.begin(), files.end());
    return files;
}

// Each real scan passes the checks and goes through the input steps as the
// object layer drives them (scanner 14, a finger-set type): 248 x 338 at 500
// dpi becomes 252 x 343 at 508 dpi, centred on the canvas.
TEST(RealImages, PassValidationAndConvert)
{
    const std::vector<std::filesystem::path> files = FingerprintFiles();
    if (files.empty())
        GTEST_SKIP() << "no fingerprint images in " << test::FingerprintDir();
    EXPECT_EQ(files.size(), 48u);

    std::vector<uint8_t> canvas(kCanvasBytes);
    std::vector<uint8_t> second(kCanvasBytes);
    for (const auto& path : files) {
        SCOPED_TRACE(path.filename().string());
        const std::vector<uint8_t> bmp = test::ReadFileBytes(path);
        int32_t size = 0;
        ASSERT_EQ(ValidateInputBmp(bmp.data(), bmp.size(), &size), result::Success);
        EXPECT_EQ(size, static_cast<int32_t>(bmp.size()));

        ScannerParameters parameters;
        int32_t width = 0;
        int32_t height = 0;
        ContentRect bounds;
        ASSERT_EQ(ConvertInputImage(bmp.data(), bmp.size(), canvas.data(), canvas.size(), parameters, width, height,
                                    bounds),
                  result::Success);
        EXPECT_EQ(width, 248);
        EXPECT_EQ(height, 338);
        EXPECT_EQ(parameters.sourceDpiX, 500);

        ASSERT_EQ(GetScannerParameters(14, 150, parameters), result::Success);
        int32_t background = -1;
        ASSERT_EQ(ResampleToWorkImage(canvas.data(), canvas.size(), second.data(), second.size(), parameters,
                                      background, width, height, bounds),
                  result::Success);
        EXPECT_EQ(width, 252);
        EXPECT_EQ(height, 343);
        // The scans are dark ridges on a light ground.
        EXPECT_GT(background, 128);

        ASSERT_EQ(CentreOnCanvas(canvas.data(), canvas.size(), second.data(), second.size(), background, width,
                                 height, bounds),
                  result::Success);
        EXPECT_EQ(width, 640);
        EXPECT_EQ(height, 640 - 1);
        EXPECT_EQ(bounds, (ContentRect{194, 148, 445, 490}));
        EXPECT_EQ(second[0], background);
        EXPECT_EQ(second[(148 + 171) * kCanvasSide + 194 + 126], canvas[171 * kCanvasSide + 126]);
    }
}

} // namespace
} // namespace vela::engine
