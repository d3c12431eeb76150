#pragma once
// Builds 8-bit palette BMP files in memory for the loader's tests.

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <vector>

struct BmpBytes {
  int32_t width = 1;
  int32_t height = 1;
  uint16_t bitsPerPixel = 8;
  int32_t pixelsPerMetre = 19685;
  // Palette entry i is (i, i, i, 0) unless changed here.
  std::vector<std::vector<uint8_t>> paletteChanges;  // {index, blue, green, red}
  std::vector<uint8_t> fileRows;  // bottom-up, padded as in the file

  std::vector<uint8_t> Build() const {
    std::vector<uint8_t> file(1078, 0);
    auto put32 = [&](size_t at, uint32_t v) {
      for (int i = 0; i < 4; ++i) file[at + i] = static_cast<uint8_t>(v >> (8 * i));
    };
    file[0] = 'B';
    file[1] = 'M';
    put32(2, static_cast<uint32_t>(1078 + fileRows.size()));
    put32(10, 1078);
    put32(14, 40);
    put32(18, static_cast<uint32_t>(width));
    put32(22, static_cast<uint32_t>(height));
    file[26] = 1;
    file[28] = static_cast<uint8_t>(bitsPerPixel);
    file[29] = static_cast<uint8_t>(bitsPerPixel >> 8);
    put32(34, static_cast<uint32_t>(fileRows.size()));
    put32(38, static_cast<uint32_t>(pixelsPerMetre));
    put32(42, static_cast<uint32_t>(pixelsPerMetre));
    for (int i = 0; i < 256; ++i) {
      for (int c = 0; c < 3; ++c) file[54 + 4 * i + c] = static_cast<uint8_t>(i);
    }
    for (const auto& change : paletteChanges) {
      for (int c = 0; c < 3; ++c) file[54 + 4 * change[0] + c] = change[1 + c];
    }
    file.insert(file.end(), fileRows.begin(), fileRows.end());
    return file;
  }

  void WriteTo(const std::filesystem::path& path) const {
    std::vector<uint8_t> bytes = Build();
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                               static_cast<std::streamsize>(bytes.size()));
  }
};
