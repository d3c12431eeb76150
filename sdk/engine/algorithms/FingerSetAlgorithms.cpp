#include "engine/algorithms/FingerSetAlgorithms.h"

#include <vector>

#include "engine/algorithms/BlockLayouts.h"
#include "engine/algorithms/EntryPairComparisons.h"
#include "engine/algorithms/ExpandFingerSet.h"

namespace vela::engine {

namespace {

constexpr int32_t kFirstPassPairs = 4;

// The relaxed thresholds for one pass; the normal ones afterwards.
class RelaxedTuning {
public:
    explicit RelaxedTuning(MatchContext& context) : context_(context) { context_.tuning = kRelaxedMatchTuning; }
    ~RelaxedTuning() { context_.tuning = kNormalMatchTuning; }
    RelaxedTuning(const RelaxedTuning&) = delete;
    RelaxedTuning& operator=(const RelaxedTuning&) = delete;

private:
    MatchContext& context_;
};

struct TwoPassRule {
    FingerPairing pairing;
    EntryComparison firstPass;
    EntryComparison secondPass;
    bool relaxSecondPass;
    bool rankedWhenFew;   // fewer than two fingers scored: combine by the flag, else by finger
};

int32_t PlacesScored(FingerScoreList& list, const FingerPairing& pairing, int32_t compared)
{
    return pairing.ByPlace() ? compared : CompactFingerScores(list);
}

int32_t MatchInTwoPasses(const FingerSet& first, const FingerSet& second, const TwoPassRule& rule, int32_t flag,
                         MatchContext& context)
{
    FingerScoreList list = kEmptyFingerScores;
    int32_t others = 0;
    const int32_t compared =
        ScoreFingerPairs(first, second, rule.pairing, kFirstPassPairs, rule.firstPass, list, others);
    const int32_t scored = PlacesScored(list, rule.pairing, compared);
    const int32_t combined = CombineFingerScores(list);

    int32_t result = 0;
    if (scored < 2) {
        result = rule.rankedWhenFew ? CombineByFlag(flag, list, scored) : CombineFingerScores(list);
    } else if (combined < FingerCountThreshold(scored)) {
        // The fingers the first pass left out count as no agreement.
        const int32_t matching = CountMatchingPairs(first, second, rule.pairing);
        for (int32_t place = kFirstPassPairs; place < matching; ++place)
            list[static_cast<size_t>(place)] = 0;
        result = CombineByFlag(flag, list, matching);
    } else {
        list = kEmptyFingerScores;
        int32_t comparedAgain = 0;
        if (rule.relaxSecondPass) {
            RelaxedTuning relaxed(context);
            comparedAgain = ScoreFingerPairs(first, second, rule.pairing, kEveryPair, rule.secondPass, list, others);
        } else {
            comparedAgain = ScoreFingerPairs(first, second, rule.pairing, kEveryPair, rule.secondPass, list, others);
        }
        result = CombineByFlag(flag, list, PlacesScored(list, rule.pairing, comparedAgain));
    }
    return FinishFingerSetScore(result, others);
}

} // namespace

int32_t MatchFingerSets(const FingerSet& first, const FingerSet& second, int32_t rotations, int32_t flag,
                        MatchContext& context)
{
    const TwoPassRule rule{
        FingerPairing{PairRule::ByKind, HoldsPlainImpressions(first)},
        [&](const EntryImpressions& a, const EntryImpressions& b) { return CompareEntryPair(a, b, rotations, context); },
        [&](const EntryImpressions& a, const EntryImpressions& b) {
            return CompareEntryPairRelaxed(a, b, rotations, context);
        },
        true,
        true};
    return MatchInTwoPasses(first, second, rule, flag, context);
}

int32_t MatchAlgorithm150(std::span<const uint8_t> first, std::span<const uint8_t> second, int32_t flag,
                          MatchContext& context)
{
    const EntryComparison plain = [&](const EntryImpressions& x, const EntryImpressions& y) {
        return CompareEntryPairPlain(x, y, context);
    };
    return MatchFingerSetsInOnePass(ReadFingerSet(first), ReadFingerSet(second), plain, flag);
}

int32_t MatchAlgorithm152(std::span<const uint8_t> first, std::span<const uint8_t> second, int32_t flag,
                          MatchContext& context)
{
    const FingerSet a = ReadFingerSet(first);
    const FingerSet b = ReadFingerSet(second);
    // The wider pass meets the first pass's pairs again: score each pair once.
    std::vector<int32_t> known(a.size() * b.size(), -1);
    const EntryComparison plain = [&](const EntryImpressions& x, const EntryImpressions& y) {
        const size_t i = static_cast<size_t>(&x - a.data());
        const size_t j = static_cast<size_t>(&y - b.data());
        int32_t& score = known[i * b.size() + j];
        if (score < 0)
            score = CompareEntryPairPlain(x, y, context);
        return score;
    };
    FingerScoreList list = kEmptyFingerScores;
    int32_t others = 0;
    ScoreFingerPairs(a, b, FingerPairing{}, kFirstPassPairs, plain, list, others);
    int32_t scored = CompactFingerScores(list);
    int32_t result = 0;
    if (scored < 2) {
        result = CombineFingerScores(list);
    } else {
        list = kEmptyFingerScores;
        ScoreFingerPairs(a, b, FingerPairing{}, kEveryPair, plain, list, others);
        scored = CompactFingerScores(list);
        result = CombineByFlag(flag, list, scored);
    }
    return FinishFingerSetScore(result, others);
}

int32_t MatchAlgorithm154(std::span<const uint8_t> first, std::span<const uint8_t> second, int32_t flag,
                          MatchContext& context)
{
    const TwoPassRule rule{
        FingerPairing{},
        [&](const EntryImpressions& a, const EntryImpressions& b) { return CompareEntryPairPlain(a, b, context); },
        [&](const EntryImpressions& a, const EntryImpressions& b) { return CompareEntryPairTurned(a, b, context); },
        false,
        false};
    return MatchInTwoPasses(ReadFingerSet(first), ReadFingerSet(second), rule, flag, context);
}

int32_t MatchAlgorithm182(std::span<const uint8_t> first, std::span<const uint8_t> second, int32_t flag,
                          MatchContext& context)
{
    return MatchExpandedFingerSets(first, second, [&](const FingerSet& a, const FingerSet& b) {
        return MatchFingerSets(a, b, 1, flag, context);
    });
}

int32_t MatchAlgorithm191(std::span<const uint8_t> first, std::span<const uint8_t> second, MatchContext& context)
{
    return MatchFingerSets(ReadFingerSet(first), ReadFingerSet(second), 1, 1, context);
}

} // namespace vela::engine
