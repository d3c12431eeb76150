// math::Template: one engine data block with its ids and views.
#pragma once

#include <cstdint>
#include <vector>

#include "engine/objects/TcRecords.h"
#include "vela/math.h"

namespace vela::math {

class TemplateImpl final : public virtual Template {
 public:
  TemplateImpl(TemplateIds ids, int32_t fingerCode, std::vector<uint8_t> data,
               base::smart_ptr<MinutiaeView> minutiae,
               base::smart_ptr<DirectionFieldView> directionField,
               base::smart_ptr<ImageInfoView> imageInfo);

  void Save(base::smart_ptr<base::OutputStream> stream) override;
  const uint8_t* GetData() const override { return data.data(); }
  int32_t GetDataSize() const override { return int32_t(data.size()); }
  base::smart_ptr<ImageInfoView> GetImageInfo() const override;
  int32_t GetFingerCode() const override { return fingerCode; }
  base::smart_ptr<MinutiaeView> GetMinutiae() const override;
  base::smart_ptr<DirectionFieldView> GetDirectionField() const override;

  const TemplateIds& Ids() const { return ids; }

 private:
  ~TemplateImpl() override;

  TemplateIds ids;
  int32_t fingerCode;
  std::vector<uint8_t> data;
  base::smart_ptr<MinutiaeView> minutiae;
  base::smart_ptr<DirectionFieldView> directionField;
  base::smart_ptr<ImageInfoView> imageInfo;
};

}  // namespace vela::math
