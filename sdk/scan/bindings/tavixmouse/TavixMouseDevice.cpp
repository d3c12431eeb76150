#include "bindings/tavixmouse/TavixMouseDevice.h"

#include <stdexcept>

#include "bindings/CaptureTarget.h"
#include "bindings/Probe.h"
#include "device/DeviceType.h"
#include "device/StandardDeviceInfo.h"

namespace vela::scan {

using namespace tavixmouse;

namespace {
constexpr const char* openFailure = "Failed to create Tavix Mouse 4.0 interface";
constexpr const char* captureFailure = "GetImage failed";
}  // namespace

TavixMouseDevice::TavixMouseDevice(uint16_t) : library(VendorLibraryFile(libraryName)) {
  InitDriver_t initDriver;
  GetImageSize_t getImageSize;
  try {
    initDriver = library.GetProc<InitDriver_t>("SMZ_InitDriver");
    terminateDriver = library.GetProc<TerminateDriver_t>("SMZ_TerminateDriver");
    library.GetProc("SMZ_Snap");
    capture = library.GetProc<Capture_t>("SMZ_Capture");
    initCapture = library.GetProc<InitCapture_t>("SMZ_InitCapture");
    endCapture = library.GetProc<EndCapture_t>("SMZ_EndCapture");
    getImageSize = library.GetProc<GetImageSize_t>("SMZ_GetImageSize");
    getImage = library.GetProc<GetImage_t>("SMZ_GetImage");
  } catch (const std::runtime_error&) {
    throw std::runtime_error(openFailure);
  }
  driver = initDriver(1);
  if (!driver) throw std::runtime_error(openFailure);
  int32_t third = 0;
  if (getImageSize(driver, 0, &width, &height, &third) != 0 || !WithinLargestSide(width, height)) {
    terminateDriver(driver);
    throw std::runtime_error(openFailure);
  }
}

TavixMouseDevice::~TavixMouseDevice() { terminateDriver(driver); }

vela::base::smart_ptr<CaptureImage> TavixMouseDevice::NewImage() {
  target = vela::base::smart_ptr<CaptureImage>(new CaptureImage(width, height, 8, 508, 508, width));
  return target;
}

void TavixMouseDevice::Capture() {
  if (initCapture(driver) != 0) throw std::runtime_error(captureFailure);
  int32_t state = 0;
  capture(driver, &state);
  if (endCapture(driver) != 0) throw std::runtime_error(captureFailure);
  std::vector<uint8_t> buffer(size_t(width) * size_t(height));
  if (getImage(driver, imageMode, 0, buffer.data()) != 0) throw std::runtime_error(captureFailure);
  CopyRows(*target, buffer.data(), size_t(width), RowOrder::BottomUp);
}

vela::base::smart_ptr<DeviceInfo> TavixMouseDevice::GetDeviceInfo() { return CreateDeviceInfo(TavixMouseType); }

std::vector<uint16_t> EnumerateTavixMouse() {
  return ProbeByOpening<InitDriver_t, TerminateDriver_t>(libraryName, "SMZ_InitDriver", "SMZ_TerminateDriver", 1, 0);
}

}  // namespace vela::scan
