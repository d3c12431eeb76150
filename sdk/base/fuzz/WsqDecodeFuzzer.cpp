// Feeds arbitrary bytes to the WSQ decoder and its header and comment
// readers. Whatever decodes must encode again and decode back to its size.
#include <cstdint>
#include <cstdlib>
#include <span>
#include <string>
#include <vector>

#include "images/WsqImage.h"
#include "wsq/WsqCodec.h"

using namespace vela::wsq;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::span<const uint8_t> file(data, size);
  std::vector<std::string> texts;
  ReadWsqComment(file, texts);
  WsqInfo info;
  if (ReadWsqInfo(file, info) != kOk) return 0;
  // Large frames are valid but slow to allocate for; the decoder's own limit
  // is tested elsewhere.
  if (int64_t{info.width} * info.height > (int64_t{1} << 17)) return 0;
  std::vector<uint8_t> pixels;
  if (DecodeWsq(file, pixels, info) != kOk) return 0;
  if (pixels.size() != size_t(info.width) * size_t(info.height)) std::abort();

  std::vector<uint8_t> again;
  try {
    again = vela::render::EncodeWsqFile(pixels.data(), info.width, info.height, info.ppi, nullptr, 0.75);
  } catch (...) {
    std::abort();
  }
  std::vector<uint8_t> back;
  WsqInfo backInfo;
  if (DecodeWsq(again, back, backInfo) != kOk || backInfo.width != info.width ||
      backInfo.height != info.height)
    std::abort();
  return 0;
}
