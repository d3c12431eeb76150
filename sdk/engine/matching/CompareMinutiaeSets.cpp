#include "engine/matching/CompareMinutiaeSets.h"

#include <algorithm>

#include "engine/matching/AlignBlockMaps.h"
#include "engine/matching/MapCache.h"
#include "engine/matching/PairMinutiae.h"
#include "engine/matching/ReduceImpression.h"
#include "engine/matching/RotateImpression.h"
#include "engine/matching/ScoreMatch.h"

namespace vela::engine {

namespace {

constexpr int32_t kFewestMinutiae = 3;
constexpr int32_t kLowestQuality = 10;
constexpr int32_t kLargeOverlap = 200;        // above it, the inner part of the first impression is paired
constexpr int32_t kTurnedCopyScore = 170;     // a 45-degree turned copy must beat this to count
constexpr int32_t kMaxRotationIndex = 4;

int32_t PairAndScore(MatchContext& context, const Impression& first, const Impression& second,
                     const Alignment& alignment)
{
    const PairingResult pairing = PairMinutiae(context, first, second, alignment);
    ScoreInputs inputs;
    inputs.overlap = alignment.overlap;
    inputs.commonCount = pairing.commonCount;
    inputs.difference = alignment.difference;
    inputs.closeCount = pairing.closeCount;
    inputs.regionScoreSum = pairing.regionScoreSum;
    context.scoreInputs = inputs;
    return ScoreMatch(inputs, context.tuning);
}

// ReduceImpression(impression), made once for a run of calls with one impression.
const Impression& ReducedImpression(MatchContext& context, const Impression& impression)
{
    ImpressionMemo& memo = context.memo;
    if (!memo.reducedFilled || !(memo.reducedSource == impression)) {
        memo.reduced = ReduceImpression(impression);
        memo.reducedSource = impression;
        memo.reducedFilled = true;
    }
    return memo.reduced;
}

// A strong pairing may sit half a block off: the diagonal neighbour shifts
// are paired with fewer passes and count at nine tenths.
int32_t BestDiagonalNeighbour(MatchContext& context, const Impression& first, const Impression& second,
                              const Alignment& alignment)
{
    const ScoreInputs kept = context.scoreInputs;
    context.pairing.iterations = kNeighbourhoodIterations;
    int32_t best = 0;
    for (int32_t dr : {-1, 1}) {
        for (int32_t dc : {-1, 1}) {
            Alignment neighbour = alignment;
            neighbour.rowShift += dr;
            neighbour.columnShift += dc;
            best = std::max(best, PairAndScore(context, first, second, neighbour));
        }
    }
    context.pairing = kPairing;
    context.scoreInputs = kept;
    return best;
}

} // namespace

bool NormaliseForMatching(Impression& impression)
{
    if (impression.count > kMaxMinutiae)
        return false;
    for (uint8_t& value : impression.blocks)
        value = std::min(value, kNoDirection);
    for (uint8_t& direction : impression.direction)
        direction = static_cast<uint8_t>(direction % kMinutiaDirections);
    return true;
}

int32_t ApplyQualityCaps(int32_t score, int32_t firstQuality, int32_t secondQuality)
{
    const int32_t lower = std::min(firstQuality, secondQuality);
    if (score > 500 && lower <= 24)
        score = 500;
    if (score > 460 && lower < 15)
        score = 460;
    return score;
}

int32_t ScoreAligned(const Impression& first, const Impression& second, AlignMode mode, MatchContext& context)
{
    context.scoreInputs = ScoreInputs{};
    if (mode != AlignMode::Rotated)
        LookUpMapCache(context.cache, first.blocks);
    const Alignment alignment = AlignBlockMaps(context, second.blocks, mode);
    context.alignment = alignment;
    if (alignment.overlap <= context.tuning.minimumOverlap ||
        alignment.difference >= context.tuning.maximumDifference)
        return 0;

    const Impression& paired = alignment.overlap > kLargeOverlap ? ReducedImpression(context, first) : first;
    context.pairing = kPairing;
    const int32_t score = PairAndScore(context, paired, second, alignment);
    if (score <= context.tuning.neighbourhoodScore)
        return score;
    return std::max(score, 9 * BestDiagonalNeighbour(context, paired, second, alignment) / 10);
}

int32_t ScoreWithShifts(const Impression& first, const Impression& second, AlignMode mode, MatchContext& context)
{
    int32_t best = ScoreAligned(first, second, mode, context);
    if (best <= context.tuning.rotationScore)
        return best;
    for (const Rotation& turn : {kSmallTurnUp, kSmallTurnDown})
        best = std::max(best, ScoreAligned(first, RotateImpression(second, turn), AlignMode::Rotated, context));
    return best;
}

int32_t CompareDirected(const Impression& first, const Impression& second, int32_t rotations, AlignMode mode,
                        MatchContext& context)
{
    int32_t best = ScoreWithShifts(first, second, mode, context);
    const int32_t steps = std::clamp(rotations, 0, kMaxRotationIndex);
    for (int32_t k = 1; k <= steps; ++k) {
        for (int32_t index : {k, -k}) {
            if (index == -kMaxRotationIndex)
                continue;  // 180 degrees either way is the same turn
            const int32_t score =
                ScoreWithShifts(first, RotateImpression(second, index), AlignMode::Rotated, context);
            if (score > kTurnedCopyScore && score > best)
                best = score;
        }
    }
    return best;
}

int32_t CompareMinutiaeSets(const Impression& firstGiven, const Impression& secondGiven, int32_t rotations,
                            MatchContext& context)
{
    Impression first = firstGiven;
    Impression second = secondGiven;
    if (!NormaliseForMatching(first) || !NormaliseForMatching(second))
        return 0;
    if (first.count < kFewestMinutiae || second.count < kFewestMinutiae || first.quality < kLowestQuality ||
        second.quality < kLowestQuality)
        return 0;
    int32_t score = CompareDirected(first, second, rotations, AlignMode::Forward, context);
    if (score >= context.tuning.reverseScore) {
        // The reverse comparison must not use up a cache slot of its own.
        const MapCacheIndex index = SaveMapCacheIndex(context.cache);
        const int32_t reverse = CompareDirected(second, first, rotations, AlignMode::Reverse, context);
        RestoreMapCacheIndex(context.cache, index);
        score = std::max(score, reverse);
    }
    return std::clamp(ApplyQualityCaps(score, first.quality, second.quality), 0, 0xFFFF);
}

int32_t CompareMinutiaeSets(const uint8_t* first, size_t firstLength, const uint8_t* second, size_t secondLength,
                            int32_t rotations, MatchContext& context)
{
    Impression a;
    Impression b;
    if (!ReadImpression(first, firstLength, a) || !ReadImpression(second, secondLength, b))
        return 0;
    return CompareMinutiaeSets(a, b, rotations, context);
}

} // namespace vela::engine
