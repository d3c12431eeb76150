#pragma once
// A picture's graphic: something of a size, held in a file format of its own, that draws
// itself stretched into a rectangle of a canvas. The kinds (a bitmap, a JPEG image, an icon,
// a metafile) are registered by class name with Picture (Picture.h), which streams them.

#include <cstdint>
#include <memory>
#include <span>
#include <stdexcept>
#include <string>
#include <vector>

#include "canvas/Canvas.h"

namespace pv::picture {

using canvas::Canvas;
using canvas::TRect;

// A file that cannot be read as the graphic it claims to be, or an unknown kind.
class PictureError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Decoded images of more pixels than this are refused before their pixels are allocated: a
// few kilobytes of compressed data can claim billions. 8192 x 8192 (256 MB at four bytes a
// pixel) is more than a picture in a document shows.
inline constexpr uint64_t kMaxPicturePixels = uint64_t{1} << 26;

class Graphic {
 public:
  virtual ~Graphic() = default;

  // The class name the picture stream and the registry know it by ("TBitmap", ...).
  virtual const char* ClassName() const = 0;
  virtual std::unique_ptr<Graphic> Clone() const = 0;
  virtual bool Empty() const = 0;
  virtual int32_t Width() const = 0;
  virtual int32_t Height() const = 0;
  // Whether parts of it are left out when drawn (a bitmap's transparent colour, an icon's mask).
  virtual bool Transparent() const { return transparent_; }
  virtual void SetTransparent(bool on) { transparent_ = on; }

  virtual void Draw(Canvas& canvas, const TRect& rect) const = 0;

  // The graphic's file image (BMP, JFIF, ICO, metafile bytes). Loading replaces the graphic
  // and throws PictureError for bytes it cannot read, leaving the graphic as it was.
  virtual void LoadFromBytes(std::span<const uint8_t> bytes) = 0;
  virtual std::vector<uint8_t> SaveToBytes() const = 0;

 protected:
  bool transparent_ = false;
};

}  // namespace pv::picture
