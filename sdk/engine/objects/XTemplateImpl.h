// XTemplate: one engine data block of several fingers with their records.
#pragma once

#include <cstdint>
#include <vector>

#include "engine/objects/TcRecords.h"
#include "vela/math.h"

namespace vela::math {

class XTemplateImpl final : public virtual XTemplate {
 public:
  XTemplateImpl(TemplateIds ids, std::vector<uint8_t> data,
                base::smart_ptr<FingerRecordList> fingers);

  void Save(base::smart_ptr<base::OutputStream> stream) override;
  const uint8_t* GetData() const override { return data.data(); }
  int32_t GetDataSize() const override { return int32_t(data.size()); }
  float GetMeanQuality() override;
  base::smart_ptr<FingerRecordList> GetFingers() const override { return fingers; }
  void SaveData(base::smart_ptr<base::OutputStream> stream) override;
  void Merge(base::smart_ptr<XTemplate> other) override;
  void RemoveFinger(int32_t fingerCode) override;

  const TemplateIds& Ids() const { return ids; }

 private:
  ~XTemplateImpl() override;

  TemplateIds ids;
  std::vector<uint8_t> data;
  base::smart_ptr<FingerRecordList> fingers;
  float meanQuality = 0;
  bool meanValid = false;
};

}  // namespace vela::math
