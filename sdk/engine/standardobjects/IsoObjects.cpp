#include <vector>

#include "ByteOrder.h"
#include "engine/standard/StandardTemplates.h"
#include "engine/standardobjects/StandardObjectSupport.h"
#include "vela/iso_math.h"

namespace vela::iso_math {
namespace {

using base::smart_ptr;
namespace exceptions = base::exceptions;

constexpr int32_t kBlockEnergy = 15000;
constexpr int32_t kMostViews = 2;
constexpr int32_t kLowThreshold = 1400;
constexpr int32_t kMediumThreshold = 1600;
constexpr int32_t kHighThreshold = 2100;

struct ViewRef {
  smart_ptr<iso::FingerImageFinger> finger;
  int32_t index;
};

class IsoImageProcessor final : public virtual ImageProcessor {
 public:
  smart_ptr<iso::FingerMinutiaeRecord> CreateTemplate(smart_ptr<iso::FingerImageData> record) override {
    const uint16_t deviceId = record->GetCaptureDeviceID();
    std::vector<ViewRef> views;
    for (int32_t f = 0; f < record->GetFingerCount(); ++f) {
      smart_ptr<iso::FingerImageFinger> finger = record->GetFinger(f);
      for (int32_t v = 0; v < finger->GetViewCount(); ++v) views.push_back(ViewRef{finger, v});
    }
    if (views.empty() || views.size() > kMostViews)
      throw exceptions::invalid_argument("currently supported only 1 or 2-finger iso-templates");

    smart_ptr<base::Image> first = views[0].finger->GetView(views[0].index);
    engine::IsoTemplateRequest request{};
    request.firstPosition = views[0].finger->GetPosition();
    request.secondPosition = views.size() > 1 ? views[1].finger->GetPosition() : 0;
    request.width = first->GetWidth();
    request.height = first->GetHeight();
    request.xResolution = standard::PixelsPerCm(first->GetXResolution());
    request.yResolution = standard::PixelsPerCm(first->GetYResolution());
    request.blockEnergy = kBlockEnergy;
    request.captureDeviceId = deviceId;
    request.impressionType = views[0].finger->GetViewInfo(views[0].index)->GetImpressionType();

    std::vector<uint8_t> pixels;
    for (const ViewRef& ref : views) {
      smart_ptr<base::Image> view = ref.finger->GetView(ref.index);
      if (view->GetWidth() != request.width || view->GetHeight() != request.height)
        throw exceptions::invalid_argument("not all images are of the same size");
      if (view->GetBitsPerPixel() != 8) throw exceptions::invalid_argument("Images must have 8 bits per pixel");
      standard::AppendGreyPixels(view, pixels);
    }
    std::vector<uint8_t> out(static_cast<size_t>(engine::GetIsoTemplateSize()));
    const int32_t length = engine::CreateIsoTemplate(pixels, request, out);
    if (length < 1) throw exceptions::base_exception("can not create iso template");
    const int32_t header = headerSize;
    return iso::Create_FingerMinutiaeRecord(Create_MemoryStream(out.data() + header, length - header));
  }
  smart_ptr<iso::FingerMinutiaeRecord> CreateTemplate(smart_ptr<base::ImageSet>) override {
    throw exceptions::not_implemented();
  }
  smart_ptr<iso::FingerMinutiaeRecord> CreateTemplate(smart_ptr<base::Image>) override {
    throw exceptions::not_implemented();
  }

 protected:
  ~IsoImageProcessor() override = default;

 private:
  int32_t headerSize = engine::kIsoTemplateHeaderSize;
};

// The engine's template header in front of a record's bytes.
std::vector<uint8_t> WithTemplateHeader(iso::FingerMinutiaeRecord& record) {
  const std::vector<uint8_t> bytes = standard::SavedBytes(record);
  std::vector<uint8_t> t(engine::kIsoTemplateHeaderSize, 0);
  const uint32_t length = bytes.size() >= 12 ? ReadBe<uint32_t>(bytes.data() + 8) & 0xFFFF : 0;
  WriteBe<uint32_t>(t.data(), length + engine::kIsoTemplateHeaderSize);
  const uint8_t fixed[] = {1, 4, 3, 2, 1, 1, 1, 2, 8};
  std::copy(fixed, fixed + sizeof fixed, t.begin() + 4);
  t.insert(t.end(), bytes.begin(), bytes.end());
  return t;
}

class IsoMatcher final : public virtual Matcher {
 public:
  void SetSecurityLevel(int32_t level) override {
    securityLevel = level;
    if (level == math::SECURITY_LEVEL_LOW) threshold = kLowThreshold;
    if (level == math::SECURITY_LEVEL_MEDIUM) threshold = kMediumThreshold;
    if (level == math::SECURITY_LEVEL_HIGH) threshold = kHighThreshold;
  }
  int32_t GetSecurityLevel() const override { return securityLevel; }
  bool Verify(smart_ptr<iso::FingerMinutiaeRecord> a, smart_ptr<iso::FingerMinutiaeRecord> b) override {
    return Match(a, b)->GetScore() >= threshold;
  }
  smart_ptr<SimpleMatchResult> Match(smart_ptr<iso::FingerMinutiaeRecord> a,
                                     smart_ptr<iso::FingerMinutiaeRecord> b) override {
    const std::vector<uint8_t> first = WithTemplateHeader(*a);
    const std::vector<uint8_t> second = WithTemplateHeader(*b);
    const int32_t score = engine::CompareIsoTemplates(first, second);
    if (score < 0) throw exceptions::math_error("can not compare templates");
    return smart_ptr<SimpleMatchResult>(new standard::SimpleResult(score));
  }

 protected:
  ~IsoMatcher() override = default;

 private:
  int32_t threshold = kMediumThreshold;
  int32_t securityLevel = math::SECURITY_LEVEL_MEDIUM;
};

}  // namespace

ImageProcessor::~ImageProcessor() = default;
Matcher::~Matcher() = default;

smart_ptr<ImageProcessor> Create_ImageProcessor() { return smart_ptr<ImageProcessor>(new IsoImageProcessor); }

smart_ptr<Matcher> Create_Matcher(math::SecurityLevel level) {
  smart_ptr<Matcher> matcher(new IsoMatcher);
  matcher->SetSecurityLevel(level);
  return matcher;
}

}  // namespace vela::iso_math
