#pragma once
// The Tavix3.5 scanner library's entry points; shared by the binding and the
// tests' stand-in library. Device handles are pointer-sized.

#include <cstdint>

namespace vela::scan::tavix35 {

inline constexpr const char* libraryName = "ftrScanAPI.dll";
inline constexpr int32_t interfaceCount = 128;
inline constexpr int32_t imageDose = 3;
// Bit 0 of the device information's flags: the device scans at the second
// resolution.
inline constexpr uint8_t secondResolutionFlag = 0x01;

using Handle = void*;

struct ImageSize {
  int32_t width;
  int32_t height;
  int32_t byteCount;
};

struct DeviceInformation {
  uint32_t structSize;
  uint8_t flags;  // offset 4
  uint8_t reserved[11];
};

// Status 0 for every interface that has a device; non-zero on success.
using GetInterfaces_t = int32_t (*)(uint8_t* statuses);
using OpenDeviceOnInterface_t = Handle (*)(int32_t index);  // nullptr on failure
using CloseDevice_t = void (*)(Handle device);
using GetImageSize_t = int32_t (*)(Handle device, ImageSize* size);  // non-zero on success
using GetImage_t = int32_t (*)(Handle device, int32_t dose, uint8_t* buffer);  // non-zero on success
using Restore7Bytes_t = int32_t (*)(Handle device, uint8_t* bytes);
using GetDeviceInfo_t = int32_t (*)(Handle device, DeviceInformation* information);

}  // namespace vela::scan::tavix35
