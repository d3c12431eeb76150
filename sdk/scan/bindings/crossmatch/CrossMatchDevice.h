#pragma once
// The CrossMatch binding: 440 x 480 pixels at 500 dpi; brightness, contrast
// and gain are kept here and sent to the device with each capture.

#include <cstdint>
#include <string>
#include <vector>

#include "bindings/DynamicLibrary.h"
#include "bindings/crossmatch/CrossMatchAbi.h"
#include "device/DeviceBinding.h"

namespace vela::scan {

class CrossMatchDevice {
 public:
  // Throws "Failed to create Ferrule interface".
  explicit CrossMatchDevice(uint16_t deviceIndex);
  ~CrossMatchDevice();
  CrossMatchDevice(const CrossMatchDevice&) = delete;
  CrossMatchDevice& operator=(const CrossMatchDevice&) = delete;

  vela::base::smart_ptr<CaptureImage> NewImage();
  // Throws "Error: USB_GetStillImage".
  void Capture();
  vela::base::smart_ptr<DeviceInfo> GetDeviceInfo();

  // Settings keep their low byte.
  int32_t GetBrightness() { return brightness; }
  void SetBrightness(int32_t value) { brightness = uint8_t(value); }
  int32_t GetContrast() { return contrast; }
  void SetContrast(int32_t value) { contrast = uint8_t(value); }
  int32_t GetGain() { return gain; }
  void SetGain(int32_t value) { gain = uint8_t(value); }

  const std::string& SerialNumberText() const { return serialNumberText; }
  int32_t ProductCode() const { return productCode; }

 private:
  struct Entries;
  static Entries LookUp(const DynamicLibrary& library);
  static vela::base::smart_ptr<CaptureImage> BlankImage();

  vela::base::smart_ptr<CaptureImage> target;
  uint8_t brightness = 0;
  uint8_t contrast = 0;
  uint8_t gain = 0;
  DynamicLibrary library;
  crossmatch::Uninitialize_t uninitialize;
  crossmatch::SetByte_t setBrightness, setContrast, setGain;
  crossmatch::SetFlag_t setLiveMode;
  crossmatch::GetCroppedStillImage_t getCroppedStillImage;
  int32_t productCode = 0;
  std::string serialNumberText;
};

std::vector<uint16_t> EnumerateCrossMatch();

}  // namespace vela::scan
