// Reading the segments of a WSQ file: markers, length fields and the tables
// they carry, every field checked against the bytes that remain.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>
#include <string_view>

#include "wsq/WsqFormat.h"

namespace vela::wsq {

// A read position in a byte buffer. Callers ask Has() before they read.
class ByteCursor {
 public:
  explicit ByteCursor(std::span<const uint8_t> bytes, size_t position = 0)
      : bytes(bytes), position(position) {}

  bool Has(size_t count) const { return count <= bytes.size() - position; }
  size_t Position() const { return position; }
  size_t Remaining() const { return bytes.size() - position; }
  std::span<const uint8_t> Bytes() const { return bytes; }

  uint8_t U8();
  uint16_t U16();
  uint32_t U32();
  void Skip(size_t count) { position += count; }

 private:
  std::span<const uint8_t> bytes;
  size_t position;
};

// The tables a decode collects before and between its blocks.
struct DecoderTables {
  bool transformDefined = false;
  TransformTable transform;
  QuantizationTable quantization;
  std::array<HuffmanTable, kHuffmanTables> huffman;
};

// The two marker bytes at the cursor: kEndOfData when fewer remain,
// kNotAMarker when the first is not 0xFF.
int ReadMarker(ByteCursor& cursor, uint16_t& marker);

// The body of the segment whose length field is at the cursor (length - 2
// bytes); the cursor moves past the whole segment.
int ReadSegment(ByteCursor& cursor, ByteCursor& body);

// A transform, quantization, Huffman or comment segment; a comment is read
// and dropped. kUnknownTableMarker for any other marker.
int ReadTableSegment(uint16_t marker, ByteCursor& cursor, DecoderTables& tables);

int ReadFrameHeader(ByteCursor& cursor, FrameHeader& frame);
int ReadBlockHeader(ByteCursor& cursor, int& tableId);

// Walks the segments from SOI up to the first block header and calls
// onComment(text) for every comment segment. Returns kOk or the failure.
int WalkCommentsBeforeFirstBlock(std::span<const uint8_t> file,
                                 const std::function<void(std::string_view)>& onComment);

// The resolution a file's first NISTCOM comment gives, kDefaultPpi without one.
int32_t PpiOf(std::span<const uint8_t> file);

}  // namespace vela::wsq
