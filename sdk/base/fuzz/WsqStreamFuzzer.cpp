// WSQ files read through the public stream interface, frames well above the sizes the other
// WSQ harness takes included: whatever is read is an 8-bit image of the frame's size that
// saves and reads back at that size; whatever is refused is refused with the library's
// exception.
#include <cstdint>
#include <cstdlib>
#include <span>
#include <vector>

#include "vela/render.h"
#include "vela/streams.h"
#include "wsq/WsqCodec.h"

using vela::base::MemoryStream;
using vela::base::smart_ptr;
using vela::render::WSQ_Image;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // Up to 4 million pixels: frames up to the decoder's own limit decode for seconds each, which
  // would make a time-out depend on the machine's load rather than on the input.
  vela::wsq::WsqInfo info;
  if (vela::wsq::ReadWsqInfo(std::span(data, size), info) == vela::wsq::kOk &&
      int64_t{info.width} * info.height > (int64_t{1} << 22))
    return 0;
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
