#pragma once

// Running the cleaning and the extraction on BMP files, shared by the
// cleaning tests and the benchmarks.

#include <array>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "ExtractionTestSupport.h"
#include "FingerprintPictures.h"
#include "engine/cleaning/CleanFingerImage.h"
#include "base/ByteOrder.h"
#include "engine/records/ImageParameters.h"

namespace vela::engine::extraction_test {

using test::FingerprintDir;
using test::ReadFileBytes;

// An 8-bit grey BMP with a grey palette, pixels given top row first.
inline std::vector<uint8_t> MakeGreyBmp(int32_t width, int32_t height, const std::vector<uint8_t>& topDown,
                                        int32_t pixelsPerMetre = 19685)
{
    const int32_t stride = (width + 3) / 4 * 4;
    std::vector<uint8_t> bmp(1078 + static_cast<size_t>(stride) * height, 0);
    bmp[0] = 'B';
    bmp[1] = 'M';
    WriteLe<uint32_t>(bmp.data() + 2, static_cast<uint32_t>(bmp.size()));
    WriteLe<uint32_t>(bmp.data() + 10, 1078);
    WriteLe<uint32_t>(bmp.data() + 14, 40);
    WriteLe<int32_t>(bmp.data() + 18, width);
    WriteLe<int32_t>(bmp.data() + 22, height);
    WriteLe<uint16_t>(bmp.data() + 26, 1);
    WriteLe<uint16_t>(bmp.data() + 28, 8);
    WriteLe<uint32_t>(bmp.data() + 34, static_cast<uint32_t>(stride * height));
    WriteLe<int32_t>(bmp.data() + 38, pixelsPerMetre);
    WriteLe<int32_t>(bmp.data() + 42, pixelsPerMetre);
    for (int v = 0; v < 256; ++v)
        for (int k = 0; k < 3; ++k)
            bmp[54 + 4 * v + k] = static_cast<uint8_t>(v);
    for (int32_t row = 0; row < height; ++row)
        std::memcpy(bmp.data() + 1078 + static_cast<size_t>(height - 1 - row) * stride,
                    topDown.data() + static_cast<size_t>(row) * width, width);
    return bmp;
}

// The results of one cleaning: four variants, two parameter blocks, the output image.
struct CleaningRun {
    std::vector<uint8_t> work = std::vector<uint8_t>(cleaning_work::kSize);
    std::array<std::vector<uint8_t>, 4> variantImages;
    std::array<std::vector<uint8_t>, 2> parameterBlocks;
    std::vector<uint8_t> outputImage = std::vector<uint8_t>(kCleanedImageBytes, 0);
    CleanedVariantList variants{};
    ImageParameterList parameters{};
    CleanedOutputImage output{};

    CleaningRun()
    {
        for (auto& image : variantImages)
            image.assign(kCleanedImageBytes, 0xEE);
        for (auto& block : parameterBlocks)
            block.assign(image_parameters::kSize, 0xEE);
        variants.count = 4;
        for (int k = 0; k < 4; ++k)
            variants.images[k] = variantImages[k].data();
        parameters.count = 2;
        for (int k = 0; k < 2; ++k)
            parameters.blocks[k] = parameterBlocks[k].data();
        output.count = 1;
        output.image = outputImage.data();
    }

    int32_t Clean(const std::vector<uint8_t>& bmp, int32_t scannerId = 14, int32_t dataId = 150)
    {
        return CleanFingerImage(scannerId, dataId, bmp, variants, parameters, output, work);
    }

    int32_t Field(int block, size_t offset) const { return ReadLe<int32_t>(parameterBlocks[block].data() + offset); }
};

// The cleaned variant placed in a WorkImage, ridges 255.
inline WorkImage UnpackCleanedImage(const uint8_t* cleaned)
{
    WorkImage image = BlankWorkImage();
    for (int32_t row = 0; row < kWorkHeight; ++row)
        for (int32_t column = 0; column < kWorkWidth; ++column)
            Pixel(image, column, row) = (cleaned[row * kCleanedRowBytes + column / 8] >> (7 - column % 8) & 1) ? 255 : 0;
    return image;
}

} // namespace vela::engine::extraction_test
