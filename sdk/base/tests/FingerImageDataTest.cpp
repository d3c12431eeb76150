// ISO/IEC 19794-4:2005 finger image records: building, saving, and reading
// records written here field by field from the standard's general header
// (32 bytes) and finger image header (14 bytes).
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <functional>
#include <string>
#include <tuple>
#include <vector>

#include "WsqTestFiles.h"
#include "vela/iso.h"
#include "vela/streams.h"

namespace {

using vela::base::smart_ptr;
using namespace vela::iso;
namespace ex = vela::base::exceptions;

// A grey image of the client's own with padded rows.
class GreyImage final : public virtual vela::base::Image {
 public:
  GreyImage(int32_t w, int32_t h, int32_t dpi, int32_t bits = 8, int32_t stride = 0)
      : w(w), h(h), dpi(dpi), bits(bits), stride(stride ? stride : w * bits / 8 + 3),
        pixels(static_cast<size_t>(this->stride) * h, 0xEE) {
    for (int32_t y = 0; y < h; ++y)
      for (int32_t x = 0; x < w * bits / 8; ++x) pixels[y * this->stride + x] = static_cast<uint8_t>(x * 7 + y * 3);
  }
  int32_t GetWidth() const override { return w; }
  int32_t GetHeight() const override { return h; }
  int32_t GetBitsPerPixel() const override { return bits; }
  int32_t GetXResolution() const override { return dpi; }
  int32_t GetYResolution() const override { return dpi; }
  int32_t GetRowBytes() const override { return stride; }
  const uint8_t* GetData() const override { return pixels.data(); }
  uint8_t* GetData() override { return pixels.data(); }
  void ConvertTo24Bpp() override {}
  void ConvertTo8Bpp() override {}
  uint8_t Pixel(int32_t x, int32_t y) const { return pixels[y * stride + x]; }

 protected:
  ~GreyImage() override = default;

 private:
  int32_t w, h, dpi, bits, stride;
  std::vector<uint8_t> pixels;
};

void Be(std::vector<uint8_t>& out, uint64_t v, int bytes) {
  for (int k = bytes - 1; k >= 0; --k) out.push_back(static_cast<uint8_t>(v >> (8 * k)));
}

struct ViewSpec {
  uint8_t position, views, number, quality, impression;
  uint16_t width, height;
  std::vector<uint8_t> data;
  int64_t lengthChange = 0;
};

// A record laid out as ISO/IEC 19794-4:2005 says; every field can be bent.
struct RecordSpec {
  std::string format = std::string("FIR\0", 4);
  std::string version = std::string("010\0", 4);
  uint16_t lengthTop = 0;
  int64_t lengthChange = 0;
  uint8_t fingers = 1;
  uint8_t scaleUnits = 1;
  uint16_t resolution = 500;
  uint8_t depth = 8;
  uint8_t compression = 0;
  std::vector<ViewSpec> views;

  std::vector<uint8_t> Bytes() const {
    std::vector<uint8_t> r(format.begin(), format.end());
    r.insert(r.end(), version.begin(), version.end());
    uint64_t length = 32;
    for (const ViewSpec& v : views) length += 14 + v.data.size();
    Be(r, lengthTop, 2);
    Be(r, static_cast<uint32_t>(length + lengthChange), 4);
    Be(r, 0x0102, 2);  // capture device
    Be(r, 30, 2);      // acquisition level
    r.push_back(fingers);
    r.push_back(scaleUnits);
    for (int k = 0; k < 4; ++k) Be(r, resolution, 2);
    r.push_back(depth);
    r.push_back(compression);
    Be(r, 0, 2);
    for (const ViewSpec& v : views) {
      Be(r, static_cast<uint32_t>(14 + v.data.size() + v.lengthChange), 4);
      r.insert(r.end(), {v.position, v.views, v.number, v.quality, v.impression});
      Be(r, v.width, 2);
      Be(r, v.height, 2);
      r.push_back(0);
      r.insert(r.end(), v.data.begin(), v.data.end());
    }
    return r;
  }
};

std::vector<uint8_t> Ramp(size_t n) {
  std::vector<uint8_t> v(n);
  for (size_t i = 0; i < n; ++i) v[i] = static_cast<uint8_t>(i * 13);
  return v;
}

RecordSpec TwoFingers() {
  RecordSpec r;
  r.fingers = 2;
  r.views = {{3, 2, 1, 70, 0, 4, 3, Ramp(12)}, {3, 2, 2, 60, 1, 4, 3, Ramp(12)}, {7, 1, 1, 50, 2, 2, 2, Ramp(4)}};
  return r;
}

smart_ptr<FingerImageData> Read(const std::vector<uint8_t>& bytes) {
  return Create_FingerImageData(Create_MemoryStream(bytes.data(), static_cast<int32_t>(bytes.size())));
}

std::vector<uint8_t> Saved(FingerImageData& record) {
  auto out = Create_MemoryStream(nullptr, 0);
  record.Save(out);
  out->SetPosition(0);
  std::vector<uint8_t> bytes(static_cast<size_t>(out->Size()));
  out->Read(bytes.data(), out->Size());
  return bytes;
}

template <typename Exception>
std::string Failure(const std::function<void()>& call) {
  try {
    call();
  } catch (const Exception& e) {
    return e.what();
  } catch (const std::exception& e) {
    return std::string("wrong type: ") + e.what();
  }
  return "no failure";
}

TEST(FingerImageData, NewRecordHeader) {
  auto r = Create_FingerImageData(1, 500, 500, 500, 500, 8, COMPRESSION_NONE);
  EXPECT_EQ(r->GetCaptureDeviceID(), 1);
  EXPECT_EQ(r->GetImageAcquisitionLevel(), 30);
  EXPECT_EQ(r->GetFingerCount(), 0);
  EXPECT_EQ(r->GetScanXResolution(), 500);
  EXPECT_EQ(r->GetImageYResolution(), 500);
  EXPECT_EQ(r->GetPixelDepth(), 8);
  EXPECT_EQ(r->GetCompression(), COMPRESSION_NONE);
  EXPECT_FALSE(r->HasExtendedData());
  EXPECT_EQ(Failure<ex::invalid_argument>([&] { Saved(*r); }), "Can't save empty FingerImageData!");
  r->AddFinger(2);
  EXPECT_EQ(Failure<ex::invalid_argument>([&] { Saved(*r); }), "Can't save empty FingerImageData!");
}

TEST(FingerImageData, FactoryChecksInOrder) {
  struct Case {
    uint16_t scanX, scanY, imageX, imageY;
    uint8_t depth, compression;
    const char* failure;
  };
  const Case cases[] = {
      {400, 500, 500, 500, 8, 0, "Invalid argument: invalid scan or image resolution!"},
      {500, 400, 500, 500, 16, 9, "Invalid argument: invalid scan or image resolution!"},
      {1001, 500, 500, 500, 8, 0, "Invalid argument: scanResolution"},
      {124, 124, 124, 124, 8, 0, "Invalid argument: scanResolution"},
      {500, 500, 124, 500, 16, 0, "Invalid argument: imageResolution"},
      {500, 500, 500, 500, 16, 9, "Invalid argument: pixelDepth"},
      {500, 500, 500, 500, 8, 6, "Invalid argument: compression"},
      {500, 500, 500, 500, 8, 1, "Invalid argument: unsupported compression"},
      {500, 500, 500, 500, 8, 3, "Invalid argument: unsupported compression"},
      {1000, 1000, 125, 125, 8, 2, "no failure"},
  };
  for (const Case& c : cases)
    EXPECT_EQ(Failure<ex::invalid_argument>([&] {
                Create_FingerImageData(0, c.scanX, c.scanY, c.imageX, c.imageY, c.depth,
                                       static_cast<CompressionAlgorithm>(c.compression));
              }),
              c.failure);
}

TEST(FingerImageData, FingersAndViews) {
  auto r = Create_FingerImageData(1, 500, 500, 500, 500, 8, COMPRESSION_NONE);
  EXPECT_EQ(Failure<ex::invalid_argument>([&] { r->AddFinger(11); }), "Invalid argument: invalid finger position!");
  auto finger = r->AddFinger(4);
  EXPECT_EQ(r->GetFingerCount(), 1);
  EXPECT_EQ(finger->GetPosition(), 4);
  EXPECT_THROW(r->GetFinger(1), ex::out_of_range);
  EXPECT_THROW(finger->Remove(), ex::not_supported);

  smart_ptr<GreyImage> image(new GreyImage(5, 3, 500));
  const struct {
    std::function<void()> call;
    const char* failure;
  } refused[] = {
      {[&] { finger->AddImage(smart_ptr<GreyImage>(new GreyImage(5, 3, 400)), 0, 4); }, "Invalid argument: invalid image DPI!"},
      {[&] { finger->AddImage(image, 0, 0); }, "Invalid argument: invalid quality!"},
      {[&] { finger->AddImage(image, 101, 0); }, "Invalid argument: invalid quality!"},
      {[&] { finger->AddImage(image, 50, 4); }, "Invalid argument: unknown ImpressionType!"},
      {[&] { finger->AddImage(image, 50, 6); }, "Invalid argument: unknown ImpressionType!"},
      {[&] { finger->AddImage(image, 50, 10); }, "Invalid argument: unknown ImpressionType!"},
      {[&] { finger->AddImage(smart_ptr<GreyImage>(new GreyImage(5, 3, 500, 24)), 50, 0); }, "Invalid argument: pixelDepth"},
  };
  for (const auto& c : refused) EXPECT_EQ(Failure<ex::invalid_argument>(c.call), c.failure);
  EXPECT_EQ(finger->GetViewCount(), 0);

  finger->AddImage(image, 80, 0);
  finger->AddImage(image, 60, 9);
  ASSERT_EQ(finger->GetViewCount(), 2);
  EXPECT_EQ(finger->GetViewInfo(0)->GetQuality(), 80);
  EXPECT_EQ(finger->GetViewInfo(1)->GetImpressionType(), 9);
  auto view = finger->GetView(1);
  EXPECT_EQ(view->GetWidth(), 5);
  EXPECT_EQ(view->GetRowBytes(), 5) << "the view's rows are unpadded";
  EXPECT_EQ(view->GetXResolution(), 500);
  EXPECT_THROW(view->ConvertTo24Bpp(), ex::not_implemented);
  EXPECT_THROW(finger->GetView(2), ex::out_of_range);
  const vela::base::Image& v = *view;
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 5; ++x) EXPECT_EQ(v.GetData()[y * 5 + x], image->Pixel(x, y));

  // Both views report two views, numbered 1 and 2, in the saved bytes.
  const auto bytes = Saved(*r);
  const size_t second = 32 + 14 + 15;
  EXPECT_EQ(bytes[32 + 5], 2);
  EXPECT_EQ(bytes[32 + 6], 1);
  EXPECT_EQ(bytes[second + 5], 2);
  EXPECT_EQ(bytes[second + 6], 2);
}

// A finger without views leaves no bytes: the saved header counts only the fingers written,
// so the record reads back, with the fingers that have views in their order.
TEST(FingerImageData, FingersWithoutViewsAreNeitherWrittenNorCounted) {
  struct Case {
    const char* name;
    std::vector<int> views;  // per finger added at positions 2, 3, 4, ...
  };
  const Case cases[] = {
      {"empty last", {1, 0}},
      {"empty first", {0, 2}},
      {"empty between", {1, 0, 1}},
      {"several empty", {0, 1, 0, 0, 2, 0}},
  };
  for (const Case& c : cases) {
    auto r = Create_FingerImageData(1, 500, 500, 500, 500, 8, COMPRESSION_NONE);
    std::vector<std::pair<uint8_t, int>> written;
    for (size_t f = 0; f < c.views.size(); ++f) {
      const uint8_t position = static_cast<uint8_t>(2 + f);
      auto finger = r->AddFinger(position);
      for (int v = 0; v < c.views[f]; ++v) finger->AddImage(smart_ptr<GreyImage>(new GreyImage(5, 3, 500)), 50, 0);
      if (c.views[f] > 0) written.push_back({position, c.views[f]});
    }
    const auto bytes = Saved(*r);
    EXPECT_EQ(bytes[18], written.size()) << c.name;  // the finger count
    auto back = Read(bytes);
    ASSERT_EQ(back->GetFingerCount(), written.size()) << c.name;
    for (size_t f = 0; f < written.size(); ++f) {
      EXPECT_EQ(back->GetFinger(static_cast<int32_t>(f))->GetPosition(), written[f].first) << c.name;
      EXPECT_EQ(back->GetFinger(static_cast<int32_t>(f))->GetViewCount(), written[f].second) << c.name;
    }
    EXPECT_EQ(Saved(*back), bytes) << c.name;
    EXPECT_EQ(r->GetFingerCount(), c.views.size()) << "the record itself keeps its fingers";
  }
}

TEST(FingerImageData, SavedLayoutFieldByField) {
  auto r = Create_FingerImageData(0x0A0B, 600, 550, 500, 500, 8, COMPRESSION_NONE);
  r->AddFinger(6)->AddImage(smart_ptr<GreyImage>(new GreyImage(500, 400, 500)), 77, 8);
  const auto b = Saved(*r);
  ASSERT_EQ(b.size(), 32u + 14 + 200000);
  const auto be = [&](size_t at, int n) {
    uint64_t v = 0;
    for (int k = 0; k < n; ++k) v = v << 8 | b[at + k];
    return v;
  };
  EXPECT_EQ(std::string(b.begin(), b.begin() + 8), std::string("FIR\0" "010\0", 8));
  EXPECT_EQ(be(8, 6), b.size());
  EXPECT_EQ(be(14, 2), 0x0A0Bu);
  EXPECT_EQ(be(16, 2), 30u);
  EXPECT_EQ(b[18], 1);
  EXPECT_EQ(b[19], 1);
  EXPECT_EQ(be(20, 2), 600u);
  EXPECT_EQ(be(22, 2), 550u);
  EXPECT_EQ(be(24, 2), 500u);
  EXPECT_EQ(be(26, 2), 500u);
  EXPECT_EQ(b[28], 8);
  EXPECT_EQ(b[29], 0);
  EXPECT_EQ(be(30, 2), 0u);
  EXPECT_EQ(be(32, 4), 14u + 200000);
  EXPECT_EQ(b[36], 6);
  EXPECT_EQ(b[37], 1);
  EXPECT_EQ(b[38], 1);
  EXPECT_EQ(b[39], 77);
  EXPECT_EQ(b[40], 8);
  EXPECT_EQ(be(41, 2), 500u);
  EXPECT_EQ(be(43, 2), 400u);
  EXPECT_EQ(b[45], 0);
}

TEST(FingerImageData, ReadsTheStandardLayoutAndSavesItBack) {
  const auto bytes = TwoFingers().Bytes();
  auto r = Read(bytes);
  EXPECT_EQ(r->GetCaptureDeviceID(), 0x0102);
  ASSERT_EQ(r->GetFingerCount(), 2);
  auto first = r->GetFinger(0), second = r->GetFinger(1);
  EXPECT_EQ(first->GetPosition(), 3);
  EXPECT_EQ(first->GetViewCount(), 2);
  EXPECT_EQ(second->GetPosition(), 7);
  EXPECT_EQ(first->GetViewInfo(1)->GetQuality(), 60);
  EXPECT_EQ(second->GetView(0)->GetHeight(), 2);
  EXPECT_EQ(second->GetView(0)->GetXResolution(), 500);
  const vela::base::Image& v = *first->GetView(1);
  EXPECT_EQ(std::vector<uint8_t>(v.GetData(), v.GetData() + 12), Ramp(12));
  EXPECT_EQ(Saved(*r), bytes);
}

TEST(FingerImageData, ResolutionsInPixelsPerCentimetre) {
  RecordSpec spec = TwoFingers();
  spec.scaleUnits = 2;
  spec.resolution = 197;
  auto r = Read(spec.Bytes());
  EXPECT_EQ(r->GetImageXResolution(), 500);
  EXPECT_EQ(r->GetScanYResolution(), 500);
  EXPECT_EQ(r->GetFinger(0)->GetView(0)->GetYResolution(), 500);
  spec.resolution = 40000;  // 101,600 per inch: saturates
  EXPECT_EQ(Read(spec.Bytes())->GetImageXResolution(), 65535);
  spec.scaleUnits = 3;
  EXPECT_EQ(Failure<ex::invalid_argument>([&] { Read(spec.Bytes()); }), "Invalid argument: Invalid Scale units!");
}

TEST(FingerImageData, HostileRecordsAreRefused) {
  struct Case {
    std::string name;
    std::function<void(RecordSpec&)> bend;
    std::string type;
    const char* failure;
  };
  const std::vector<Case> cases = {
      {"format", [](RecordSpec& r) { r.format[2] = 'X'; }, "invalid", "Invalid argument"},
      {"version", [](RecordSpec& r) { r.version = std::string("020\0", 4); }, "unsupported", "Not supported"},
      {"length above 4 GiB", [](RecordSpec& r) { r.lengthTop = 1; }, "unimplemented", "Not implemented"},
      {"depth 16", [](RecordSpec& r) { r.depth = 16; }, "invalid", "Invalid argument: pixelDepth"},
      {"compression 3", [](RecordSpec& r) { r.compression = 3; }, "unimplemented", "Not implemented"},
      {"position 11", [](RecordSpec& r) { r.views[0].position = 11; }, "invalid", "Invalid argument: unknown finger position!"},
      {"views byte 0", [](RecordSpec& r) { r.views[2].views = 0; }, "invalid", "Invalid argument"},
      {"view length below its header", [](RecordSpec& r) { r.views[0].lengthChange = -13; }, "invalid", "Invalid argument"},
      {"view length one long", [](RecordSpec& r) { r.views[2].lengthChange = 1; }, "invalid", "Invalid argument"},
      {"view length one short", [](RecordSpec& r) { r.views[1].lengthChange = -1; }, "invalid", "Invalid argument"},
      {"view past the record", [](RecordSpec& r) { r.lengthChange = -1; }, "invalid", "Invalid argument"},
      {"record length below header", [](RecordSpec& r) { r.lengthChange = -60; }, "invalid", "Invalid argument"},
      {"pixels not width x height", [](RecordSpec& r) { r.views[2].width = 3; }, "invalid", "Invalid argument"},
      {"more fingers than views", [](RecordSpec& r) { r.fingers = 3; }, "invalid", "Invalid argument"},
      {"more views than written", [](RecordSpec& r) { r.views[2].views = 2; }, "invalid", "Invalid argument"},
      {"WSQ data that is not WSQ", [](RecordSpec& r) { r.compression = 2; }, "invalid", "Invalid argument"},
  };
  for (const Case& c : cases) {
    RecordSpec spec = TwoFingers();
    c.bend(spec);
    const auto bytes = spec.Bytes();
    std::string got;
    if (c.type == "invalid") got = Failure<ex::invalid_argument>([&] { Read(bytes); });
    if (c.type == "unsupported") got = Failure<ex::not_supported>([&] { Read(bytes); });
    if (c.type == "unimplemented") got = Failure<ex::not_implemented>([&] { Read(bytes); });
    EXPECT_EQ(got, c.failure) << c.name;
  }
  // Cut anywhere, in particular at every header boundary: refused, never read past the bytes.
  const auto bytes = TwoFingers().Bytes();
  for (size_t cut = 0; cut < bytes.size(); ++cut) {
    const std::vector<uint8_t> part(bytes.begin(), bytes.begin() + cut);
    EXPECT_THROW(Read(part), ex::base_exception) << cut;
  }
}

TEST(FingerImageData, WsqViewReadsBackToTheReferencePixels) {
  const auto file = vela::test::ReadBytes(vela::test::WsqDataDir() / "f02_2.wsq");
  const auto reference = vela::test::ReadBytes(vela::test::WsqDataDir() / "f02_2.decoded.raw");
  if (file.empty() || reference.empty()) GTEST_SKIP() << "reference WSQ files not found under " << PV_SHARED_DATA_DIR;
  RecordSpec spec;
  spec.compression = 2;
  spec.views = {{1, 1, 1, 90, 0, 248, 338, file}};
  auto r = Read(spec.Bytes());
  auto view = r->GetFinger(0)->GetView(0);
  ASSERT_EQ(view->GetWidth(), 248);
  ASSERT_EQ(view->GetHeight(), 338);
  const vela::base::Image& v = *view;
  int worst = 0;
  for (size_t i = 0; i < reference.size(); ++i) worst = std::max(worst, std::abs(v.GetData()[i] - reference[i]));
  EXPECT_LE(worst, 1);
  // A WSQ view whose size differs from its header's.
  spec.views[0].width = 247;
  EXPECT_EQ(Failure<ex::invalid_argument>([&] { Read(spec.Bytes()); }), "Invalid argument");

  // Saved again, the view is compressed anew: a real WSQ file of the view's
  // size whose pixels stay near the ones it came from, and the length fields
  // count the compressed bytes.
  const auto saved = Saved(*r);
  const uint32_t viewLength = uint32_t(saved[32]) << 24 | uint32_t(saved[33]) << 16 | uint32_t(saved[34]) << 8 | saved[35];
  EXPECT_EQ(saved.size(), 32 + size_t{viewLength});
  // A new view's bit rate is 0.5 bits a pixel: about a sixteenth of the raw size.
  EXPECT_LT(saved.size(), reference.size() / 10) << "not compressed at the view's bit rate";
  EXPECT_EQ(saved[32 + 14], 0xFF);
  EXPECT_EQ(saved[32 + 15], 0xA0);
  auto again = Read(saved);
  const vela::base::Image& w = *again->GetFinger(0)->GetView(0);
  ASSERT_EQ(w.GetWidth(), 248);
  ASSERT_EQ(w.GetHeight(), 338);
  double sum = 0;
  for (size_t i = 0; i < reference.size(); ++i) sum += std::abs(w.GetData()[i] - v.GetData()[i]);
  EXPECT_LT(sum / double(reference.size()), 12.0);
  // Cut anywhere, the compressed record is refused rather than read past.
  for (size_t cut : {size_t{31}, size_t{46}, saved.size() / 2, saved.size() - 1}) {
    const std::vector<uint8_t> part(saved.begin(), saved.begin() + long(cut));
    EXPECT_THROW(Read(part), ex::base_exception) << cut;
  }
}

TEST(FingerImageData, NewWsqRecordSavesItsImages) {
  // Two fingers, one of two views, from images with padded rows; the pixels
  // are smooth stripes so that the lossy round trip stays close.
  auto record = Create_FingerImageData(1, 500, 500, 500, 500, 8, COMPRESSION_WSQ);
  std::vector<smart_ptr<GreyImage>> images;
  for (int i = 0; i < 3; ++i) {
    smart_ptr<GreyImage> image(new GreyImage(96 + 8 * i, 80, 500));
    uint8_t* data = static_cast<vela::base::Image&>(*image).GetData();
    for (int32_t y = 0; y < image->GetHeight(); ++y)
      for (int32_t x = 0; x < image->GetWidth(); ++x)
        data[y * image->GetRowBytes() + x] = static_cast<uint8_t>(128 + 90 * std::sin((x + 0.5 * y + 10 * i) / 4.0));
    images.push_back(image);
  }
  auto first = record->AddFinger(2);
  first->AddImage(images[0], 40, 0);
  first->AddImage(images[1], 50, 1);
  record->AddFinger(7)->AddImage(images[2], 60, 2);

  auto back = Read(Saved(*record));
  EXPECT_EQ(back->GetCompression(), COMPRESSION_WSQ);
  ASSERT_EQ(back->GetFingerCount(), 2);
  const std::vector<std::tuple<int, int, uint8_t>> where = {{0, 0, 40}, {0, 1, 50}, {1, 0, 60}};
  for (size_t n = 0; n < where.size(); ++n) {
    const auto [f, v, quality] = where[n];
    auto finger = back->GetFinger(f);
    const vela::base::Image& view = *finger->GetView(v);
    const GreyImage& source = *images[n];
    ASSERT_EQ(view.GetWidth(), source.GetWidth()) << n;
    ASSERT_EQ(view.GetHeight(), source.GetHeight()) << n;
    EXPECT_EQ(finger->GetViewInfo(v)->GetQuality(), quality) << n;
    double sum = 0;
    for (int32_t y = 0; y < view.GetHeight(); ++y)
      for (int32_t x = 0; x < view.GetWidth(); ++x)
        sum += std::abs(view.GetData()[y * view.GetWidth() + x] - source.Pixel(x, y));
    EXPECT_LT(sum / (view.GetWidth() * view.GetHeight()), 4.0) << n;
  }
}

}  // namespace
