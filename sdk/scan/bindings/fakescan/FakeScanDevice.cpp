#include "bindings/fakescan/FakeScanDevice.h"

#include <cstdio>
#include <cstring>
#include <stdexcept>

#include "bindings/fakescan/ReplayCursor.h"
#include "device/DeviceType.h"
#include "device/StandardDeviceInfo.h"

namespace vela::scan {

FakeScanDevice::FakeScanDevice(uint16_t) : fileNames(ListBmpFiles(fakeScanFolder)) {
  if (fileNames.empty()) std::fputs("No *.bmp files in current directory!\n", stdout);
}

vela::base::smart_ptr<CaptureImage> FakeScanDevice::NewImage() {
  if (fileNames.empty()) throw std::runtime_error("no files to replay");
  const std::string& name = fileNames[FakeScanReplayCursor().Next(fileNames.size())];
  loadedImage = LoadReplayImage(std::string(fakeScanFolder) + name);
  target = vela::base::smart_ptr<CaptureImage>(
      new CaptureImage(loadedImage.width, loadedImage.height, 8, loadedImage.xResolution,
                       loadedImage.yResolution, loadedImage.width));
  return target;
}

void FakeScanDevice::Capture() {
  std::memcpy(target->GetData(), loadedImage.pixels.data(), loadedImage.pixels.size());
}

vela::base::smart_ptr<DeviceInfo> FakeScanDevice::GetDeviceInfo() { return CreateDeviceInfo(FakeScanType); }

std::vector<uint16_t> EnumerateFakeScan() {
  if (ListBmpFiles(fakeScanFolder).empty()) return {};
  return {0};
}

}  // namespace vela::scan
