// Little-endian fields of packed records, read and written byte by byte.
#pragma once

#include <cstdint>
#include <cstring>

namespace vela::base {

inline uint16_t ReadU16LE(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }

inline uint32_t ReadU32LE(const uint8_t* p) {
  return uint32_t{p[0]} | (uint32_t{p[1]} << 8) | (uint32_t{p[2]} << 16) | (uint32_t{p[3]} << 24);
}

inline int32_t ReadI32LE(const uint8_t* p) { return static_cast<int32_t>(ReadU32LE(p)); }

inline void WriteU16LE(uint8_t* p, uint16_t v) {
  p[0] = static_cast<uint8_t>(v);
  p[1] = static_cast<uint8_t>(v >> 8);
}

inline void WriteU32LE(uint8_t* p, uint32_t v) {
  p[0] = static_cast<uint8_t>(v);
  p[1] = static_cast<uint8_t>(v >> 8);
  p[2] = static_cast<uint8_t>(v >> 16);
  p[3] = static_cast<uint8_t>(v >> 24);
}

inline void WriteI32LE(uint8_t* p, int32_t v) { WriteU32LE(p, static_cast<uint32_t>(v)); }

}  // namespace vela::base
