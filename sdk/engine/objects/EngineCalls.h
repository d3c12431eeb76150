// The numeric engine's template-making calls as the object layer reaches
// them. They go through one table so that tests can stand in for the engine
// and see exactly what the object layer hands it.
#pragma once

#include <cstdint>
#include <span>

namespace vela::math {

struct EngineCalls {
  uint32_t (*getCleanedImageSize)(int32_t* size);
  // Fills `block` (sized by XGetMaxBiometricDataSize) from the image chain;
  // writes each image's parameters into its header in the chain.
  uint32_t (*getBiometricData)(int32_t dataId, std::span<uint8_t> chain,
                               std::span<uint8_t> block);
  // The 2,644-byte BiometricFeatures of a stored block's first impression.
  uint32_t (*getTemplateFeatures)(std::span<const uint8_t> block, std::span<uint8_t> features);
  // One value measured on a BMP (mode 8: the image quality).
  uint32_t (*getImageFeatures)(std::span<const uint8_t> bmp, int32_t mode, int32_t* value,
                               int32_t scannerId, int32_t dataId, std::span<uint8_t> work);
};

// The calls in use: the numeric engine, unless a test has put its own in place.
const EngineCalls& CurrentEngine();

// The numeric engine itself.
const EngineCalls& NumericEngine();

// Puts `calls` in place of the engine for the guard's lifetime. Tests only;
// not for use while other threads make templates.
class ScopedEngineCalls {
 public:
  explicit ScopedEngineCalls(const EngineCalls& calls);
  ~ScopedEngineCalls();
  ScopedEngineCalls(const ScopedEngineCalls&) = delete;
  ScopedEngineCalls& operator=(const ScopedEngineCalls&) = delete;

 private:
  const EngineCalls* previous;
};

}  // namespace vela::math
