#include "bindings/fakescan/FakeScanFolder.h"

#include <algorithm>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <strings.h>

#include "ByteOrder.h"
#include "images/BmpCodec.h"

namespace vela::scan {
namespace {

bool HasBmpExtension(const std::string& name) {
  return name.size() > 4 && strcasecmp(name.c_str() + name.size() - 4, ".bmp") == 0;
}

bool ComesBefore(const std::string& a, const std::string& b) {
  int folded = strcasecmp(a.c_str(), b.c_str());
  return folded != 0 ? folded < 0 : a < b;
}

std::vector<uint8_t> ReadWholeFile(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  if (!in) throw std::runtime_error("cannot open " + file.string());
  std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (in.bad()) throw std::runtime_error("cannot read " + file.string());
  return bytes;
}

// Dots per inch from pixels per metre, truncated as the replayed files expect.
int32_t TruncatedDpi(int32_t pixelsPerMetre) {
  return static_cast<int32_t>(int64_t{pixelsPerMetre} * 254 / 10000);
}

}  // namespace

std::vector<std::string> ListBmpFiles(const std::filesystem::path& folder) {
  std::vector<std::string> names;
  std::error_code error;
  for (std::filesystem::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
    std::string name = it->path().filename().string();
    if (HasBmpExtension(name) && it->is_regular_file(error)) names.push_back(std::move(name));
  }
  std::sort(names.begin(), names.end(), ComesBefore);
  return names;
}

ReplayImage DecodeReplayImage(std::span<const uint8_t> bytes) {
  // The SDK's reader checks signature, depth, compression, header and palette
  // sizes and that every row lies inside the file.
  vela::render::DecodedBmp decoded = vela::render::DecodeBmp(bytes);
  ReplayImage image;
  image.width = decoded.width;
  image.height = decoded.height;
  image.xResolution = TruncatedDpi(ReadLe<int32_t>(bytes.data() + 38));
  image.yResolution = TruncatedDpi(ReadLe<int32_t>(bytes.data() + 42));
  image.pixels = std::move(decoded.pixels);
  return image;
}

ReplayImage LoadReplayImage(const std::filesystem::path& file) { return DecodeReplayImage(ReadWholeFile(file)); }

}  // namespace vela::scan
