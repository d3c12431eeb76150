#pragma once

#include <cstdint>

namespace vela::engine {

// The prefix code of a DeltaCodedImpression: one code for each difference
// (mod 62) between consecutive block values in spiral order.
inline constexpr int32_t kBlockValueModulus = 62;

struct DeltaCode {
    uint16_t bits;   // the code, first bit written in the most significant used position
    uint8_t length;  // 1..12
};

// The code of a difference 0..61.
DeltaCode BlockDeltaCode(int32_t difference);

// Decodes the code bit by bit. Every bit string decodes: the code is complete,
// so no sequence of bits leads nowhere.
class BlockDeltaDecoder {
public:
    // Takes the next bit; returns the difference once it completes a code,
    // else -1.
    int32_t Feed(int bit);

private:
    int32_t node_ = 0;
};

} // namespace vela::engine
