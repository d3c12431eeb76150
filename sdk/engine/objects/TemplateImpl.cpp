#include "engine/objects/TemplateImpl.h"

#include "engine/objects/BlockChecks.h"
#include "engine/objects/EngineAdapter.h"
#include "engine/objects/SavedForm.h"
#include "engine/objects/Views.h"

namespace vela::math {

using base::smart_ptr;
namespace sf = saved_form;

Template::~Template() = default;

namespace {

struct TcValues {
  TemplateIds ids;
  int32_t fingerCode = 0;
  smart_ptr<ImageInfoView> imageInfo;
};

// Version 1 carries the finger code with the ids and stamps it into the block.
TcValues ApplyVersion1(const TcPart& tc, std::vector<uint8_t>& data) {
  TcValues values;
  const auto& ids = tc.Records(sf::kTagIds);
  if (!ids.empty()) {
    const Version1Ids read = ReadVersion1Ids(ids.front());
    values.ids = read.ids;
    values.fingerCode = read.fingerCode;
  }
  CheckBiometricData(data, values.fingerCode);
  // The stamped code is data from the stream like any other.
  ValidateStoredBlock(data);
  const auto& images = tc.Records(sf::kTagImage);
  if (!images.empty())
    values.imageInfo = new ImageInfoViewImpl(ReadVersion1ImageInfo(images.front()));
  return values;
}

TcValues ApplyVersion2(const TcPart& tc) {
  TcValues values;
  const auto& ids = tc.Records(sf::kTagIds);
  if (!ids.empty()) values.ids = ReadIds(ids.front());
  const auto& images = tc.Records(sf::kTagImage);
  const auto& extras = tc.Records(sf::kTagImageExtra);
  if (!extras.empty() && extras.size() != images.size()) return values;
  if (images.empty()) return values;
  values.fingerCode = ReadImageFingerCode(images.front());
  values.imageInfo = new ImageInfoViewImpl(
      ReadImageRecords(images.front(), extras.empty() ? nullptr : &extras.front()));
  return values;
}

}  // namespace

TemplateImpl::TemplateImpl(TemplateIds ids, int32_t fingerCode, std::vector<uint8_t> data,
                           smart_ptr<MinutiaeView> minutiae,
                           smart_ptr<DirectionFieldView> directionField,
                           smart_ptr<ImageInfoView> imageInfo)
    : ids(ids),
      fingerCode(fingerCode),
      data(std::move(data)),
      minutiae(std::move(minutiae)),
      directionField(std::move(directionField)),
      imageInfo(std::move(imageInfo)) {}

TemplateImpl::~TemplateImpl() = default;

void TemplateImpl::Save(smart_ptr<base::OutputStream> stream) {
  base::OutputStream& out = *stream;
  WriteDataPart(out, data);
  WriteTcPart(out, ids, {{fingerCode, imageInfo}});
}

smart_ptr<ImageInfoView> TemplateImpl::GetImageInfo() const { return RequireView(imageInfo); }
smart_ptr<MinutiaeView> TemplateImpl::GetMinutiae() const { return RequireView(minutiae); }
smart_ptr<DirectionFieldView> TemplateImpl::GetDirectionField() const {
  return RequireView(directionField);
}

smart_ptr<Template> Create_Template(smart_ptr<base::InputStream> stream) {
  SavedForm form = ReadSavedForm(*stream);
  const std::vector<uint8_t> features = GetTemplateFeatures(form.data);
  smart_ptr<MinutiaeView> minutiae = BuildMinutiaeView(features);
  smart_ptr<DirectionFieldView> directionField = BuildDirectionFieldView(features);
  TcValues values;
  if (form.tc.version == 1) values = ApplyVersion1(form.tc, form.data);
  if (form.tc.version == 2) values = ApplyVersion2(form.tc);
  return smart_ptr<Template>(new TemplateImpl(values.ids, values.fingerCode, std::move(form.data),
                                              minutiae, directionField, values.imageInfo));
}

}  // namespace vela::math
