// WSQ files read through the public stream interface, with no cap on the frame below the
// decoder's own: whatever is read is an 8-bit image of the frame's size that saves and reads
// back at that size; whatever is refused is refused with the library's exception.
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "vela/render.h"
#include "vela/streams.h"

using vela::base::MemoryStream;
using vela::base::smart_ptr;
using vela::render::WSQ_Image;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  smart_ptr<WSQ_Image> image;
  try {
    image = vela::render::Create_WSQ_Image(Create_MemoryStream(data, int32_t(size)));
  } catch (const vela::base::exceptions::base_exception&) {
    return 0;
  }
  const int32_t width = image->GetWidth(), height = image->GetHeight();
  if (width <= 0 || height <= 0 || image->GetBitsPerPixel() != 8 || image->GetRowBytes() != width) std::abort();
  // Every pixel is there to be read.
  const uint8_t* pixels = image->GetData();
  unsigned sum = 0;
  for (size_t i = 0; i < size_t(width) * size_t(height); ++i) sum += pixels[i];
  (void)sum;
  // Large frames are read but not coded again: the encoder's speed is not the reader's.
  if (int64_t{width} * height > (int64_t{1} << 20)) return 0;
  const smart_ptr<MemoryStream> saved = Create_MemoryStream(nullptr, 0);
  try {
    image->Save(saved);
  } catch (const vela::base::exceptions::base_exception&) {
    return 0;
  }
  saved->SetPosition(0);
  const smart_ptr<WSQ_Image> back = vela::render::Create_WSQ_Image(saved);
  if (back->GetWidth() != width || back->GetHeight() != height) std::abort();
  return 0;
}
