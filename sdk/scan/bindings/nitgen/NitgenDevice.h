#pragma once
// The Nitgen binding: several devices by their ids; brightness, contrast and
// gain are sent to the device.

#include <cstdint>
#include <mutex>
#include <vector>

#include "bindings/DynamicLibrary.h"
#include "bindings/nitgen/NitgenAbi.h"
#include "device/DeviceBinding.h"

namespace vela::scan {

class NitgenDevice {
 public:
  // Throws "Failed to create Nitgen interface", "Nitgen:: Failed to OpenDevice" and the like;
  // "Nitgen:: Failed to GetDeviceInfo" also for an image side past 4096 (or below 1).
  explicit NitgenDevice(uint16_t deviceIndex);
  ~NitgenDevice();
  NitgenDevice(const NitgenDevice&) = delete;
  NitgenDevice& operator=(const NitgenDevice&) = delete;

  vela::base::smart_ptr<CaptureImage> NewImage();
  // A capture that delivers no image leaves the target blank; one whose
  // image is shorter than the target throws "Nitgen:: Failed to Capture".
  void Capture();
  vela::base::smart_ptr<DeviceInfo> GetDeviceInfo();

  int32_t GetBrightness() { return deviceInfo.values[nitgen::Brightness]; }
  void SetBrightness(int32_t value) { Send(nitgen::Brightness, value); }
  int32_t GetContrast() { return deviceInfo.values[nitgen::Contrast]; }
  void SetContrast(int32_t value) { Send(nitgen::Contrast, value); }
  int32_t GetGain() { return deviceInfo.values[nitgen::Gain]; }
  void SetGain(int32_t value) { Send(nitgen::Gain, value); }

 private:
  static void OnCapture(const nitgen::CaptureData* data, void* context);
  void Send(nitgen::DeviceValue which, int32_t value);
  void Close();

  DynamicLibrary library;
  nitgen::CloseDevice_t closeDevice;
  nitgen::Terminate_t terminate;
  nitgen::SetDeviceInfo_t setDeviceInfo;
  nitgen::Capture_t capture;
  nitgen::ApiHandle apiHandle = 0;
  uint16_t deviceId;
  bool deviceOpen = false;
  nitgen::DeviceInformation deviceInfo{};
  int32_t version = 0;
  nitgen::CaptureParameters captureParameters{};
  vela::base::smart_ptr<CaptureImage> target;
  // The callback may come on the library's own thread: it only copies into
  // this buffer, and never waits for the image's lock, which the worker
  // holds for the whole capture.
  std::mutex frameMutex;
  std::vector<uint8_t> frame;
  bool frameDelivered = false;
  bool frameShort = false;
};

// The ids of the devices the library lists, in its order.
std::vector<uint16_t> EnumerateNitgen();

}  // namespace vela::scan
