// Feeds arbitrary bytes to the finger image record reader. A record it
// accepts must save (uncompressed records) to bytes that read back the same.
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "vela/iso.h"

using vela::base::smart_ptr;

namespace {

std::vector<uint8_t> Saved(vela::iso::FingerImageData& record) {
  smart_ptr<vela::base::MemoryStream> out = Create_MemoryStream(nullptr, 0);
  record.Save(out);
  out->SetPosition(0);
  std::vector<uint8_t> bytes(static_cast<size_t>(out->Size()));
  out->Read(bytes.data(), out->Size());
  return bytes;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > (1u << 22)) return 0;
  smart_ptr<vela::iso::FingerImageData> record;
  try {
    record = vela::iso::Create_FingerImageData(Create_MemoryStream(data, static_cast<int32_t>(size)));
  } catch (const vela::base::exceptions::base_exception&) {
    return 0;
  }
  for (int32_t f = 0; f < record->GetFingerCount(); ++f) {
    auto finger = record->GetFinger(f);
    for (int32_t v = 0; v < finger->GetViewCount(); ++v) {
      auto view = finger->GetView(v);
      const vela::base::Image& image = *view;
      volatile uint8_t sink = 0;
      const size_t bytes = size_t(image.GetRowBytes()) * size_t(image.GetHeight());
      for (size_t i = 0; i < bytes; i += 97) sink = sink + image.GetData()[i];
      (void)finger->GetViewInfo(v)->GetQuality();
    }
  }
  if (record->GetCompression() != vela::iso::COMPRESSION_NONE) return 0;
  std::vector<uint8_t> first;
  try {
    first = Saved(*record);
  } catch (const vela::base::exceptions::invalid_argument&) {
    return 0;  // no views to save
  }
  auto back = vela::iso::Create_FingerImageData(Create_MemoryStream(first.data(), static_cast<int32_t>(first.size())));
  if (Saved(*back) != first) std::abort();
  return 0;
}
