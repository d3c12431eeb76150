#include "engine/algorithms/SlotAlgorithm.h"

#include <algorithm>
#include <array>
#include <functional>

#include "engine/algorithms/BlockLayouts.h"
#include "engine/algorithms/ScoreMaps.h"
#include "engine/algorithms/ImpressionListAlgorithms.h"

namespace vela::engine {

namespace {

constexpr int32_t kFirstPassSum = 400;
constexpr int32_t kVeryStrongSlot = 680;
constexpr int32_t kStrongSecondSlot = 450;
constexpr int32_t kPartialSetBonus = 250;

int32_t NinetyFourPercent(int32_t score)
{
    return score * 94 / 100;
}

} // namespace

bool SlotFirstPassAgrees(int32_t used, int32_t sum)
{
    return used > 0 && sum >= kFirstPassSum;
}

int32_t CombineSlotScores(const std::array<int32_t, kSlotCount>& best, int32_t used)
{
    std::array<int32_t, kSlotCount> mapped{};
    int32_t mappedSum = 0;
    for (size_t j = 0; j < kSlotCount; ++j) {
        mapped[j] = MapSlotScore(best[j]);
        mappedSum += mapped[j];
    }
    std::sort(mapped.begin(), mapped.end(), std::greater<>());
    int32_t decided = 0;
    if (mapped[0] > kVeryStrongSlot)
        decided = 900;
    else if (mapped[1] > kStrongSecondSlot)
        decided = 910;
    int32_t score = std::max(decided, MapSlotSum(mappedSum));
    if (used < kSlotCount)
        score += kPartialSetBonus;
    return score;
}

int32_t MatchAlgorithm140(std::span<const uint8_t> first, std::span<const uint8_t> second, MatchContext& context)
{
    const auto a = ReadImpressionSlots(first);
    const auto b = ReadImpressionSlots(second);

    std::array<int32_t, kSlotCount> best{};
    int32_t used = 0;
    int32_t sum = 0;
    for (size_t j = 0; j < kSlotCount; ++j) {
        if (a[j].impressionIndex == 0 || b[j].impressionIndex == 0)
            continue;
        ++used;
        best[j] = NinetyFourPercent(MatchImpressionLists(a[j].records[0], b[j].records[0], 0, context));
        sum += best[j];
    }
    if (!SlotFirstPassAgrees(used, sum))
        return 0;

    for (size_t j = 0; j < kSlotCount; ++j) {
        if (!a[j].present || !b[j].present)
            continue;
        for (size_t k = 0; k < a[j].records.size(); ++k) {
            int32_t score = MatchImpressionLists(a[j].records[k], b[j].records[k], 1, context);
            if (k % 2 == 0)
                score = NinetyFourPercent(score);
            best[j] = std::max(best[j], score);
        }
    }

    return CombineSlotScores(best, used);
}

} // namespace vela::engine
