// Images and ordered sets of images.
#pragma once

#include <cstdint>

#include "vela/base.h"

namespace vela::base {

// An uncompressed image, 8 (grey) or 24 bits per pixel, rows top-down.
// Rows are GetRowBytes() apart in the buffer; that stride may exceed
// width x bytes per pixel.
class VELA_API Image : public virtual BaseRefCounter {
 public:
  virtual int32_t GetWidth() const = 0;
  virtual int32_t GetHeight() const = 0;
  virtual int32_t GetBitsPerPixel() const = 0;
  virtual int32_t GetXResolution() const = 0;
  virtual int32_t GetYResolution() const = 0;
  virtual int32_t GetRowBytes() const = 0;
  virtual const uint8_t* GetData() const = 0;
  virtual uint8_t* GetData() = 0;
  virtual void ConvertTo24Bpp() = 0;
  virtual void ConvertTo8Bpp() = 0;

 protected:
  ~Image() override;
};

class VELA_API ImageSet : public virtual BaseRefCounter {
 public:
  // Appends; an empty smart_ptr is stored as it is.
  virtual void Add(smart_ptr<Image> image) = 0;
  virtual int32_t Count() const = 0;
  // out_of_range unless 0 <= index < Count().
  virtual smart_ptr<Image> Get(int32_t index) const = 0;

 protected:
  ~ImageSet() override;
};

VELA_API smart_ptr<ImageSet> Create_ImageSet();
VELA_API smart_ptr<ImageSet> Create_ImageSet(smart_ptr<Image> image);

}  // namespace vela::base
