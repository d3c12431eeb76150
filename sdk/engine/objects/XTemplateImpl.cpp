#include "engine/objects/XTemplateImpl.h"

#include <algorithm>
#include <exception>

#include "engine/objects/BlockChecks.h"
#include "engine/objects/EngineAdapter.h"
#include "engine/objects/FingerRecords.h"
#include "engine/objects/SavedForm.h"

namespace vela::math {

using base::smart_ptr;
namespace sf = saved_form;

XTemplate::~XTemplate() = default;

namespace {

smart_ptr<ImpressionRecordView> MakeImpression(smart_ptr<ImageInfoView> info,
                                               smart_ptr<MinutiaeView> minutiae,
                                               smart_ptr<DirectionFieldView> directionField) {
  return smart_ptr<ImpressionRecordView>(
      new ImpressionRecordViewImpl(std::move(info), std::move(minutiae), std::move(directionField)));
}

smart_ptr<FingerRecordList> Version1Fingers(const SavedForm& form, TemplateIds& ids) {
  const auto& idRecords = form.tc.Records(sf::kTagIds);
  const auto& images = form.tc.Records(sf::kTagImage);
  if (idRecords.empty() || images.empty()) return {};
  const Version1Ids read = ReadVersion1Ids(idRecords.front());
  smart_ptr<ImageInfoView> info(new ImageInfoViewImpl(ReadVersion1ImageInfo(images.front())));
  const std::vector<uint8_t> features = GetTemplateFeatures(form.data);
  FingerRecordsBuilder builder;
  builder.Add(read.fingerCode, MakeImpression(info, BuildMinutiaeView(features),
                                              BuildDirectionFieldView(features)));
  ids = read.ids;
  return builder.Finish();
}

smart_ptr<FingerRecordList> Version2Fingers(const SavedForm& form) {
  const auto& images = form.tc.Records(sf::kTagImage);
  const auto& extras = form.tc.Records(sf::kTagImageExtra);
  if (!extras.empty() && extras.size() != images.size()) return {};
  const std::vector<uint8_t> features = GetTemplateFeatures(form.data);
  smart_ptr<MinutiaeView> minutiae = BuildMinutiaeView(features);
  smart_ptr<DirectionFieldView> directionField = BuildDirectionFieldView(features);
  FingerRecordsBuilder builder;
  if (images.empty()) {
    builder.Add(0, MakeImpression({}, minutiae, directionField));
    return builder.Finish();
  }
  for (size_t i = 0; i < images.size(); ++i) {
    smart_ptr<ImageInfoView> info(
        new ImageInfoViewImpl(ReadImageRecords(images[i], extras.empty() ? nullptr : &extras[i])));
    // Only the first impression carries the views of the block.
    builder.Add(ReadImageFingerCode(images[i]),
                i == 0 ? MakeImpression(info, minutiae, directionField)
                       : MakeImpression(info, {}, {}));
  }
  return builder.Finish();
}

// Runs a builder whose failure only means the template has no finger records.
template <class Build>
smart_ptr<FingerRecordList> FingersOrNone(Build build) {
  try {
    return build();
  } catch (const std::exception&) {
    return {};
  }
}

std::vector<ImpressionImage> ImpressionImages(const smart_ptr<FingerRecordList>& fingers) {
  std::vector<ImpressionImage> images;
  for (const smart_ptr<FingerRecord>& finger : FingerRecordsOf(fingers)) {
    const smart_ptr<ImpressionRecordList> impressions = finger->GetImpressions();
    const int32_t count = impressions ? impressions->Count() : 0;
    for (int32_t i = 0; i < count; ++i) {
      smart_ptr<ImageInfoView> info;
      try {
        info = impressions->GetByIndex(i)->GetImageInfo();
      } catch (const base::exceptions::not_supported&) {
      }
      images.push_back({finger->GetFingerCode(), info});
    }
  }
  return images;
}

std::vector<uint8_t> DataPartBytes(XTemplate& source) {
  smart_ptr<base::MemoryStream> stream = Create_MemoryStream(nullptr, 0);
  source.SaveData(stream);
  stream->Seek(0, base::SeekOrigin::Begin);
  std::vector<uint8_t> bytes(size_t(stream->Size()));
  if (!bytes.empty()) stream->Read(bytes.data(), int32_t(bytes.size()));
  return bytes;
}

}  // namespace

XTemplateImpl::XTemplateImpl(TemplateIds ids, std::vector<uint8_t> data,
                             smart_ptr<FingerRecordList> fingers)
    : ids(ids), data(std::move(data)), fingers(std::move(fingers)) {}

XTemplateImpl::~XTemplateImpl() = default;

void XTemplateImpl::Save(smart_ptr<base::OutputStream> stream) {
  base::OutputStream& out = *stream;
  WriteDataPart(out, data);
  WriteTcPart(out, ids, ImpressionImages(fingers));
}

void XTemplateImpl::SaveData(smart_ptr<base::OutputStream> stream) { WriteDataPart(*stream, data); }

float XTemplateImpl::GetMeanQuality() {
  if (meanValid) return meanQuality;
  const std::vector<smart_ptr<FingerRecord>> records = FingerRecordsOf(fingers);
  if (records.empty()) throw base::exceptions::not_supported();
  float sum = 0;
  for (const smart_ptr<FingerRecord>& record : records) sum += record->GetMeanQuality();
  meanQuality = sum / float(records.size());
  meanValid = true;
  return meanQuality;
}

void XTemplateImpl::Merge(smart_ptr<XTemplate> other) {
  std::vector<uint8_t> merged = CombineBiometricData(data, DataPartBytes(*other));
  // The other template's fingers come first; ours follow unless it has them.
  std::vector<smart_ptr<FingerRecord>> records = FingerRecordsOf(other->GetFingers());
  const size_t fromOther = records.size();
  for (const smart_ptr<FingerRecord>& mine : FingerRecordsOf(fingers)) {
    const int32_t code = mine->GetFingerCode();
    const bool taken = std::any_of(records.begin(), records.begin() + std::ptrdiff_t(fromOther),
                                   [code](const smart_ptr<FingerRecord>& theirs) {
                                     return theirs->GetFingerCode() == code;
                                   });
    if (!taken) records.push_back(mine);
  }
  data = std::move(merged);
  fingers = new FingerRecordListImpl(std::move(records));
  meanValid = false;
}

void XTemplateImpl::RemoveFinger(int32_t fingerCode) {
  std::vector<uint8_t> reduced = CombineBiometricData(data, fingerCode);
  std::vector<smart_ptr<FingerRecord>> records;
  for (const smart_ptr<FingerRecord>& record : FingerRecordsOf(fingers))
    if (record->GetFingerCode() != fingerCode) records.push_back(record);
  data = std::move(reduced);
  fingers = new FingerRecordListImpl(std::move(records));
  meanValid = false;
}

}  // namespace vela::math

using vela::base::smart_ptr;
using vela::math::XTemplate;

smart_ptr<XTemplate> Create_XTemplate(smart_ptr<vela::base::InputStream> stream) {
  using namespace vela::math;
  SavedForm form = ReadSavedForm(*stream);
  TemplateIds ids;
  smart_ptr<FingerRecordList> fingers;
  if (form.tc.version == 1) {
    fingers = FingersOrNone([&] { return Version1Fingers(form, ids); });
    if (!fingers) throw vela::base::exceptions::invalid_argument();
    CheckBiometricData(form.data, fingers->GetByIndex(0)->GetFingerCode());
    ValidateStoredBlock(form.data);
  } else if (form.tc.version == 2) {
    const auto& idRecords = form.tc.Records(saved_form::kTagIds);
    if (!idRecords.empty()) ids = ReadIds(idRecords.front());
    fingers = FingersOrNone([&] { return Version2Fingers(form); });
  } else {
    throw vela::base::exceptions::invalid_argument();
  }
  return smart_ptr<XTemplate>(new XTemplateImpl(ids, std::move(form.data), fingers));
}
