// Image codecs: BMP.
#pragma once

#include "vela/image.h"
#include "vela/streams.h"

namespace vela::render {

// An image held in memory (rows unpadded, GetRowBytes() = width x bpp / 8)
// that reads and writes Windows bitmaps.
class VELA_API BMP_Image : public virtual vela::base::Image {
 public:
  // Writes one BMP file (8 or 24 bits per pixel) in a single Write. Other
  // depths throw invalid_argument "unimplemented bitmap format !".
  virtual void Save(vela::base::smart_ptr<vela::base::OutputStream> stream) = 0;

 protected:
  ~BMP_Image() override;
};

// Reads an 8-bit BMP from the start of the stream; invalid_argument for
// anything it cannot read.
VELA_API vela::base::smart_ptr<BMP_Image> Create_BMP_Image(
    vela::base::smart_ptr<vela::base::InputStream> stream);
// An owned copy of any image.
VELA_API vela::base::smart_ptr<BMP_Image> Create_BMP_Image(
    vela::base::smart_ptr<vela::base::Image> image);

}  // namespace vela::render
