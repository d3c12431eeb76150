#pragma once
// The Tavix Mouse binding: the library's size at 508 dpi, rows delivered
// bottom-up.

#include <cstdint>
#include <vector>

#include "bindings/DynamicLibrary.h"
#include "bindings/tavixmouse/TavixMouseAbi.h"
#include "device/DeviceBinding.h"

namespace vela::scan {

class TavixMouseDevice : public WithoutSettings {
 public:
  // Throws "Failed to create Tavix Mouse 4.0 interface", also for an image side past 4096
  // (or below 1).
  explicit TavixMouseDevice(uint16_t deviceIndex);
  ~TavixMouseDevice();
  TavixMouseDevice(const TavixMouseDevice&) = delete;
  TavixMouseDevice& operator=(const TavixMouseDevice&) = delete;

  vela::base::smart_ptr<CaptureImage> NewImage();
  // Throws "GetImage failed".
  void Capture();
  vela::base::smart_ptr<DeviceInfo> GetDeviceInfo();

 private:
  DynamicLibrary library;
  tavixmouse::TerminateDriver_t terminateDriver = nullptr;
  tavixmouse::Capture_t capture = nullptr;
  tavixmouse::InitCapture_t initCapture = nullptr;
  tavixmouse::EndCapture_t endCapture = nullptr;
  tavixmouse::GetImage_t getImage = nullptr;
  tavixmouse::Driver driver = 0;
  int32_t width = 0;
  int32_t height = 0;
  vela::base::smart_ptr<CaptureImage> target;
};

std::vector<uint16_t> EnumerateTavixMouse();

}  // namespace vela::scan
