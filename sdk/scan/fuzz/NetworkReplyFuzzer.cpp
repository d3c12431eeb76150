// The network scanner's reply parser on arbitrary bytes: the first four bytes are the size
// the device announced (each side 1..4096, the largest the binding accepts), the fifth the
// padding of the image's rows, the rest is the reply as received. A refused reply leaves the
// image untouched; an accepted one fills every row, top row first, from the stored rows.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <span>
#include <vector>

#include "ByteOrder.h"
#include "bindings/network/NetworkReply.h"

namespace {
constexpr uint8_t kUntouched = 0xA5;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 5) return 0;
  const int32_t width = (data[0] << 8 | data[1]) % 4096 + 1;
  const int32_t height = (data[2] << 8 | data[3]) % 4096 + 1;
  const size_t rowBytes = size_t(width) + data[4] % 4;
  const std::span<const uint8_t> reply(data + 5, size - 5);
  // A reply too short for the frame is refused before the image is touched, so a large frame
  // costs a buffer only when the reply could fill it.
  const bool couldFit = reply.size() >= 54 + size_t(width) * size_t(height);
  static std::vector<uint8_t> pixels;
  const size_t bytes = couldFit ? rowBytes * size_t(height) : rowBytes;
  if (pixels.size() < bytes) pixels.resize(bytes);
  std::memset(pixels.data(), kUntouched, bytes);
  const bool parsed = vela::scan::ParseNetworkReply(reply, width, height, pixels.data(), rowBytes);
  if (!couldFit && parsed) std::abort();
  if (!parsed) {
    for (size_t i = 0; i < bytes; ++i)
      if (pixels[i] != kUntouched) std::abort();
    return 0;
  }
  const uint32_t offset = vela::ReadLe<uint32_t>(reply.data() + 10);
  const uint8_t* lastStored = reply.data() + offset + size_t(height - 1) * size_t(width);
  const uint8_t* firstStored = reply.data() + offset;
  if (std::memcmp(pixels.data(), lastStored, size_t(width)) != 0) std::abort();
  if (std::memcmp(pixels.data() + size_t(height - 1) * rowBytes, firstStored, size_t(width)) != 0) std::abort();
  return 0;
}
