#pragma once

#include <cstddef>

#include "engine/records/ImpressionRecord.h"

namespace vela::engine {

// FingerEntry: four ImpressionRecords (kind 3) of one impression of one finger,
// 2,688 bytes. Made from an image they are the four cleaned variants; expanded
// from a compact entry they are two impressions and their shifted copies.
namespace finger_entry {
inline constexpr size_t kImpressions = 4;
inline constexpr size_t kSize = kImpressions * impression::kSize;

inline constexpr size_t ImpressionOffset(size_t index) { return index * impression::kSize; }
} // namespace finger_entry

} // namespace vela::engine
