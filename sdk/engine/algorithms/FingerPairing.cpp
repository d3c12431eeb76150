#include "engine/algorithms/FingerPairing.h"

#include <algorithm>

#include "engine/algorithms/ScoreMaps.h"

namespace vela::engine {

namespace {

bool SameKnownCode(int32_t a, int32_t b)
{
    return a != 0 && a == b && a <= kFingerPlaces;
}

} // namespace

bool HoldsPlainImpressions(const FingerSet& set)
{
    return !set.empty() && set.front().Kind() == impression::kPlain;
}

bool FingerPairing::Matching(const FingerSet& first, const FingerSet& second, size_t i, size_t j) const
{
    const bool sameCode = SameKnownCode(first[i].FingerCode(), second[j].FingerCode());
    if (rule == PairRule::SameCode)
        return sameCode;
    return (first[i].Kind() == impression::kInFingerEntry && sameCode) || (plain && i == j);
}

bool FingerPairing::Other(const FingerSet& first, const FingerSet& second, size_t i, size_t j) const
{
    return !Matching(first, second, i, j) && (first[i].FingerCode() == 0 || second[j].FingerCode() == 0);
}

int32_t ScoreFingerPairs(const FingerSet& first, const FingerSet& second, const FingerPairing& pairing,
                         int32_t limit, const EntryComparison& compare, FingerScoreList& list, int32_t& others)
{
    const bool byPlace = pairing.ByPlace();
    int32_t compared = 0;
    for (size_t i = 0; i < first.size(); ++i) {
        for (size_t j = 0; j < second.size(); ++j) {
            if (pairing.Matching(first, second, i, j)) {
                if (compared >= limit || (byPlace && compared >= kFingerPlaces))
                    continue;
                const int32_t score = compare(first[i], second[j]);
                const size_t place = byPlace ? static_cast<size_t>(compared)
                                             : static_cast<size_t>(first[i].FingerCode() - 1);
                list[place] = byPlace ? score : std::max(list[place], score);
                ++compared;
            } else if (pairing.Other(first, second, i, j)) {
                others = std::max(others, compare(first[i], second[j]));
            }
        }
    }
    return compared;
}

int32_t CountMatchingPairs(const FingerSet& first, const FingerSet& second, const FingerPairing& pairing)
{
    int32_t count = 0;
    for (size_t i = 0; i < first.size(); ++i) {
        for (size_t j = 0; j < second.size(); ++j) {
            if (pairing.Matching(first, second, i, j) && ++count == kFingerPlaces)
                return count;
        }
    }
    return count;
}

int32_t FinishFingerSetScore(int32_t combined, int32_t others)
{
    return std::min(std::max(combined, MapSingleScore(others)), kHighestFingerSetScore);
}

int32_t MatchFingerSetsInOnePass(const FingerSet& first, const FingerSet& second, const EntryComparison& compare,
                                 int32_t flag)
{
    FingerScoreList list = kEmptyFingerScores;
    int32_t others = 0;
    ScoreFingerPairs(first, second, FingerPairing{}, kEveryPair, compare, list, others);
    const int32_t scored = CompactFingerScores(list);
    return FinishFingerSetScore(CombineByFlag(flag, list, scored), others);
}

} // namespace vela::engine
