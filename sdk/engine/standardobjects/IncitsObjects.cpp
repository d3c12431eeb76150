#include <utility>
#include <vector>

#include "engine/standard/StandardTemplates.h"
#include "engine/standardobjects/StandardObjectSupport.h"
#include "vela/incits378.h"

namespace vela::incits378 {
namespace {

using base::smart_ptr;
namespace exceptions = base::exceptions;

constexpr int32_t kMaxFingers = 10;
constexpr int32_t kMaxMinutiae = 70;
constexpr int32_t kBlockEnergy = 15000;
constexpr int32_t kSmallestImage = 100;
constexpr int32_t kLowestPixelsPerCm = 40;

class RecordTemplate final : public virtual Template {
 public:
  explicit RecordTemplate(std::vector<uint8_t> bytes) : bytes(std::move(bytes)) {}

  void Save(smart_ptr<base::OutputStream> stream) override {
    stream->Write(bytes.data(), static_cast<int32_t>(bytes.size()));
  }
  float GetValue() const override { return 0.0f; }

 protected:
  ~RecordTemplate() override = default;

 private:
  std::vector<uint8_t> bytes;
};

struct ImageFrame {
  int32_t width, height, xDpi, yDpi;
  bool operator==(const ImageFrame&) const = default;
};

ImageFrame FrameOf(base::Image& image) {
  return ImageFrame{image.GetWidth(), image.GetHeight(), image.GetXResolution(), image.GetYResolution()};
}

engine::IncitsImageDescriptor DescriptorFor(const ImageFrame& reference, int32_t maxMinutiae) {
  engine::IncitsImageDescriptor d;
  d.maxMinutiae = maxMinutiae;
  d.width = reference.width;
  d.height = reference.height;
  d.xResolution = standard::PixelsPerCm(reference.xDpi);
  d.yResolution = standard::PixelsPerCm(reference.yDpi);
  d.invert = 0;
  d.blockEnergy = kBlockEnergy;
  if (d.width < kSmallestImage) throw exceptions::invalid_argument("Wrong image width");
  if (d.height < kSmallestImage) throw exceptions::invalid_argument("Wrong image height");
  if (d.xResolution < kLowestPixelsPerCm) throw exceptions::invalid_argument("Wrong image horizontal resolution");
  if (d.yResolution < kLowestPixelsPerCm) throw exceptions::invalid_argument("Wrong image vertical resolution");
  return d;
}

class IncitsImageProcessor final : public virtual ImageProcessor {
 public:
  smart_ptr<Template> CreateTemplate(int32_t fingerCode, smart_ptr<base::ImageSet> images) override {
    return CreateTemplate(math::Create_Finger(static_cast<math::finger_code>(fingerCode), images));
  }
  smart_ptr<Template> CreateTemplate(int32_t fingerCode, smart_ptr<base::Image> image) override {
    return CreateTemplate(math::Create_Finger(static_cast<math::finger_code>(fingerCode), image));
  }
  smart_ptr<Template> CreateTemplate(smart_ptr<math::Finger> finger) override {
    smart_ptr<math::FingerSet> set = Create_FingerSet();
    set->Add(finger);
    return CreateTemplate(set);
  }

  smart_ptr<Template> CreateTemplate(smart_ptr<math::FingerSet> fingers) override {
    const int32_t fingerCount = fingers->Count();
    if (fingerCount == 0) return smart_ptr<Template>();
    if (fingerCount > kMaxFingers) throw exceptions::invalid_argument("FingerSet contain more than 10 fingers");
    const ImageFrame reference = FrameOf(*fingers->GetByIndex(0)->GetFingerImage(0));
    engine::IncitsImageDescriptor d = DescriptorFor(reference, maxMinutiae);

    std::vector<uint8_t> pixels;
    int32_t count = 0;
    for (int32_t f = 0; f < fingerCount; ++f) {
      smart_ptr<math::Finger> finger = fingers->GetByIndex(f);
      for (int32_t i = 0; i < finger->Count(); ++i) {
        smart_ptr<base::Image> image = finger->GetFingerImage(i);
        if (!(FrameOf(*image) == reference))
          throw exceptions::invalid_argument("Images of different size or resolution");
        if (count >= engine::kIncitsMaxImages) standard::ThrowOnIncitsResult(engine::standard_result::BadParameter);
        standard::AppendGreyPixels(image, pixels);
        d.fingerCodes[count++] = static_cast<uint8_t>(finger->GetFingerCode());
      }
    }
    d.imageCount = count;
    std::vector<uint8_t> record(static_cast<size_t>(engine::GetIncitsRecordSize(count)));
    const int32_t length = engine::CreateIncitsRecord(pixels, d, record);
    standard::ThrowOnIncitsResult(length);
    record.resize(static_cast<size_t>(length));
    return smart_ptr<Template>(new RecordTemplate(std::move(record)));
  }

 protected:
  ~IncitsImageProcessor() override = default;

 private:
  int32_t maxMinutiae = kMaxMinutiae;
};

class IncitsMatcher final : public virtual Matcher {
 public:
  smart_ptr<SimpleMatchResult> Match(smart_ptr<Template> a, smart_ptr<Template> b) override {
    const std::vector<uint8_t> first = standard::SavedBytes(*a);
    const std::vector<uint8_t> second = standard::SavedBytes(*b);
    const int32_t score = engine::CompareIncitsRecords(first, second);
    standard::ThrowOnIncitsResult(score);
    return smart_ptr<SimpleMatchResult>(new standard::SimpleResult(score));
  }

 protected:
  ~IncitsMatcher() override = default;
};

}  // namespace

SimpleMatchResult::~SimpleMatchResult() = default;
Template::~Template() = default;
ImageProcessor::~ImageProcessor() = default;
Matcher::~Matcher() = default;

smart_ptr<ImageProcessor> Create_ImageProcessor() { return smart_ptr<ImageProcessor>(new IncitsImageProcessor); }

smart_ptr<Matcher> Create_Matcher() { return smart_ptr<Matcher>(new IncitsMatcher); }

smart_ptr<Template> Create_Template(smart_ptr<base::InputStream> stream) {
  const int32_t left = stream->Size() - stream->Tell();
  std::vector<uint8_t> bytes(static_cast<size_t>(left > 0 ? left : 0));
  if (!bytes.empty()) stream->Read(bytes.data(), left);
  return smart_ptr<Template>(new RecordTemplate(std::move(bytes)));
}

}  // namespace vela::incits378
