#pragma once

#include <cstddef>
#include <cstdint>

#include "engine/matching/MatchContext.h"

namespace vela::engine {

// Prepares an impression for comparison: false when its count exceeds 70.
// Block values above 61 become 61 and minutia directions are taken modulo 24,
// so that no value can lead a look-up off its table.
bool NormaliseForMatching(Impression& impression);

// How well two impressions come from the same finger: 0 for no evidence,
// more for better agreement (above 449 counts as agreeing). Compares one way
// and, when that looks promising, the other way, each also with the second
// impression turned by 45-degree steps up to `rotations` (0..4) times either
// way. A record that is short or corrupt scores 0.
int32_t CompareMinutiaeSets(const uint8_t* first, size_t firstLength, const uint8_t* second, size_t secondLength,
                            int32_t rotations, MatchContext& context);
int32_t CompareMinutiaeSets(const Impression& first, const Impression& second, int32_t rotations,
                            MatchContext& context);

// One direction of the comparison: the best of the plain comparison and of
// the 45-degree turned copies of the second impression that score above 170.
int32_t CompareDirected(const Impression& first, const Impression& second, int32_t rotations, AlignMode mode,
                        MatchContext& context);

// The aligned score, and when it is promising also the scores of the second
// impression turned about 22 degrees either way; the largest of them.
int32_t ScoreWithShifts(const Impression& first, const Impression& second, AlignMode mode, MatchContext& context);

// Aligns the block maps, pairs the minutiae and scores the pairing; a strong
// score is checked against the four diagonal neighbour shifts.
int32_t ScoreAligned(const Impression& first, const Impression& second, AlignMode mode, MatchContext& context);

// Low-quality impressions cannot carry a top score: 500 at most with a
// quality of 24 or less, 460 at most below 15.
int32_t ApplyQualityCaps(int32_t score, int32_t firstQuality, int32_t secondQuality);

} // namespace vela::engine
