// The finger and impression records of an extended template.
#pragma once

#include <cstdint>
#include <vector>

#include "vela/math.h"

namespace vela::math {

class ImpressionRecordViewImpl final : public virtual ImpressionRecordView {
 public:
  ImpressionRecordViewImpl(base::smart_ptr<ImageInfoView> imageInfo,
                           base::smart_ptr<MinutiaeView> minutiae,
                           base::smart_ptr<DirectionFieldView> directionField);
  base::smart_ptr<ImageInfoView> GetImageInfo() const override;
  base::smart_ptr<MinutiaeView> GetMinutiae() const override;
  base::smart_ptr<DirectionFieldView> GetDirectionField() const override;

 private:
  ~ImpressionRecordViewImpl() override;
  base::smart_ptr<ImageInfoView> imageInfo;
  base::smart_ptr<MinutiaeView> minutiae;
  base::smart_ptr<DirectionFieldView> directionField;
};

class ImpressionRecordListImpl final : public virtual ImpressionRecordList {
 public:
  explicit ImpressionRecordListImpl(std::vector<base::smart_ptr<ImpressionRecordView>> items);
  int32_t Count() const override { return int32_t(items.size()); }
  base::smart_ptr<ImpressionRecordView> GetByIndex(int32_t index) const override;

 private:
  ~ImpressionRecordListImpl() override;
  std::vector<base::smart_ptr<ImpressionRecordView>> items;
};

class FingerRecordImpl final : public virtual FingerRecord {
 public:
  FingerRecordImpl(int32_t fingerCode, base::smart_ptr<ImpressionRecordList> impressions);
  int32_t GetFingerCode() const override { return fingerCode; }
  float GetMeanQuality() override;
  base::smart_ptr<ImpressionRecordList> GetImpressions() const override { return impressions; }

 private:
  ~FingerRecordImpl() override;
  int32_t fingerCode;
  base::smart_ptr<ImpressionRecordList> impressions;
  float meanQuality = 0;
  bool meanValid = false;
};

class FingerRecordListImpl final : public virtual FingerRecordList {
 public:
  explicit FingerRecordListImpl(std::vector<base::smart_ptr<FingerRecord>> items);
  int32_t Count() const override { return int32_t(items.size()); }
  base::smart_ptr<FingerRecord> GetByIndex(int32_t index) const override;

 private:
  ~FingerRecordListImpl() override;
  std::vector<base::smart_ptr<FingerRecord>> items;
};

// Groups impressions, given in order, into finger records: a finger code
// different from the previous impression's starts a new record.
class FingerRecordsBuilder {
 public:
  void Add(int32_t fingerCode, base::smart_ptr<ImpressionRecordView> impression);
  base::smart_ptr<FingerRecordList> Finish();

 private:
  void CloseFinger();

  std::vector<base::smart_ptr<FingerRecord>> fingers;
  std::vector<base::smart_ptr<ImpressionRecordView>> current;
  int32_t currentCode = 0;
};

// The records of a list, in order; none for an empty list.
std::vector<base::smart_ptr<FingerRecord>> FingerRecordsOf(
    const base::smart_ptr<FingerRecordList>& list);

}  // namespace vela::math
