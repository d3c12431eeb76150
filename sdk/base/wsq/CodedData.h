// The bit stream of a block's coded data: bits are read first bit highest,
// a 0xFF byte followed by 0x00 stands for 0xFF, and 0xFF followed by anything
// else is the marker that ends the block.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

namespace vela::wsq {

class CodedDataReader {
 public:
  CodedDataReader(std::span<const uint8_t> file, size_t position)
      : file(file), position(position) {}

  // Buffers as many bits as fit (at least 49) unless a marker or the end of
  // the data comes first.
  void Fill();
  int Buffered() const { return count; }
  // The next 16 bits, first bit highest, zeros past the buffered bits.
  uint32_t Peek16() const {
    return static_cast<uint32_t>(count >= 16 ? bits >> (count - 16) : bits << (16 - count)) &
           0xFFFF;
  }
  // The next n (1..16) buffered bits.
  uint32_t Take(int n) {
    count -= n;
    return static_cast<uint32_t>(bits >> count) & ((1u << n) - 1);
  }
  // True when the bits left are fewer than 8 and all ones: the padding of
  // the block's last byte.
  bool OnlyPaddingLeft() const {
    return count < 8 && (bits & ((uint64_t{1} << count) - 1)) == (uint64_t{1} << count) - 1;
  }
  bool AtMarker() const { return stop == Stop::Marker; }
  bool AtEnd() const { return stop == Stop::End; }
  // Where reading stopped: the marker's first byte when AtMarker().
  size_t Position() const { return position; }

 private:
  enum class Stop { None, Marker, End };
  std::span<const uint8_t> file;
  size_t position;
  uint64_t bits = 0;
  int count = 0;
  Stop stop = Stop::None;
};

}  // namespace vela::wsq
