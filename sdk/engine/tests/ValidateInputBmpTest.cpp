#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "EngineTestSupport.h"
#include "engine/input/ValidateInputBmp.h"

namespace vela::engine {
namespace {

using test::TestBmp;

ResultCode Validate(const std::vector<uint8_t>& bytes, int32_t* size = nullptr)
{
    return ValidateInputBmp(bytes.data(), bytes.size(), size);
}

// The checks in their order; each case of the table breaks its own check and
// every later one, so the code shows that the earlier check comes first.
enum Check { kFormat, kPixelOffset, kSize, kResolution, kLength, kPalette, kNone };

std::vector<uint8_t> BrokenFrom(Check first)
{
    TestBmp bmp;
    bmp.Fill(128);
    if (first <= kPalette)
        bmp.palette[4 * 128 + 1] = 0;  // entry 128, which the pixels use, is no longer grey
    if (first <= kResolution)
        bmp.yPixelsPerMetre = 7873;
    if (first <= kSize)
        bmp.height = 99;
    if (first <= kPixelOffset)
        bmp.pixelOffset = 1079;
    if (first <= kFormat)
        bmp.bitsPerPixel = 24;
    std::vector<uint8_t> bytes = bmp.Bytes();
    if (first <= kLength)
        bytes.pop_back();
    return bytes;
}

TEST(ValidateInputBmp, OneCodePerCheckInTheOrderOfTheChecks)
{
    struct Case {
        Check first;
        ResultCode expected;
    };
    const Case cases[] = {
        {kFormat, 0xC310006E},     {kPixelOffset, 0xC3100069}, {kSize, 0xC310006F}, {kResolution, 0xC3100070},
        {kLength, 0xC3100068},     {kPalette, 0xC310006A},     {kNone, 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Validate(BrokenFrom(c.first)), c.expected) << "breaking from check " << c.first;
}

TEST(ValidateInputBmp, FormatChecks)
{
    struct Case {
        std::string name;
        std::function<void(TestBmp&)> change;
    };
    const Case cases[] = {
        {"planes 2", [](TestBmp& b) { b.planes = 2; }},
        {"4 bits a pixel", [](TestBmp& b) { b.bitsPerPixel = 4; }},
        {"compressed", [](TestBmp& b) { b.compression = 1; }},
    };
    for (const Case& c : cases) {
        TestBmp bmp;
        c.change(bmp);
        EXPECT_EQ(Validate(bmp.Bytes()), result::BadBmpFormat) << c.name;
    }
    std::vector<uint8_t> bytes = TestBmp().Bytes();
    bytes[1] = 'A';
    EXPECT_EQ(Validate(bytes), result::BadBmpFormat) << "not BM";
    bytes = TestBmp().Bytes();
    EXPECT_EQ(ValidateInputBmp(bytes.data(), 53, nullptr), result::BadBmpFormat) << "shorter than the headers";
    EXPECT_EQ(ValidateInputBmp(nullptr, 0, nullptr), result::BadBmpFormat);
    EXPECT_EQ(ValidateInputBmp(bytes.data(), 54, nullptr), result::BadChainEntrySize) << "no palette or rows";
}

TEST(ValidateInputBmp, SizeLimitsApplyToTheRowStrideAndHeight)
{
    struct Case {
        int32_t width;
        int32_t height;
        ResultCode expected;
    };
    const Case cases[] = {
        {97, 100, 0},                    // stride 100
        {96, 100, result::BadImageSize}, // stride 96
        {2000, 100, 0},
        {2001, 100, result::BadImageSize},  // stride 2004
        {100, 99, result::BadImageSize},
        {100, 2000, 0},
        {100, 2001, result::BadImageSize},
        {100, -200, result::BadImageSize},  // a top-down BMP
        {-200, 100, result::BadImageSize},
    };
    for (const Case& c : cases) {
        TestBmp bmp;
        bmp.width = c.width;
        bmp.height = c.height;
        int32_t size = -1;
        EXPECT_EQ(Validate(bmp.Bytes(), &size), c.expected) << c.width << " x " << c.height;
        if (c.expected == 0)
            EXPECT_EQ(size, bmp::RowStride(c.width) * c.height + 1078);
        else
            EXPECT_EQ(size, 0);
    }
}

TEST(ValidateInputBmp, ResolutionLimits)
{
    for (const int32_t ppm : {7873, 39371, 0, -19685}) {
        TestBmp bmp;
        bmp.xPixelsPerMetre = ppm;
        EXPECT_EQ(Validate(bmp.Bytes()), result::BadResolution) << "x " << ppm;
        bmp = TestBmp();
        bmp.yPixelsPerMetre = ppm;
        EXPECT_EQ(Validate(bmp.Bytes()), result::BadResolution) << "y " << ppm;
    }
    for (const int32_t ppm : {7874, 39370}) {
        TestBmp bmp;
        bmp.xPixelsPerMetre = ppm;
        bmp.yPixelsPerMetre = ppm;
        EXPECT_EQ(Validate(bmp.Bytes()), result::Success) << ppm;
    }
}

TEST(ValidateInputBmp, OnlyUsedPaletteEntriesMustFormAGreyRamp)
{
    TestBmp unusedColour;
    unusedColour.Fill(10);
    unusedColour.palette[4 * 200 + 2] = 7;  // red differs, but no pixel uses 200
    EXPECT_EQ(Validate(unusedColour.Bytes()), result::Success);

    TestBmp descending;
    descending.Fill(10);
    descending.At(5, 5) = 20;
    descending.palette[4 * 20] = descending.palette[4 * 20 + 1] = descending.palette[4 * 20 + 2] = 9;
    EXPECT_EQ(Validate(descending.Bytes()), result::BadBmpPalette) << "index 20 darker than index 10";

    TestBmp equal = descending;
    equal.palette[4 * 20] = equal.palette[4 * 20 + 1] = equal.palette[4 * 20 + 2] = 10;
    EXPECT_EQ(Validate(equal.Bytes()), result::Success) << "equal greys do not descend";

    TestBmp inverted;
    inverted.Fill(0);
    inverted.At(0, 0) = 255;
    for (int i = 0; i < 256; ++i)
        inverted.palette[4 * i] = inverted.palette[4 * i + 1] = inverted.palette[4 * i + 2] = static_cast<uint8_t>(255 - i);
    EXPECT_EQ(Validate(inverted.Bytes()), result::BadBmpPalette);

    // Padding bytes at the end of a row are not pixels.
    TestBmp padded;
    padded.width = 97;
    padded.Fill(10);
    padded.palette[4 * 200 + 1] = 0;
    std::vector<uint8_t> bytes = padded.Bytes();
    for (int row = 0; row < padded.height; ++row)
        bytes[1078 + row * 100 + 98] = 200;
    EXPECT_EQ(Validate(bytes), result::Success);
}

} // namespace
} // namespace vela::engine
