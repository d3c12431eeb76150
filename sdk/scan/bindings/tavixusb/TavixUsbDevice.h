#pragma once
// The Tavix USB binding: the raw image is turned a quarter turn and inverted.

#include <cstdint>
#include <vector>

#include "bindings/DynamicLibrary.h"
#include "bindings/tavixusb/TavixUsbAbi.h"
#include "device/DeviceBinding.h"

namespace vela::scan {

class TavixUsbDevice : public WithoutSettings {
 public:
  // Throws "Failed to create Tavix interface".
  explicit TavixUsbDevice(uint16_t deviceIndex);
  ~TavixUsbDevice();
  TavixUsbDevice(const TavixUsbDevice&) = delete;
  TavixUsbDevice& operator=(const TavixUsbDevice&) = delete;

  // Throws "_pIQnusb->GetImage" for a side past 4096 (or below 1).
  vela::base::smart_ptr<CaptureImage> NewImage();
  // Throws "_pIQnusb->GetImage".
  void Capture();
  vela::base::smart_ptr<DeviceInfo> GetDeviceInfo();

 private:
  tavixusb::ImageFormat Format() const;

  DynamicLibrary library;
  tavixusb::Interface* usbInterface = nullptr;
  vela::base::smart_ptr<CaptureImage> target;
};

std::vector<uint16_t> EnumerateTavixUsb();

}  // namespace vela::scan
