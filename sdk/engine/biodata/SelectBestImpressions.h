#pragma once

#include <cstdint>
#include <span>

namespace vela::engine {

// Orders the impressions of a type-1 block (size, type, ImpressionRecords)
// so that those agreeing with the most others come first: scores above 449
// count as agreeing, ties go to the larger score sum. Returns the smallest
// score between two different impressions, 1000 with fewer than two. Only
// the records within both the size word and the buffer take part.
int32_t SelectBestImpressions(std::span<uint8_t> block);

} // namespace vela::engine
