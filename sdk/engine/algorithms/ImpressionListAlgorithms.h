#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "engine/matching/MatchContext.h"
#include "engine/records/ImpressionRecord.h"

namespace vela::engine {

// The best score of every impression of the first list against every one of
// the second; 0 when either list is empty.
int32_t MatchImpressionLists(const std::vector<Impression>& first, const std::vector<Impression>& second,
                             int32_t rotations, MatchContext& context);

// Lists of impressions (types 1 and 101). A list of impressions marked as
// coming from the smaller sensor area (byte 9 = 1) is compared with an
// unmarked one after the unmarked impressions are enlarged to match; a list
// that mixes marked and unmarked impressions scores 0. Algorithm 1 makes no
// rotated retries, 2 one each way.
int32_t MatchAlgorithm1(std::span<const uint8_t> first, std::span<const uint8_t> second, MatchContext& context);
int32_t MatchAlgorithm2(std::span<const uint8_t> first, std::span<const uint8_t> second, MatchContext& context);

// Lists of impressions with rotated retries up to 180 degrees.
int32_t MatchAlgorithm3(std::span<const uint8_t> first, std::span<const uint8_t> second, MatchContext& context);

} // namespace vela::engine
