#include "engine/algorithms/FastFingerSetAlgorithms.h"

#include <algorithm>

#include "engine/algorithms/BlockLayouts.h"
#include "engine/algorithms/ExpandFingerSet.h"
#include "engine/hashing/HashCompareEntries.h"
#include "engine/records/BiometricData.h"

namespace vela::engine {

namespace {

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
    const EntryComparison fast = [&](const EntryImpressions& a, const EntryImpressions& b) {
        return CompareEntriesFast(a, b, context);
    };
    return MatchFingerSetsInOnePass(first, second, fast, flag);
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
    return std::min(CombineRankedScores(list, 1), kHighestFingerSetScore);
}

int32_t MatchAlgorithm180(std::span<const uint8_t> first, std::span<const uint8_t> second, int32_t flag,
                          MatchContext& context)
{
    return MatchExpandedFingerSets(first, second, [&](const FingerSet& a, const FingerSet& b) {
        return MatchFingerSetsFast(a, b, flag, context);
    });
}

} // namespace vela::engine
