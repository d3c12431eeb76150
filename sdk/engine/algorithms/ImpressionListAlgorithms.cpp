#include "engine/algorithms/ImpressionListAlgorithms.h"

#include <algorithm>

#include "engine/algorithms/BlockLayouts.h"
#include "engine/algorithms/RescaleImpression.h"
#include "engine/matching/CompareMinutiaeSets.h"

namespace vela::engine {

namespace {

enum class Marking { None, All, Mixed };

Marking MarkingOf(const std::vector<Impression>& list)
{
    const auto marked = std::count_if(list.begin(), list.end(), [](const Impression& record) {
        return record.fingerCode == impression::kPlainMarkerMergedTypes;
    });
    if (marked == 0)
        return Marking::None;
    return marked == static_cast<std::ptrdiff_t>(list.size()) ? Marking::All : Marking::Mixed;
}

void RescaleAll(std::vector<Impression>& list)
{
    for (Impression& record : list)
        record = RescaleImpression(record);
}

int32_t MatchMarkedLists(std::span<const uint8_t> firstBlock, std::span<const uint8_t> secondBlock,
                         int32_t rotations, MatchContext& context)
{
    std::vector<Impression> first = ReadImpressionList(firstBlock);
    std::vector<Impression> second = ReadImpressionList(secondBlock);
    const Marking firstMarking = MarkingOf(first);
    const Marking secondMarking = MarkingOf(second);
    if (firstMarking == Marking::Mixed || secondMarking == Marking::Mixed)
        return 0;
    if (!first.empty() && !second.empty()) {
        if (firstMarking == Marking::All && secondMarking == Marking::None)
            RescaleAll(second);
        else if (secondMarking == Marking::All && firstMarking == Marking::None)
            RescaleAll(first);
    }
    return MatchImpressionLists(first, second, rotations, context);
}

} // namespace

int32_t MatchImpressionLists(const std::vector<Impression>& first, const std::vector<Impression>& second,
                             int32_t rotations, MatchContext& context)
{
    int32_t best = 0;
    for (const Impression& a : first) {
        for (const Impression& b : second)
            best = std::max(best, CompareMinutiaeSets(a, b, rotations, context));
    }
    return best;
}

int32_t MatchAlgorithm1(std::span<const uint8_t> first, std::span<const uint8_t> second, MatchContext& context)
{
    return MatchMarkedLists(first, second, 0, context);
}

int32_t MatchAlgorithm2(std::span<const uint8_t> first, std::span<const uint8_t> second, MatchContext& context)
{
    return MatchMarkedLists(first, second, 1, context);
}

int32_t MatchAlgorithm3(std::span<const uint8_t> first, std::span<const uint8_t> second, MatchContext& context)
{
    return MatchImpressionLists(ReadImpressionList(first), ReadImpressionList(second), 4, context);
}

} // namespace vela::engine
