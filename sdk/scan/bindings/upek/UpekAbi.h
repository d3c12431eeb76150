#pragma once
// The UPEK library's entry points and blocks; shared by the binding and the
// tests' stand-in library. Blocks the library hands out are allocated
// through the memory functions given at initialisation and given back with
// IAFree.

#include <cstddef>
#include <cstdint>

namespace vela::scan::upek {

inline constexpr const char* libraryName = "iaapi.dll";
inline constexpr const char* bus = "usb";
inline constexpr int32_t grabPurpose = 18;
inline constexpr int32_t grabTimeout = 3000;

struct MemoryFunctions {
  void* (*allocate)(size_t byteCount);
  void (*release)(void* block);
};

// One device of the list: its name, zero-terminated, 128 bytes in.
struct DeviceEntry {
  uint8_t reserved[128];
  char name[388];
};
static_assert(sizeof(DeviceEntry) == 516);

// A 32-bit count, then count entries.
struct DeviceList {
  int32_t count;
  DeviceEntry entries[1];
};
static_assert(offsetof(DeviceList, entries) == 4);

struct Info {
  uint32_t number1;        // 0
  uint8_t reserved4[16];
  uint32_t serialNumber;   // 20
  uint8_t reserved24[12];
  uint16_t imageWidth;     // 36
  uint16_t imageHeight;    // 38
  uint8_t reserved40[24];
};
static_assert(offsetof(Info, serialNumber) == 20 && offsetof(Info, imageWidth) == 36);

// A 32-bit byte count, then rows of the image's width.
struct GrabResult {
  int32_t byteCount;
  uint8_t rows[1];
};
static_assert(offsetof(GrabResult, rows) == 4);

using Handle = intptr_t;

// The library asks the caller about the state of a grab; the answer goes to
// *response.
using StateCallback = int32_t (*)(int32_t code, uint8_t* response, void* context);

// Every call answers 0 on success or one of the library's error codes.
using Initialize_t = int32_t (*)(const MemoryFunctions* memory);
using Terminate_t = int32_t (*)();
using GlobalInfo_t = int32_t (*)(void* info);
using Open_t = int32_t (*)(const char* name, Handle* handle);
using Close_t = int32_t (*)(Handle handle);
using EnumerateDevices_t = int32_t (*)(const char* bus, DeviceList** list);
using Free_t = int32_t (*)(void* block);
using Grab_t = int32_t (*)(Handle handle, int32_t purpose, int32_t timeout, int32_t, GrabResult** result, void*,
                           void*);
using Info_t = int32_t (*)(Handle handle, Info** info);
using SetGUICallbacks_t = int32_t (*)(Handle handle, StateCallback callback, void* context);

}  // namespace vela::scan::upek
