#include "wsq/WsqSegments.h"

#include <cmath>

#include "ByteOrder.h"
#include "wsq/HuffmanCodes.h"
#include "wsq/NistComment.h"
#include "wsq/WsqCodec.h"

namespace vela::wsq {

uint8_t ByteCursor::U8() { return bytes[position++]; }

uint16_t ByteCursor::U16() {
  const uint16_t value = ReadBe<uint16_t>(bytes.data() + position);
  position += 2;
  return value;
}

uint32_t ByteCursor::U32() {
  const uint32_t value = ReadBe<uint32_t>(bytes.data() + position);
  position += 4;
  return value;
}

double ScaledValue::Real() const { return double(value) / std::pow(10.0, double(scale)); }

namespace {

ScaledValue ReadScaled16(ByteCursor& body) {
  ScaledValue scaled;
  scaled.scale = body.U8();
  scaled.value = body.U16();
  return scaled;
}

// One half of a symmetric filter, centre tap first, mirrored into the whole.
bool ReadFilter(ByteCursor& body, int taps, std::vector<float>& filter) {
  if (taps % 2 == 0 || taps > kMaxFilterTaps) return false;
  const int half = taps / 2;
  if (!body.Has(size_t(half + 1) * 6)) return false;
  filter.assign(size_t(taps), 0.0f);
  for (int k = 0; k <= half; ++k) {
    const bool negative = body.U8() != 0;
    ScaledValue scaled;
    scaled.scale = body.U8();
    scaled.value = body.U32();
    const float tap = static_cast<float>(negative ? -scaled.Real() : scaled.Real());
    filter[size_t(half + k)] = tap;
    filter[size_t(half - k)] = tap;
  }
  return true;
}

int ReadTransformTable(ByteCursor& body, DecoderTables& tables) {
  if (!body.Has(2)) return kBadSegmentLength;
  const int lowTaps = body.U8();
  const int highTaps = body.U8();
  if (!ReadFilter(body, lowTaps, tables.transform.lowPass)) return kNoLowPassFilter;
  if (!ReadFilter(body, highTaps, tables.transform.highPass)) return kNoHighPassFilter;
  tables.transformDefined = true;
  return kOk;
}

int ReadQuantizationTable(ByteCursor& body, DecoderTables& tables) {
  if (!body.Has(3 + size_t(kSubbands) * 6)) return kBadSegmentLength;
  QuantizationTable& table = tables.quantization;
  table.binCentre = static_cast<float>(ReadScaled16(body).Real());
  for (int k = 0; k < kSubbands; ++k) {
    table.binWidth[k] = static_cast<float>(ReadScaled16(body).Real());
    table.zeroBin[k] = static_cast<float>(ReadScaled16(body).Real());
  }
  table.defined = true;
  return kOk;
}

int ReadHuffmanTables(ByteCursor& body, DecoderTables& tables) {
  bool first = true;
  do {
    if (!body.Has(1 + kMaxCodeLength)) return kBadSegmentLength;
    const int id = body.U8();
    // Only the first table of a segment may redefine an id.
    if (id >= kHuffmanTables || (!first && tables.huffman[id].defined))
      return kHuffmanTableTwice;
    HuffmanTable table;
    size_t total = 0;
    for (uint8_t& count : table.counts) total += count = body.U8();
    if (total > kMaxHuffmanValues) return kBadHuffmanTable;
    if (!body.Has(total)) return kBadSegmentLength;
    table.values.resize(total);
    for (uint8_t& value : table.values) value = body.U8();
    if (const int status = CheckHuffmanTable(table); status != kOk) return status;
    table.defined = true;
    tables.huffman[id] = std::move(table);
    first = false;
  } while (body.Remaining() > 0);
  return kOk;
}

}  // namespace

int ReadMarker(ByteCursor& cursor, uint16_t& marker) {
  if (!cursor.Has(2)) return kEndOfData;
  marker = cursor.U16();
  return marker >> 8 == 0xFF ? kOk : kNotAMarker;
}

int ReadSegment(ByteCursor& cursor, ByteCursor& body) {
  if (!cursor.Has(2)) return kEndOfData;
  const uint16_t length = cursor.U16();
  if (length < 2 || !cursor.Has(length - 2u)) return kBadSegmentLength;
  body = ByteCursor(cursor.Bytes().first(cursor.Position() + length - 2u), cursor.Position());
  cursor.Skip(length - 2u);
  return kOk;
}

int ReadTableSegment(uint16_t marker, ByteCursor& cursor, DecoderTables& tables) {
  ByteCursor body(cursor.Bytes());
  if (const int status = ReadSegment(cursor, body); status != kOk) return status;
  switch (marker) {
    case kDtt:
      return ReadTransformTable(body, tables);
    case kDqt:
      return ReadQuantizationTable(body, tables);
    case kDht:
      return ReadHuffmanTables(body, tables);
    case kCom:
      return kOk;
    default:
      return kUnknownTableMarker;
  }
}

int ReadFrameHeader(ByteCursor& cursor, FrameHeader& frame) {
  ByteCursor body(cursor.Bytes());
  if (const int status = ReadSegment(cursor, body); status != kOk) return status;
  if (!body.Has(15)) return kBadSegmentLength;
  frame.black = body.U8();
  frame.white = body.U8();
  frame.height = body.U16();
  frame.width = body.U16();
  frame.mShift = static_cast<float>(ReadScaled16(body).Real());
  frame.rScale = static_cast<float>(ReadScaled16(body).Real());
  frame.encoder = body.U8();
  frame.software = body.U16();
  // Both sizes come from 16-bit fields, so their product cannot overflow
  // 64 bits; it is checked before anything is allocated for it.
  const int64_t pixels = int64_t{frame.width} * int64_t{frame.height};
  if (pixels == 0 || pixels > kMaxDecodedPixels) return kBadFrameSize;
  return kOk;
}

int ReadBlockHeader(ByteCursor& cursor, int& tableId) {
  ByteCursor body(cursor.Bytes());
  if (const int status = ReadSegment(cursor, body); status != kOk) return status;
  if (!body.Has(1)) return kBadSegmentLength;
  tableId = body.U8();
  return kOk;
}

int WalkCommentsBeforeFirstBlock(std::span<const uint8_t> file,
                                 const std::function<void(std::string_view)>& onComment) {
  ByteCursor cursor(file);
  uint16_t marker = 0;
  if (ReadMarker(cursor, marker) != kOk || marker != kSoi) return kNoSoi;
  for (;;) {
    if (const int status = ReadMarker(cursor, marker); status != kOk) return status;
    if (marker == kSob || marker == kEoi) return kOk;
    ByteCursor body(file);
    if (const int status = ReadSegment(cursor, body); status != kOk) return status;
    if (marker == kCom)
      onComment(std::string_view(reinterpret_cast<const char*>(file.data() + body.Position()),
                                 body.Remaining()));
  }
}

int32_t PpiOf(std::span<const uint8_t> file) {
  int32_t ppi = kDefaultPpi;
  bool found = false;
  WalkCommentsBeforeFirstBlock(file, [&](std::string_view text) {
    if (found || !IsNistComment(text)) return;
    found = true;
    ppi = PpiFromNistComment(text);
  });
  return ppi;
}

}  // namespace vela::wsq
