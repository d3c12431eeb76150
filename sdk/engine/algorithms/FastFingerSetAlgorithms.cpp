#include "engine/algorithms/FastFingerSetAlgorithms.h"

#include <algorithm>
#include <limits>

#include "engine/algorithms/BlockLayouts.h"
#include "engine/algorithms/ExpandFingerSet.h"
#include "engine/hashing/HashCompareEntries.h"
#include "engine/records/BiometricData.h"

namespace vela::engine {

namespace {

constexpr int32_t kNoLimit = std::numeric_limits<int32_t>::max();
constexpr int32_t kHighestScore = 2000;

// The number of records of a given size after the 8-byte header, by the size word.
int32_t ItemsAfterHeader(std::span<const uint8_t> block, size_t itemSize)
{
    const int32_t size = BlockSizeWord(block);
    if (size < static_cast<int32_t>(biometric_data::kHeaderSize))
        return 0;
    return static_cast<int32_t>((static_cast<size_t>(size) - biometric_data::kHeaderSize) / itemSize);
}

} // namespace

int32_t MatchFingerSetsFast(const FingerSet& first, const FingerSet& second, int32_t flag, MatchContext& context)
{
    ClearMatchResult(context);
    FingerScoreList list = kEmptyFingerScores;
    int32_t others = 0;
    const EntryComparison fast = [&](const EntryImpressions& a, const EntryImpressions& b) {
        return CompareEntriesFast(a, b, context);
    };
    ScoreFingerPairs(first, second, FingerPairing{}, kNoLimit, fast, list, others);
    const int32_t scored = CompactFingerScores(list);
    return FinishFingerSetScore(CombineByFlag(flag, list, scored), others);
}

int32_t MatchAlgorithm160(std::span<const uint8_t> first, std::span<const uint8_t> second, int32_t flag,
                          MatchContext& context)
{
    return MatchFingerSetsFast(ReadFingerSet(first), ReadFingerSet(second), flag, context);
}

int32_t MatchAlgorithm170(std::span<const uint8_t> first, std::span<const uint8_t> second, MatchContext& context)
{
    ClearMatchResult(context);
    if (ItemsAfterHeader(first, finger_entry::kSize) != 1 || ItemsAfterHeader(second, impression::kSize) != 1)
        return kNotOneEntryAgainstOneImpression;
    const FingerSet entries = ReadFingerSet(first);
    Impression single;
    const size_t at = biometric_data::kHeaderSize;
    if (entries.size() != 1 || second.size() < at + impression::kSize ||
        !ReadImpression(second.data() + at, impression::kSize, single))
        return kNotOneEntryAgainstOneImpression;

    FingerScoreList list = kEmptyFingerScores;
    list[0] = CompareEntriesFast(entries.front(), RepeatImpression(single), context);
    return std::min(CombineRankedScores(list, 1), kHighestScore);
}

int32_t MatchAlgorithm180(std::span<const uint8_t> first, std::span<const uint8_t> second, int32_t flag,
                          MatchContext& context)
{
    const std::optional<FingerSet> a = ReadExpandedFingerSet(first);
    if (!a)
        return kFirstBlockNotExpanded;
    const std::optional<FingerSet> b = ReadExpandedFingerSet(second);
    if (!b)
        return kSecondBlockNotExpanded;
    return MatchFingerSetsFast(*a, *b, flag, context);
}

} // namespace vela::engine
