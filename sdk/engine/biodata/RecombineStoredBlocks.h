#pragma once

#include <cstdint>
#include <vector>

#include "engine/biodata/ImageChain.h"

namespace vela::engine {

// The types that recombine stored blocks in place of images. Each returns the
// body of the result (what follows the 8-byte block header), or fails with a
// result code. The entries have passed CheckImageSet.

// 151: every finger entry of every block, finger code 1 first up to 10, in
// chain order within a code; entries of code 0 are left out.
std::vector<uint8_t> MergeFingerSets(const std::vector<ChainEntry>& entries);

// 152: per finger code 0..10, the first block's entries of that code, or the
// second block's when the first has none.
std::vector<uint8_t> MergePreferringFirst(const std::vector<ChainEntry>& entries);

// 153: the block without the entries of the finger code in the entry's image
// index.
std::vector<uint8_t> RemoveFinger(const ChainEntry& entry);

// 163: the compact block expanded into finger entries; 0xC3100073 when it
// cannot be.
ResultCode ExpandStoredCompactBlock(const ChainEntry& entry, std::vector<uint8_t>& body);

// 140: four slots of 2,719 bytes in the order of finger codes 1, 2, 6 and 7;
// each holds the type-139 block of its code, or an empty one.
std::vector<uint8_t> AssembleQualitySlots(const std::vector<ChainEntry>& entries);

} // namespace vela::engine
