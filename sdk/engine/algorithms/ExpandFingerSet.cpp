#include "engine/algorithms/ExpandFingerSet.h"

#include <vector>

#include "engine/algorithms/BlockLayouts.h"
#include "engine/records/BiometricData.h"
#include "base/ByteOrder.h"
#include "engine/records/compact/ExpandCompactTemplate.h"

namespace vela::engine {

std::optional<FingerSet> ReadExpandedFingerSet(std::span<const uint8_t> block)
{
    const bool compact = block.size() >= biometric_data::kHeaderSize &&
                         IsCompactType(ReadLe<int32_t>(block.data() + biometric_data::kDataIdOffset));
    if (!compact)
        return ReadFingerSet(block);
    const std::vector<uint8_t> expanded = ExpandCompactTemplate(block.data(), block.size());
    if (expanded.empty())
        return std::nullopt;
    return ReadFingerSet(expanded);
}

} // namespace vela::engine
