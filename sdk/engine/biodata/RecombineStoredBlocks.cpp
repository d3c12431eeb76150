#include "engine/biodata/RecombineStoredBlocks.h"

#include "engine/biodata/FingerSetBlock.h"
#include "engine/biodata/QualityHeader.h"
#include "engine/records/BiometricData.h"
#include "base/ByteOrder.h"
#include "engine/records/compact/ExpandCompactTemplate.h"

namespace vela::engine {

namespace {

constexpr int32_t kLastFingerCode = 10;
constexpr int32_t kQualityType = 139;
constexpr int32_t kQualityFingers[] = {1, 2, 6, 7};

FingerSetView ViewOf(const ChainEntry& entry)
{
    FingerSetView view;
    ReadFingerSet(entry.payload, view);
    return view;
}

void AppendEntriesOfCode(const FingerSetView& set, int32_t code, std::vector<uint8_t>& body)
{
    for (int32_t i = 0; i < set.entries; ++i) {
        if (set.FingerCode(i) != code)
            continue;
        const std::span<const uint8_t> entry = set.Entry(i);
        body.insert(body.end(), entry.begin(), entry.end());
    }
}

bool HasCode(const FingerSetView& set, int32_t code)
{
    for (int32_t i = 0; i < set.entries; ++i) {
        if (set.FingerCode(i) == code)
            return true;
    }
    return false;
}

} // namespace

std::vector<uint8_t> MergeFingerSets(const std::vector<ChainEntry>& entries)
{
    std::vector<uint8_t> body;
    for (int32_t code = 1; code <= kLastFingerCode; ++code) {
        for (const ChainEntry& entry : entries)
            AppendEntriesOfCode(ViewOf(entry), code, body);
    }
    return body;
}

std::vector<uint8_t> MergePreferringFirst(const std::vector<ChainEntry>& entries)
{
    const FingerSetView first = ViewOf(entries[0]);
    const FingerSetView second = ViewOf(entries[1]);
    std::vector<uint8_t> body;
    for (int32_t code = 0; code <= kLastFingerCode; ++code)
        AppendEntriesOfCode(HasCode(first, code) ? first : second, code, body);
    return body;
}

std::vector<uint8_t> RemoveFinger(const ChainEntry& entry)
{
    const FingerSetView set = ViewOf(entry);
    std::vector<uint8_t> body;
    for (int32_t i = 0; i < set.entries; ++i) {
        if (set.FingerCode(i) == entry.fingerCode)
            continue;
        const std::span<const uint8_t> e = set.Entry(i);
        body.insert(body.end(), e.begin(), e.end());
    }
    return body;
}

ResultCode ExpandStoredCompactBlock(const ChainEntry& entry, std::vector<uint8_t>& body)
{
    const std::vector<uint8_t> expanded = ExpandCompactTemplate(entry.payload.data(), entry.payload.size());
    if (expanded.size() < biometric_data::kHeaderSize)
        return result::BadCombination;
    body.assign(expanded.begin() + biometric_data::kHeaderSize, expanded.end());
    return result::Success;
}

std::vector<uint8_t> AssembleQualitySlots(const std::vector<ChainEntry>& entries)
{
    std::vector<uint8_t> body(std::size(kQualityFingers) * quality_block::kSize, 0);
    for (size_t slot = 0; slot < std::size(kQualityFingers); ++slot) {
        uint8_t* at = body.data() + slot * quality_block::kSize;
        WriteLe<int32_t>(at + biometric_data::kTotalSizeOffset, static_cast<int32_t>(quality_block::kSize));
        WriteLe<int32_t>(at + biometric_data::kDataIdOffset, kQualityType);
        at[quality_block::kFingerCodeOffset] = static_cast<uint8_t>(kQualityFingers[slot]);
        for (const ChainEntry& entry : entries) {
            if (entry.fingerCode == kQualityFingers[slot])
                std::copy_n(entry.payload.begin(), quality_block::kSize, at);
        }
    }
    return body;
}

} // namespace vela::engine
