// What a WSQ file holds: its markers and the tables that its segments carry.
// Shared by the decoder, which reads them, and the encoder, which writes them.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

namespace vela::wsq {

enum Marker : uint16_t {
  kSoi = 0xFFA0,  // start of image
  kEoi = 0xFFA1,  // end of image
  kSof = 0xFFA2,  // frame header
  kSob = 0xFFA3,  // block header
  kDtt = 0xFFA4,  // transform table
  kDqt = 0xFFA5,  // quantization table
  kDht = 0xFFA6,  // Huffman tables
  kDrt = 0xFFA7,  // restart interval
  kCom = 0xFFA8,  // comment
};

// Codes that may follow 0xFF as a marker: the segment markers above and the
// eight restart markers.
inline bool IsMarkerCode(uint8_t second) {
  return (second >= 0xA0 && second <= 0xA8) || (second >= 0xB0 && second <= 0xB7);
}

inline constexpr int kSubbands = 64;
// Subbands 60-63, the finest detail, are never coded.
inline constexpr int kCodedSubbands = 60;
inline constexpr int kHuffmanTables = 8;
inline constexpr int kMaxCodeLength = 16;
inline constexpr int kMaxHuffmanValues = 256;
inline constexpr int kMaxFilterTaps = 31;

struct FrameHeader {
  int black = 0;
  int white = 255;
  int32_t width = 0;
  int32_t height = 0;
  float mShift = 0;
  float rScale = 0;
  int encoder = 0;
  int software = 0;
};

// Full symmetric filters, taps -half..half, index half at the centre.
struct TransformTable {
  std::vector<float> lowPass;
  std::vector<float> highPass;
};

struct QuantizationTable {
  bool defined = false;
  float binCentre = 0;
  std::array<float, kSubbands> binWidth{};
  std::array<float, kSubbands> zeroBin{};
};

struct HuffmanTable {
  bool defined = false;
  // counts[l - 1]: how many codes have length l.
  std::array<uint8_t, kMaxCodeLength> counts{};
  std::vector<uint8_t> values;
};

// A real number as written in a WSQ file: value / 10^scale.
struct ScaledValue {
  uint8_t scale = 0;
  uint32_t value = 0;
  double Real() const;
};

}  // namespace vela::wsq
