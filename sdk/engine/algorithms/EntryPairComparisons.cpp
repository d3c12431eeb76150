#include "engine/algorithms/EntryPairComparisons.h"

#include <algorithm>

#include "engine/matching/ComparisonMemo.h"

namespace vela::engine {

namespace {

constexpr int32_t kOddRecordQuality = 40;
constexpr int32_t kRecordTwoNeeds = 150;  // the plain variant compares record 2 only above this
constexpr int32_t kMaxRotations = 4;

struct EntryPairRule {
    int32_t rotations;
    bool alwaysRecordTwo;
    int32_t gate;
};

int32_t NineTenths(int32_t score)
{
    return score * 9 / 10;
}

int32_t CompareWithRule(const EntryImpressions& first, const EntryImpressions& second, const EntryPairRule& rule,
                        MatchContext& context)
{
    ComparisonMemo memo(context);
    const int32_t zero = NineTenths(memo.Compare(first[0], second[0], rule.rotations));
    int32_t main = zero;
    if (rule.alwaysRecordTwo || zero > kRecordTwoNeeds)
        main = std::max(main, NineTenths(memo.Compare(first[2], second[2], rule.rotations)));
    int32_t odd = 0;
    if (main >= rule.gate) {
        for (size_t k : {size_t{1}, size_t{3}}) {
            if (first[k].quality > kOddRecordQuality && second[k].quality > kOddRecordQuality)
                odd = std::max(odd, memo.Compare(first[k], second[k], rule.rotations));
        }
    }
    return CombineEntryPairScores(main, odd);
}

} // namespace

int32_t CombineEntryPairScores(int32_t main, int32_t odd)
{
    const int32_t score = std::max(main, odd);
    if (score >= 552 && score < 700 && std::min(main, odd) < 416)
        return 552;
    return score;
}

int32_t CompareEntryPairPlain(const EntryImpressions& first, const EntryImpressions& second, MatchContext& context)
{
    return CompareWithRule(first, second, EntryPairRule{0, true, 150}, context);
}

int32_t CompareEntryPairTurned(const EntryImpressions& first, const EntryImpressions& second, MatchContext& context)
{
    return CompareWithRule(first, second, EntryPairRule{1, true, 150}, context);
}

int32_t CompareEntryPair(const EntryImpressions& first, const EntryImpressions& second, int32_t rotations,
                         MatchContext& context)
{
    return CompareWithRule(first, second, EntryPairRule{rotations, false, 150}, context);
}

int32_t CompareEntryPairRelaxed(const EntryImpressions& first, const EntryImpressions& second, int32_t rotations,
                                MatchContext& context)
{
    const int32_t turned = rotations < kMaxRotations ? rotations + 1 : rotations;
    return CompareWithRule(first, second, EntryPairRule{turned, true, 80}, context);
}

} // namespace vela::engine
