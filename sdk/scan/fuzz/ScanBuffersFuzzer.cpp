// What a vendor library hands the bindings, from arbitrary bytes. The first byte picks:
// 0: the network library's enumeration record (616 bytes, as the library fills it);
// 1: a capture: the target's size (two bytes a side, up to 4096), the size and byte count
//    the library reports (signed, eight bytes each), the row order, then the library's pixels.
//    The size check must refuse whatever the copy that follows it could not read safely.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <stdexcept>
#include <vector>

#include "bindings/CaptureTarget.h"
#include "bindings/network/NetworkScanner.h"

using namespace vela::scan;

namespace {

struct Reader {
  const uint8_t* data;
  size_t size;
  template <class T>
  T Take() {
    T value{};
    const size_t n = std::min(sizeof value, size);
    std::memcpy(&value, data, n);
    data += n;
    size -= n;
    return value;
  }
};

void CheckEnumeration(Reader in) {
  corvid::EnumerationRecord record{};
  std::memcpy(&record, in.data, std::min(in.size, sizeof record));
  const std::vector<uint32_t> keys = DeviceKeysOf(record);
  if (keys.size() > size_t(corvid::maxEntries)) std::abort();
  for (size_t i = 0; i < keys.size(); ++i)
    if (keys[i] != record.entries[i].deviceKey) std::abort();
}

void CheckCapture(Reader in) {
  const int32_t width = in.Take<uint16_t>() % 4096 + 1;
  const int32_t height = in.Take<uint16_t>() % 4096 + 1;
  const int64_t reportedWidth = in.Take<int64_t>();
  const int64_t reportedHeight = in.Take<int64_t>();
  const int64_t byteCount = in.Take<int64_t>();
  const RowOrder order = in.Take<uint8_t>() % 2 ? RowOrder::BottomUp : RowOrder::TopDown;
  vela::base::smart_ptr<CaptureImage> target(new CaptureImage(width, height, 8, 500, 500, width));
  try {
    RequireTargetSize(*target, reportedWidth, reportedHeight, byteCount, "capture failed");
  } catch (const std::runtime_error&) {
    return;
  }
  if (reportedWidth != width || reportedHeight != height || byteCount < int64_t{width} * height ||
      byteCount > kLargestSide * kLargestSide)
    std::abort();
  // The library's buffer holds the byte count it reported; the bytes it sent come first.
  std::vector<uint8_t> source(size_t(int64_t{width} * height));
  std::memcpy(source.data(), in.data, std::min(in.size, source.size()));
  CopyRows(*target, source.data(), size_t(width), order);
  const size_t last = size_t(height - 1) * size_t(width);
  const uint8_t* firstRow = target->GetData();
  if (std::memcmp(firstRow, source.data() + (order == RowOrder::TopDown ? 0 : last), size_t(width)) != 0)
    std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  Reader in{data + 1, size - 1};
  if (data[0] % 2 == 0) {
    CheckEnumeration(in);
  } else {
    CheckCapture(in);
  }
  return 0;
}
