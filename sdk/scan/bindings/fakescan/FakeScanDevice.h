#pragma once
// The test scanner: no hardware, it replays the BMP files of its folder, one
// file per acquisition, round robin across all its devices in the process.

#include <cstdint>
#include <string>
#include <vector>

#include "bindings/fakescan/FakeScanFolder.h"
#include "device/DeviceBinding.h"

namespace vela::scan {

class FakeScanDevice : public WithoutSettings {
 public:
  // Takes the folder's file list as it is now; an empty folder still opens
  // (every acquisition then fails).
  explicit FakeScanDevice(uint16_t deviceIndex);

  vela::base::smart_ptr<CaptureImage> NewImage();
  void Capture();
  vela::base::smart_ptr<DeviceInfo> GetDeviceInfo();

 private:
  std::vector<std::string> fileNames;
  ReplayImage loadedImage;
  vela::base::smart_ptr<CaptureImage> target;
};

// [0] when the folder holds a BMP file, else nothing.
std::vector<uint16_t> EnumerateFakeScan();

}  // namespace vela::scan
