#pragma once
// Little-endian fields read from a byte span with every length checked: a read past the end
// throws PictureError with the name of what was being read.

#include <cstdint>
#include <cstring>
#include <span>
#include <string>
#include <vector>

#include "picture/Graphic.h"

namespace pv::picture {

class ByteReader {
 public:
  ByteReader(std::span<const uint8_t> bytes, const char* what) : bytes_(bytes), what_(what) {}

  size_t Size() const { return bytes_.size(); }
  // Checks that [offset, offset + length) lies inside the bytes.
  void Require(uint64_t offset, uint64_t length) const {
    if (offset > bytes_.size() || length > bytes_.size() - offset) {
      throw PictureError(std::string(what_) + ": the file is truncated");
    }
  }
  uint8_t U8(size_t at) const {
    Require(at, 1);
    return bytes_[at];
  }
  uint16_t U16(size_t at) const {
    Require(at, 2);
    return static_cast<uint16_t>(bytes_[at] | (bytes_[at + 1] << 8));
  }
  uint32_t U32(size_t at) const {
    Require(at, 4);
    return static_cast<uint32_t>(bytes_[at]) | (static_cast<uint32_t>(bytes_[at + 1]) << 8) |
           (static_cast<uint32_t>(bytes_[at + 2]) << 16) | (static_cast<uint32_t>(bytes_[at + 3]) << 24);
  }
  int32_t I32(size_t at) const { return static_cast<int32_t>(U32(at)); }
  int16_t I16(size_t at) const { return static_cast<int16_t>(U16(at)); }
  std::span<const uint8_t> Bytes(size_t at, size_t length) const {
    Require(at, length);
    return bytes_.subspan(at, length);
  }

 private:
  std::span<const uint8_t> bytes_;
  const char* what_;
};

inline void PutU16(std::vector<uint8_t>& out, uint16_t v) {
  out.push_back(static_cast<uint8_t>(v));
  out.push_back(static_cast<uint8_t>(v >> 8));
}
inline void PutU32(std::vector<uint8_t>& out, uint32_t v) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

}  // namespace pv::picture
