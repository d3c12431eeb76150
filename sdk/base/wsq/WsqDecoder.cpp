// Decoding: the segments up to the frame header, then each block's coded
// data into quantized coefficients, then unquantization, the inverse
// transform and the shift back to grey levels.
#include <algorithm>
#include <cmath>
#include <new>

#include "wsq/CodedData.h"
#include "wsq/HuffmanCodes.h"
#include "wsq/WsqCodec.h"
#include "wsq/WsqSegments.h"
#include "wsq/WsqTransform.h"
#include "wsq/WsqTrees.h"

namespace vela::wsq {
namespace {

bool IsTableMarker(uint16_t marker) {
  return marker == kDtt || marker == kDqt || marker == kDht || marker == kCom;
}

// SOI, then table and comment segments up to and including the frame header.
int ReadUpToFrame(ByteCursor& cursor, DecoderTables& tables, FrameHeader& frame) {
  uint16_t marker = 0;
  if (ReadMarker(cursor, marker) != kOk || marker != kSoi) return kNoSoi;
  for (;;) {
    if (const int status = ReadMarker(cursor, marker); status != kOk) return status;
    if (marker == kSof) return ReadFrameHeader(cursor, frame);
    if (!IsTableMarker(marker)) return kBadMarkerBeforeFrame;
    if (const int status = ReadTableSegment(marker, cursor, tables); status != kOk) return status;
  }
}

// The quantized coefficients of all blocks, in the order the blocks code
// them. Values reach 65535 in magnitude, so they are held in 32 bits.
class CoefficientSink {
 public:
  explicit CoefficientSink(std::vector<int32_t>& values) : values(values) {}

  bool Zeros(uint32_t run) {
    if (run > values.size() - next) return false;
    next += run;
    return true;
  }
  bool Value(int32_t value) {
    if (next >= values.size()) return false;
    values[next++] = value;
    return true;
  }

 private:
  std::vector<int32_t>& values;
  size_t next = 0;
};

// One block's coded data, from after its header up to the marker that ends
// it; the cursor is left at that marker.
int DecodeBlock(ByteCursor& cursor, const HuffmanDecoder& decoder, CoefficientSink& sink) {
  CodedDataReader reader(cursor.Bytes(), cursor.Position());
  for (;;) {
    reader.Fill();
    if (reader.AtMarker() && reader.OnlyPaddingLeft()) break;
    if (reader.Buffered() == 0) return kEndOfCodedData;
    const HuffmanDecoder::Match match = decoder.Decode(reader.Peek16());
    if (match.length == 0 || match.length > reader.Buffered()) {
      // A code cut short by the marker is the padding of a last byte.
      if (reader.AtMarker() && reader.Buffered() < 16) break;
      return reader.AtEnd() ? kEndOfCodedData : kBadHuffmanSymbol;
    }
    reader.Take(match.length);
    const int symbol = match.symbol;
    int extraBits = 0;
    if (symbol >= 101 && symbol <= 106) extraBits = symbol == 101 || symbol == 102 || symbol == 105 ? 8 : 16;
    uint32_t extra = 0;
    if (extraBits > 0) {
      if (reader.Buffered() < extraBits) return kEndOfCodedData;
      extra = reader.Take(extraBits);
    }
    bool fits = true;
    if (symbol >= 1 && symbol <= 100)
      fits = sink.Zeros(static_cast<uint32_t>(symbol));
    else if (symbol == 101 || symbol == 103)
      fits = sink.Value(static_cast<int32_t>(extra));
    else if (symbol == 102 || symbol == 104)
      fits = sink.Value(-static_cast<int32_t>(extra));
    else if (symbol == 105 || symbol == 106)
      fits = sink.Zeros(extra);
    else if (symbol >= 107 && symbol <= 254)
      fits = sink.Value(symbol - 180);
    else
      return kBadHuffmanSymbol;
    if (!fits) return kTooManyCoefficients;
  }
  const std::span<const uint8_t> file = cursor.Bytes();
  if (!IsMarkerCode(file[reader.Position() + 1])) return kBadStuffing;
  cursor = ByteCursor(file, reader.Position());
  return kOk;
}

// Blocks, and the table and comment segments before each, up to EOI.
int DecodeBlocks(ByteCursor& cursor, DecoderTables& tables, std::vector<int32_t>& coefficients) {
  CoefficientSink sink(coefficients);
  for (;;) {
    uint16_t marker = 0;
    if (const int status = ReadMarker(cursor, marker); status != kOk) return status;
    if (marker == kEoi) return kOk;
    if (IsTableMarker(marker)) {
      if (const int status = ReadTableSegment(marker, cursor, tables); status != kOk)
        return status;
      continue;
    }
    if (marker != kSob) return kBadMarkerBeforeBlock;
    int tableId = 0;
    if (const int status = ReadBlockHeader(cursor, tableId); status != kOk) return status;
    if (tableId >= kHuffmanTables || !tables.huffman[tableId].defined)
      return kUndefinedHuffmanTable;
    const HuffmanDecoder decoder(tables.huffman[tableId]);
    if (const int status = DecodeBlock(cursor, decoder, sink); status != kOk) return status;
  }
}

// Each coded subband takes its values from the coefficient stream in turn;
// a value p stands for the centre of its bin.
void Unquantize(const std::vector<int32_t>& coefficients, const QuantizationTable& table,
                const SubbandTrees& trees, int32_t width, float* image) {
  size_t next = 0;
  const float centre = table.binCentre;
  for (int k = 0; k < kSubbands; ++k) {
    const float binWidth = table.binWidth[k];
    if (binWidth == 0.0f) continue;
    const float halfZero = table.zeroBin[k] / 2;
    const Rect& r = trees.subbands[k];
    for (int32_t y = r.y; y < r.y + r.height; ++y) {
      float* row = image + size_t(y) * size_t(width);
      for (int32_t x = r.x; x < r.x + r.width && next < coefficients.size(); ++x) {
        const int32_t p = coefficients[next++];
        if (p > 0)
          row[x] = (float(p) - centre) * binWidth + halfZero;
        else if (p < 0)
          row[x] = (float(p) + centre) * binWidth - halfZero;
      }
    }
  }
}

void ToGreyLevels(const float* image, size_t count, const FrameHeader& frame, uint8_t* pixels) {
  for (size_t i = 0; i < count; ++i) {
    const float value = frame.mShift + frame.rScale * image[i] + 0.5f;
    // Absurd filter taps or bin widths in a file can overflow to infinity
    // and on to NaN, which reads as black.
    pixels[i] = !(value > 0.0f) ? 0 : value >= 255.0f ? 255 : static_cast<uint8_t>(value);
  }
}

}  // namespace

int ReadWsqInfo(std::span<const uint8_t> file, WsqInfo& info) {
  ByteCursor cursor(file);
  DecoderTables tables;
  FrameHeader frame;
  if (const int status = ReadUpToFrame(cursor, tables, frame); status != kOk) return status;
  info.width = frame.width;
  info.height = frame.height;
  info.ppi = PpiOf(file);
  return kOk;
}

int DecodeWsq(std::span<const uint8_t> file, std::vector<uint8_t>& pixels, WsqInfo& info) {
  ByteCursor cursor(file);
  DecoderTables tables;
  FrameHeader frame;
  if (const int status = ReadUpToFrame(cursor, tables, frame); status != kOk) return status;
  const size_t count = size_t(frame.width) * size_t(frame.height);

  std::vector<int32_t> coefficients;
  try {
    coefficients.assign(count, 0);
  } catch (const std::bad_alloc&) {
    return kCoefficientsNoMemory;
  }
  if (const int status = DecodeBlocks(cursor, tables, coefficients); status != kOk) return status;
  if (!tables.quantization.defined) return kNoQuantizationTable;
  if (!tables.transformDefined) return kNoLowPassFilter;

  const SubbandTrees trees = BuildSubbandTrees(frame.width, frame.height);
  try {
    std::vector<float> image(count, 0.0f);
    Unquantize(coefficients, tables.quantization, trees, frame.width, image.data());
    coefficients = {};
    TransformScratch scratch;
    InverseTransform(image.data(), frame.width, trees, SynthesisFilters(tables.transform),
                     scratch);
    pixels.resize(count);
    ToGreyLevels(image.data(), count, frame, pixels.data());
  } catch (const std::bad_alloc&) {
    return kReconstructionNoMemory;
  }
  info.width = frame.width;
  info.height = frame.height;
  info.ppi = PpiOf(file);
  return kOk;
}

int ReadWsqComment(std::span<const uint8_t> file, std::vector<std::string>& texts) {
  texts.clear();
  try {
    const int status = WalkCommentsBeforeFirstBlock(file, [&](std::string_view text) {
      // A comment is text: it ends at its first zero byte, if any.
      if (texts.size() < kMaxComments) texts.emplace_back(text.substr(0, text.find('\0')));
    });
    if (status != kOk) return status;
  } catch (const std::bad_alloc&) {
    return kNoMemory;
  }
  return static_cast<int>(texts.size());
}

}  // namespace vela::wsq
