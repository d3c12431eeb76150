#include "picture/BmpCodec.h"

#include <array>
#include <bit>

#include "picture/ByteReader.h"

namespace pv::picture {

namespace {

using canvas::Bitmap;

constexpr uint32_t kBiRgb = 0;
constexpr uint32_t kBiBitfields = 3;
constexpr uint32_t kBiAlphaBitfields = 6;

// One channel of a bit-field pixel scaled to 0..255.
uint32_t Channel(uint32_t pixel, uint32_t mask) {
  if (mask == 0) return 0;
  const int shift = std::countr_zero(mask);
  const uint32_t max = mask >> shift;
  return ((pixel & mask) >> shift) * 255 / max;
}

}  // namespace

DibImage ReadDib(std::span<const uint8_t> bytes, size_t headerAt, size_t pixelsAt, int32_t height) {
  const ByteReader r(bytes, "BMP");
  const uint32_t headerSize = r.U32(headerAt);
  int64_t width = 0;
  int64_t rows = 0;
  uint32_t bits = 0;
  uint32_t compression = kBiRgb;
  uint32_t colours = 0;
  size_t paletteEntry = 4;
  if (headerSize == 12) {
    width = r.I16(headerAt + 4);
    rows = r.I16(headerAt + 6);
    bits = r.U16(headerAt + 10);
    paletteEntry = 3;
  } else if (headerSize == 40 || headerSize == 52 || headerSize == 56 || headerSize == 64 || headerSize == 108 ||
             headerSize == 124) {
    width = r.I32(headerAt + 4);
    rows = r.I32(headerAt + 8);
    bits = r.U16(headerAt + 14);
    compression = r.U32(headerAt + 16);
    colours = r.U32(headerAt + 32);
  } else {
    throw PictureError("BMP: unknown header size " + std::to_string(headerSize));
  }
  if (height != 0) rows = rows < 0 ? -int64_t{height} : height;
  const bool topDown = rows < 0;
  if (topDown) rows = -rows;
  if (width <= 0 || rows <= 0 || static_cast<uint64_t>(width) * static_cast<uint64_t>(rows) > kMaxPicturePixels) {
    throw PictureError("BMP: bad image size");
  }
  if (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32) {
    throw PictureError("BMP: unsupported bit count " + std::to_string(bits));
  }
  if (compression != kBiRgb && compression != kBiBitfields && compression != kBiAlphaBitfields) {
    throw PictureError("BMP: unsupported compression " + std::to_string(compression));
  }
  // Bit-field masks: in the header from 52 bytes on, else after a 40-byte header.
  std::array<uint32_t, 4> masks{0x7C00, 0x03E0, 0x001F, 0};  // 16 bits: 5-5-5
  if (bits == 32) masks = {0x00FF0000, 0x0000FF00, 0x000000FF, 0};
  size_t after = headerAt + headerSize;
  if (compression != kBiRgb) {
    if (bits != 16 && bits != 32) throw PictureError("BMP: bit fields need 16 or 32 bits");
    const int count = compression == kBiAlphaBitfields ? 4 : 3;
    const size_t at = headerSize >= 52 ? headerAt + 40 : after;
    for (int i = 0; i < count; ++i) masks[static_cast<size_t>(i)] = r.U32(at + 4 * static_cast<size_t>(i));
    if (headerSize >= 56) masks[3] = r.U32(headerAt + 52);
    if (headerSize < 52) after += 4 * static_cast<size_t>(count);
  } else if (bits == 32 && headerSize >= 56) {
    masks[3] = 0;  // a plain 32-bit image keeps no alpha
  }
  std::array<uint32_t, 256> palette{};
  if (bits <= 8) {
    const uint32_t maxColours = 1u << bits;
    if (colours == 0 || colours > maxColours) colours = maxColours;
    r.Require(after, static_cast<uint64_t>(colours) * paletteEntry);
    for (uint32_t i = 0; i < colours; ++i) {
      const size_t at = after + i * paletteEntry;
      palette[i] = (static_cast<uint32_t>(bytes[at + 2]) << 16) | (static_cast<uint32_t>(bytes[at + 1]) << 8) | bytes[at];
    }
    after += static_cast<size_t>(colours) * paletteEntry;
  }
  if (pixelsAt == 0) pixelsAt = after;
  const uint64_t stride = (static_cast<uint64_t>(width) * bits + 31) / 32 * 4;
  r.Require(pixelsAt, stride * static_cast<uint64_t>(rows));

  const int32_t w = static_cast<int32_t>(width);
  const int32_t h = static_cast<int32_t>(rows);
  DibImage out;
  out.bitmap = masks[3] != 0 || bits == 32 ? Bitmap::Argb(w, h, 0) : Bitmap(w, h);
  uint32_t alphaSeen = 0;
  for (int32_t y = 0; y < h; ++y) {
    const uint8_t* row = bytes.data() + pixelsAt + stride * static_cast<uint64_t>(topDown ? y : h - 1 - y);
    uint32_t* to = out.bitmap.Row(y);
    for (int32_t x = 0; x < w; ++x) {
      uint32_t pixel = 0;
      switch (bits) {
        case 1: pixel = palette[(row[x / 8] >> (7 - x % 8)) & 1]; break;
        case 4: pixel = palette[(row[x / 2] >> (x % 2 == 0 ? 4 : 0)) & 0xF]; break;
        case 8: pixel = palette[row[x]]; break;
        case 24: pixel = (static_cast<uint32_t>(row[3 * x + 2]) << 16) | (row[3 * x + 1] << 8) | row[3 * x]; break;
        case 16:
        case 32: {
          const uint32_t v = bits == 16 ? static_cast<uint32_t>(row[2 * x] | (row[2 * x + 1] << 8))
                                        : static_cast<uint32_t>(row[4 * x]) | (row[4 * x + 1] << 8) |
                                              (row[4 * x + 2] << 16) | (static_cast<uint32_t>(row[4 * x + 3]) << 24);
          const uint32_t a = masks[3] != 0 ? Channel(v, masks[3]) : (bits == 32 ? v >> 24 : 0);
          alphaSeen |= a;
          pixel = (a << 24) | (Channel(v, masks[0]) << 16) | (Channel(v, masks[1]) << 8) | Channel(v, masks[2]);
          break;
        }
      }
      to[x] = pixel;
    }
  }
  out.alphaUsed = alphaSeen != 0;
  out.pixelsEnd = pixelsAt + stride * static_cast<uint64_t>(rows);
  return out;
}

Bitmap ReadBmp(std::span<const uint8_t> bytes) {
  const ByteReader r(bytes, "BMP");
  if (r.U8(0) != 'B' || r.U8(1) != 'M') throw PictureError("BMP: not a bitmap file");
  const uint32_t offBits = r.U32(10);
  if (offBits < 14 + 12) throw PictureError("BMP: bad pixel offset");
  DibImage dib = ReadDib(bytes, 14, offBits, 0);
  // Alpha only when the file says so: a 32-bit file of zero alpha bytes is opaque.
  if (dib.bitmap.HasAlpha() && !dib.alphaUsed) dib.bitmap.DropAlpha();
  return std::move(dib.bitmap);
}

std::vector<uint8_t> WriteBmp(const Bitmap& bitmap) {
  const bool alpha = bitmap.HasAlpha();
  const uint32_t headerSize = alpha ? 108 : 40;
  const uint32_t bits = alpha ? 32 : 24;
  const uint32_t w = static_cast<uint32_t>(bitmap.Width());
  const uint32_t h = static_cast<uint32_t>(bitmap.Height());
  const uint32_t stride = (w * bits + 31) / 32 * 4;
  const uint32_t offBits = 14 + headerSize;
  std::vector<uint8_t> out;
  out.reserve(offBits + static_cast<size_t>(stride) * h);
  out.push_back('B');
  out.push_back('M');
  PutU32(out, offBits + stride * h);
  PutU32(out, 0);
  PutU32(out, offBits);
  PutU32(out, headerSize);
  PutU32(out, w);
  PutU32(out, h);  // bottom-up
  PutU16(out, 1);
  PutU16(out, static_cast<uint16_t>(bits));
  PutU32(out, alpha ? kBiBitfields : kBiRgb);
  PutU32(out, stride * h);
  PutU32(out, 3780);  // 96 pixels per inch
  PutU32(out, 3780);
  PutU32(out, 0);
  PutU32(out, 0);
  if (alpha) {
    for (uint32_t mask : {0x00FF0000u, 0x0000FF00u, 0x000000FFu, 0xFF000000u}) PutU32(out, mask);
    PutU32(out, 0x73524742);  // "sRGB"
    out.resize(out.size() + 48, 0);  // end points and gamma, unused
  }
  for (uint32_t y = h; y-- > 0;) {
    const uint32_t* row = bitmap.Row(static_cast<int32_t>(y));
    const size_t start = out.size();
    for (uint32_t x = 0; x < w; ++x) {
      out.push_back(static_cast<uint8_t>(row[x]));
      out.push_back(static_cast<uint8_t>(row[x] >> 8));
      out.push_back(static_cast<uint8_t>(row[x] >> 16));
      if (alpha) out.push_back(static_cast<uint8_t>(row[x] >> 24));
    }
    out.resize(start + stride, 0);
  }
  return out;
}

}  // namespace pv::picture
