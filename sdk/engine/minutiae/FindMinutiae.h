#pragma once

#include <cstdint>
#include <span>

namespace vela::engine {

// Extracts at most 70 minutiae from the clean ridge WorkImage into the record,
// which already holds the block map and block quality, and settles the
// record's quality. The image is thinned and traced in place. False, touching
// nothing, when a buffer is too small (extraction_work::kSize for `work`).
bool FindMinutiae(std::span<uint8_t> workImage, std::span<uint8_t> record, std::span<uint8_t> work);

} // namespace vela::engine
