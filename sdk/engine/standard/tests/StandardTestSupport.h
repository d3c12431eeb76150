#pragma once

// Grey pictures for the standard path: the shared fingerprints as raw pixels
// and small synthetic ridge patterns.

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <numbers>
#include <vector>

#include "base/ByteOrder.h"

namespace vela::engine::test {

struct GreyPicture {
    int32_t width = 0;
    int32_t height = 0;
    std::vector<uint8_t> pixels; // rows top-down, unpadded
};

// An 8-bit BMP with a grey palette as raw rows, top-down; empty when the file
// is missing or not of that kind.
inline GreyPicture ReadGreyBmp(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    const std::vector<uint8_t> file{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    GreyPicture picture;
    if (file.size() < 54 || file[0] != 'B' || file[1] != 'M' || ReadLe<uint16_t>(file.data() + 28) != 8)
        return picture;
    const uint32_t offset = ReadLe<uint32_t>(file.data() + 10);
    const int32_t width = ReadLe<int32_t>(file.data() + 18);
    const int32_t height = ReadLe<int32_t>(file.data() + 22);
    const int32_t rows = std::abs(height);
    const size_t stride = (static_cast<size_t>(width) + 3) / 4 * 4;
    if (width <= 0 || offset + stride * rows > file.size())
        return picture;
    picture.width = width;
    picture.height = rows;
    picture.pixels.resize(static_cast<size_t>(width) * rows);
    for (int32_t r = 0; r < rows; ++r) {
        const int32_t source = height > 0 ? rows - 1 - r : r;
        std::copy_n(file.data() + offset + source * stride, width, picture.pixels.data() + static_cast<size_t>(r) * width);
    }
    return picture;
}

inline std::filesystem::path SharedData() { return std::filesystem::path(PV_SHARED_DATA_DIR); }

// fFF_I.bmp of the shared fingerprints (248 x 338 at 500 dpi).
inline GreyPicture SharedFingerprint(int finger, int impression)
{
    char name[32];
    std::snprintf(name, sizeof name, "f%02d_%d.bmp", finger, impression);
    return ReadGreyBmp(SharedData() / "fingerprints" / name);
}

// <db>/<finger>_<impression>.bmp of the FVC2002 sets.
inline GreyPicture FvcFingerprint(const char* db, int finger, int impression)
{
    char name[32];
    std::snprintf(name, sizeof name, "%d_%d.bmp", finger, impression);
    return ReadGreyBmp(SharedData() / "fingerprints-fvc2002" / db / name);
}

// Dark ridges on a light ground, a whorl-like pattern of concentric rings of
// the given period, with a light border of `margin` pixels.
inline GreyPicture RingPattern(int32_t width, int32_t height, double period, int32_t margin = 0)
{
    GreyPicture p{width, height, std::vector<uint8_t>(static_cast<size_t>(width) * height, 230)};
    for (int32_t y = margin; y < height - margin; ++y)
        for (int32_t x = margin; x < width - margin; ++x) {
            const double r = std::hypot(x - width / 2.0, (y - height / 2.0) * 0.8);
            const double wave = std::cos(2 * std::numbers::pi * r / period + 0.002 * x * y / period);
            p.pixels[static_cast<size_t>(y) * width + x] = static_cast<uint8_t>(128 + 100 * wave);
        }
    return p;
}

} // namespace vela::engine::test
