#include "engine/records/compact/ExpandCompactTemplate.h"

#include <new>

#include "engine/records/BiometricData.h"
#include "base/ByteOrder.h"
#include "engine/records/FingerEntry.h"
#include "engine/records/ShiftImpression.h"
#include "engine/records/compact/CompactEntry.h"
#include "engine/records/compact/DeltaCodedImpression.h"
#include "engine/records/compact/FiveBitImpression.h"

namespace vela::engine {

namespace {

bool UnpackImpression(int32_t dataId, const uint8_t* at, Impression& out)
{
    if (compact_entry::PackedImpressionSize(dataId) == five_bit::kSize)
        return UnpackFiveBitImpression(std::span<const uint8_t, five_bit::kSize>(at, five_bit::kSize), out);
    return UnpackCompactImpression(std::span<const uint8_t, delta_coded::kSize>(at, delta_coded::kSize), out);
}

void SetFingerEntryHeader(Impression& impression, uint8_t fingerCode)
{
    impression.recordSize = static_cast<int32_t>(impression::kSize);
    impression.kind = impression::kInFingerEntry;
    impression.fingerCode = fingerCode;
    impression.blockRows = static_cast<uint8_t>(kBlockRows);
}

bool IsValid(const Impression& impression)
{
    uint8_t record[impression::kSize];
    WriteImpression(impression, record, sizeof record);
    return CheckImpressionRecord(record, sizeof record);
}

// Unpacks one compact entry into the four records of a FingerEntry.
bool ExpandEntry(int32_t dataId, const uint8_t* entry, uint8_t* fingerEntry)
{
    const uint8_t fingerCode = entry[compact_entry::kFingerCodeOffset];
    Impression a;
    Impression b;
    int32_t dx = 0;
    int32_t dy = 0;
    if (dataId == kFiveBitSingleType || dataId == kDeltaCodedSingleType) {
        dx = ReadLe<int16_t>(entry + compact_entry::kSingleOffsetXOffset);
        dy = ReadLe<int16_t>(entry + compact_entry::kSingleOffsetYOffset);
        if (!UnpackImpression(dataId, entry + compact_entry::kSingleImpressionOffset, a))
            return false;
        b = a;
    } else {
        const uint8_t* first = entry + compact_entry::kPairFirstOffset;
        const uint8_t* second = first + compact_entry::PackedImpressionSize(dataId);
        if (!UnpackImpression(dataId, first, a) || !UnpackImpression(dataId, second, b))
            return false;
        dx = ReadLe<int16_t>(first + compact_entry::kImpressionOffsetField);
        dy = ReadLe<int16_t>(second + compact_entry::kImpressionOffsetField);
        SetFingerEntryHeader(a, fingerCode);
        SetFingerEntryHeader(b, fingerCode);
    }
    if (!IsValid(a) || !IsValid(b))
        return false;

    // Offsets are in pixels; the shift moves whole blocks, truncating toward zero.
    Impression shiftedA = ShiftImpression(a, dx / kBlockSide, dy / kBlockSide);
    Impression shiftedB = ShiftImpression(b, dx / kBlockSide, dy / kBlockSide);
    SetFingerEntryHeader(shiftedA, fingerCode);
    SetFingerEntryHeader(shiftedB, fingerCode);

    const Impression* records[finger_entry::kImpressions] = {&a, &b, &shiftedA, &shiftedB};
    for (size_t i = 0; i < finger_entry::kImpressions; ++i)
        WriteImpression(*records[i], fingerEntry + finger_entry::ImpressionOffset(i), impression::kSize);
    return true;
}

} // namespace

std::vector<uint8_t> ExpandCompactTemplate(const uint8_t* block, size_t length)
{
    if (block == nullptr || length < biometric_data::kHeaderSize)
        return {};
    const int32_t total = ReadLe<int32_t>(block + biometric_data::kTotalSizeOffset);
    const int32_t dataId = ReadLe<int32_t>(block + biometric_data::kDataIdOffset);
    const BiometricDataType* type = IsCompactType(dataId) ? FindBiometricDataType(dataId) : nullptr;
    if (type == nullptr)
        return {};
    if (total < static_cast<int32_t>(biometric_data::kHeaderSize) || total > type->maxSize ||
        static_cast<size_t>(total) > length)
        return {};
    const size_t entrySize = static_cast<size_t>(type->entrySize);
    const size_t entries = (static_cast<size_t>(total) - biometric_data::kHeaderSize) / entrySize;
    if (entries == 0)
        return {};

    try {
        const size_t expandedSize = biometric_data::kHeaderSize + entries * finger_entry::kSize;
        std::vector<uint8_t> expanded(expandedSize);
        WriteLe<int32_t>(expanded.data() + biometric_data::kTotalSizeOffset, static_cast<int32_t>(expandedSize));
        WriteLe<int32_t>(expanded.data() + biometric_data::kDataIdOffset, kFingerSetType);
        for (size_t i = 0; i < entries; ++i) {
            const uint8_t* entry = block + biometric_data::kHeaderSize + i * entrySize;
            uint8_t* fingerEntry = expanded.data() + biometric_data::kHeaderSize + i * finger_entry::kSize;
            if (!ExpandEntry(dataId, entry, fingerEntry))
                return {};
        }
        return expanded;
    } catch (const std::bad_alloc&) {
        return {};
    }
}

} // namespace vela::engine
