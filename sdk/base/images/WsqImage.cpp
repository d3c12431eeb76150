#include "images/WsqImage.h"

#include <limits>

#include "wsq/NistComment.h"
#include "wsq/WsqCodec.h"

namespace vela::render {

using vela::base::smart_ptr;
using vela::base::exceptions::base_exception;
using vela::base::exceptions::invalid_argument;
using vela::base::exceptions::not_implemented;

namespace {

constexpr const char* kInfoFailure = "Failed to get WSQ Image info!";
constexpr const char* kDecodeFailure = "Failed to decode WSQ Image!";
constexpr const char* kSaveFailure = "Fail to save WSQ Image!";

// Grey bytes of an 8-, 24- or 32-bit image, each the truncated mean of its
// pixel's bytes, rows read at the image's own stride.
std::vector<uint8_t> GreyPixels(const vela::base::Image& image) {
  const int32_t width = image.GetWidth();
  const int32_t height = image.GetHeight();
  const int32_t bitsPerPixel = image.GetBitsPerPixel();
  if (width <= 0 || height <= 0) throw invalid_argument();
  if (bitsPerPixel != 8 && bitsPerPixel != 24 && bitsPerPixel != 32) throw invalid_argument();
  const int bytesPerPixel = bitsPerPixel / 8;
  const int64_t rowBytes = int64_t{width} * bytesPerPixel;
  const uint8_t* source = image.GetData();
  if (!source || image.GetRowBytes() < rowBytes) throw invalid_argument();
  const size_t stride = size_t(image.GetRowBytes());
  std::vector<uint8_t> grey(size_t(width) * size_t(height));
  uint8_t* to = grey.data();
  for (int32_t r = 0; r < height; ++r) {
    const uint8_t* row = source + size_t(r) * stride;
    for (int32_t c = 0; c < width; ++c) {
      unsigned sum = 0;
      for (int b = 0; b < bytesPerPixel; ++b) sum += row[size_t(c) * bytesPerPixel + b];
      *to++ = static_cast<uint8_t>(sum / unsigned(bytesPerPixel));
    }
  }
  return grey;
}

}  // namespace

// Beside a NISTCOM list the image's comment is the second comment, else the
// first. A comment walk that fails leaves it empty.
std::string WsqImageComment(std::span<const uint8_t> file) {
  std::vector<std::string> texts;
  if (vela::wsq::ReadWsqComment(file, texts) <= 0) return {};
  bool holdsNist = false;
  for (const std::string& text : texts) holdsNist = holdsNist || vela::wsq::IsNistComment(text);
  const size_t wanted = holdsNist ? 1 : 0;
  return wanted < texts.size() ? texts[wanted] : std::string();
}

std::vector<uint8_t> EncodeWsqFile(const uint8_t* pixels, int32_t width, int32_t height, int32_t ppi,
                                   const char* comment, double bitrate) {
  // The usual capacity holds coded data up to the image's own size; an image that codes
  // larger (a single row, noise) gets room to spare, a few times over, before it is refused.
  const size_t usual = vela::wsq::EncodedCapacity(width, height, comment);
  std::vector<uint8_t> file;
  size_t length = 0;
  int status = vela::wsq::kOutputFullByte;
  for (size_t capacity = usual; capacity <= 16 * usual; capacity *= 2) {
    file.resize(capacity);
    status = vela::wsq::EncodeWsq(pixels, width, height, ppi, comment, bitrate, file.data(), file.size(), length);
    if (status != vela::wsq::kOutputFullByte && status != vela::wsq::kOutputFullWord) break;
  }
  if (status != vela::wsq::kOk || length > size_t(std::numeric_limits<int32_t>::max()))
    throw base_exception(kSaveFailure);
  file.resize(length);
  return file;
}

WsqImage::WsqImage(int32_t width, int32_t height, int32_t ppi, std::vector<uint8_t> pixels,
                   std::string comment)
    : width(width), height(height), ppi(ppi), comment(std::move(comment)), pixels(std::move(pixels)) {}

WsqImage::~WsqImage() = default;

void WsqImage::ConvertTo24Bpp() { throw not_implemented(); }
void WsqImage::ConvertTo8Bpp() { throw not_implemented(); }

void WsqImage::Save(smart_ptr<vela::base::OutputStream> stream) {
  if (!stream) throw invalid_argument();
  const std::vector<uint8_t> file = EncodeWsqFile(pixels.data(), width, height, ppi, GetComment(), bitrate);
  stream->Write(file.data(), static_cast<int32_t>(file.size()));
}

WSQ_Image::~WSQ_Image() = default;

smart_ptr<WSQ_Image> Create_WSQ_Image(smart_ptr<vela::base::InputStream> stream) {
  if (!stream) throw invalid_argument();
  // A stream that cannot tell its size (-1) has nothing to read.
  const int32_t size = stream->Size();
  if (size <= 0) throw base_exception(kInfoFailure);
  std::vector<uint8_t> file(static_cast<size_t>(size));
  stream->Read(file.data(), size);
  vela::wsq::WsqInfo info;
  if (vela::wsq::ReadWsqInfo(file, info) != vela::wsq::kOk) throw base_exception(kInfoFailure);
  std::vector<uint8_t> pixels;
  if (vela::wsq::DecodeWsq(file, pixels, info) != vela::wsq::kOk)
    throw base_exception(kDecodeFailure);
  return smart_ptr<WSQ_Image>(
      new WsqImage(info.width, info.height, info.ppi, std::move(pixels), WsqImageComment(file)));
}

smart_ptr<WSQ_Image> Create_WSQ_Image(smart_ptr<vela::base::Image> image) {
  if (!image) throw invalid_argument();
  std::vector<uint8_t> pixels = GreyPixels(*image);
  const int32_t ppi =
      static_cast<int32_t>((int64_t{image->GetXResolution()} + image->GetYResolution()) / 2);
  return smart_ptr<WSQ_Image>(
      new WsqImage(image->GetWidth(), image->GetHeight(), ppi, std::move(pixels), {}));
}

}  // namespace vela::render
