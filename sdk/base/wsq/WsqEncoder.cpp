// Encoding: normalise the pixels, transform, allocate bits over the
// subbands, quantize, and write the segments with one Huffman table for the
// first block and one for the other two.
#include <algorithm>
#include <cmath>
#include <cstring>
#include <new>
#include <span>

#include "wsq/HuffmanCodes.h"
#include "wsq/NistComment.h"
#include "wsq/WsqCodec.h"
#include "wsq/WsqQuantizer.h"
#include "wsq/WsqTransform.h"
#include "wsq/WsqTrees.h"
#include "wsq/WsqWriter.h"

namespace vela::wsq {
namespace {

constexpr size_t kMaxCommentLength = 0xFFFF - 2;

// Direct symbols code coefficient values -73..74 as value + 180; -74 would
// land on the 16-bit zero-run escape.
constexpr int32_t kSmallestDirect = -73;
constexpr int32_t kLargestDirect = 74;
constexpr int kDirectOffset = 180;
constexpr uint64_t kLongestShortRun = 100;

// Calls emit(symbol, extra, extraBits) for the symbols that code `values`.
template <typename Emit>
int ForEachSymbol(std::span<const int32_t> values, Emit emit) {
  uint64_t run = 0;
  auto flushRun = [&] {
    while (run > 0) {
      const uint32_t part = static_cast<uint32_t>(std::min<uint64_t>(run, kLimit16));
      if (part <= kLongestShortRun)
        emit(static_cast<int>(part), 0u, 0);
      else if (part <= 0xFF)
        emit(105, part, 8);
      else
        emit(106, part, 16);
      run -= part;
    }
  };
  for (int32_t value : values) {
    if (value == 0) {
      ++run;
      continue;
    }
    flushRun();
    if (value >= kSmallestDirect && value <= kLargestDirect) {
      emit(kDirectOffset + value, 0u, 0);
      continue;
    }
    const uint32_t magnitude = value < 0 ? 0u - static_cast<uint32_t>(value) : uint32_t(value);
    if (magnitude > kLimit16) return kCoefficientTooLarge;
    if (magnitude <= 0xFF)
      emit(value > 0 ? 101 : 102, magnitude, 8);
    else
      emit(value > 0 ? 103 : 104, magnitude, 16);
  }
  flushRun();
  return kOk;
}

using Frequencies = std::array<uint32_t, kMaxHuffmanValues>;

int CountSymbols(std::span<const int32_t> values, Frequencies& frequencies) {
  return ForEachSymbol(values, [&](int symbol, uint32_t, int) { ++frequencies[symbol]; });
}

void WriteBlock(std::span<const int32_t> values, const HuffmanEncoder& codes, OutputBuffer& out) {
  CodedDataWriter writer(out);
  ForEachSymbol(values, [&](int symbol, uint32_t extra, int extraBits) {
    writer.Put(codes.code[symbol], codes.length[symbol]);
    if (extraBits > 0) writer.Put(extra, extraBits);
  });
  writer.Finish();
}

// Pixels become (pixel - shift) / scale, about -128..128; a flat image has
// scale 0 and becomes all zeros.
struct Normalisation {
  double mShift = 0;
  double rScale = 0;
};
Normalisation Normalise(const uint8_t* pixels, size_t count) {
  uint64_t sum = 0;
  uint8_t lowest = 255, highest = 0;
  for (size_t i = 0; i < count; ++i) {
    sum += pixels[i];
    lowest = std::min(lowest, pixels[i]);
    highest = std::max(highest, pixels[i]);
  }
  Normalisation n;
  n.mShift = double(sum) / double(count);
  n.rScale = std::max(n.mShift - lowest, highest - n.mShift) / 128.0;
  return n;
}

// The coefficients of each block, in the order Quantize lists them.
std::array<std::span<const int32_t>, kBlocks> SplitIntoBlocks(std::span<const int32_t> indices,
                                                             const SubbandTrees& trees,
                                                             const QuantizationTable& table,
                                                             bool& sizesAgree) {
  std::array<std::span<const int32_t>, kBlocks> blocks;
  size_t start = 0;
  for (int b = 0; b < kBlocks; ++b) {
    const size_t size = CodedCoefficients(trees, table, kBlockStart[b], kBlockStart[b + 1]);
    sizesAgree = start + size <= indices.size();
    if (!sizesAgree) return {};
    blocks[b] = indices.subspan(start, size);
    start += size;
  }
  sizesAgree = start == indices.size();
  return blocks;
}

// The NISTCOM list, then the caller's own comment when it is not one.
int WriteComments(const char* comment, int32_t width, int32_t height, int32_t ppi,
                  double bitrate, OutputBuffer& out) {
  std::string nist;
  if (const int status = WriteNistComment(comment, width, height, ppi, bitrate, nist);
      status != kOk)
    return status;
  const bool plainComment = comment && !IsNistComment(comment);
  if (nist.size() > kMaxCommentLength || (plainComment && std::strlen(comment) > kMaxCommentLength))
    return kCommentTooLong;
  WriteComment(nist, out);
  if (plainComment) WriteComment(comment, out);
  return kOk;
}

std::vector<float> NormalisedImage(const uint8_t* pixels, size_t count, const FrameHeader& frame) {
  std::vector<float> image(count);
  for (size_t i = 0; i < count; ++i)
    image[i] = frame.rScale == 0 ? 0.0f : (float(pixels[i]) - frame.mShift) / frame.rScale;
  return image;
}

// Huffman table 0 for the first block, table 1 for the other two, each
// block behind its header.
int WriteBlocks(const std::array<std::span<const int32_t>, kBlocks>& blocks, OutputBuffer& out) {
  Frequencies first{}, rest{};
  if (const int status = CountSymbols(blocks[0], first); status != kOk) return status;
  for (int b = 1; b < kBlocks; ++b)
    if (const int status = CountSymbols(blocks[b], rest); status != kOk) return status;
  const HuffmanTable firstTable = OptimalHuffmanTable(first);
  const HuffmanTable restTable = OptimalHuffmanTable(rest);

  WriteHuffmanTable(0, firstTable, out);
  WriteBlockHeader(0, out);
  WriteBlock(blocks[0], EncoderFor(firstTable), out);
  WriteHuffmanTable(1, restTable, out);
  const HuffmanEncoder restCodes = EncoderFor(restTable);
  for (int b = 1; b < kBlocks; ++b) {
    WriteBlockHeader(1, out);
    WriteBlock(blocks[b], restCodes, out);
  }
  return kOk;
}

int Encode(const uint8_t* pixels, int32_t width, int32_t height, int32_t ppi,
           const char* comment, double bitrate, OutputBuffer& out) {
  out.Marker(kSoi);
  if (const int status = WriteComments(comment, width, height, ppi, bitrate, out); status != kOk)
    return status;
  TransformTable transform;
  if (const int status = WriteTransformTable(transform, out); status != kOk) return status;

  // The frame header is made ahead of its place so that the image is
  // normalised with the shift and scale that the decoder will read.
  const size_t count = size_t(width) * size_t(height);
  const Normalisation normal = Normalise(pixels, count);
  uint8_t frameBytes[19];
  OutputBuffer frameOut(frameBytes, sizeof frameBytes);
  FrameHeader frame;
  if (const int status =
          WriteFrameHeader(width, height, normal.mShift, normal.rScale, frame, frameOut);
      status != kOk)
    return status;

  std::vector<float> image = NormalisedImage(pixels, count, frame);
  const SubbandTrees trees = BuildSubbandTrees(width, height);
  TransformScratch scratch;
  ForwardTransform(image.data(), width, trees, AnalysisFilters(transform), scratch);

  BinWidths widths = ComputeBinWidths(SubbandVariances(image.data(), width, trees), bitrate);
  KeepIndicesCodable(image.data(), width, trees, widths);
  QuantizationTable quantization;
  if (const int status = WriteQuantizationTable(widths, quantization, out); status != kOk)
    return status;
  for (uint8_t byte : frameBytes) out.Byte(byte);

  const std::vector<int32_t> indices = Quantize(image.data(), width, trees, quantization);
  image = {};
  bool sizesAgree = false;
  const auto blocks = SplitIntoBlocks(indices, trees, quantization, sizesAgree);
  if (!sizesAgree) return kBlockSizesDiffer;
  if (const int status = WriteBlocks(blocks, out); status != kOk) return status;
  out.Marker(kEoi);
  return out.Status();
}

}  // namespace

int EncodeWsq(const uint8_t* pixels, int32_t width, int32_t height, int32_t ppi,
              const char* comment, double bitrate, uint8_t* output, size_t capacity,
              size_t& encodedLength) {
  encodedLength = 0;
  if (!pixels || width < 1 || height < 1 || width > 0xFFFF || height > 0xFFFF) return kBadImage;
  if (!std::isfinite(bitrate) || bitrate <= 0 || bitrate > 8) return kBadBitrate;
  OutputBuffer out(output, output ? capacity : 0);
  try {
    const int status = Encode(pixels, width, height, ppi, comment, bitrate, out);
    if (status != kOk) return status;
  } catch (const std::bad_alloc&) {
    return kEncoderNoMemory;
  }
  encodedLength = out.Length();
  return kOk;
}

size_t EncodedCapacity(int32_t width, int32_t height, const char* comment) {
  // Every segment but the coded data fits in 2 KiB; the comment may be
  // written twice over (a NISTCOM list built from it, and itself).
  constexpr size_t kSegments = 2048;
  const size_t commentBytes = comment ? std::strlen(comment) : 0;
  return size_t(std::max(width, 0)) * size_t(std::max(height, 0)) + kSegments +
         2 * commentBytes;
}

}  // namespace vela::wsq
