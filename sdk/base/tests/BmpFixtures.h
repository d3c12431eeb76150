// Builds BMP files byte by byte, so tests can make ordinary, odd and broken
// files without any image library.
#pragma once

#include <cstdint>
#include <cstring>
#include <vector>

namespace vela::test {

inline void PutU16(std::vector<uint8_t>& file, size_t at, uint16_t v) {
  file[at] = uint8_t(v);
  file[at + 1] = uint8_t(v >> 8);
}

inline void PutU32(std::vector<uint8_t>& file, size_t at, uint32_t v) {
  for (int i = 0; i < 4; ++i) file[at + i] = uint8_t(v >> (8 * i));
}

inline uint32_t GetU32(const std::vector<uint8_t>& file, size_t at) {
  return uint32_t(file[at]) | uint32_t(file[at + 1]) << 8 | uint32_t(file[at + 2]) << 16 |
         uint32_t(file[at + 3]) << 24;
}

// An 8-bit palette BMP. Pixel (row r from the top, column c) holds the
// palette index Pixel(r, c); palette entry i is (blue, green, red) =
// (255 - i, i, 7) unless grey.
struct BmpSpec {
  int32_t width = 5;
  int32_t height = 3;
  uint32_t infoSize = 40;
  uint32_t colors = 0;  // 0: a full palette of 256 entries, none declared
  bool topDown = false;
  bool grey = true;
  int32_t pixelsPerMeter = 19685;

  static uint8_t Pixel(int32_t r, int32_t c) { return uint8_t(r * 37 + c * 11 + 3); }
};

inline std::vector<uint8_t> MakeBmp(const BmpSpec& s) {
  const uint32_t entries = s.colors == 0 ? 256 : s.colors;
  const uint32_t paletteAt = 14 + s.infoSize;
  const uint32_t offBits = paletteAt + 4 * entries;
  const uint32_t stride = (uint32_t(s.width) + 3) / 4 * 4;
  std::vector<uint8_t> file(offBits + stride * uint32_t(s.height), 0);
  file[0] = 'B';
  file[1] = 'M';
  PutU32(file, 2, uint32_t(file.size()));
  PutU32(file, 10, offBits);
  PutU32(file, 14, s.infoSize);
  PutU32(file, 18, uint32_t(s.width));
  PutU32(file, 22, uint32_t(s.topDown ? -s.height : s.height));
  PutU16(file, 26, 1);
  PutU16(file, 28, 8);
  PutU32(file, 34, stride * uint32_t(s.height));
  PutU32(file, 38, uint32_t(s.pixelsPerMeter));
  PutU32(file, 42, uint32_t(s.pixelsPerMeter));
  PutU32(file, 46, s.colors);
  for (uint32_t i = 0; i < entries; ++i) {
    uint8_t* e = &file[paletteAt + 4 * i];
    if (s.grey) {
      e[0] = e[1] = e[2] = uint8_t(i);
    } else {
      e[0] = uint8_t(255 - i);
      e[1] = uint8_t(i);
      e[2] = 7;
    }
  }
  for (int32_t r = 0; r < s.height; ++r) {
    const int32_t fileRow = s.topDown ? r : s.height - 1 - r;
    for (int32_t c = 0; c < s.width; ++c) {
      uint8_t index = BmpSpec::Pixel(r, c);
      if (s.colors != 0) index = uint8_t(index % s.colors);
      file[offBits + uint32_t(fileRow) * stride + uint32_t(c)] = index;
    }
  }
  return file;
}

// The grey value the reader should give for pixel (r, c) of MakeBmp(s).
inline uint8_t ExpectedGrey(const BmpSpec& s, int32_t r, int32_t c) {
  uint8_t index = BmpSpec::Pixel(r, c);
  if (s.colors != 0) index = uint8_t(index % s.colors);
  return s.grey ? index : uint8_t(255 - index);
}

}  // namespace vela::test
