#include "images/BmpCodec.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <limits>

#include "ByteOrder.h"

namespace vela::render {
namespace {

using vela::base::exceptions::invalid_argument;

constexpr size_t kFileHeaderSize = 14;
constexpr uint32_t kInfoHeaderSize = 40;
constexpr size_t kHeadersSize = kFileHeaderSize + kInfoHeaderSize;
constexpr uint32_t kPaletteEntries = 256;
constexpr uint32_t kCompressionNone = 0;

// Bytes in a file row of `rowBytes` pixel bytes: rows are padded to 4.
uint64_t PaddedRow(uint64_t rowBytes) { return rowBytes + (4 - rowBytes % 4) % 4; }

}  // namespace

int32_t DpiFromPixelsPerMeter(int32_t pixelsPerMeter) {
  return static_cast<int32_t>(double(pixelsPerMeter) * 100 * 0.000254000508001016 + 0.5);
}

int32_t PixelsPerMeterFromDpi(int32_t dpi) {
  return static_cast<int32_t>(int64_t{dpi} * 3937 / 100);
}

DecodedBmp DecodeBmp(std::span<const uint8_t> file) {
  if (file.size() < kHeadersSize) throw invalid_argument();
  const uint8_t* p = file.data();
  if (p[0] != 'B' || p[1] != 'M') throw invalid_argument();
  const uint32_t offBits = ReadLe<uint32_t>(p + 10);
  const uint32_t infoSize = ReadLe<uint32_t>(p + 14);
  const int32_t width = ReadLe<int32_t>(p + 18);
  const int32_t signedHeight = ReadLe<int32_t>(p + 22);
  const uint16_t bitCount = ReadLe<uint16_t>(p + 28);
  const uint32_t compression = ReadLe<uint32_t>(p + 30);
  const int32_t xPelsPerMeter = ReadLe<int32_t>(p + 38);
  const int32_t yPelsPerMeter = ReadLe<int32_t>(p + 42);
  const uint32_t colorsUsed = ReadLe<uint32_t>(p + 46);

  if (bitCount != 8) throw invalid_argument();
  // RLE data read as raw rows would be garbage.
  if (compression != kCompressionNone) throw invalid_argument();
  // Older core headers lay the fields out differently.
  if (infoSize < kInfoHeaderSize) throw invalid_argument();
  if (width <= 0 || signedHeight == 0 || signedHeight == std::numeric_limits<int32_t>::min())
    throw invalid_argument();
  // A negative height marks a file stored top row first.
  const bool topDown = signedHeight < 0;
  const int32_t height = topDown ? -signedHeight : signedHeight;

  // The palette follows whatever header the file has, with as many entries
  // as it declares.
  const uint32_t colors = colorsUsed == 0 ? kPaletteEntries : colorsUsed;
  if (colors > kPaletteEntries) throw invalid_argument();
  const uint64_t paletteOffset = kFileHeaderSize + uint64_t{infoSize};
  if (paletteOffset + uint64_t{colors} * 4 > file.size()) throw invalid_argument();
  // Indices past the declared colours read as black.
  std::array<uint8_t, kPaletteEntries> grey{};
  for (uint32_t i = 0; i < colors; ++i) grey[i] = p[paletteOffset + 4 * i];

  const uint64_t stride = PaddedRow(static_cast<uint64_t>(width));
  if (uint64_t{offBits} + uint64_t(height) * stride > file.size()) throw invalid_argument();

  DecodedBmp image;
  image.width = width;
  image.height = height;
  image.xResolution = DpiFromPixelsPerMeter(xPelsPerMeter);
  image.yResolution = DpiFromPixelsPerMeter(yPelsPerMeter);
  image.pixels.resize(size_t(width) * size_t(height));
  for (int32_t r = 0; r < height; ++r) {
    const uint8_t* source = p + offBits + uint64_t(r) * stride;
    const int32_t targetRow = topDown ? r : height - 1 - r;
    uint8_t* target = image.pixels.data() + size_t(targetRow) * size_t(width);
    for (int32_t c = 0; c < width; ++c) target[c] = grey[source[c]];
  }
  return image;
}

std::vector<uint8_t> EncodeBmp(const vela::base::Image& image) {
  const int32_t bitsPerPixel = image.GetBitsPerPixel();
  if (bitsPerPixel != 8 && bitsPerPixel != 24) throw invalid_argument("unimplemented bitmap format !");
  const int32_t width = image.GetWidth();
  const int32_t height = image.GetHeight();
  const int32_t stride = image.GetRowBytes();
  const uint8_t* pixels = image.GetData();
  if (width <= 0 || height <= 0) throw invalid_argument();
  const uint64_t rowBytes = uint64_t(width) * uint64_t(bitsPerPixel / 8);
  if (!pixels || stride < 0 || uint64_t(stride) < rowBytes) throw invalid_argument();

  const uint64_t fileRow = PaddedRow(rowBytes);
  const uint32_t offBits = bitsPerPixel == 8 ? kHeadersSize + kPaletteEntries * 4 : kHeadersSize;
  const uint64_t imageSize = uint64_t(height) * fileRow;
  if (offBits + imageSize > uint64_t(std::numeric_limits<int32_t>::max()))
    throw invalid_argument();

  std::vector<uint8_t> file(offBits + imageSize, 0);
  uint8_t* p = file.data();
  p[0] = 'B';
  p[1] = 'M';
  WriteLe<uint32_t>(p + 2, static_cast<uint32_t>(offBits + imageSize));
  WriteLe<uint32_t>(p + 10, offBits);
  WriteLe<uint32_t>(p + 14, kInfoHeaderSize);
  WriteLe<int32_t>(p + 18, width);
  WriteLe<int32_t>(p + 22, height);
  WriteLe<uint16_t>(p + 26, 1);
  WriteLe<uint16_t>(p + 28, static_cast<uint16_t>(bitsPerPixel));
  WriteLe<uint32_t>(p + 30, kCompressionNone);
  WriteLe<uint32_t>(p + 34, static_cast<uint32_t>(imageSize));
  WriteLe<int32_t>(p + 38, PixelsPerMeterFromDpi(image.GetXResolution()));
  WriteLe<int32_t>(p + 42, PixelsPerMeterFromDpi(image.GetYResolution()));
  if (bitsPerPixel == 8) {
    for (uint32_t i = 0; i < kPaletteEntries; ++i)
      std::memset(p + kHeadersSize + 4 * i, static_cast<int>(i), 4);
  }
  for (int32_t r = 0; r < height; ++r) {
    const uint8_t* source = pixels + size_t(height - 1 - r) * size_t(stride);
    std::memcpy(p + offBits + uint64_t(r) * fileRow, source, rowBytes);
  }
  return file;
}

}  // namespace vela::render
