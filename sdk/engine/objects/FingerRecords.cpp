#include "engine/objects/FingerRecords.h"

#include "engine/objects/Views.h"

namespace vela::math {

using base::smart_ptr;

ImpressionRecordView::~ImpressionRecordView() = default;
ImpressionRecordList::~ImpressionRecordList() = default;
FingerRecord::~FingerRecord() = default;
FingerRecordList::~FingerRecordList() = default;

namespace {

template <class T>
const T& ItemAt(const std::vector<T>& items, int32_t index) {
  if (index < 0 || size_t(index) >= items.size()) throw base::exceptions::out_of_range();
  return items[size_t(index)];
}

}  // namespace

ImpressionRecordViewImpl::ImpressionRecordViewImpl(smart_ptr<ImageInfoView> imageInfo,
                                                   smart_ptr<MinutiaeView> minutiae,
                                                   smart_ptr<DirectionFieldView> directionField)
    : imageInfo(std::move(imageInfo)),
      minutiae(std::move(minutiae)),
      directionField(std::move(directionField)) {}
ImpressionRecordViewImpl::~ImpressionRecordViewImpl() = default;

smart_ptr<ImageInfoView> ImpressionRecordViewImpl::GetImageInfo() const {
  return RequireView(imageInfo);
}
smart_ptr<MinutiaeView> ImpressionRecordViewImpl::GetMinutiae() const {
  return RequireView(minutiae);
}
smart_ptr<DirectionFieldView> ImpressionRecordViewImpl::GetDirectionField() const {
  return RequireView(directionField);
}

ImpressionRecordListImpl::ImpressionRecordListImpl(
    std::vector<smart_ptr<ImpressionRecordView>> items)
    : items(std::move(items)) {}
ImpressionRecordListImpl::~ImpressionRecordListImpl() = default;

smart_ptr<ImpressionRecordView> ImpressionRecordListImpl::GetByIndex(int32_t index) const {
  return ItemAt(items, index);
}

FingerRecordImpl::FingerRecordImpl(int32_t fingerCode, smart_ptr<ImpressionRecordList> impressions)
    : fingerCode(fingerCode), impressions(std::move(impressions)) {}
FingerRecordImpl::~FingerRecordImpl() = default;

float FingerRecordImpl::GetMeanQuality() {
  if (meanValid) return meanQuality;
  const int32_t count = impressions ? impressions->Count() : 0;
  // A mean of nothing is not a quality.
  if (count == 0) throw base::exceptions::not_supported();
  float sum = 0;
  for (int32_t i = 0; i < count; ++i) sum += impressions->GetByIndex(i)->GetImageInfo()->GetP1();
  meanQuality = sum / float(count);
  meanValid = true;
  return meanQuality;
}

FingerRecordListImpl::FingerRecordListImpl(std::vector<smart_ptr<FingerRecord>> items)
    : items(std::move(items)) {}
FingerRecordListImpl::~FingerRecordListImpl() = default;

smart_ptr<FingerRecord> FingerRecordListImpl::GetByIndex(int32_t index) const {
  return ItemAt(items, index);
}

void FingerRecordsBuilder::Add(int32_t fingerCode, smart_ptr<ImpressionRecordView> impression) {
  if (!current.empty() && fingerCode != currentCode) CloseFinger();
  currentCode = fingerCode;
  current.push_back(std::move(impression));
}

smart_ptr<FingerRecordList> FingerRecordsBuilder::Finish() {
  if (!current.empty()) CloseFinger();
  return smart_ptr<FingerRecordList>(new FingerRecordListImpl(std::move(fingers)));
}

void FingerRecordsBuilder::CloseFinger() {
  smart_ptr<ImpressionRecordList> impressions(new ImpressionRecordListImpl(std::move(current)));
  fingers.push_back(smart_ptr<FingerRecord>(new FingerRecordImpl(currentCode, impressions)));
  current.clear();
}

std::vector<smart_ptr<FingerRecord>> FingerRecordsOf(const smart_ptr<FingerRecordList>& list) {
  std::vector<smart_ptr<FingerRecord>> records;
  if (!list) return records;
  const int32_t count = list->Count();
  records.reserve(size_t(count));
  for (int32_t i = 0; i < count; ++i) records.push_back(list->GetByIndex(i));
  return records;
}

}  // namespace vela::math
