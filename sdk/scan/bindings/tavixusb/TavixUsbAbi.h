#pragma once
// The maker's USB scanner library: one open call that yields an interface
// object with a table of operations. Shared by the binding and the tests'
// stand-in library.

#include <cstdint>

namespace vela::scan::tavixusb {

inline constexpr const char* libraryName = "Qnusbapi.dll";
inline constexpr const char* openEntry = "_QNUSBOpenEx@8";
inline constexpr int32_t imageMode = 3;

struct ImageFormat {
  int32_t rawColumns;
  int32_t rawRows;
  int32_t rawByteCount;
};

struct Interface;

// Slots 0-1, 3-4 and 6-10 are the library's own; the system calls only these three.
struct InterfaceTable {
  void* slots0to1[2];
  void (*Release)(Interface* self);                        // slot 2
  void* slots3to4[2];
  const ImageFormat* (*GetImageFormat)(Interface* self);  // slot 5
  void* slots6to10[5];
  int32_t (*GetImage)(Interface* self, int32_t mode, uint8_t* buffer);  // slot 11, 0 = success
};

struct Interface {
  const InterfaceTable* table;
};

// 0 on success, with the interface stored in *result.
using OpenEx_t = int32_t (*)(int32_t port, Interface** result);

}  // namespace vela::scan::tavixusb
