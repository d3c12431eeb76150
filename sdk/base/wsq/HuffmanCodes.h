// Canonical Huffman codes as WSQ (like JPEG) stores them: how many codes of
// each length from 1 to 16, then the symbols in code order.
#pragma once

#include <array>
#include <cstdint>

#include "wsq/WsqFormat.h"

namespace vela::wsq {

// kOk, or kBadHuffmanTable when the counts sum past 256, disagree with the
// number of symbols, or describe more codes than the code space holds.
int CheckHuffmanTable(const HuffmanTable& table);

// Decodes symbols from the next 16 bits of a stream: codes of up to
// kLookupBits bits by one table look-up, longer ones by length.
class HuffmanDecoder {
 public:
  static constexpr int kLookupBits = 9;

  // table must have passed CheckHuffmanTable.
  explicit HuffmanDecoder(const HuffmanTable& table);
  HuffmanDecoder() = default;

  // The symbol that `bits` (the next 16 bits, first bit highest) begins
  // with, and its code length; length 0 when no code matches.
  struct Match {
    int length = 0;
    uint8_t symbol = 0;
  };
  Match Decode(uint32_t bits) const;

 private:
  // length << 8 | symbol, or 0 for a prefix of a longer code (or of none).
  std::array<uint16_t, 1 << kLookupBits> lookup{};
  std::array<int32_t, kMaxCodeLength + 1> maxCode{};
  std::array<int32_t, kMaxCodeLength + 1> firstCode{};
  std::array<int32_t, kMaxCodeLength + 1> firstIndex{};
  std::array<uint8_t, kMaxHuffmanValues> values{};
};

// The code and its length for each symbol a table holds (length 0: none).
struct HuffmanEncoder {
  std::array<uint16_t, kMaxHuffmanValues> code{};
  std::array<uint8_t, kMaxHuffmanValues> length{};
};
HuffmanEncoder EncoderFor(const HuffmanTable& table);

// The optimal table for the symbol frequencies, with codes of at most 16 bits
// and the all-ones code of the longest length left unused. A table needs at
// least one symbol; with no frequencies at all, symbol 1 gets the one code.
HuffmanTable OptimalHuffmanTable(const std::array<uint32_t, kMaxHuffmanValues>& frequencies);

}  // namespace vela::wsq
