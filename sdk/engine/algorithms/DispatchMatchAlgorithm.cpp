#include "engine/algorithms/DispatchMatchAlgorithm.h"

namespace vela::engine {

bool IsKnownMatchAlgorithm(int32_t algorithmId)
{
    switch (algorithmId) {
    case 1: case 2: case 3: case 140:
    case 150: case 151: case 152: case 153: case 154: case 155: case 160: case 161:
    case 170: case 180: case 181: case 182: case 183: case 191:
        return true;
    default:
        return false;
    }
}

// Not yet wired to the algorithms: every known id scores 0 for now.
bool DispatchMatchAlgorithm(int32_t algorithmId, std::span<const uint8_t>, std::span<const uint8_t>, MatchContext&,
                            int32_t& score)
{
    score = 0;
    return IsKnownMatchAlgorithm(algorithmId);
}

} // namespace vela::engine
