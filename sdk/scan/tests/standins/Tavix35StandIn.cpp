// Stand-in for the Tavix3.5 library. Script: "statuses" (bytes of the 128
// interface statuses; by default only interface 0 has a device),
// "ftrScanGetInterfaces", "ftrScanGetImageSize", "ftrScanGetImage"
// (non-zero = success), "openFails", "width", "height", "byteCount",
// "flags" (of the device information), "serial" (the seven bytes).
#include <cstring>
#include <string>
#include <type_traits>

#include "StandIn.h"
#include "bindings/tavix35/Tavix35Abi.h"

using namespace vela::scan::tavix35;
using standin::Log;
using standin::Value;

namespace {
struct Device {
  int32_t index;
};
}  // namespace

STANDIN_EXPORT int32_t ftrScanGetInterfaces(uint8_t* statuses) {
  Log("ftrScanGetInterfaces");
  const std::vector<uint8_t> scripted = standin::Bytes("statuses");
  for (int32_t i = 0; i < interfaceCount; ++i)
    statuses[i] = size_t(i) < scripted.size() ? scripted[size_t(i)] : (scripted.empty() && i == 0 ? 0 : 1);
  return int32_t(Value("ftrScanGetInterfaces", 1));
}

STANDIN_EXPORT Handle ftrScanOpenDeviceOnInterface(int32_t index) {
  Log("ftrScanOpenDeviceOnInterface(" + std::to_string(index) + ")");
  if (Value("openFails", 0)) return nullptr;
  standin::Opened();
  return new Device{index};
}

STANDIN_EXPORT void ftrScanCloseDevice(Handle device) {
  Log("ftrScanCloseDevice(" + std::to_string(static_cast<Device*>(device)->index) + ")");
  delete static_cast<Device*>(device);
  standin::Closed();
}

STANDIN_EXPORT int32_t ftrScanGetImageSize(Handle, ImageSize* size) {
  Log("ftrScanGetImageSize");
  const int32_t width = int32_t(Value("width", 4)), height = int32_t(Value("height", 2));
  *size = {width, height, int32_t(Value("byteCount", int64_t{width} * height))};
  return int32_t(Value("ftrScanGetImageSize", 1));
}

STANDIN_EXPORT int32_t ftrScanGetImage(Handle, int32_t dose, uint8_t* buffer) {
  Log("ftrScanGetImage(" + std::to_string(dose) + ")");
  const int64_t count = Value("width", 4) * Value("height", 2);
  const standin::Pixels pixels;
  for (int64_t i = 0; i < count; ++i) buffer[i] = pixels.At(size_t(i), uint8_t(i));
  return int32_t(Value("ftrScanGetImage", 1));
}

STANDIN_EXPORT int32_t ftrScanRestore7Bytes(Handle, uint8_t* bytes) {
  Log("ftrScanRestore7Bytes");
  const std::vector<uint8_t> serial = standin::Bytes("serial");
  if (!serial.empty()) std::memcpy(bytes, serial.data(), std::min<size_t>(serial.size(), 7));
  return 1;
}

STANDIN_EXPORT int32_t ftrScanGetDeviceInfo(Handle, DeviceInformation* information) {
  Log("ftrScanGetDeviceInfo");
  information->flags = uint8_t(Value("flags", 0));
  return 1;
}

STANDIN_MATCHES(ftrScanGetInterfaces, GetInterfaces_t);
STANDIN_MATCHES(ftrScanOpenDeviceOnInterface, OpenDeviceOnInterface_t);
STANDIN_MATCHES(ftrScanCloseDevice, CloseDevice_t);
STANDIN_MATCHES(ftrScanGetImageSize, GetImageSize_t);
STANDIN_MATCHES(ftrScanGetImage, GetImage_t);
STANDIN_MATCHES(ftrScanRestore7Bytes, Restore7Bytes_t);
STANDIN_MATCHES(ftrScanGetDeviceInfo, GetDeviceInfo_t);
