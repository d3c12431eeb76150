#include "engine/hashing/HashCompareEntries.h"

#include <algorithm>

#include "engine/hashing/BuildPairHash.h"
#include "engine/hashing/HashAlign.h"
#include "engine/hashing/MapHashScore.h"
#include "engine/hashing/TransformImpression.h"
#include "engine/matching/ComparisonMemo.h"

namespace vela::engine {

namespace {

constexpr int32_t kFewestMeanMinutiae = 7;     // below it the hash score itself does not count
constexpr int32_t kFirstOddQuality = 50;       // the odd records take part above these qualities
constexpr int32_t kSecondOddQuality = 40;
constexpr int32_t kHighestScore = 2000;

int32_t NinetyFivePercent(int32_t score)
{
    return score * 95 / 100;
}

bool OddRecordsCount(const EntryImpressions& first, const EntryImpressions& second, size_t index)
{
    return first[index].quality > kFirstOddQuality && second[index].quality > kSecondOddQuality;
}

} // namespace

bool EarnsReverseHashComparison(int32_t score)
{
    return score > 80 && score < 750;
}

int32_t HashScoreEntries(const EntryImpressions& first, const EntryImpressions& second, PairHashTables& tables,
                         MatchContext& context)
{
    ComparisonMemo memo(context);
    Impression moved0;
    const int32_t hashScore = HashAlign(tables, second[0], moved0);
    if (!context.result.pending)
        SetMatchResult(context, {tables.working.rotation, 2 * tables.working.xShift, 2 * tables.working.yShift});

    const AlignmentEstimate& estimate = tables.handedOut;
    const bool aligned = estimate.rotation != kNoRotation;
    int32_t score = 0;
    Impression moved1;
    if (aligned) {
        int32_t best = NinetyFivePercent(memo.Compare(first[0], moved0, 0));
        if (estimate.meanCount >= kFewestMeanMinutiae)
            best = std::max(best, MapHashScore(hashScore));
        if (OddRecordsCount(first, second, 1)) {
            moved1 = TransformImpression(second[1], estimate.rotation, -estimate.xShift, -estimate.yShift);
            best = std::max(best, memo.Compare(first[1], moved1, 0));
        }
        score = std::max(score, best);
    }

    for (size_t k : {size_t{0}, size_t{2}}) {
        score = std::max(score, NinetyFivePercent(memo.Compare(first[k], second[k], 1)));
        if (OddRecordsCount(first, second, k + 1))
            score = std::max(score, memo.Compare(first[k + 1], second[k + 1], 1));
    }
    if (!aligned)
        return score;

    // Records 2 and 3 are shifted copies: only the turn carries over.
    const Impression moved2 = TransformImpression(second[2], estimate.rotation, 0, 0);
    score = std::max(score, NinetyFivePercent(memo.Compare(first[2], moved2, 0)));
    if (OddRecordsCount(first, second, 3)) {
        const Impression moved3 = TransformImpression(second[3], estimate.rotation, 0, 0);
        score = std::max(score, memo.Compare(first[3], moved3, 0));
    }
    return score;
}

int32_t HashCompareEntries(const EntryImpressions& first, const EntryImpressions& second, MatchContext& context)
{
    PairHashTables* tables = AttachPairHashTables(context);
    if (tables == nullptr)
        return 0;
    tables->working = AlignmentEstimate{};
    if (BuildPairHash(first[0], *tables) != 0)
        return 0;
    int32_t score = HashScoreEntries(first, second, *tables, context);
    if (!EarnsReverseHashComparison(score))
        return score;
    if (BuildPairHash(second[0], *tables) == 0)
        score = std::max(score, HashScoreEntries(second, first, *tables, context));
    BuildPairHash(first[0], *tables);
    return score;
}

int32_t CompareEntriesFast(const EntryImpressions& first, const EntryImpressions& second, MatchContext& context)
{
    return std::min(HashCompareEntries(first, second, context), kHighestScore);
}

} // namespace vela::engine
