#include "bindings/izzix/IzzixDevice.h"

#include <stdexcept>

#include "bindings/CaptureTarget.h"
#include "bindings/Probe.h"
#include "device/DeviceType.h"
#include "device/StandardDeviceInfo.h"

namespace vela::scan {

using namespace izzix;

IzzixDevice::IzzixDevice(uint16_t)
    : library(VendorLibraryFile(libraryName)),
      dfpOpen(library.GetProc<DFP_Open_t>("DFP_Open")),
      dfpClose(library.GetProc<DFP_Close_t>("DFP_Close")),
      dfpCapture(library.GetProc<DFP_Capture_t>("DFP_Capture")),
      dfpCorrectImage(library.GetProc<DFP_CorrectImage_t>("DFP_CorrectImage")),
      handle(dfpOpen(0)) {
  // 0 is a handle like any other: only -1 says that nothing was opened.
  if (handle == failedHandle) throw std::runtime_error("Failed to create IZZIX interface");
}

IzzixDevice::~IzzixDevice() { dfpClose(handle); }

vela::base::smart_ptr<CaptureImage> IzzixDevice::NewImage() {
  target = vela::base::smart_ptr<CaptureImage>(new CaptureImage(width, height, 8, 500, 500, width));
  return target;
}

void IzzixDevice::Capture() {
  std::vector<uint8_t> raw(rawBytes);
  if (dfpCapture(handle, captureTimeout, raw.data()) != captureSucceeded) throw std::runtime_error("DFP_Capture");
  std::vector<uint8_t> image(imageBytes, 0);
  dfpCorrectImage(raw.data(), image.data());
  CopyRows(*target, image.data(), width, RowOrder::TopDown);
}

vela::base::smart_ptr<DeviceInfo> IzzixDevice::GetDeviceInfo() { return CreateDeviceInfo(IzzixType); }

std::vector<uint16_t> EnumerateIzzix() {
  return ProbeByOpening<DFP_Open_t, DFP_Close_t>(libraryName, "DFP_Open", "DFP_Close", 0, failedHandle);
}

}  // namespace vela::scan
