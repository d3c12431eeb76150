// Feeds arbitrary bytes to the finger minutiae record reader and asks for
// every view it claims; each either reads inside the record or is refused.
#include <cstdint>
#include <cstdlib>

#include "vela/iso.h"

using vela::base::smart_ptr;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > (1u << 20)) return 0;
  smart_ptr<vela::iso::FingerMinutiaeRecord> record;
  try {
    record = vela::iso::Create_FingerMinutiaeRecord(Create_MemoryStream(data, static_cast<int32_t>(size)));
  } catch (const vela::base::exceptions::base_exception&) {
    return 0;
  }
  if (record->GetDataSize() != static_cast<int32_t>(size)) std::abort();
  for (int32_t v = -1; v <= record->GetViewCount(); ++v) {
    try {
      auto view = record->GetView(v);
      if (view->GetViewIndex() != v) std::abort();
      (void)view->GetMinutiaeCount();
    } catch (const vela::base::exceptions::out_of_range&) {
    }
  }
  return 0;
}
