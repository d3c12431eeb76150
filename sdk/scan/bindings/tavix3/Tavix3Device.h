#pragma once
// The Tavix3 binding: 256 x 256 pixels at 508 dpi, painted by the library
// into a bottom-up bitmap and turned upright.

#include <cstdint>
#include <vector>

#include "bindings/DynamicLibrary.h"
#include "bindings/tavix3/Tavix3Abi.h"
#include "device/DeviceBinding.h"

namespace vela::scan {

class Tavix3Device : public WithoutSettings {
 public:
  // Throws "Failed Tavix3::FP_ConnectCaptureDriver" and the like.
  explicit Tavix3Device(uint16_t deviceIndex);
  ~Tavix3Device();
  Tavix3Device(const Tavix3Device&) = delete;
  Tavix3Device& operator=(const Tavix3Device&) = delete;

  vela::base::smart_ptr<CaptureImage> NewImage();
  void Capture();
  vela::base::smart_ptr<DeviceInfo> GetDeviceInfo();

 private:
  // Gives back what the open got so far; a failed open ends here too.
  void Close();

  DynamicLibrary library;
  tavix3::ConnectCaptureDriver_t connectCaptureDriver;
  tavix3::DisconnectCaptureDriver_t disconnectCaptureDriver;
  tavix3::Snap_t snap;
  tavix3::CreateImageHandle_t createImageHandle;
  tavix3::DestroyImageHandle_t destroyImageHandle;
  tavix3::CreateCaptureHandle_t createCaptureHandle;
  tavix3::DestroyCaptureHandle_t destroyCaptureHandle;
  tavix3::GetImage_t getImage;
  tavix3::DisplayImage_t displayImage;
  tavix3::Connection connection = 0;
  tavix3::ObjectHandle captureHandle = 0;
  tavix3::ObjectHandle imageHandle = 0;
  std::vector<uint8_t> bitmap;
  vela::base::smart_ptr<CaptureImage> target;
};

std::vector<uint16_t> EnumerateTavix3();

}  // namespace vela::scan
