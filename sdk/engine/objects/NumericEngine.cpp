#include "engine/biodata/CleanedImageBmp.h"
#include "engine/biodata/XGetBiometricData.h"
#include "engine/biodata/XGetBiometricFeatures.h"
#include "engine/objects/EngineCalls.h"

namespace vela::math {

const EngineCalls& NumericEngine() {
  using TemplateFeatures = engine::ResultCode (*)(std::span<const uint8_t>, std::span<uint8_t>);
  using ImageFeatures = engine::ResultCode (*)(std::span<const uint8_t>, int32_t, int32_t*, int32_t,
                                               int32_t, std::span<uint8_t>);
  static const EngineCalls calls{
      &engine::XGetCleanedImageSize,
      &engine::XGetBiometricData,
      static_cast<TemplateFeatures>(&engine::XGetBiometricFeatures),
      static_cast<ImageFeatures>(&engine::XGetBiometricFeatures),
  };
  return calls;
}

}  // namespace vela::math
