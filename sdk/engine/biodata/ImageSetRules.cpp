#include "engine/biodata/ImageSetRules.h"

#include <array>
#include <utility>

#include "engine/biodata/FingerSetBlock.h"

namespace vela::engine {

namespace {

constexpr int32_t kFingerCodes = 11;           // 0..10
constexpr int32_t kMaxImagesOfAFinger = 10;
constexpr int32_t kMaxFingerEntries = 100;
constexpr int32_t kMaxMergedBlockEntries = 99;

// Byte offsets of the finger code and impression index in a type-139 block.
constexpr size_t kQualityBlockFingerCode = 8;
constexpr size_t kQualityBlockImpression = 9;

using CodeCounts = std::array<int32_t, kFingerCodes>;

bool IsTwoFingerType(int32_t id)
{
    return id == 10 || id == 11 || id == 110 || id == 111 || id == 20 || id == 120;
}

bool IsFingerSetType(int32_t id)
{
    return id == 150 || id == 161 || id == 162 || id == 164 || id == 165;
}

bool IsQualityFinger(int32_t code)
{
    return code == 1 || code == 2 || code == 6 || code == 7;
}

ResultCode CheckTwoFingers(const std::vector<ChainEntry>& entries)
{
    CodeCounts counts{};
    for (const ChainEntry& e : entries)
        ++counts[e.fingerCode];
    int32_t fingers = 0;
    for (int32_t code = 1; code < kFingerCodes; ++code)
        fingers += counts[code] > 0 ? 1 : 0;
    return counts[0] == 0 && fingers == 2 ? result::Success : result::BadCombination;
}

ResultCode CheckImagesPerFinger(const std::vector<ChainEntry>& entries)
{
    CodeCounts counts{};
    for (const ChainEntry& e : entries) {
        if (++counts[e.fingerCode] > kMaxImagesOfAFinger)
            return result::BadCombination;
    }
    return result::Success;
}

ResultCode CheckQualityImage(const std::vector<ChainEntry>& entries)
{
    if (entries.size() != 1)
        return result::BadImageCount;
    const ChainEntry& e = entries.front();
    return IsQualityFinger(e.fingerCode) && e.impressionIndex == 1 ? result::Success : result::BadCombination;
}

// Type 140 takes its finger codes from the type-139 blocks it carries.
ResultCode CheckQualityBlocks(std::vector<ChainEntry>& entries)
{
    if (entries.size() > 4)
        return result::BadImageCount;
    CodeCounts counts{};
    for (ChainEntry& e : entries) {
        e.fingerCode = e.payload[kQualityBlockFingerCode];
        e.impressionIndex = e.payload[kQualityBlockImpression];
        if (!IsQualityFinger(e.fingerCode) || e.impressionIndex != 1 || ++counts[e.fingerCode] > 1)
            return result::BadCombination;
    }
    OrderImageChain(entries);
    return result::Success;
}

// Counts a block's finger entries by code; false for a code above 10.
bool CountCodes(const FingerSetView& set, CodeCounts& counts)
{
    for (int32_t i = 0; i < set.entries; ++i) {
        const int32_t code = set.FingerCode(i);
        if (code >= kFingerCodes)
            return false;
        ++counts[code];
    }
    return true;
}

bool WithinFingerLimit(const CodeCounts& counts)
{
    for (int32_t count : counts) {
        if (count > kMaxImagesOfAFinger)
            return false;
    }
    return true;
}

ResultCode ReadMergedBlock(ChainEntry& e, FingerSetView& set)
{
    if (!ReadFingerSet(e.payload, set) || set.entries < 1 || set.entries > kMaxMergedBlockEntries)
        return result::BadCombination;
    e.fingerCode = set.FingerCode(0);
    return result::Success;
}

ResultCode CheckMergeAll(std::vector<ChainEntry>& entries)
{
    if (entries.size() < 2)
        return result::BadImageCount;
    CodeCounts counts{};
    int32_t total = 0;
    for (ChainEntry& e : entries) {
        FingerSetView set;
        if (const ResultCode code = ReadMergedBlock(e, set))
            return code;
        if (!CountCodes(set, counts))
            return result::BadCombination;
        total += set.entries;
    }
    return WithinFingerLimit(counts) && total <= kMaxFingerEntries ? result::Success : result::BadCombination;
}

ResultCode CheckMergeTwo(std::vector<ChainEntry>& entries)
{
    if (entries.size() != 2)
        return result::BadImageCount;
    std::array<CodeCounts, 2> counts{};
    for (size_t b = 0; b < 2; ++b) {
        FingerSetView set;
        if (const ResultCode code = ReadMergedBlock(entries[b], set))
            return code;
        if (!CountCodes(set, counts[b]) || !WithinFingerLimit(counts[b]))
            return result::BadCombination;
    }
    int32_t merged = 0;
    for (int32_t code = 0; code < kFingerCodes; ++code)
        merged += counts[0][code] > 0 ? counts[0][code] : counts[1][code];
    return merged <= kMaxFingerEntries ? result::Success : result::BadCombination;
}

ResultCode CheckRemoveFinger(const std::vector<ChainEntry>& entries)
{
    if (entries.size() != 1)
        return result::BadImageCount;
    FingerSetView set;
    return ReadFingerSet(entries.front().payload, set) ? result::Success : result::BadCombination;
}

} // namespace

void OrderImageChain(std::vector<ChainEntry>& entries)
{
    auto key = [](const ChainEntry& e) { return e.fingerCode * 11 + e.impressionIndex; };
    for (bool swapped = true; swapped;) {
        swapped = false;
        for (size_t i = 1; i < entries.size(); ++i) {
            if (key(entries[i - 1]) > key(entries[i])) {
                std::swap(entries[i - 1], entries[i]);
                swapped = true;
            }
        }
    }
}

ResultCode CheckImageSet(int32_t dataId, std::vector<ChainEntry>& entries)
{
    switch (dataId) {
    case 140:
        return CheckQualityBlocks(entries);
    case 151:
        return CheckMergeAll(entries);
    case 152:
        return CheckMergeTwo(entries);
    case 153:
        return CheckRemoveFinger(entries);
    case 163:
        return entries.size() == 1 ? result::Success : result::BadImageCount;
    case 167:
        return entries.size() == 2 ? result::Success : result::BadImageCount;
    default:
        break;
    }
    OrderImageChain(entries);
    if (IsTwoFingerType(dataId))
        return CheckTwoFingers(entries);
    if (dataId == 139)
        return CheckQualityImage(entries);
    if (IsFingerSetType(dataId))
        return CheckImagesPerFinger(entries);
    return result::Success;
}

} // namespace vela::engine
