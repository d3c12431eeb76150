#include "bindings/tavix35/Tavix35Device.h"

#include <stdexcept>

#include "bindings/CaptureTarget.h"
#include "bindings/Probe.h"
#include "device/DeviceType.h"
#include "device/StandardDeviceInfo.h"

namespace vela::scan {

using namespace tavix35;

namespace {

constexpr const char* openFailure = "Failed to create Tavix3.5 interface";
constexpr const char* sizeFailure = "Failed to call ftrScanGetImageSize";

uint16_t Word(const std::array<uint8_t, 7>& bytes, size_t at) { return uint16_t(bytes[at] | bytes[at + 1] << 8); }
uint16_t Swap(uint16_t word) { return uint16_t(word << 8 | word >> 8); }

}  // namespace

Tavix35Device::Tavix35Device(uint16_t deviceIndex) : library(VendorLibraryFile(libraryName)) {
  try {
    openDevice = library.GetProc<OpenDeviceOnInterface_t>("ftrScanOpenDeviceOnInterface");
    closeDevice = library.GetProc<CloseDevice_t>("ftrScanCloseDevice");
    getImageSize = library.GetProc<GetImageSize_t>("ftrScanGetImageSize");
    getImage = library.GetProc<GetImage_t>("ftrScanGetImage");
    restore7Bytes = library.GetProc<Restore7Bytes_t>("ftrScanRestore7Bytes");
  } catch (const std::runtime_error&) {
    throw std::runtime_error(openFailure);
  }
  try {
    getDeviceInfo = library.GetProc<GetDeviceInfo_t>("ftrScanGetDeviceInfo");
  } catch (const std::runtime_error&) {
    getDeviceInfo = nullptr;  // older libraries have none: first resolution
  }
  handle = openDevice(deviceIndex);
  if (!handle) throw std::runtime_error(openFailure);
  if (getDeviceInfo) {
    DeviceInformation information{sizeof(DeviceInformation), 0, {}};
    getDeviceInfo(handle, &information);
    resolutionMode = (information.flags & secondResolutionFlag) ? 2 : 1;
  }
}

Tavix35Device::~Tavix35Device() { closeDevice(handle); }

ImageSize Tavix35Device::Size() const {
  ImageSize size{};
  if (!getImageSize(handle, &size)) throw std::runtime_error(sizeFailure);
  return size;
}

vela::base::smart_ptr<CaptureImage> Tavix35Device::NewImage() {
  const bool second = resolutionMode == 2;
  const ImageSize size = Size();
  RequireReportedSize(size.width, size.height, sizeFailure);
  target = vela::base::smart_ptr<CaptureImage>(
      new CaptureImage(size.width, size.height, 8, second ? 529 : 533, second ? 538 : 587, size.width));
  return target;
}

void Tavix35Device::Capture() {
  const ImageSize size = Size();
  RequireTargetSize(*target, size.width, size.height, size.byteCount, sizeFailure);
  std::vector<uint8_t> buffer(size_t(size.width) * size_t(size.height));
  if (!getImage(handle, imageDose, buffer.data())) throw std::runtime_error("Failed to call ftrScanGetImage");
  for (uint8_t& byte : buffer) byte = uint8_t(255 - byte);
  CopyRows(*target, buffer.data(), size_t(size.width), RowOrder::TopDown);
}

vela::base::smart_ptr<DeviceInfo> Tavix35Device::GetDeviceInfo() {
  std::array<uint8_t, 7> bytes{};
  restore7Bytes(handle, bytes.data());
  return CreateDeviceInfo(Tavix35Type, Tavix35SerialNumber(bytes), Word(bytes, 1), 0);
}

int32_t Tavix35SerialNumber(const std::array<uint8_t, 7>& bytes) {
  const uint16_t a = Word(bytes, 1), b = Word(bytes, 3);
  if (a == 601) return 6010000 + b;
  return int32_t(Swap(a)) * 10000 + Swap(b);
}

std::vector<uint16_t> EnumerateTavix35() {
  return ProbeLibrary(libraryName, [](const DynamicLibrary& library) -> DeviceIndices {
    std::array<uint8_t, interfaceCount> statuses;
    statuses.fill(0xFF);
    if (!library.GetProc<GetInterfaces_t>("ftrScanGetInterfaces")(statuses.data())) return {};
    DeviceIndices indices;
    for (int32_t i = 0; i < interfaceCount; ++i)
      if (statuses[size_t(i)] == 0) indices.push_back(uint16_t(i));
    return indices;
  });
}

}  // namespace vela::scan
