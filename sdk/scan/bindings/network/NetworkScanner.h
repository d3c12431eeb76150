#pragma once
// The network scanner: no worker thread; the library is called on the
// caller's thread and an acquisition returns with the complete image.

#include <cstdint>
#include <vector>

#include "bindings/network/CorvidLibrary.h"
#include "device/CaptureImage.h"
#include "vela/scan.h"

namespace vela::scan {

class NetworkScanner final : public Scanner {
 public:
  // Opens the device of that index in the latest enumeration; throws
  // std::runtime_error with the library's failure texts.
  explicit NetworkScanner(uint16_t deviceIndex);

  vela::base::smart_ptr<DeviceInfo> GetDeviceInfo() override;
  // scan_timeout_exception "GetImage timed out", scan_exception "GetImage
  // failed" (also for a reply that is not the announced image); the device
  // stays usable.
  vela::base::smart_ptr<vela::base::Image> AcquireImage() override;
  // The network scanner has no settings: not_implemented.
  int32_t GetBrightness() override;
  void SetBrightness(int32_t value) override;
  int32_t GetContrast() override;
  void SetContrast(int32_t value) override;
  int32_t GetGain() override;
  void SetGain(int32_t value) override;

 protected:
  ~NetworkScanner() override;

 private:
  NetworkScannerManager manager;
  int32_t width = 0;
  int32_t height = 0;
  vela::base::smart_ptr<CaptureImage> image;
  corvid::CorvidDevice* device = nullptr;
  uint32_t deviceKey = 0;
};

// The factory the collection calls for type 8.
vela::base::smart_ptr<Scanner> CreateNetworkScanner(int32_t deviceId);

// The device keys an enumeration reported: its count held to 0..maxEntries.
std::vector<uint32_t> DeviceKeysOf(const corvid::EnumerationRecord& record);

// 0 to (number of devices - 1); the keys become the process's device keys.
std::vector<uint16_t> EnumerateNetwork();

}  // namespace vela::scan
