#include "picture/PngCodec.h"

#include <png.h>

#include <cstring>
#include <string>

namespace pv::picture {

namespace {

// libpng's simplified reader and writer keep their state here; it is freed on every path.
class TPngImage {
 public:
  TPngImage() {
    std::memset(&image_, 0, sizeof image_);
    image_.version = PNG_IMAGE_VERSION;
  }
  ~TPngImage() { png_image_free(&image_); }
  TPngImage(const TPngImage&) = delete;
  TPngImage& operator=(const TPngImage&) = delete;
  png_image* operator->() { return &image_; }
  png_image* Get() { return &image_; }
  std::string Message() const { return image_.message; }

 private:
  png_image image_;
};

}  // namespace

canvas::Bitmap ReadPng(std::span<const uint8_t> bytes) {
  TPngImage image;
  if (bytes.size() < 8 || png_sig_cmp(bytes.data(), 0, 8) != 0) throw PictureError("PNG: not a PNG file");
  if (!png_image_begin_read_from_memory(image.Get(), bytes.data(), bytes.size())) {
    throw PictureError("PNG: " + image.Message());
  }
  const uint32_t width = image->width;
  const uint32_t height = image->height;
  if (width == 0 || height == 0 || width > INT32_MAX / 4 || uint64_t{width} * height > kMaxPicturePixels) {
    throw PictureError("PNG: the image is too large");
  }
  // Blue, green, red, alpha in memory: the bitmap's own pixel layout.
  image->format = PNG_FORMAT_BGRA;
  canvas::Bitmap bitmap = canvas::Bitmap::Argb(static_cast<int32_t>(width), static_cast<int32_t>(height));
  if (!png_image_finish_read(image.Get(), nullptr, bitmap.Row(0), static_cast<png_int_32>(width * 4), nullptr)) {
    throw PictureError("PNG: " + image.Message());
  }
  bool opaque = true;
  for (int32_t y = 0; y < bitmap.Height() && opaque; ++y) {
    const uint32_t* row = bitmap.Row(y);
    for (int32_t x = 0; x < bitmap.Width(); ++x) {
      if ((row[x] >> 24) != 0xFF) {
        opaque = false;
        break;
      }
    }
  }
  if (opaque) bitmap.DropAlpha();
  return bitmap;
}

std::vector<uint8_t> WritePng(const canvas::Bitmap& bitmap) {
  if (bitmap.Empty()) throw PictureError("PNG: an empty bitmap");
  TPngImage image;
  image->width = static_cast<png_uint_32>(bitmap.Width());
  image->height = static_cast<png_uint_32>(bitmap.Height());
  const void* source = bitmap.Row(0);
  png_int_32 stride = bitmap.Width() * 4;
  std::vector<uint8_t> packed;
  if (bitmap.HasAlpha()) {
    image->format = PNG_FORMAT_BGRA;
  } else {
    // An opaque bitmap's unused top byte is no alpha: three bytes a pixel.
    image->format = PNG_FORMAT_BGR;
    packed.reserve(static_cast<size_t>(bitmap.Width()) * bitmap.Height() * 3);
    for (int32_t y = 0; y < bitmap.Height(); ++y) {
      const uint32_t* row = bitmap.Row(y);
      for (int32_t x = 0; x < bitmap.Width(); ++x) {
        packed.push_back(static_cast<uint8_t>(row[x]));
        packed.push_back(static_cast<uint8_t>(row[x] >> 8));
        packed.push_back(static_cast<uint8_t>(row[x] >> 16));
      }
    }
    source = packed.data();
    stride = bitmap.Width() * 3;
  }
  png_alloc_size_t size = 0;
  if (!png_image_write_to_memory(image.Get(), nullptr, &size, 0, source, stride, nullptr)) {
    throw PictureError("PNG: " + image.Message());
  }
  std::vector<uint8_t> out(size);
  if (!png_image_write_to_memory(image.Get(), out.data(), &size, 0, source, stride, nullptr)) {
    throw PictureError("PNG: " + image.Message());
  }
  out.resize(size);
  return out;
}

}  // namespace pv::picture
