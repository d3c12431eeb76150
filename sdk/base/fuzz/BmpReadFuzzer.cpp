// Feeds arbitrary bytes to the BMP reader. Whatever it accepts must save and
// read back to the same pixels.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "vela/render.h"

using vela::base::InputStream;
using vela::base::MemoryStream;
using vela::base::smart_ptr;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > (1u << 24)) return 0;
  smart_ptr<vela::render::BMP_Image> image;
  try {
    image = vela::render::Create_BMP_Image(
        smart_ptr<InputStream>(Create_MemoryStream(data, static_cast<int32_t>(size))));
  } catch (const vela::base::exceptions::base_exception&) {
    return 0;
  }
  smart_ptr<MemoryStream> saved = Create_MemoryStream(nullptr, 0);
  image->Save(saved);
  saved->SetPosition(0);
  smart_ptr<vela::render::BMP_Image> back =
      vela::render::Create_BMP_Image(smart_ptr<InputStream>(saved));
  const size_t bytes = size_t(image->GetRowBytes()) * size_t(image->GetHeight());
  if (back->GetWidth() != image->GetWidth() || back->GetHeight() != image->GetHeight() ||
      std::memcmp(back->GetData(), image->GetData(), bytes) != 0)
    std::abort();
  return 0;
}
