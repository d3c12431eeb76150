// Checks of data blocks that come from outside the engine.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace vela::math {

// Throws invalid_argument unless the block is one the engine can take as it
// stands: its size word equals its length, its type is a stored type of the
// object layer (1, 101, 150, 161, 162, 164, 165) within that type's largest
// size, it holds a whole number of records or entries (1..10 impressions for
// 1 and 101, 1..100 entries for the others), and every impression in it
// passes CheckImpressionRecord.
void ValidateStoredBlock(std::span<const uint8_t> block);

// Stamps a finger code into the impressions of a block of type 150 (byte 9 of
// each record, except those holding 18) or 165 (the first byte of each
// entry); accepts type 1 unchanged; invalid_argument for any other type or a
// block shorter than its size word.
void CheckBiometricData(std::vector<uint8_t>& block, int32_t fingerCode);

// Whether any impression of the block holds a minutia. False for a block of
// a stored type with impressions that are all empty (as images without
// ridges give); true for a block without a whole impression or of a type
// this check cannot read, which are left to the engine to judge.
bool HoldsMinutiae(std::span<const uint8_t> block);

}  // namespace vela::math
