#include "engine/algorithms/ScoreMaps.h"

#include <array>
#include <cmath>

#include "engine/algorithms/ScoreCurves.h"

namespace vela::engine {

namespace {

constexpr std::array<int32_t, 6> kSingleScoreBreakpoints{35, 140, 230, 300, 360, 420};
constexpr std::array<int32_t, 10> kSlotScoreBreakpoints{14, 140, 230, 300, 356, 432, 510, 580, 650, 800};

int32_t Truncate(double value)
{
    return static_cast<int32_t>(std::trunc(value));
}

} // namespace

int32_t MapSingleScore(int32_t score)
{
    const auto& p = kSingleScoreBreakpoints;
    if (score > p.back())
        return 10 * score / 7;
    if (score <= p.front())
        return 0;
    size_t i = 1;
    while (score > p[i])
        ++i;
    const double share = static_cast<double>(score - p[i - 1]) / (p[i] - p[i - 1]);
    return Truncate((share + static_cast<double>(i)) * 100.0 + 0.5);
}

int32_t MapSlotScore(int32_t score)
{
    const auto& p = kSlotScoreBreakpoints;
    if (score < p.front())
        return 0;
    if (score == p.front())
        return 100;
    if (score > p.back())
        return 1000;
    size_t i = 1;
    while (score > p[i])
        ++i;
    const double mapped = 100.0 * static_cast<double>(i) + 100.0 * (score - p[i - 1]) / (p[i] - p[i - 1]);
    return Truncate(mapped + 0.5);
}

int32_t MapSlotSum(int32_t sum)
{
    if (sum <= 0)
        return 0;
    const auto& curve = SlotSumCurve();
    int32_t c = curve.back();
    if (sum < 10 * (kSlotSumCurvePoints - 1)) {
        const int32_t i = sum / 10;
        const double fraction = sum / 10.0 - i;
        c = curve[static_cast<size_t>(i)] + Truncate((curve[static_cast<size_t>(i) + 1] - curve[static_cast<size_t>(i)]) * fraction + 0.5);
    }
    const int32_t result = Truncate((c - 100) * 0.633 + 200.5);
    return result < 0 ? 0 : result;
}

} // namespace vela::engine
