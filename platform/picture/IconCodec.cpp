#include "picture/IconCodec.h"

#include "picture/BmpCodec.h"
#include "picture/ByteReader.h"

namespace pv::picture {

namespace {

constexpr uint8_t kPngSignature[4] = {0x89, 'P', 'N', 'G'};

bool IsPng(const ByteReader& r, size_t at) {
  for (size_t i = 0; i < 4; ++i) {
    if (at + i >= r.Size() || r.U8(at + i) != kPngSignature[i]) return false;
  }
  return true;
}

}  // namespace

canvas::Bitmap ReadIco(std::span<const uint8_t> bytes) {
  const ByteReader r(bytes, "ICO");
  if (r.U16(0) != 0 || (r.U16(2) != 1 && r.U16(2) != 2)) throw PictureError("ICO: not an icon file");
  const uint16_t count = r.U16(4);
  r.Require(6, static_cast<uint64_t>(count) * 16);
  int best = -1;
  uint64_t bestScore = 0;
  for (int i = 0; i < count; ++i) {
    const size_t e = 6 + 16 * static_cast<size_t>(i);
    const uint32_t offset = r.U32(e + 12);
    if (IsPng(r, offset)) continue;
    const uint32_t w = r.U8(e) == 0 ? 256 : r.U8(e);
    const uint32_t h = r.U8(e + 1) == 0 ? 256 : r.U8(e + 1);
    const uint64_t score = (static_cast<uint64_t>(w) * h << 8) | r.U16(e + 6);
    if (best < 0 || score > bestScore) {
      best = i;
      bestScore = score;
    }
  }
  if (best < 0) throw PictureError(count == 0 ? "ICO: no images" : "ICO: only PNG images, which are not read");
  const size_t e = 6 + 16 * static_cast<size_t>(best);
  const uint32_t offset = r.U32(e + 12);
  // The header's height counts the mask rows as well.
  const int32_t headerHeight = r.I32(offset + 8);
  const int32_t height = headerHeight / 2;
  if (height <= 0) throw PictureError("ICO: bad image size");
  DibImage dib = ReadDib(bytes, offset, 0, height);
  canvas::Bitmap& image = dib.bitmap;
  canvas::Bitmap out = canvas::Bitmap::Argb(image.Width(), image.Height(), 0);
  const size_t maskStride = (static_cast<size_t>(image.Width()) + 31) / 32 * 4;
  const bool haveMask = dib.pixelsEnd + maskStride * static_cast<size_t>(image.Height()) <= bytes.size();
  for (int32_t y = 0; y < image.Height(); ++y) {
    const uint8_t* mask = haveMask ? bytes.data() + dib.pixelsEnd + maskStride * static_cast<size_t>(image.Height() - 1 - y)
                                   : nullptr;
    for (int32_t x = 0; x < image.Width(); ++x) {
      const uint32_t pixel = image.Row(y)[x];
      uint32_t alpha = 255;
      if (dib.alphaUsed) {
        alpha = pixel >> 24;
      } else if (mask && ((mask[x / 8] >> (7 - x % 8)) & 1)) {
        alpha = 0;
      }
      out.Row(y)[x] = (alpha << 24) | (pixel & 0x00FFFFFFu);
    }
  }
  return out;
}

std::vector<uint8_t> WriteIco(const canvas::Bitmap& bitmap) {
  const uint32_t w = static_cast<uint32_t>(bitmap.Width());
  const uint32_t h = static_cast<uint32_t>(bitmap.Height());
  if (w == 0 || w > 256 || h > 256) throw PictureError("ICO: images are 1 to 256 pixels a side");
  const uint32_t maskStride = (w + 31) / 32 * 4;
  const uint32_t size = 40 + w * h * 4 + maskStride * h;
  std::vector<uint8_t> out;
  PutU16(out, 0);
  PutU16(out, 1);
  PutU16(out, 1);
  out.push_back(static_cast<uint8_t>(w == 256 ? 0 : w));
  out.push_back(static_cast<uint8_t>(h == 256 ? 0 : h));
  out.push_back(0);
  out.push_back(0);
  PutU16(out, 1);
  PutU16(out, 32);
  PutU32(out, size);
  PutU32(out, 22);
  PutU32(out, 40);
  PutU32(out, w);
  PutU32(out, h * 2);
  PutU16(out, 1);
  PutU16(out, 32);
  for (int i = 0; i < 6; ++i) PutU32(out, 0);
  const bool alpha = bitmap.HasAlpha();
  for (uint32_t y = h; y-- > 0;) {
    for (uint32_t x = 0; x < w; ++x) PutU32(out, alpha ? bitmap.Row(static_cast<int32_t>(y))[x] : (0xFF000000u | bitmap.Row(static_cast<int32_t>(y))[x]));
  }
  for (uint32_t y = h; y-- > 0;) {
    std::vector<uint8_t> row(maskStride, 0);
    for (uint32_t x = 0; x < w; ++x) {
      const bool clear = alpha && (bitmap.Row(static_cast<int32_t>(y))[x] >> 24) == 0;
      if (clear) row[x / 8] |= static_cast<uint8_t>(0x80 >> (x % 8));
    }
    out.insert(out.end(), row.begin(), row.end());
  }
  return out;
}

}  // namespace pv::picture
