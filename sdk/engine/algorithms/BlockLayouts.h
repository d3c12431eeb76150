#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <vector>

#include "engine/hashing/EntryImpressions.h"
#include "engine/records/ImpressionRecord.h"

namespace vela::engine {

// How the algorithms read a block: by its size word, whatever its type id,
// and never beyond the bytes they were given. A record, entry or slot that
// does not lie wholly inside both is not read.

// The block's size word; 0 when the block is shorter than a word or the word
// is negative.
int32_t BlockSizeWord(std::span<const uint8_t> block);

// A list of ImpressionRecords: records of 672 bytes from (size mod 672),
// size / 672 of them. A lone record (size word 672) reads as a list of one.
std::vector<Impression> ReadImpressionList(std::span<const uint8_t> block);

// FingerEntrys of 2,688 bytes from byte 8, (size - 8) / 2,688 of them.
std::vector<EntryImpressions> ReadFingerSet(std::span<const uint8_t> block);

// A four-slot block: slots of 2,719 bytes from byte 8, each a one-image block
// with its impression index at slot byte 9 (0 for an empty slot) and four
// records from slot byte 31. Each record is read as a list of its own (its
// size word 672 makes it one record), up to the end of the block.
inline constexpr int32_t kSlotCount = 4;
struct ImpressionSlot {
    int32_t impressionIndex = 0;
    bool present = false;                        // the slot lies inside the block
    std::array<std::vector<Impression>, 4> records{};
};
std::array<ImpressionSlot, kSlotCount> ReadImpressionSlots(std::span<const uint8_t> block);

} // namespace vela::engine
