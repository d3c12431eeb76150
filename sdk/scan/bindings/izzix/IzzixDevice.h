#pragma once
// The IZZIX binding: 280 x 320 pixels at 500 dpi, no settings.

#include <cstdint>
#include <vector>

#include "bindings/DynamicLibrary.h"
#include "bindings/izzix/IzzixAbi.h"
#include "device/DeviceBinding.h"

namespace vela::scan {

class IzzixDevice : public WithoutSettings {
 public:
  // Throws "Failed to create IZZIX interface" when the library opens no device.
  explicit IzzixDevice(uint16_t deviceIndex);
  ~IzzixDevice();
  IzzixDevice(const IzzixDevice&) = delete;
  IzzixDevice& operator=(const IzzixDevice&) = delete;

  vela::base::smart_ptr<CaptureImage> NewImage();
  // Throws "DFP_Capture" when the library reports no image.
  void Capture();
  vela::base::smart_ptr<DeviceInfo> GetDeviceInfo();

 private:
  // Each device object keeps its own entry points: another open (or an
  // enumeration) never rewrites them under a running device.
  DynamicLibrary library;
  izzix::DFP_Open_t dfpOpen;
  izzix::DFP_Close_t dfpClose;
  izzix::DFP_Capture_t dfpCapture;
  izzix::DFP_CorrectImage_t dfpCorrectImage;
  izzix::Handle handle;
  vela::base::smart_ptr<CaptureImage> target;
};

// [0] when the library opens a device, else nothing.
std::vector<uint16_t> EnumerateIzzix();

}  // namespace vela::scan
