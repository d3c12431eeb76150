#pragma once

#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "engine/input/BmpLayout.h"
#include "base/ByteOrder.h"
#include "engine/records/ImpressionRecord.h"

namespace vela::engine::test {

struct Minutia {
    uint8_t x;
    uint8_t y;
    uint8_t direction;
};

inline Impression MakeImpression(uint8_t quality, uint8_t fingerCode, const std::vector<Minutia>& minutiae,
                                 uint8_t blockValue = kNoDirection)
{
    Impression impression;
    impression.quality = quality;
    impression.fingerCode = fingerCode;
    impression.blocks.fill(blockValue);
    impression.count = static_cast<uint8_t>(minutiae.size());
    for (size_t i = 0; i < minutiae.size(); ++i) {
        impression.x[i] = minutiae[i].x;
        impression.y[i] = minutiae[i].y;
        impression.direction[i] = minutiae[i].direction;
    }
    return impression;
}

inline std::vector<uint8_t> ToRecord(const Impression& impression)
{
    std::vector<uint8_t> record(impression::kSize);
    WriteImpression(impression, record.data(), record.size());
    return record;
}

inline std::vector<uint8_t> FromHex(const std::string& hex)
{
    std::vector<uint8_t> bytes;
    for (size_t i = 0; i + 1 < hex.size(); i += 2)
        bytes.push_back(static_cast<uint8_t>(std::stoi(hex.substr(i, 2), nullptr, 16)));
    return bytes;
}

// An 8-bit BMP written field by field, so a test can break any one field.
struct TestBmp {
    int32_t width = 120;
    int32_t height = 110;
    int32_t xPixelsPerMetre = 19685;
    int32_t yPixelsPerMetre = 19685;
    uint16_t planes = 1;
    uint16_t bitsPerPixel = 8;
    uint32_t compression = 0;
    uint32_t pixelOffset = 1078;
    std::vector<uint8_t> palette;  // 1,024 bytes; a grey ramp unless replaced
    std::vector<uint8_t> pixels;   // top-down, width a row; 255 unless replaced

    TestBmp()
    {
        palette.resize(1024);
        for (int i = 0; i < 256; ++i) {
            palette[4 * i] = palette[4 * i + 1] = palette[4 * i + 2] = static_cast<uint8_t>(i);
            palette[4 * i + 3] = 0;
        }
    }

    void Fill(uint8_t grey) { pixels.assign(static_cast<size_t>(width) * height, grey); }

    uint8_t& At(int32_t row, int32_t column) { return pixels[static_cast<size_t>(row) * width + column]; }

    std::vector<uint8_t> Bytes() const
    {
        const int64_t stride = width > 0 ? bmp::RowStride(width) : 0;
        const int64_t rows = height > 0 ? height : 0;
        std::vector<uint8_t> bytes(1078 + static_cast<size_t>(stride * rows), 0);
        bytes[0] = 'B';
        bytes[1] = 'M';
        WriteLe<uint32_t>(&bytes[2], static_cast<uint32_t>(bytes.size()));
        WriteLe<uint32_t>(&bytes[10], pixelOffset);
        WriteLe<uint32_t>(&bytes[14], 40);
        WriteLe<int32_t>(&bytes[18], width);
        WriteLe<int32_t>(&bytes[22], height);
        WriteLe<uint16_t>(&bytes[26], planes);
        WriteLe<uint16_t>(&bytes[28], bitsPerPixel);
        WriteLe<uint32_t>(&bytes[30], compression);
        WriteLe<uint32_t>(&bytes[34], static_cast<uint32_t>(stride * rows));
        WriteLe<int32_t>(&bytes[38], xPixelsPerMetre);
        WriteLe<int32_t>(&bytes[42], yPixelsPerMetre);
        std::copy(palette.begin(), palette.end(), bytes.begin() + 54);
        for (int64_t row = 0; row < rows && !pixels.empty(); ++row) {
            // BMP rows are stored bottom-up.
            const uint8_t* source = pixels.data() + (rows - 1 - row) * width;
            std::copy(source, source + width, bytes.begin() + 1078 + row * stride);
        }
        if (pixels.empty()) {
            for (int64_t row = 0; row < rows; ++row)
                std::fill_n(bytes.begin() + 1078 + row * stride, width, uint8_t{255});
        }
        return bytes;
    }
};

} // namespace vela::engine::test
