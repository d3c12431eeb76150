// Writing the segments of a WSQ file into a caller's buffer of fixed
// capacity: every byte is checked against it, and the tables come back as
// the decoder will read them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "wsq/HuffmanCodes.h"
#include "wsq/WsqCodec.h"
#include "wsq/WsqFormat.h"
#include "wsq/WsqQuantizer.h"

namespace vela::wsq {

inline constexpr uint32_t kLimit16 = 0xFFFF;
inline constexpr uint32_t kLimit32 = 0xFFFFFFFF;

// value / 10^scale with as many digits as the field holds: multiplied by 10
// until it reaches the limit, then divided once. False when even scale 0
// does not fit.
bool ToScaled(double value, uint32_t limit, ScaledValue& scaled);

class OutputBuffer {
 public:
  OutputBuffer(uint8_t* output, size_t capacity) : output(output), capacity(capacity) {}

  void Byte(uint8_t value) {
    if (status != kOk) return;
    if (length >= capacity) {
      status = kOutputFullByte;
      return;
    }
    output[length++] = value;
  }
  void Word(uint16_t value) { Bytes(value, 2); }
  void Long(uint32_t value) { Bytes(value, 4); }
  void Text(std::string_view text) {
    for (char c : text) Byte(static_cast<uint8_t>(c));
  }
  void Marker(Marker marker) { Word(marker); }

  int Status() const { return status; }
  size_t Length() const { return length; }

 private:
  void Bytes(uint32_t value, int count) {
    if (status != kOk) return;
    if (capacity - length < size_t(count)) {
      status = kOutputFullWord;
      return;
    }
    for (int i = count - 1; i >= 0; --i) output[length++] = static_cast<uint8_t>(value >> (8 * i));
  }

  uint8_t* output;
  size_t capacity;
  size_t length = 0;
  int status = kOk;
};

// Bits first bit highest, a zero byte stuffed after every 0xFF, the last
// byte padded with ones.
class CodedDataWriter {
 public:
  explicit CodedDataWriter(OutputBuffer& out) : out(out) {}

  void Put(uint32_t code, int length) {
    bits = bits << length | code;
    count += length;
    while (count >= 8) {
      count -= 8;
      const uint8_t byte = static_cast<uint8_t>(bits >> count);
      out.Byte(byte);
      if (byte == 0xFF) out.Byte(0x00);
    }
  }
  void Finish() {
    if (count > 0) Put((1u << (8 - count)) - 1, 8 - count);
  }

 private:
  OutputBuffer& out;
  uint64_t bits = 0;
  int count = 0;
};

void WriteComment(std::string_view text, OutputBuffer& out);
// The standard's filters; `table` gets them as written.
int WriteTransformTable(TransformTable& table, OutputBuffer& out);
// `table` gets the widths as written.
int WriteQuantizationTable(const BinWidths& widths, QuantizationTable& table, OutputBuffer& out);
// `frame` gets shift and scale as written.
int WriteFrameHeader(int32_t width, int32_t height, double mShift, double rScale,
                     FrameHeader& frame, OutputBuffer& out);
void WriteHuffmanTable(int id, const HuffmanTable& table, OutputBuffer& out);
void WriteBlockHeader(int tableId, OutputBuffer& out);

}  // namespace vela::wsq
