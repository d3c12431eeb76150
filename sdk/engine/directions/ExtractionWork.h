#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

#include "engine/records/EngineGeometry.h"

namespace vela::engine {

// The caller-owned scratch of the block-direction, ridge clean-up and minutiae
// steps: two images of the WorkImage geometry and an area of 32-bit entries
// (flood-fill stack, candidate lists, ridge walks).
namespace extraction_work {
inline constexpr size_t kScratchImages = 2;
inline constexpr size_t kEndingCapacity = 4000;
inline constexpr size_t kBranchingCapacity = 2000;
inline constexpr size_t kWalkCapacity = 30505;     // pixels recorded by all spur walks together
inline constexpr size_t kFloodStackCapacity = 30504;  // pixels pending in a flood fill
inline constexpr size_t kFloodRecordCapacity = 80;
inline constexpr size_t kEntryCount =
    kEndingCapacity + kBranchingCapacity + kWalkCapacity + kEndingCapacity; // walks end per ending
static_assert(kEntryCount >= kFloodStackCapacity + kFloodRecordCapacity);
inline constexpr size_t kEntriesOffset = kScratchImages * kWorkImageBytes;
// Room to align the entries whatever the alignment of the caller's buffer.
inline constexpr size_t kSize = kEntriesOffset + alignof(int32_t) - 1 + kEntryCount * sizeof(int32_t);
} // namespace extraction_work

struct ExtractionWork {
    uint8_t* scratch0;
    uint8_t* scratch1;
    int32_t* entries; // extraction_work::kEntryCount entries
};

// Splits a caller's buffer into the scratch above; nothing when it is too small.
std::optional<ExtractionWork> CarveExtractionWork(std::span<uint8_t> work);

} // namespace vela::engine
