// The WSQ fingerprint image codec: plain functions over byte buffers that
// return 0 on success and a negative status on failure. Every call keeps its
// tables and trees to itself, so any number of threads may decode and encode
// at once.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace vela::wsq {

enum Status : int {
  kOk = 0,
  // Out of memory for tables or comments.
  kNoMemory = -2,
  // A Huffman table id defined twice in one segment, or an id above 7.
  kHuffmanTableTwice = -3,
  // A Huffman table whose code-length counts sum past 256 or overfill the
  // code space.
  kBadHuffmanTable = -4,
  // A segment whose length field runs past the data or below its own fields.
  kBadSegmentLength = -5,
  // Encoder: the three blocks do not add up to the quantized coefficients.
  kBlockSizesDiffer = -11,
  // Encoder: a quantized coefficient too large for the 16-bit escape.
  kCoefficientTooLarge = -12,
  // Encoder: out of memory.
  kEncoderNoMemory = -13,
  // Encoder: a bit rate that is not finite or not in (0, 8].
  kBadBitrate = -14,
  // Encoder: a width or height outside 1..65535, or no pixels.
  kBadImage = -15,
  // Encoder: a scaled value that does not fit its field.
  kValueTooLarge = -16,
  // Encoder: a comment longer than a segment can hold.
  kCommentTooLong = -17,
  // Out of memory for the coefficients.
  kCoefficientsNoMemory = -20,
  // Encoder: the output buffer is full (a byte, a 16- or 32-bit word).
  kOutputFullByte = -32,
  kOutputFullWord = -33,
  // Reading past the end of the data (segments, coded data).
  kEndOfData = -39,
  kEndOfCodedData = -40,
  // 0xFF in coded data followed by neither 0x00 nor a marker.
  kBadStuffing = -41,
  // A NISTCOM name or value longer than 511 characters.
  kNistFieldTooLong = -45,
  // A block names a Huffman table that is not defined.
  kUndefinedHuffmanTable = -51,
  // A Huffman code that is not in the table, or a symbol outside 1..254.
  kBadHuffmanSymbol = -52,
  // More coefficients decoded than the image has pixels.
  kTooManyCoefficients = -53,
  // A frame of width or height 0, or too large to decode.
  kBadFrameSize = -54,
  kNoSoi = -88,
  kBadMarkerBeforeFrame = -89,
  kBadMarkerBeforeBlock = -90,
  kNotAMarker = -91,
  kNoQuantizationTable = -92,
  kUnknownTableMarker = -93,
  kTransformNoMemory = -94,
  // No usable low-pass or high-pass filter (none given, or an even length).
  kNoLowPassFilter = -95,
  kNoHighPassFilter = -96,
  kReconstructionNoMemory = -97,
};

// The largest image the decoder will allocate for, in pixels.
inline constexpr int64_t kMaxDecodedPixels = int64_t{1} << 26;

// The resolution given to a file without a usable NISTCOM "PPI".
inline constexpr int32_t kDefaultPpi = 508;

struct WsqInfo {
  int32_t width = 0;
  int32_t height = 0;
  int32_t ppi = kDefaultPpi;
};

// Width, height and resolution of a WSQ file.
int ReadWsqInfo(std::span<const uint8_t> file, WsqInfo& info);

// The decoded image: width x height grey bytes, top row first, unpadded.
int DecodeWsq(std::span<const uint8_t> file, std::vector<uint8_t>& pixels, WsqInfo& info);

// The texts of the comment segments ahead of the first block, in file order
// (at most kMaxComments). Returns how many, or a negative status.
inline constexpr size_t kMaxComments = 256;
int ReadWsqComment(std::span<const uint8_t> file, std::vector<std::string>& texts);

// Compresses width x height grey bytes (rows unpadded) at the target bit rate
// into output. comment may be null; a text that begins with "NIST_COM" is
// taken as the NISTCOM fields to complete, any other is written unchanged in
// a second comment segment. On success encodedLength is the file's length.
int EncodeWsq(const uint8_t* pixels, int32_t width, int32_t height, int32_t ppi,
              const char* comment, double bitrate, uint8_t* output, size_t capacity,
              size_t& encodedLength);

// An output capacity that holds any file EncodeWsq writes for such an image
// short of coded data larger than the image itself.
size_t EncodedCapacity(int32_t width, int32_t height, const char* comment);

}  // namespace vela::wsq
