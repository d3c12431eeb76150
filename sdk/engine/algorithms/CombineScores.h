#pragma once

#include <array>
#include <cstdint>

namespace vela::engine {

// Scores of up to ten fingers: place c - 1 for finger code c, or, for sets of
// plain impressions, one place per compared pair in order. -1 marks a place
// without a score.
inline constexpr int32_t kFingerPlaces = 10;
inline constexpr int32_t kNoFingerScore = -1;
using FingerScoreList = std::array<int32_t, kFingerPlaces>;
inline constexpr FingerScoreList kEmptyFingerScores{-1, -1, -1, -1, -1, -1, -1, -1, -1, -1};

// Moves the scores to the front, keeping their order, and returns how many
// there are.
int32_t CompactFingerScores(FingerScoreList& list);

// The best finger alone when it is very strong, the best two when the second
// is strong too, otherwise twice the mean of the scored fingers.
int32_t CombineFingerScores(const FingerScoreList& list);

// Combines the first n scores by rank: the k best together, read off the
// ranked-score curve of k fingers, less a fee that grows with n for leaving
// out the weaker ones.
int32_t CombineRankedScores(const FingerScoreList& list, int32_t n);

// The combination a finger-set algorithm's flag selects: 1 ranked, 0 by fingers.
int32_t CombineByFlag(int32_t flag, const FingerScoreList& list, int32_t n);

// The combined score that a first pass over n fingers must reach to earn the
// wider second pass: 200, 150, 120 for 2, 3, 4 fingers, else 5000.
int32_t FingerCountThreshold(int32_t fingers);

} // namespace vela::engine
