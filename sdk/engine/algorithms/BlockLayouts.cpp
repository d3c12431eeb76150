#include "engine/algorithms/BlockLayouts.h"

#include <algorithm>

#include "engine/records/BiometricData.h"
#include "base/ByteOrder.h"
#include "engine/records/FingerEntry.h"

namespace vela::engine {

namespace {

constexpr size_t kSlotSize = 2719;
constexpr size_t kSlotImpressionIndexOffset = 9;
constexpr size_t kSlotRecordsOffset = 31;

// The bytes the size word claims, cut to the bytes that are there.
size_t ReadableSize(std::span<const uint8_t> block)
{
    return std::min(static_cast<size_t>(BlockSizeWord(block)), block.size());
}

} // namespace

int32_t BlockSizeWord(std::span<const uint8_t> block)
{
    if (block.size() < sizeof(int32_t))
        return 0;
    return std::max(ReadLe<int32_t>(block.data()), 0);
}

std::vector<Impression> ReadImpressionList(std::span<const uint8_t> block)
{
    const size_t size = static_cast<size_t>(BlockSizeWord(block));
    const size_t start = size % impression::kSize;
    const size_t readable = ReadableSize(block);
    std::vector<Impression> records;
    for (size_t at = start; at + impression::kSize <= readable; at += impression::kSize) {
        Impression record;
        ReadImpression(block.data() + at, impression::kSize, record);
        records.push_back(record);
    }
    return records;
}

std::vector<EntryImpressions> ReadFingerSet(std::span<const uint8_t> block)
{
    const size_t readable = ReadableSize(block);
    std::vector<EntryImpressions> entries;
    for (size_t at = biometric_data::kHeaderSize; at + finger_entry::kSize <= readable; at += finger_entry::kSize) {
        EntryImpressions entry;
        ReadEntryImpressions(block.data() + at, finger_entry::kSize, entry);
        entries.push_back(entry);
    }
    return entries;
}

std::array<ImpressionSlot, kSlotCount> ReadImpressionSlots(std::span<const uint8_t> block)
{
    const size_t readable = ReadableSize(block);
    std::array<ImpressionSlot, kSlotCount> slots{};
    for (size_t j = 0; j < kSlotCount; ++j) {
        const size_t at = biometric_data::kHeaderSize + j * kSlotSize;
        if (at + kSlotSize > readable)
            break;
        ImpressionSlot& slot = slots[j];
        slot.present = true;
        slot.impressionIndex = block[at + kSlotImpressionIndexOffset];
        for (size_t k = 0; k < slot.records.size(); ++k) {
            const size_t record = at + kSlotRecordsOffset + k * impression::kSize;
            slot.records[k] = ReadImpressionList(block.subspan(record, readable - record));
        }
    }
    return slots;
}

} // namespace vela::engine
