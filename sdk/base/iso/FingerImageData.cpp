#include <algorithm>
#include <array>
#include <cstring>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "ByteOrder.h"
#include "images/WsqImage.h"
#include "vela/iso.h"
#include "wsq/WsqCodec.h"

namespace vela::iso {
namespace {

using vela::base::smart_ptr;
namespace exceptions = vela::base::exceptions;

constexpr size_t kHeaderSize = 32;
constexpr size_t kViewHeaderSize = 14;
constexpr uint16_t kAcquisitionLevel = 30;
constexpr uint8_t kPixelsPerInch = 1;
constexpr uint8_t kPixelsPerCm = 2;
constexpr uint8_t kSupportedDepth = 8;
constexpr uint16_t kLowestResolution = 125;
constexpr uint16_t kHighestResolution = 1000;
constexpr uint8_t kMaxPosition = 10;
constexpr size_t kMostFingers = 255;
constexpr size_t kMostViews = 255;
constexpr uint8_t kMaxQuality = 100;
constexpr double kNewViewBitRate = 0.5;

// Offsets in the general record header.
namespace field {
constexpr size_t kLength = 8;  // 6 bytes
constexpr size_t kDevice = 14;
constexpr size_t kAcquisition = 16;
constexpr size_t kFingers = 18;
constexpr size_t kScaleUnits = 19;
constexpr size_t kScanX = 20;
constexpr size_t kScanY = 22;
constexpr size_t kImageX = 24;
constexpr size_t kImageY = 26;
constexpr size_t kDepth = 28;
constexpr size_t kCompression = 29;
}  // namespace field

// Offsets in a view header.
namespace view_field {
constexpr size_t kLength = 0;
constexpr size_t kPosition = 4;
constexpr size_t kViewCount = 5;
constexpr size_t kViewNumber = 6;
constexpr size_t kQuality = 7;
constexpr size_t kImpression = 8;
constexpr size_t kWidth = 9;
constexpr size_t kHeight = 11;
}  // namespace view_field

using Header = std::array<uint8_t, kHeaderSize>;
using ViewHeader = std::array<uint8_t, kViewHeaderSize>;

bool KnownImpressionType(uint8_t type) { return type <= 3 || (type >= 7 && type <= 9); }

// What the fingers of a record need of its header when they take images.
struct RecordFormat {
  uint16_t imageX;
  uint16_t imageY;
  uint8_t depth;
};

class ImageView final : public virtual vela::base::Image, public virtual FingerImageViewInfo {
 public:
  ImageView(const ViewHeader& header, std::vector<uint8_t> pixels, int32_t xResolution, int32_t yResolution,
            int32_t bitsPerPixel, std::string comment = {})
      : header(header),
        pixels(std::move(pixels)),
        xResolution(xResolution),
        yResolution(yResolution),
        bitsPerPixel(bitsPerPixel),
        comment(std::move(comment)) {}

  int32_t GetWidth() const override { return ReadBe<uint16_t>(header.data() + view_field::kWidth); }
  int32_t GetHeight() const override { return ReadBe<uint16_t>(header.data() + view_field::kHeight); }
  int32_t GetBitsPerPixel() const override { return bitsPerPixel; }
  int32_t GetXResolution() const override { return xResolution; }
  int32_t GetYResolution() const override { return yResolution; }
  int32_t GetRowBytes() const override { return GetWidth() * bitsPerPixel / 8; }
  const uint8_t* GetData() const override { return pixels.data(); }
  uint8_t* GetData() override { return pixels.data(); }
  void ConvertTo24Bpp() override { throw exceptions::not_implemented(); }
  void ConvertTo8Bpp() override { throw exceptions::not_implemented(); }

  uint8_t GetQuality() const override { return header[view_field::kQuality]; }
  uint8_t GetImpressionType() const override { return header[view_field::kImpression]; }

  ViewHeader& Header() { return header; }
  const std::vector<uint8_t>& Pixels() const { return pixels; }

  // The view as a WSQ file, at the view's own bit rate and with its comment.
  std::vector<uint8_t> WsqFile() const {
    const int32_t ppi = static_cast<int32_t>((int64_t{xResolution} + yResolution) / 2);
    return vela::render::EncodeWsqFile(pixels.data(), GetWidth(), GetHeight(), ppi,
                                       comment.empty() ? nullptr : comment.c_str(), bitRate);
  }

 protected:
  ~ImageView() override = default;

 private:
  ViewHeader header;
  std::vector<uint8_t> pixels;
  int32_t xResolution;
  int32_t yResolution;
  int32_t bitsPerPixel;
  double bitRate = kNewViewBitRate;
  std::string comment;
};

class Finger final : public virtual FingerImageFinger {
 public:
  Finger(RecordFormat format, uint8_t position) : format(format), position(position) {}

  void Remove() override { throw exceptions::not_supported(); }
  int32_t GetViewCount() const override { return static_cast<int32_t>(views.size()); }
  smart_ptr<vela::base::Image> GetView(int32_t index) const override { return At(index); }
  smart_ptr<FingerImageViewInfo> GetViewInfo(int32_t index) const override { return At(index); }
  uint8_t GetPosition() const override { return position; }

  void AddImage(smart_ptr<vela::base::Image> image, uint8_t quality, uint8_t impressionType) override {
    if (image->GetXResolution() != format.imageX || image->GetYResolution() != format.imageY)
      throw exceptions::invalid_argument("Invalid argument: invalid image DPI!");
    if (views.size() >= kMostViews) throw exceptions::out_of_range();
    if (quality == 0 || quality > kMaxQuality) throw exceptions::invalid_argument("Invalid argument: invalid quality!");
    if (!KnownImpressionType(impressionType))
      throw exceptions::invalid_argument("Invalid argument: unknown ImpressionType!");
    // A view's depth is the record's: the header says it once for all views.
    if (image->GetBitsPerPixel() != format.depth) throw exceptions::invalid_argument("Invalid argument: pixelDepth");
    const int32_t width = image->GetWidth(), height = image->GetHeight();
    if (width < 0 || height < 0 || width > 0xFFFF || height > 0xFFFF) throw exceptions::invalid_argument();

    const size_t rowBytes = static_cast<size_t>(width) * format.depth / 8;
    const size_t stride = static_cast<size_t>(image->GetRowBytes());
    std::vector<uint8_t> pixels(rowBytes * static_cast<size_t>(height));
    const uint8_t* row = static_cast<const vela::base::Image&>(*image).GetData();
    for (int32_t r = 0; r < height; ++r, row += stride) std::memcpy(pixels.data() + r * rowBytes, row, rowBytes);

    ViewHeader header{};
    WriteBe<uint32_t>(header.data() + view_field::kLength, static_cast<uint32_t>(kViewHeaderSize + pixels.size()));
    header[view_field::kPosition] = position;
    header[view_field::kQuality] = quality;
    header[view_field::kImpression] = impressionType;
    WriteBe<uint16_t>(header.data() + view_field::kWidth, static_cast<uint16_t>(width));
    WriteBe<uint16_t>(header.data() + view_field::kHeight, static_cast<uint16_t>(height));
    Append(smart_ptr<ImageView>(new ImageView(header, std::move(pixels), format.imageX, format.imageY, format.depth)));
  }

  // Numbers the view and raises the view count of every view of the finger.
  void Append(smart_ptr<ImageView> view) {
    views.push_back(std::move(view));
    const uint8_t count = static_cast<uint8_t>(views.size());
    views.back()->Header()[view_field::kViewNumber] = count;
    for (auto& v : views) v->Header()[view_field::kViewCount] = count;
  }

  const std::vector<smart_ptr<ImageView>>& Views() const { return views; }

 protected:
  ~Finger() override = default;

 private:
  smart_ptr<ImageView> At(int32_t index) const {
    if (index < 0 || index >= GetViewCount()) throw exceptions::out_of_range();
    return views[static_cast<size_t>(index)];
  }

  RecordFormat format;
  uint8_t position;
  std::vector<smart_ptr<ImageView>> views;
};

class ImageData final : public virtual FingerImageData {
 public:
  explicit ImageData(const Header& header) : header(header) {}

  void Save(smart_ptr<vela::base::OutputStream> stream) override;
  bool HasExtendedData() const override { return false; }
  uint16_t GetCaptureDeviceID() const override { return U16(field::kDevice); }
  uint16_t GetImageAcquisitionLevel() const override { return U16(field::kAcquisition); }
  uint8_t GetFingerCount() const override { return header[field::kFingers]; }
  uint16_t GetScanXResolution() const override { return U16(field::kScanX); }
  uint16_t GetScanYResolution() const override { return U16(field::kScanY); }
  uint16_t GetImageXResolution() const override { return U16(field::kImageX); }
  uint16_t GetImageYResolution() const override { return U16(field::kImageY); }
  uint8_t GetPixelDepth() const override { return header[field::kDepth]; }
  CompressionAlgorithm GetCompression() const override {
    return static_cast<CompressionAlgorithm>(header[field::kCompression]);
  }
  smart_ptr<FingerImageFinger> GetFinger(int32_t index) const override {
    if (index < 0 || index >= static_cast<int32_t>(fingers.size())) throw exceptions::out_of_range();
    return fingers[static_cast<size_t>(index)];
  }
  smart_ptr<FingerImageFinger> AddFinger(uint8_t position) override { return NewFinger(position); }

  smart_ptr<Finger> NewFinger(uint8_t position) {
    if (position > kMaxPosition) throw exceptions::invalid_argument("Invalid argument: invalid finger position!");
    if (fingers.size() >= kMostFingers) throw exceptions::out_of_range();
    fingers.push_back(smart_ptr<Finger>(new Finger(Format(), position)));
    header[field::kFingers] = static_cast<uint8_t>(fingers.size());
    return fingers.back();
  }

 protected:
  ~ImageData() override = default;

 private:
  uint16_t U16(size_t at) const { return ReadBe<uint16_t>(header.data() + at); }
  RecordFormat Format() const { return RecordFormat{U16(field::kImageX), U16(field::kImageY), header[field::kDepth]}; }

  Header header;
  std::vector<smart_ptr<Finger>> fingers;
};

void ImageData::Save(smart_ptr<vela::base::OutputStream> stream) {
  const bool anyView = std::any_of(fingers.begin(), fingers.end(), [](const auto& f) { return f->GetViewCount() > 0; });
  if (!anyView) throw exceptions::invalid_argument("Can't save empty FingerImageData!");
  const uint8_t compression = header[field::kCompression];
  if (compression != COMPRESSION_NONE && compression != COMPRESSION_WSQ) throw exceptions::not_implemented();

  // Every view is prepared before a byte is written, so a view the encoder
  // refuses leaves the stream untouched.
  std::vector<std::vector<uint8_t>> encoded;
  uint64_t length = kHeaderSize;
  for (const auto& finger : fingers)
    for (const auto& view : finger->Views()) {
      size_t dataLength = view->Pixels().size();
      if (compression == COMPRESSION_WSQ) {
        encoded.push_back(view->WsqFile());
        dataLength = encoded.back().size();
      }
      WriteBe<uint32_t>(view->Header().data() + view_field::kLength, static_cast<uint32_t>(kViewHeaderSize + dataLength));
      length += kViewHeaderSize + dataLength;
    }
  WriteBe<uint16_t>(header.data() + field::kLength, static_cast<uint16_t>(length >> 32));
  WriteBe<uint32_t>(header.data() + field::kLength + 2, static_cast<uint32_t>(length));
  // A finger is written as its views, so one without views leaves no bytes: the header
  // counts the fingers that are written, and a reader finds each of them.
  Header written = header;
  written[field::kFingers] = static_cast<uint8_t>(
      std::count_if(fingers.begin(), fingers.end(), [](const auto& f) { return f->GetViewCount() > 0; }));
  stream->Write(written.data(), static_cast<int32_t>(written.size()));
  size_t next = 0;
  for (const auto& finger : fingers)
    for (const auto& view : finger->Views()) {
      stream->Write(view->Header().data(), static_cast<int32_t>(kViewHeaderSize));
      const std::vector<uint8_t>& data = compression == COMPRESSION_WSQ ? encoded[next++] : view->Pixels();
      if (!data.empty()) stream->Write(data.data(), static_cast<int32_t>(data.size()));
    }
}

uint16_t SaturatedPerInch(uint16_t perCm) {
  return static_cast<uint16_t>(std::min<uint32_t>(static_cast<uint32_t>(perCm * 2.54), 0xFFFF));
}

// Reads views within the record's own length and the stream's bytes.
class RecordReader {
 public:
  RecordReader(smart_ptr<vela::base::InputStream> stream, const Header& header, uint64_t viewBytes)
      : stream(std::move(stream)), header(header), left(viewBytes) {}

  smart_ptr<ImageView> ReadView() {
    ViewHeader h{};
    Take(h.data(), kViewHeaderSize);
    const uint32_t length = ReadBe<uint32_t>(h.data() + view_field::kLength);
    if (length < kViewHeaderSize || length - kViewHeaderSize > left) throw exceptions::invalid_argument();
    const size_t dataLength = length - kViewHeaderSize;
    const int32_t available = stream->Size() - stream->Tell();
    if (available >= 0 && dataLength > static_cast<size_t>(available)) throw exceptions::out_of_range();
    std::vector<uint8_t> data(dataLength);
    Take(data.data(), dataLength);

    const int32_t width = ReadBe<uint16_t>(h.data() + view_field::kWidth);
    const int32_t height = ReadBe<uint16_t>(h.data() + view_field::kHeight);
    const int32_t xRes = ReadBe<uint16_t>(header.data() + field::kImageX);
    const int32_t yRes = ReadBe<uint16_t>(header.data() + field::kImageY);
    const int32_t depth = header[field::kDepth];
    switch (header[field::kCompression]) {
      case COMPRESSION_NONE:
        if (data.size() != static_cast<size_t>(width) * height * depth / 8) throw exceptions::invalid_argument();
        return smart_ptr<ImageView>(new ImageView(h, std::move(data), xRes, yRes, depth));
      case COMPRESSION_WSQ: {
        std::vector<uint8_t> pixels;
        wsq::WsqInfo info;
        if (wsq::DecodeWsq(data, pixels, info) != wsq::kOk || info.width != width || info.height != height)
          throw exceptions::invalid_argument();
        return smart_ptr<ImageView>(new ImageView(h, std::move(pixels), xRes, yRes, depth, vela::render::WsqImageComment(data)));
      }
      default:
        throw exceptions::not_implemented();
    }
  }

 private:
  void Take(uint8_t* to, size_t count) {
    if (count > left) throw exceptions::invalid_argument();
    if (count > 0) stream->Read(to, static_cast<int32_t>(count));
    left -= count;
  }

  smart_ptr<vela::base::InputStream> stream;
  const Header& header;
  uint64_t left;
};

Header ReadHeader(vela::base::InputStream& stream) {
  Header h{};
  stream.Read(h.data(), static_cast<int32_t>(h.size()));
  if (std::memcmp(h.data(), "FIR", 4) != 0) throw exceptions::invalid_argument();
  if (std::memcmp(h.data() + 4, "010", 4) != 0) throw exceptions::not_supported();
  const uint8_t units = h[field::kScaleUnits];
  if (units != kPixelsPerInch && units != kPixelsPerCm)
    throw exceptions::invalid_argument("Invalid argument: Invalid Scale units!");
  if (units == kPixelsPerCm) {
    for (size_t at : {field::kScanX, field::kScanY, field::kImageX, field::kImageY})
      WriteBe<uint16_t>(h.data() + at, SaturatedPerInch(ReadBe<uint16_t>(h.data() + at)));
    h[field::kScaleUnits] = kPixelsPerInch;
  }
  if (ReadBe<uint16_t>(h.data() + field::kLength) != 0) throw exceptions::not_implemented();
  if (h[field::kDepth] != kSupportedDepth) throw exceptions::invalid_argument("Invalid argument: pixelDepth");
  return h;
}

}  // namespace

FingerImageViewInfo::~FingerImageViewInfo() = default;
FingerImageFinger::~FingerImageFinger() = default;
FingerImageData::~FingerImageData() = default;

smart_ptr<FingerImageData> Create_FingerImageData(uint16_t captureDeviceID, uint16_t scanResolutionX,
                                                  uint16_t scanResolutionY, uint16_t imageResolutionX,
                                                  uint16_t imageResolutionY, uint8_t pixelDepth,
                                                  CompressionAlgorithm compression) {
  const auto outside = [](uint16_t v) { return v < kLowestResolution || v > kHighestResolution; };
  if (scanResolutionX < imageResolutionX || scanResolutionY < imageResolutionY)
    throw exceptions::invalid_argument("Invalid argument: invalid scan or image resolution!");
  if (outside(scanResolutionX) || outside(scanResolutionY))
    throw exceptions::invalid_argument("Invalid argument: scanResolution");
  if (outside(imageResolutionX) || outside(imageResolutionY))
    throw exceptions::invalid_argument("Invalid argument: imageResolution");
  if (pixelDepth != kSupportedDepth) throw exceptions::invalid_argument("Invalid argument: pixelDepth");
  if (compression > COMPRESSION_PNG) throw exceptions::invalid_argument("Invalid argument: compression");
  if (compression != COMPRESSION_NONE && compression != COMPRESSION_WSQ)
    throw exceptions::invalid_argument("Invalid argument: unsupported compression");

  Header h{};
  std::memcpy(h.data(), "FIR", 4);
  std::memcpy(h.data() + 4, "010", 4);
  WriteBe<uint16_t>(h.data() + field::kDevice, captureDeviceID);
  WriteBe<uint16_t>(h.data() + field::kAcquisition, kAcquisitionLevel);
  h[field::kScaleUnits] = kPixelsPerInch;
  WriteBe<uint16_t>(h.data() + field::kScanX, scanResolutionX);
  WriteBe<uint16_t>(h.data() + field::kScanY, scanResolutionY);
  WriteBe<uint16_t>(h.data() + field::kImageX, imageResolutionX);
  WriteBe<uint16_t>(h.data() + field::kImageY, imageResolutionY);
  h[field::kDepth] = pixelDepth;
  h[field::kCompression] = compression;
  return smart_ptr<FingerImageData>(new ImageData(h));
}

smart_ptr<FingerImageData> Create_FingerImageData(smart_ptr<vela::base::InputStream> stream) {
  const Header header = ReadHeader(*stream);
  const uint64_t length = uint64_t{ReadBe<uint16_t>(header.data() + field::kLength)} << 32 |
                          ReadBe<uint32_t>(header.data() + field::kLength + 2);
  if (length < kHeaderSize) throw exceptions::invalid_argument();
  const uint8_t fingerCount = header[field::kFingers];
  Header empty = header;
  empty[field::kFingers] = 0;
  smart_ptr<ImageData> record(new ImageData(empty));
  RecordReader reader(stream, header, length - kHeaderSize);
  for (int f = 0; f < fingerCount; ++f) {
    smart_ptr<ImageView> first = reader.ReadView();
    const uint8_t position = first->Header()[view_field::kPosition];
    if (position > kMaxPosition) throw exceptions::invalid_argument("Invalid argument: unknown finger position!");
    const uint8_t views = first->Header()[view_field::kViewCount];
    if (views == 0) throw exceptions::invalid_argument();
    smart_ptr<Finger> finger = record->NewFinger(position);
    finger->Append(first);
    for (int v = 1; v < views; ++v) finger->Append(reader.ReadView());
  }
  return record;
}

}  // namespace vela::iso
