// Image codecs: BMP and WSQ.
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

// A grey fingerprint image held decoded, read from and saved to WSQ files
// (Wavelet Scalar Quantization) with its resolution, the bit rate that Save
// aims at, and a comment. GetBitsPerPixel() is 8, GetRowBytes() the width;
// ConvertTo24Bpp and ConvertTo8Bpp throw not_implemented.
class VELA_API WSQ_Image : public virtual vela::base::Image {
 public:
  // Compresses the image at GetBitrate() and writes the file in one Write.
  // Throws base_exception "Fail to save WSQ Image!" (nothing written) when
  // it cannot be encoded.
  virtual void Save(vela::base::smart_ptr<vela::base::OutputStream> stream) = 0;

 protected:
  ~WSQ_Image() override;

 public:
  // Bits per pixel that Save aims at: finite, above 0 and at most 8 (0.5 on
  // a new image). Save fails for any other value.
  virtual void SetBitrate(double bitrate) = 0;
  virtual double GetBitrate() const = 0;
  // Copies a zero-terminated text; null or "" clears the comment.
  virtual void SetComment(const char* comment) = 0;
  // The comment, or null while it is empty.
  virtual const char* GetComment() const = 0;
};

// Reads a WSQ file from the start of the stream. Throws base_exception
// "Failed to get WSQ Image info!" when its header cannot be read (or the
// stream cannot tell its size) and "Failed to decode WSQ Image!" when its
// data cannot be decoded.
VELA_API vela::base::smart_ptr<WSQ_Image> Create_WSQ_Image(
    vela::base::smart_ptr<vela::base::InputStream> stream);
// A WSQ image of any 8-, 24- or 32-bit image, each pixel the mean of its
// bytes; invalid_argument for other depths.
VELA_API vela::base::smart_ptr<WSQ_Image> Create_WSQ_Image(
    vela::base::smart_ptr<vela::base::Image> image);

}  // namespace vela::render
