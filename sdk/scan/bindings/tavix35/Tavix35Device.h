#pragma once
// The Tavix3.5 binding: several devices, one per interface of the library;
// images are delivered inverted.

#include <array>
#include <cstdint>
#include <vector>

#include "bindings/DynamicLibrary.h"
#include "bindings/tavix35/Tavix35Abi.h"
#include "device/DeviceBinding.h"

namespace vela::scan {

class Tavix35Device : public WithoutSettings {
 public:
  // Throws "Failed to create Tavix3.5 interface".
  explicit Tavix35Device(uint16_t deviceIndex);
  ~Tavix35Device();
  Tavix35Device(const Tavix35Device&) = delete;
  Tavix35Device& operator=(const Tavix35Device&) = delete;

  // Throws "Failed to call ftrScanGetImageSize", also for a side past 4096 (or below 1).
  vela::base::smart_ptr<CaptureImage> NewImage();
  // Throws "Failed to call ftrScanGetImageSize" or "Failed to call ftrScanGetImage".
  void Capture();
  vela::base::smart_ptr<DeviceInfo> GetDeviceInfo();

 private:
  tavix35::ImageSize Size() const;

  DynamicLibrary library;
  tavix35::OpenDeviceOnInterface_t openDevice = nullptr;
  tavix35::CloseDevice_t closeDevice = nullptr;
  tavix35::GetImageSize_t getImageSize = nullptr;
  tavix35::GetImage_t getImage = nullptr;
  tavix35::Restore7Bytes_t restore7Bytes = nullptr;
  tavix35::GetDeviceInfo_t getDeviceInfo = nullptr;
  tavix35::Handle handle = nullptr;
  int resolutionMode = 1;
  vela::base::smart_ptr<CaptureImage> target;
};

// The indices of the interfaces whose status is 0, ascending.
std::vector<uint16_t> EnumerateTavix35();

// The serial number the device's seven bytes stand for.
int32_t Tavix35SerialNumber(const std::array<uint8_t, 7>& bytes);

}  // namespace vela::scan
