#include "engine/matching/ScoreMatch.h"

#include <algorithm>

#include "engine/matching/MatchTables.h"

namespace vela::engine {

namespace {

constexpr int32_t kCurveFirstCount = 8;
constexpr int32_t kCurveLastCount = 70;
constexpr int32_t kMaxCloseRatio = 34;       // common minutiae x 10 per close pair
constexpr int32_t kWeakCloseRatio = 27;
constexpr int32_t kModestCloseRatio = 24;
constexpr int32_t kEvidenceFloor = 2000;
constexpr int32_t kEvidenceCeiling = 200000;
constexpr int32_t kBend = 140;

} // namespace

ScoreReference ScoreReferenceFor(int32_t commonCount)
{
    if (commonCount <= kCurveFirstCount)
        return ScoreReference{ScoreCurveLower.front() * 100, ScoreCurveUpper.front() * 100};
    if (commonCount >= kCurveLastCount)
        return ScoreReference{ScoreCurveLower.back() * 100, ScoreCurveUpper.back() * 100};
    const int32_t t = (2400 * commonCount - 19200) / 62;
    const int32_t point = t / 100;
    const int32_t weight = t % 100;
    auto interpolate = [&](const auto& curve) {
        return curve[point] * 100 + (curve[point + 1] - curve[point]) * weight;
    };
    return ScoreReference{interpolate(ScoreCurveLower), interpolate(ScoreCurveUpper)};
}

int32_t ScoreMatch(const ScoreInputs& inputs, const MatchTuning& tuning)
{
    const int32_t close = inputs.closeCount;
    const int32_t ratio = close < 2 ? 100 : 10 * inputs.commonCount / close;
    if (inputs.difference >= tuning.maximumDifference || ratio > kMaxCloseRatio)
        return 0;

    const ScoreReference reference = ScoreReferenceFor(inputs.commonCount);
    const int64_t spread = reference.upper - reference.lower;
    int64_t evidence = (int64_t{100} * inputs.regionScoreSum - reference.upper) * 166 / spread * 100 + 50000;
    evidence = std::clamp<int64_t>(evidence, 0, kEvidenceCeiling);
    if (evidence <= kEvidenceFloor)
        return 20;

    const int32_t f = static_cast<int32_t>((evidence + 50) / 100);
    int32_t g = f >= kBend ? f : (f - kBend) / 3 + kBend;
    if (ratio > kWeakCloseRatio)
        g = 12;
    if ((close < 7 || inputs.overlap < tuning.minimumOverlap || ratio > kModestCloseRatio) && g > 430)
        g = 430;
    if (close < 5 && g > 300)
        g = 300;
    return g;
}

} // namespace vela::engine
