#include "bindings/network/NetworkReply.h"

#include <cstring>

#include "ByteOrder.h"

namespace vela::scan {

namespace {
constexpr size_t headerBytes = 54;  // file header and information header
}

bool ParseNetworkReply(std::span<const uint8_t> reply, int32_t width, int32_t height, uint8_t* pixels,
                       size_t rowBytes) {
  if (width <= 0 || height <= 0 || reply.size() < headerBytes) return false;
  if (reply[0] != 'B' || reply[1] != 'M') return false;
  const uint32_t offset = vela::ReadLe<uint32_t>(reply.data() + 10);
  if (vela::ReadLe<int32_t>(reply.data() + 18) != width || vela::ReadLe<int32_t>(reply.data() + 22) != height ||
      vela::ReadLe<uint16_t>(reply.data() + 28) != 8)
    return false;
  const size_t row = size_t(width), rows = size_t(height);
  if (offset < headerBytes || offset > reply.size() || (reply.size() - offset) / row < rows) return false;
  const uint8_t* stored = reply.data() + offset;
  for (size_t r = 0; r < rows; ++r) std::memcpy(pixels + r * rowBytes, stored + (rows - 1 - r) * row, row);
  return true;
}

}  // namespace vela::scan
