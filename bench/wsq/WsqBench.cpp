#include <benchmark/benchmark.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include "images/BmpCodec.h"
#include "wsq/WsqCodec.h"

namespace {

using namespace vela::wsq;

constexpr double kBitrate = 0.75;

struct Picture {
  int32_t width = 0;
  int32_t height = 0;
  std::vector<uint8_t> pixels;
};

// A real 248 x 338 impression; larger sizes tile it, mirrored at each seam
// so that ridges run on without a hard edge.
Picture Fingerprint(int32_t width, int32_t height) {
  const auto path = std::filesystem::path(PV_SHARED_DATA_DIR) / "fingerprints" / "f01_1.bmp";
  std::ifstream in(path, std::ios::binary);
  const std::vector<uint8_t> bytes(std::istreambuf_iterator<char>(in), {});
  if (bytes.empty()) return {};
  const vela::render::DecodedBmp bmp = vela::render::DecodeBmp(bytes);
  Picture picture{width, height, std::vector<uint8_t>(size_t(width) * size_t(height))};
  for (int32_t y = 0; y < height; ++y)
    for (int32_t x = 0; x < width; ++x) {
      const int32_t tx = x / bmp.width % 2 ? bmp.width - 1 - x % bmp.width : x % bmp.width;
      const int32_t ty = y / bmp.height % 2 ? bmp.height - 1 - y % bmp.height : y % bmp.height;
      picture.pixels[size_t(y) * size_t(width) + size_t(x)] =
          bmp.pixels[size_t(ty) * size_t(bmp.width) + size_t(tx)];
    }
  return picture;
}

std::vector<uint8_t> Encode(const Picture& picture) {
  std::vector<uint8_t> file(EncodedCapacity(picture.width, picture.height, nullptr));
  size_t length = 0;
  if (EncodeWsq(picture.pixels.data(), picture.width, picture.height, 500, nullptr, kBitrate,
                file.data(), file.size(), length) != kOk)
    return {};
  file.resize(length);
  return file;
}

double Psnr(const std::vector<uint8_t>& a, const std::vector<uint8_t>& b) {
  double squares = 0;
  for (size_t i = 0; i < a.size(); ++i) squares += double(a[i] - b[i]) * double(a[i] - b[i]);
  return squares == 0 ? 99.0 : 10.0 * std::log10(255.0 * 255.0 * double(a.size()) / squares);
}

// What the 0.75 request gives: bits per pixel of the file and PSNR of its
// decoded pixels against the original.
void ReportQuality(benchmark::State& state, const Picture& picture,
                   const std::vector<uint8_t>& file) {
  std::vector<uint8_t> decoded;
  WsqInfo info;
  DecodeWsq(file, decoded, info);
  state.counters["bpp"] = 8.0 * double(file.size()) / double(picture.pixels.size());
  state.counters["PSNR_dB"] = Psnr(decoded, picture.pixels);
}

void EncodeFingerprint(benchmark::State& state) {
  const Picture picture = Fingerprint(int32_t(state.range(0)), int32_t(state.range(1)));
  if (picture.pixels.empty()) {
    state.SkipWithError("no fingerprint images in the shared data folder");
    return;
  }
  std::vector<uint8_t> file;
  for (auto _ : state) {
    file = Encode(picture);
    benchmark::DoNotOptimize(file.data());
  }
  ReportQuality(state, picture, file);
}
BENCHMARK(EncodeFingerprint)->Args({248, 338})->Args({800, 750})->Unit(benchmark::kMillisecond);

void DecodeFingerprint(benchmark::State& state) {
  const Picture picture = Fingerprint(int32_t(state.range(0)), int32_t(state.range(1)));
  const std::vector<uint8_t> file = picture.pixels.empty() ? std::vector<uint8_t>() : Encode(picture);
  if (file.empty()) {
    state.SkipWithError("no fingerprint images in the shared data folder");
    return;
  }
  std::vector<uint8_t> pixels;
  WsqInfo info;
  for (auto _ : state) {
    DecodeWsq(file, pixels, info);
    benchmark::DoNotOptimize(pixels.data());
  }
  ReportQuality(state, picture, file);
}
BENCHMARK(DecodeFingerprint)->Args({248, 338})->Args({800, 750})->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
