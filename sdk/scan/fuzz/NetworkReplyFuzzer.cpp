// The network scanner's reply parser on arbitrary bytes: the first two bytes
// are the size the device announced, the rest is the reply as received.
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "bindings/network/NetworkReply.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 2) return 0;
  const int32_t width = data[0] % 64 + 1, height = data[1] % 64 + 1;
  std::vector<uint8_t> pixels(size_t(width) * size_t(height));
  vela::scan::ParseNetworkReply(std::span(data + 2, size - 2), width, height, pixels.data(), size_t(width));
  return 0;
}
