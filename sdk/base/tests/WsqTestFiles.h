// The reference WSQ files in the shared data folder and small helpers that
// the WSQ tests share.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "wsq/WsqCodec.h"

namespace vela::test {

inline const char* const kReferenceWsqNames[] = {"f01_1", "f01_5", "f02_2",
                                                 "f03_3", "f04_4", "f05_7"};

inline std::filesystem::path WsqDataDir() {
  return std::filesystem::path(PV_SHARED_DATA_DIR) / "wsq";
}
inline std::filesystem::path FingerprintDir() {
  return std::filesystem::path(PV_SHARED_DATA_DIR) / "fingerprints";
}

inline std::vector<uint8_t> ReadBytes(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

// Peak signal-to-noise ratio in dB of two grey images of one size; 99 when
// they are equal.
inline double Psnr(const std::vector<uint8_t>& a, const std::vector<uint8_t>& b) {
  double squares = 0;
  for (size_t i = 0; i < a.size(); ++i) squares += double(a[i] - b[i]) * double(a[i] - b[i]);
  if (squares == 0) return 99.0;
  return 10.0 * std::log10(255.0 * 255.0 * double(a.size()) / squares);
}

// A picture with smooth shading, ridges and a sharp edge, any size.
inline std::vector<uint8_t> RidgePicture(int32_t width, int32_t height) {
  std::vector<uint8_t> pixels(size_t(width) * size_t(height));
  for (int32_t y = 0; y < height; ++y)
    for (int32_t x = 0; x < width; ++x) {
      const double ridge = 60 * std::sin(0.45 * x + 0.2 * y) * std::cos(0.1 * y);
      const double shade = 120 + 40.0 * x / std::max(width, 1) - 30.0 * y / std::max(height, 1);
      const double edge = x > width / 3 && y > height / 2 ? 50 : 0;
      pixels[size_t(y) * size_t(width) + size_t(x)] =
          static_cast<uint8_t>(std::clamp(shade + ridge + edge, 0.0, 255.0));
    }
  return pixels;
}

// The whole file EncodeWsq writes, or an empty one on failure.
inline std::vector<uint8_t> EncodeOrEmpty(const std::vector<uint8_t>& pixels, int32_t width,
                                          int32_t height, double bitrate = 0.75,
                                          const char* comment = nullptr, int32_t ppi = 500,
                                          int* status = nullptr) {
  std::vector<uint8_t> file(vela::wsq::EncodedCapacity(width, height, comment));
  size_t length = 0;
  const int result = vela::wsq::EncodeWsq(pixels.data(), width, height, ppi, comment, bitrate,
                                          file.data(), file.size(), length);
  if (status) *status = result;
  file.resize(result == vela::wsq::kOk ? length : 0);
  return file;
}

}  // namespace vela::test
