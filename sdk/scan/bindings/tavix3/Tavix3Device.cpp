#include "bindings/tavix3/Tavix3Device.h"

#include <stdexcept>

#include "bindings/CaptureTarget.h"
#include "bindings/Probe.h"
#include "device/DeviceType.h"
#include "device/StandardDeviceInfo.h"

namespace vela::scan {

using namespace tavix3;

Tavix3Device::Tavix3Device(uint16_t)
    : library(VendorLibraryFile(libraryName)),
      connectCaptureDriver(library.GetProc<ConnectCaptureDriver_t>("FP_ConnectCaptureDriver")),
      disconnectCaptureDriver(library.GetProc<DisconnectCaptureDriver_t>("FP_DisconnectCaptureDriver")),
      snap(library.GetProc<Snap_t>("FP_Snap")),
      createImageHandle(library.GetProc<CreateImageHandle_t>("FP_CreateImageHandle")),
      destroyImageHandle(library.GetProc<DestroyImageHandle_t>("FP_DestroyImageHandle")),
      createCaptureHandle(library.GetProc<CreateCaptureHandle_t>("FP_CreateCaptureHandle")),
      destroyCaptureHandle(library.GetProc<DestroyCaptureHandle_t>("FP_DestroyCaptureHandle")),
      getImage(library.GetProc<GetImage_t>("FP_GetImage")),
      displayImage(library.GetProc<DisplayImage_t>("FP_DisplayImage")) {
  // A library without it is not one this binding knows, though capturing
  // goes through FP_Snap.
  library.GetProc("FP_Capture");
  const char* failure = nullptr;
  connection = connectCaptureDriver(0);
  if (!connection) failure = "Failed Tavix3::FP_ConnectCaptureDriver";
  if (!failure && !(captureHandle = createCaptureHandle(connection)))
    failure = "Failed Tavix3::FP_CreateCaptureHandle";
  if (!failure && !(imageHandle = createImageHandle(connection, 8, 10)))
    failure = "Failed Tavix3::FP_CreateImageHandle";
  if (failure) {
    Close();
    throw std::runtime_error(failure);
  }
  bitmap.assign(size_t(side) * side, 0);
}

Tavix3Device::~Tavix3Device() { Close(); }

void Tavix3Device::Close() {
  if (imageHandle) destroyImageHandle(connection, imageHandle);
  if (captureHandle) destroyCaptureHandle(connection, captureHandle);
  if (connection) disconnectCaptureDriver(connection);
  imageHandle = captureHandle = connection = 0;
}

vela::base::smart_ptr<CaptureImage> Tavix3Device::NewImage() {
  target = vela::base::smart_ptr<CaptureImage>(new CaptureImage(side, side, 8, 508, 508, side));
  return target;
}

void Tavix3Device::Capture() {
  if (snap(connection) == snapFailed) throw std::runtime_error("_fm_api.Snap(_hConnect)");
  if (getImage(connection, imageHandle) != 0) throw std::runtime_error("_fm_api.GetImage(_hConnect, _hImage)");
  Surface surface{bitmap.data(), side, side, side};
  displayImage(connection, &surface, imageHandle, 0, 0, side, side);
  CopyRows(*target, bitmap.data(), side, RowOrder::BottomUp);
}

vela::base::smart_ptr<DeviceInfo> Tavix3Device::GetDeviceInfo() { return CreateDeviceInfo(Tavix3Type); }

std::vector<uint16_t> EnumerateTavix3() {
  return ProbeByOpening<ConnectCaptureDriver_t, DisconnectCaptureDriver_t>(
      libraryName, "FP_ConnectCaptureDriver", "FP_DisconnectCaptureDriver", 0, 0);
}

}  // namespace vela::scan
