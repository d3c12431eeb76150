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

int32_t MatchExpandedFingerSets(std::span<const uint8_t> first, std::span<const uint8_t> second,
                                const FingerSetMatch& match)
{
    const std::optional<FingerSet> a = ReadExpandedFingerSet(first);
    if (!a)
        return kFirstBlockNotExpanded;
    const std::optional<FingerSet> b = ReadExpandedFingerSet(second);
    if (!b)
        return kSecondBlockNotExpanded;
    return match(*a, *b);
}

} // namespace vela::engine
