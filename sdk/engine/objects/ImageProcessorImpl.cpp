#include "engine/objects/ImageProcessorImpl.h"

#include "engine/objects/EngineAdapter.h"
#include "base/ByteOrder.h"
#include "engine/objects/FingerRecords.h"
#include "engine/objects/Fingers.h"
#include "engine/objects/PrepareImage.h"
#include "engine/objects/TemplateImpl.h"
#include "engine/objects/Views.h"
#include "engine/objects/XTemplateImpl.h"

namespace vela::math {

using base::smart_ptr;

ImageProcessor::~ImageProcessor() = default;

namespace {

// Images for this data id are mirrored before the engine sees them.
constexpr int32_t kMirroredDataId = 2;

void AppendImages(std::vector<ImageListEntry>& list, const smart_ptr<base::ImageSet>& images,
                  int32_t fingerCode, bool mirror) {
  const int32_t count = images->Count();
  for (int32_t i = 0; i < count; ++i)
    list.push_back({PrepareImage(images->Get(i), mirror), fingerCode, i + 1});
}

void AppendImages(std::vector<ImageListEntry>& list, Finger& finger, bool mirror) {
  const int32_t count = finger.Count();
  for (int32_t i = 0; i < count; ++i)
    list.push_back({PrepareImage(finger.GetFingerImage(i), mirror), finger.GetFingerCode(), i + 1});
}

TemplateIds IdsFor(int32_t dataId) {
  return {uint16_t(dataId), uint16_t(kObjectLayerScannerId)};
}

}  // namespace

int32_t GetRecID(int32_t processorType) {
  switch (processorType) {
    case IMG_PROC_COMPACT:
      return 165;
    case IMG_PROC_FINGER_SET:
      return 150;
    case IMG_PROC_MIRRORED:
    case IMG_PROC_MIRRORED_2:
      return 2;
    default:
      throw base::exceptions::base_exception("CreateTemplate=> RecID not defined.");
  }
}

ImageProcessorImpl::ImageProcessorImpl(int32_t processorType) : processorType(processorType) {}
ImageProcessorImpl::~ImageProcessorImpl() = default;

smart_ptr<Template> ImageProcessorImpl::CreateTemplate(smart_ptr<base::ImageSet> images,
                                                       int32_t fingerCode) {
  const int32_t id = GetRecID(processorType);
  if (images->Count() > kMaxImagesPerFinger)
    throw base::exceptions::invalid_argument("Can't create template from more than 10 images");
  std::vector<ImageListEntry> list;
  AppendImages(list, images, fingerCode, id == kMirroredDataId);

  BiometricDataResult result = GetBiometricDataForImages(list, kObjectLayerScannerId, id);
  const std::vector<uint8_t> features = GetTemplateFeatures(result.data);
  smart_ptr<ImageInfoView> info;
  if (!result.headers.empty()) info = BuildImageInfoView(result.headers.front());
  return smart_ptr<Template>(new TemplateImpl(IdsFor(id), fingerCode, std::move(result.data),
                                              BuildMinutiaeView(features),
                                              BuildDirectionFieldView(features), info));
}

smart_ptr<Template> ImageProcessorImpl::CreateTemplate(smart_ptr<base::Image> image,
                                                       int32_t fingerCode) {
  return CreateTemplate(base::Create_ImageSet(std::move(image)), fingerCode);
}

int32_t ImageProcessorImpl::GetImageQuality(smart_ptr<base::Image> image) {
  return GetImageFeatures(PrepareImage(std::move(image), false));
}

smart_ptr<ImageInfoView> ImageProcessorImpl::GetImageInfo(smart_ptr<base::Image> image) {
  return CreateTemplate(std::move(image), UNKNOWN_FINGER)->GetImageInfo();
}

smart_ptr<XTemplate> ImageProcessorImpl::CreateXTemplate(int32_t fingerCode,
                                                         smart_ptr<base::ImageSet> images) {
  return CreateXTemplate(Create_Finger(finger_code(fingerCode), std::move(images)));
}

smart_ptr<XTemplate> ImageProcessorImpl::CreateXTemplate(int32_t fingerCode,
                                                         smart_ptr<base::Image> image) {
  return CreateXTemplate(Create_Finger(finger_code(fingerCode), std::move(image)));
}

smart_ptr<XTemplate> ImageProcessorImpl::CreateXTemplate(smart_ptr<Finger> finger) {
  smart_ptr<FingerSet> set(new FingerSetImpl());
  set->Add(std::move(finger));
  return CreateXTemplate(set);
}

smart_ptr<XTemplate> ImageProcessorImpl::CreateXTemplate(smart_ptr<FingerSet> fingers) {
  const int32_t id = GetRecID(processorType);
  const int32_t fingerCount = fingers->Count();
  if (fingerCount > kMaxFingersPerSet)
    throw base::exceptions::invalid_argument("FingerSet contain more than 10 fingers");
  // Every limit is checked before the first image is converted.
  for (int32_t f = 0; f < fingerCount; ++f)
    if (fingers->GetByIndex(f)->Count() > kMaxImagesPerFinger)
      throw base::exceptions::invalid_argument("Finger contain more than 10 impressions");
  std::vector<ImageListEntry> list;
  for (int32_t f = 0; f < fingerCount; ++f)
    AppendImages(list, *fingers->GetByIndex(f), id == kMirroredDataId);

  BiometricDataResult result = GetBiometricDataForImages(list, kObjectLayerScannerId, id);
  const std::vector<uint8_t> features = GetTemplateFeatures(result.data);
  FingerRecordsBuilder builder;
  for (size_t i = 0; i < result.headers.size(); ++i) {
    const std::vector<uint8_t>& header = result.headers[i];
    const int32_t code = ReadLe<int32_t>(header.data() + image_header::kFingerCodeOffset);
    // The block's views belong to its first impression only.
    smart_ptr<MinutiaeView> minutiae = i == 0 ? BuildMinutiaeView(features) : nullptr;
    smart_ptr<DirectionFieldView> directionField =
        i == 0 ? BuildDirectionFieldView(features) : nullptr;
    builder.Add(code, smart_ptr<ImpressionRecordView>(new ImpressionRecordViewImpl(
                          BuildImageInfoView(header), minutiae, directionField)));
  }
  return smart_ptr<XTemplate>(
      new XTemplateImpl(IdsFor(id), std::move(result.data), builder.Finish()));
}

smart_ptr<ImageProcessor> Create_ImageProcessor(img_proc_type type) {
  return smart_ptr<ImageProcessor>(new ImageProcessorImpl(type));
}

}  // namespace vela::math
