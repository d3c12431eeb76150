#pragma once
// The Nitgen library's entry points; shared by the binding and the tests'
// stand-in library. The library hands a captured image to a callback, which
// it may call on a thread of its own.

#include <cstdint>

namespace vela::scan::nitgen {

inline constexpr const char* libraryName = "SECUBSP.dll";

using ApiHandle = intptr_t;

// [0] not used, [1] width, [2] height, [3] brightness, [4] contrast, [5] gain.
struct DeviceInformation {
  int32_t values[6];
};
enum DeviceValue { Width = 1, Height = 2, Brightness = 3, Contrast = 4, Gain = 5 };

// What the callback receives: the image's byte count and its pixels, rows
// top-down; valid during the call only.
struct CaptureData {
  int32_t byteCount;
  const uint8_t* pixels;
};
using CaptureCallback = void (*)(const CaptureData* data, void* context);

struct CaptureParameters {
  int32_t reserved0;
  int32_t mode;  // 1
  int32_t reserved8;
  int32_t reserved12;
  int32_t reserved16;  // 0
  CaptureCallback callback;
  void* context;
  int32_t reserved[6];
};

// Every call answers 0 on success.
using Init_t = int32_t (*)(ApiHandle* api);
using EnumerateDevice_t = int32_t (*)(ApiHandle api, int32_t* count, const uint16_t** ids);
using OpenDevice_t = int32_t (*)(ApiHandle api, uint16_t id);
using GetDeviceInfo_t = int32_t (*)(ApiHandle api, uint16_t id, int32_t, DeviceInformation* information);
using SetDeviceInfo_t = int32_t (*)(ApiHandle api, uint16_t id, int32_t, const DeviceInformation* information);
using GetVersion_t = int32_t (*)(ApiHandle api, int32_t* version);
using Capture_t = int32_t (*)(ApiHandle api, int32_t, void** result, int32_t timeout, int32_t,
                              const CaptureParameters* parameters);
using CloseDevice_t = int32_t (*)(ApiHandle api, uint16_t id);
using Terminate_t = int32_t (*)(ApiHandle api);

}  // namespace vela::scan::nitgen
