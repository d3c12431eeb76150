#include "engine/objects/PrepareImage.h"

#include <algorithm>

#include "vela/render.h"
#include "vela/streams.h"

namespace vela::math {

using base::smart_ptr;

namespace {

void MirrorRows(base::Image& image) {
  const int32_t width = image.GetWidth();
  const int32_t height = image.GetHeight();
  const size_t stride = size_t(image.GetRowBytes());
  uint8_t* row = image.GetData();
  for (int32_t r = 0; r < height; ++r, row += stride) std::reverse(row, row + width);
}

}  // namespace

std::vector<uint8_t> PrepareImage(smart_ptr<base::Image> image, bool mirror) {
  smart_ptr<base::MemoryStream> stream = Create_MemoryStream(nullptr, 0);
  // A copy in the library's own layout: unpadded rows read at the source's
  // stride, whatever kind of image the caller gave.
  smart_ptr<render::BMP_Image> bmp = render::Create_BMP_Image(image);
  bmp->ConvertTo8Bpp();
  if (mirror) MirrorRows(*bmp);
  bmp->Save(stream);
  stream->Seek(0, base::SeekOrigin::Begin);
  std::vector<uint8_t> bytes(size_t(stream->Size()));
  stream->Read(bytes.data(), int32_t(bytes.size()));
  return bytes;
}

}  // namespace vela::math
