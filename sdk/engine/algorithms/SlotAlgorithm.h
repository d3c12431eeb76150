#pragma once

#include <array>
#include <cstdint>
#include <span>

#include "engine/algorithms/BlockLayouts.h"
#include "engine/matching/MatchContext.h"

namespace vela::engine {

// Four-slot blocks (type 140; slots for finger codes 1, 2, 6 and 7): the
// slots filled on both sides must together show enough agreement on their
// first impressions; then each slot's best impression score is mapped, and a
// very strong slot, a strong second slot or the sum of all four decides.
// Blocks with fewer than four filled slots in common get 250 more. 0 when no
// slot is filled on both sides or the first impressions sum below 400.
// The slots' first impressions, summed over the slots filled on both sides
// (`used` of them), must reach 400.
bool SlotFirstPassAgrees(int32_t used, int32_t sum);

// The result from each slot's best score: 900 for a very strong slot (mapped
// above 680), else 910 for a strong second slot (above 450), or the mapped sum
// of all four when that is higher; 250 more when fewer than four slots were
// filled on both sides.
int32_t CombineSlotScores(const std::array<int32_t, kSlotCount>& best, int32_t used);

int32_t MatchAlgorithm140(std::span<const uint8_t> first, std::span<const uint8_t> second, MatchContext& context);

} // namespace vela::engine
