#include "engine/biodata/FingerSetBlock.h"

#include "engine/records/BiometricData.h"
#include "base/ByteOrder.h"
#include "engine/records/FingerEntry.h"

namespace vela::engine {

std::span<const uint8_t> FingerSetView::Entry(int32_t index) const
{
    return block.subspan(biometric_data::kHeaderSize + static_cast<size_t>(index) * finger_entry::kSize,
                         finger_entry::kSize);
}

int32_t FingerSetView::FingerCode(int32_t index) const
{
    return Entry(index)[impression::kFingerCodeOffset];
}

bool ReadFingerSet(std::span<const uint8_t> block, FingerSetView& view)
{
    if (block.size() < biometric_data::kHeaderSize)
        return false;
    const int64_t total = ReadLe<int32_t>(block.data() + biometric_data::kTotalSizeOffset);
    const int32_t type = ReadLe<int32_t>(block.data() + biometric_data::kDataIdOffset);
    if (type != kFingerSetType || total < static_cast<int64_t>(biometric_data::kHeaderSize) ||
        static_cast<uint64_t>(total) > block.size())
        return false;
    const int64_t body = total - static_cast<int64_t>(biometric_data::kHeaderSize);
    if (body % static_cast<int64_t>(finger_entry::kSize) != 0)
        return false;
    view.block = block.first(static_cast<size_t>(total));
    view.entries = static_cast<int32_t>(body / static_cast<int64_t>(finger_entry::kSize));
    return true;
}

} // namespace vela::engine
