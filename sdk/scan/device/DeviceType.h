#pragma once

#include <cstdint>

namespace vela::scan {

// The scanner makes, by the type number that device ids carry in bits 16-23.
enum DeviceType : int32_t {
  TavixUsbType = 1,
  FakeScanType = 2,
  Tavix35Type = 3,
  CrossMatchType = 4,
  Tavix3Type = 5,
  NitgenType = 6,
  IzzixType = 7,
  NetworkType = 8,
  TavixMouseType = 10,
  UpekType = 11,
};

inline int32_t DeviceId(int32_t type, uint16_t index) { return (type << 16) | index; }
inline int32_t TypeOfDeviceId(int32_t id) { return (id >> 16) & 0xFF; }
inline uint16_t IndexOfDeviceId(int32_t id) { return static_cast<uint16_t>(id & 0xFFFF); }

}  // namespace vela::scan
