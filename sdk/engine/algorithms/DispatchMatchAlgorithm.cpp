#include "engine/algorithms/DispatchMatchAlgorithm.h"

#include "engine/algorithms/FastFingerSetAlgorithms.h"
#include "engine/algorithms/FingerSetAlgorithms.h"
#include "engine/algorithms/ImpressionListAlgorithms.h"
#include "engine/algorithms/SlotAlgorithm.h"

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

bool DispatchMatchAlgorithm(int32_t algorithmId, std::span<const uint8_t> first, std::span<const uint8_t> second,
                            MatchContext& context, int32_t& score)
{
    const int32_t flag = algorithmId & 1;
    switch (algorithmId) {
    case 1:
        score = MatchAlgorithm1(first, second, context);
        return true;
    case 2:
        score = MatchAlgorithm2(first, second, context);
        return true;
    case 3:
        score = MatchAlgorithm3(first, second, context);
        return true;
    case 140:
        score = MatchAlgorithm140(first, second, context);
        return true;
    case 150: case 151:
        score = MatchAlgorithm150(first, second, flag, context);
        return true;
    case 152: case 153:
        score = MatchAlgorithm152(first, second, flag, context);
        return true;
    case 154: case 155:
        score = MatchAlgorithm154(first, second, flag, context);
        return true;
    case 160: case 161:
        score = MatchAlgorithm160(first, second, flag, context);
        return true;
    case 170:
        score = MatchAlgorithm170(first, second, context);
        return true;
    case 180: case 181:
        score = MatchAlgorithm180(first, second, flag, context);
        return true;
    case 182: case 183:
        score = MatchAlgorithm182(first, second, flag, context);
        return true;
    case 191:
        score = MatchAlgorithm191(first, second, context);
        return true;
    default:
        score = 0;
        return false;
    }
}

} // namespace vela::engine
