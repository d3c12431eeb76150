#include "images/BitmapImage.h"

#include <cstring>
#include <limits>

#include "images/BmpCodec.h"

namespace vela::render {

using vela::base::smart_ptr;
using vela::base::exceptions::invalid_argument;

BitmapImage::BitmapImage(int32_t width, int32_t height, int32_t bitsPerPixel,
                         std::vector<uint8_t> pixels, int32_t xResolution, int32_t yResolution)
    : width(width),
      height(height),
      bitsPerPixel(bitsPerPixel),
      pixels(std::move(pixels)),
      yResolution(yResolution),
      xResolution(xResolution) {}

BitmapImage::~BitmapImage() = default;

int32_t BitmapImage::GetRowBytes() const { return width * (bitsPerPixel / 8); }

void BitmapImage::ConvertTo24Bpp() {
  if (bitsPerPixel == 24) return;
  if (bitsPerPixel != 8) throw invalid_argument("The image is not 8 bpp. Can't convert to 24bpp");
  std::vector<uint8_t> wide(pixels.size() * 3);
  for (size_t i = 0; i < pixels.size(); ++i) std::memset(&wide[3 * i], pixels[i], 3);
  pixels = std::move(wide);
  bitsPerPixel = 24;
}

void BitmapImage::ConvertTo8Bpp() {
  if (bitsPerPixel == 8) return;
  if (bitsPerPixel != 24) throw invalid_argument("The image is not 24 bpp. Can't convert to 8bpp");
  std::vector<uint8_t> grey(pixels.size() / 3);
  for (size_t i = 0; i < grey.size(); ++i) {
    const uint8_t* rgb = &pixels[3 * i];
    // Single-precision weights; the first byte of a pixel counts as red.
    const float value = 0.30f * rgb[0] + 0.59f * rgb[1] + 0.11f * rgb[2];
    grey[i] = static_cast<uint8_t>(value >= 255.0f ? 255.0f : value);
  }
  pixels = std::move(grey);
  bitsPerPixel = 8;
}

void BitmapImage::Save(smart_ptr<vela::base::OutputStream> stream) {
  if (!stream) throw invalid_argument();
  const std::vector<uint8_t> file = EncodeBmp(*this);
  stream->Write(file.data(), static_cast<int32_t>(file.size()));
}

BMP_Image::~BMP_Image() = default;

namespace {

// Copies an image's pixel rows into one unpadded buffer, reading each row at
// the source's own stride.
std::vector<uint8_t> CopyRows(const vela::base::Image& image, int32_t rowBytes) {
  const int32_t height = image.GetHeight();
  const int32_t stride = image.GetRowBytes();
  const uint8_t* source = image.GetData();
  if (!source || stride < rowBytes) throw invalid_argument();
  std::vector<uint8_t> rows(size_t(rowBytes) * size_t(height));
  for (int32_t r = 0; r < height; ++r)
    std::memcpy(rows.data() + size_t(r) * size_t(rowBytes), source + size_t(r) * size_t(stride),
                size_t(rowBytes));
  return rows;
}

}  // namespace

smart_ptr<BMP_Image> Create_BMP_Image(smart_ptr<vela::base::InputStream> stream) {
  if (!stream) throw invalid_argument();
  // A stream that cannot tell its size must not turn -1 into a read length.
  const int32_t size = stream->Size();
  if (size <= 0) throw invalid_argument();
  std::vector<uint8_t> file(static_cast<size_t>(size));
  stream->Read(file.data(), size);
  DecodedBmp bmp = DecodeBmp(file);
  return smart_ptr<BMP_Image>(new BitmapImage(bmp.width, bmp.height, 8, std::move(bmp.pixels),
                                              bmp.xResolution, bmp.yResolution));
}

smart_ptr<BMP_Image> Create_BMP_Image(smart_ptr<vela::base::Image> image) {
  if (!image) throw invalid_argument();
  const int32_t width = image->GetWidth();
  const int32_t height = image->GetHeight();
  const int32_t bitsPerPixel = image->GetBitsPerPixel();
  if (width <= 0 || height <= 0 || bitsPerPixel <= 0 || bitsPerPixel % 8 != 0)
    throw invalid_argument();
  const int64_t rowBytes = int64_t{width} * (bitsPerPixel / 8);
  if (rowBytes * height > std::numeric_limits<int32_t>::max()) throw invalid_argument();
  std::vector<uint8_t> pixels = CopyRows(*image, static_cast<int32_t>(rowBytes));
  return smart_ptr<BMP_Image>(new BitmapImage(width, height, bitsPerPixel, std::move(pixels),
                                              image->GetXResolution(),
                                              image->GetYResolution()));
}

}  // namespace vela::render
