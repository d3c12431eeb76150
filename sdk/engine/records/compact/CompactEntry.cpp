#include "engine/records/compact/CompactEntry.h"

#include "engine/records/BiometricData.h"
#include "base/ByteOrder.h"
#include "engine/records/compact/DeltaCodedImpression.h"
#include "engine/records/compact/FiveBitImpression.h"

namespace vela::engine {

namespace compact_entry {

size_t EntrySize(int32_t dataId)
{
    const BiometricDataType* type = IsCompactType(dataId) ? FindBiometricDataType(dataId) : nullptr;
    return type != nullptr ? static_cast<size_t>(type->entrySize) : 0;
}

size_t PackedImpressionSize(int32_t dataId)
{
    if (dataId == kFiveBitPairType || dataId == kFiveBitSingleType)
        return five_bit::kSize;
    if (dataId == kDeltaCodedPairType || dataId == kDeltaCodedSingleType)
        return delta_coded::kSize;
    return 0;
}

} // namespace compact_entry

namespace {

void PackImpression(int32_t dataId, const Impression& impression, uint8_t* at)
{
    if (compact_entry::PackedImpressionSize(dataId) == five_bit::kSize)
        PackFiveBitImpression(impression, std::span<uint8_t, five_bit::kSize>(at, five_bit::kSize));
    else
        PackCompactImpression(impression, std::span<uint8_t, delta_coded::kSize>(at, delta_coded::kSize));
}

} // namespace

bool PackCompactEntry(int32_t dataId, uint8_t fingerCode, int16_t offsetX, int16_t offsetY,
                      const Impression& variant0, const Impression& variant1, uint8_t* entry, size_t entryLength)
{
    const size_t size = compact_entry::EntrySize(dataId);
    if (size == 0 || entry == nullptr || entryLength < size)
        return false;
    const size_t packedSize = compact_entry::PackedImpressionSize(dataId);

    entry[compact_entry::kFingerCodeOffset] = fingerCode;
    if (dataId == kFiveBitSingleType || dataId == kDeltaCodedSingleType) {
        WriteLe<int16_t>(entry + compact_entry::kSingleOffsetXOffset, offsetX);
        WriteLe<int16_t>(entry + compact_entry::kSingleOffsetYOffset, offsetY);
        PackImpression(dataId, variant0, entry + compact_entry::kSingleImpressionOffset);
        return true;
    }
    uint8_t* first = entry + compact_entry::kPairFirstOffset;
    uint8_t* second = first + packedSize;
    PackImpression(dataId, variant0, first);
    PackImpression(dataId, variant1, second);
    WriteLe<int16_t>(first + compact_entry::kImpressionOffsetField, offsetX);
    WriteLe<int16_t>(second + compact_entry::kImpressionOffsetField, offsetY);
    return true;
}

} // namespace vela::engine
