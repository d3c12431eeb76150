// The reference WSQ files in the shared data folder and small helpers that
// the WSQ tests share.
#pragma once

#include <cmath>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

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

// Peak signal-to-noise ratio in dB of two grey images of one size.
inline double Psnr(const std::vector<uint8_t>& a, const std::vector<uint8_t>& b) {
  double squares = 0;
  for (size_t i = 0; i < a.size(); ++i) squares += double(a[i] - b[i]) * double(a[i] - b[i]);
  if (squares == 0) return 99.0;
  return 10.0 * std::log10(255.0 * 255.0 * double(a.size()) / squares);
}

}  // namespace vela::test
