// Feeds arbitrary bytes to the template readers. Whatever they accept must
// save, read back and save again to the same bytes; whatever they refuse must
// be refused with one of the library's exceptions.
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "vela/math.h"

using vela::base::InputStream;
using vela::base::MemoryStream;
using vela::base::smart_ptr;

namespace {

template <class T>
std::vector<uint8_t> Saved(const smart_ptr<T>& object) {
  smart_ptr<MemoryStream> stream = Create_MemoryStream(nullptr, 0);
  object->Save(stream);
  stream->SetPosition(0);
  std::vector<uint8_t> bytes(size_t(stream->Size()));
  if (!bytes.empty()) stream->Read(bytes.data(), int32_t(bytes.size()));
  return bytes;
}

smart_ptr<InputStream> StreamOf(const uint8_t* data, size_t size) {
  return Create_MemoryStream(data, int32_t(size));
}

template <class Read>
void CheckStable(Read read, const uint8_t* data, size_t size) {
  std::vector<uint8_t> first;
  try {
    first = Saved(read(StreamOf(data, size)));
  } catch (const vela::base::exceptions::base_exception&) {
    return;
  }
  const std::vector<uint8_t> second = Saved(read(StreamOf(first.data(), first.size())));
  if (second != first) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > (1u << 20)) return 0;
  CheckStable([](smart_ptr<InputStream> s) { return vela::math::Create_Template(s); }, data, size);
  CheckStable([](smart_ptr<InputStream> s) { return Create_XTemplate(s); }, data, size);
  return 0;
}
