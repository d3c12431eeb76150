#include "bindings/nitgen/NitgenDevice.h"

#include <cstring>
#include <stdexcept>

#include "bindings/CaptureTarget.h"
#include "bindings/Probe.h"
#include "device/DeviceType.h"
#include "device/StandardDeviceInfo.h"

namespace vela::scan {

using namespace nitgen;

namespace {
constexpr const char* createFailure = "Failed to create Nitgen interface";
}

NitgenDevice::NitgenDevice(uint16_t deviceIndex)
    : library(VendorLibraryFile(libraryName)),
      closeDevice(library.GetProc<CloseDevice_t>("SecuAPI_CloseDevice")),
      terminate(library.GetProc<Terminate_t>("SecuAPI_Terminate")),
      setDeviceInfo(library.GetProc<SetDeviceInfo_t>("SecuAPI_SetDeviceInfo")),
      capture(library.GetProc<Capture_t>("SecuAPI_Capture")),
      deviceId(deviceIndex) {
  auto init = library.GetProc<Init_t>("SecuAPI_Init");
  auto openDevice = library.GetProc<OpenDevice_t>("SecuAPI_OpenDevice");
  auto getDeviceInfo = library.GetProc<GetDeviceInfo_t>("SecuAPI_GetDeviceInfo");
  auto getVersion = library.GetProc<GetVersion_t>("SecuAPI_GetVersion");
  if (init(&apiHandle) != 0) {
    apiHandle = 0;
    throw std::runtime_error(createFailure);
  }
  const char* failure = nullptr;
  if (openDevice(apiHandle, deviceId) != 0) failure = "Nitgen:: Failed to OpenDevice";
  deviceOpen = !failure;
  // The information's size is the image's: a side past the largest is no information to go by.
  if (!failure && (getDeviceInfo(apiHandle, deviceId, 0, &deviceInfo) != 0 ||
                   !WithinLargestSide(deviceInfo.values[Width], deviceInfo.values[Height])))
    failure = "Nitgen:: Failed to GetDeviceInfo";
  if (!failure && getVersion(apiHandle, &version) != 0) failure = "Nitgen:: Failed to GetVersion";
  if (failure) {
    Close();
    throw std::runtime_error(failure);
  }
  captureParameters.mode = 1;
  captureParameters.reserved16 = 0;
  captureParameters.callback = OnCapture;
  captureParameters.context = this;
}

NitgenDevice::~NitgenDevice() { Close(); }

void NitgenDevice::Close() {
  if (!apiHandle) return;
  if (deviceOpen) closeDevice(apiHandle, deviceId);
  deviceOpen = false;
  deviceId = 0;
  terminate(apiHandle);
  apiHandle = 0;
}

vela::base::smart_ptr<CaptureImage> NitgenDevice::NewImage() {
  const int32_t width = deviceInfo.values[Width], height = deviceInfo.values[Height];
  target = vela::base::smart_ptr<CaptureImage>(new CaptureImage(width, height, 8, 500, 500, width));
  return target;
}

void NitgenDevice::OnCapture(const CaptureData* data, void* context) {
  auto* device = static_cast<NitgenDevice*>(context);
  std::lock_guard lock(device->frameMutex);
  const size_t needed = device->frame.size();
  device->frameDelivered = true;
  device->frameShort = !data || !data->pixels || data->byteCount < 0 || size_t(data->byteCount) < needed;
  if (!device->frameShort) std::memcpy(device->frame.data(), data->pixels, needed);
}

void NitgenDevice::Capture() {
  {
    std::lock_guard lock(frameMutex);
    frame.assign(size_t(target->GetWidth()) * size_t(target->GetHeight()), 0);
    frameDelivered = frameShort = false;
  }
  void* result = nullptr;
  capture(apiHandle, 1, &result, -1, 0, &captureParameters);
  std::lock_guard lock(frameMutex);
  if (!frameDelivered) return;  // nothing came: the image stays blank
  if (frameShort) throw std::runtime_error("Nitgen:: Failed to Capture");
  CopyRows(*target, frame.data(), size_t(target->GetWidth()), RowOrder::TopDown);
}

void NitgenDevice::Send(DeviceValue which, int32_t value) {
  deviceInfo.values[which] = value;
  setDeviceInfo(apiHandle, deviceId, 0, &deviceInfo);
}

vela::base::smart_ptr<DeviceInfo> NitgenDevice::GetDeviceInfo() { return CreateDeviceInfo(NitgenType, deviceId); }

std::vector<uint16_t> EnumerateNitgen() {
  return ProbeLibrary(libraryName, [](const DynamicLibrary& library) -> DeviceIndices {
    auto init = library.GetProc<Init_t>("SecuAPI_Init");
    auto enumerate = library.GetProc<EnumerateDevice_t>("SecuAPI_EnumerateDevice");
    auto terminate = library.GetProc<Terminate_t>("SecuAPI_Terminate");
    ApiHandle api = 0;
    if (init(&api) != 0) return {};
    int32_t count = 0;
    const uint16_t* ids = nullptr;
    DeviceIndices indices;
    if (enumerate(api, &count, &ids) == 0 && ids)
      for (int32_t i = 0; i < count; ++i) indices.push_back(ids[i]);
    terminate(api);
    return indices;
  });
}

}  // namespace vela::scan
