#pragma once

#include <cstdint>
#include <functional>
#include <limits>
#include <vector>

#include "engine/algorithms/CombineScores.h"
#include "engine/hashing/EntryImpressions.h"

namespace vela::engine {

// Which entry pairs of two finger sets stand for the same finger.
enum class PairRule {
    SameCode,  // equal finger codes 1..10
    ByKind,    // entries of kind 3 by equal codes; sets of plain impressions entry i against entry i
};

using FingerSet = std::vector<EntryImpressions>;
using EntryComparison = std::function<int32_t(const EntryImpressions&, const EntryImpressions&)>;

// Whether the first set's impressions are plain ones (kind 1), judged by its
// first entry's first record.
bool HoldsPlainImpressions(const FingerSet& set);

struct FingerPairing {
    PairRule rule = PairRule::SameCode;
    bool plain = false;       // ByKind only: the first set holds plain impressions

    // Sets of plain impressions are scored by place, the p-th compared pair in
    // place p, instead of by finger code.
    bool ByPlace() const { return rule == PairRule::ByKind && plain; }
    bool Matching(const FingerSet& first, const FingerSet& second, size_t i, size_t j) const;
    // Not matching, and a finger code 0 on either side.
    bool Other(const FingerSet& first, const FingerSet& second, size_t i, size_t j) const;
};

// No limit on the pairs ScoreFingerPairs compares.
inline constexpr int32_t kEveryPair = std::numeric_limits<int32_t>::max();

// One pass over every entry pair, first set outer: matching pairs are
// compared while fewer than `limit` have been, each score going into place p
// (the p-th compared pair) of a plain set or into the place of its finger code
// as a maximum; other pairs raise `others`. Returns the number of matching
// pairs compared. A plain set has no place beyond the tenth, and pairs of
// codes above 10 have no place at all: neither is compared.
int32_t ScoreFingerPairs(const FingerSet& first, const FingerSet& second, const FingerPairing& pairing,
                         int32_t limit, const EntryComparison& compare, FingerScoreList& list, int32_t& others);

// The matching pairs, counted in the same order, at most 10.
int32_t CountMatchingPairs(const FingerSet& first, const FingerSet& second, const FingerPairing& pairing);

// The highest score of a finger-set algorithm.
inline constexpr int32_t kHighestFingerSetScore = 2000;

// Every finger-set algorithm ends so: the better of its combination and the
// mapped best score of the pairs with an unknown finger, at most 2000.
int32_t FinishFingerSetScore(int32_t combined, int32_t others);

// The one-pass algorithms: every pair of the same finger compared, the places
// scored combined by the flag, then finished as above.
int32_t MatchFingerSetsInOnePass(const FingerSet& first, const FingerSet& second, const EntryComparison& compare,
                                 int32_t flag);

} // namespace vela::engine
