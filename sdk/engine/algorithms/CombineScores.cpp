#include "engine/algorithms/CombineScores.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <numbers>

#include "engine/algorithms/ScoreCurves.h"
#include "engine/algorithms/ScoreMaps.h"
#include "engine/records/RoundHalfAway.h"

namespace vela::engine {

namespace {

constexpr int32_t kWeakest = 12;          // a best finger below this is no evidence
constexpr int32_t kStrongAlone = 800;     // above it the best finger counts twice
constexpr int32_t kStrongSecond = 550;    // above it the second finger adds its own score

// The ranked-score row for a sum of `tens` tens; beyond the row's end it grows
// steeply, far past any caller's cap of 2000.
int32_t RankedCurveValue(int32_t row, int64_t tens)
{
    const auto& curve = RankedScoreCurves()[static_cast<size_t>(row)];
    if (tens < kRankedScorePoints)
        return curve[static_cast<size_t>(tens)];
    const double last = curve[kRankedScorePoints - 1];
    return RoundHalfAway(last * static_cast<double>(tens) * 1000.0 / (kRankedScorePoints - 1));
}

} // namespace

int32_t CompactFingerScores(FingerScoreList& list)
{
    FingerScoreList compacted = kEmptyFingerScores;
    int32_t n = 0;
    for (int32_t score : list) {
        if (score != kNoFingerScore)
            compacted[static_cast<size_t>(n++)] = score;
    }
    list = compacted;
    return n;
}

int32_t CombineFingerScores(const FingerScoreList& list)
{
    int32_t best = 0;
    size_t bestPlace = 0;
    for (size_t i = 0; i < list.size(); ++i) {
        if (list[i] > best) {
            best = list[i];
            bestPlace = i;
        }
    }
    if (best < kWeakest)
        return 0;
    if (best > kStrongAlone)
        return 2 * best;
    int32_t second = 0;
    for (size_t i = 0; i < list.size(); ++i) {
        if (i != bestPlace)
            second = std::max(second, list[i]);
    }
    if (second > kStrongSecond)
        return best + second;
    int32_t sum = 0;
    int32_t scored = 0;
    for (int32_t score : list) {
        if (score >= 0) {
            sum += score;
            ++scored;
        }
    }
    return 2 * sum / scored;
}

int32_t CombineRankedScores(const FingerScoreList& list, int32_t n)
{
    n = std::min(n, kFingerPlaces);
    if (n < 1 || std::none_of(list.begin(), list.begin() + n, [](int32_t score) { return score > 0; }))
        return 0;
    std::array<int32_t, kFingerPlaces> mapped{};
    for (int32_t i = 0; i < n; ++i)
        mapped[static_cast<size_t>(i)] = list[static_cast<size_t>(i)] > 0 ? MapSingleScore(list[static_cast<size_t>(i)]) : 0;
    std::sort(mapped.begin(), mapped.begin() + n, std::greater<>());

    std::array<int32_t, kFingerPlaces> t{};
    int64_t sum = 0;
    for (int32_t k = 0; k < n; ++k) {
        sum += mapped[static_cast<size_t>(k)];
        t[static_cast<size_t>(k)] = RankedCurveValue(k, sum / 10);
    }
    const int32_t fee = static_cast<int32_t>(std::trunc(50.0 * n * std::numbers::ln2 / std::numbers::ln10 + 0.5));
    int32_t result = t[static_cast<size_t>(n - 1)];
    for (int32_t k = (n - 1) / 2; k <= n - 2; ++k)
        result = std::max(result, t[static_cast<size_t>(k)] - fee);
    return result;
}

int32_t CombineByFlag(int32_t flag, const FingerScoreList& list, int32_t n)
{
    return flag == 1 ? CombineRankedScores(list, n) : CombineFingerScores(list);
}

int32_t FingerCountThreshold(int32_t fingers)
{
    switch (fingers) {
    case 2:
        return 200;
    case 3:
        return 150;
    case 4:
        return 120;
    default:
        return 5000;
    }
}

} // namespace vela::engine
