#pragma once
// What a ScannerDriver needs of a make's device binding. A binding lives on
// the driver's worker thread only, from the open (its constructor, which
// throws with a text on failure) to the close (its destructor).

#include <concepts>
#include <cstdint>

#include "device/CaptureImage.h"
#include "vela/scan.h"

namespace vela::scan {

template <class B>
concept DeviceBinding = std::constructible_from<B, uint16_t> && requires(B binding, int32_t value) {
  // A new blank image of the make's size, kept as the current capture target.
  { binding.NewImage() } -> std::same_as<vela::base::smart_ptr<CaptureImage>>;
  // Fills the current target's pixels from the device.
  binding.Capture();
  { binding.GetDeviceInfo() } -> std::same_as<vela::base::smart_ptr<DeviceInfo>>;
  { binding.GetBrightness() } -> std::same_as<int32_t>;
  binding.SetBrightness(value);
  { binding.GetContrast() } -> std::same_as<int32_t>;
  binding.SetContrast(value);
  { binding.GetGain() } -> std::same_as<int32_t>;
  binding.SetGain(value);
};

// The brightness, contrast and gain of the makes that have none to set.
struct WithoutSettings {
  int32_t GetBrightness() { throw vela::base::exceptions::not_implemented(); }
  void SetBrightness(int32_t) { throw vela::base::exceptions::not_implemented(); }
  int32_t GetContrast() { throw vela::base::exceptions::not_implemented(); }
  void SetContrast(int32_t) { throw vela::base::exceptions::not_implemented(); }
  int32_t GetGain() { throw vela::base::exceptions::not_implemented(); }
  void SetGain(int32_t) { throw vela::base::exceptions::not_implemented(); }
};

}  // namespace vela::scan
