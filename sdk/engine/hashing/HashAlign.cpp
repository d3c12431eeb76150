#include "engine/hashing/HashAlign.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "engine/hashing/BuildPairHash.h"
#include "engine/hashing/FineImpression.h"
#include "engine/hashing/TransformImpression.h"
#include "engine/records/EngineGeometry.h"
#include "engine/records/RoundHalfAway.h"

namespace vela::engine {

namespace {

constexpr int32_t kFewestVotes = 3;          // a minutia needs this many votes to count
constexpr int32_t kLargestRotation = 100;
constexpr int32_t kFewestMeanMinutiae = 4;

// Values that differences can take, for the window histograms: directions
// fold into -60..60, positions differ by less than 400 half pixels.
constexpr int32_t kHistogramOffset = 400;
constexpr int32_t kHistogramSize = 2 * kHistogramOffset + 1;

struct Window {
    int32_t width;
    int32_t lowestStart;
    int32_t highestStart;
};
constexpr Window kRotationWindow{10, -69, 59};
constexpr Window kShiftXWindow{13, -156, 143};
constexpr Window kShiftYWindow{13, -212, 199};

// The start of the window of consecutive values that holds the most of the
// given differences, the lowest start on ties.
int32_t BestWindowStart(const std::array<int32_t, kMaxMinutiae>& values, const Correspondences& corr,
                        int32_t count, const Window& window)
{
    std::array<int32_t, kHistogramSize + 1> prefix{};
    std::array<int32_t, kHistogramSize> histogram{};
    for (int32_t a = 0; a < count; ++a) {
        if (corr[a] < 0)
            continue;
        const int32_t bin = values[a] + kHistogramOffset;
        if (bin >= 0 && bin < kHistogramSize)
            ++histogram[bin];
    }
    for (int32_t i = 0; i < kHistogramSize; ++i)
        prefix[i + 1] = prefix[i] + histogram[i];
    int32_t bestStart = window.lowestStart;
    int32_t best = -1;
    for (int32_t start = window.lowestStart; start <= window.highestStart; ++start) {
        const int32_t from = start + kHistogramOffset;
        const int32_t to = from + window.width;
        const int32_t held = prefix[std::clamp(to, 0, kHistogramSize)] - prefix[std::clamp(from, 0, kHistogramSize)];
        if (held > best) {
            best = held;
            bestStart = start;
        }
    }
    return bestStart;
}

// Drops the pairs outside the window; returns the kept pairs and the sum of
// their differences.
struct WindowSum {
    int32_t pairs = 0;
    int32_t sum = 0;
};
WindowSum KeepWindow(const std::array<int32_t, kMaxMinutiae>& values, Correspondences& corr, int32_t count,
                     const Window& window)
{
    const int32_t start = BestWindowStart(values, corr, count, window);
    WindowSum kept;
    for (int32_t a = 0; a < count; ++a) {
        if (corr[a] < 0)
            continue;
        if (values[a] < start || values[a] >= start + window.width) {
            corr[a] = -1;
            continue;
        }
        ++kept.pairs;
        kept.sum += values[a];
    }
    return kept;
}

int32_t EstimateShift(PairHashTables& tables, const std::array<uint8_t, kMaxMinutiae>& second,
                      const std::array<int32_t, kMaxMinutiae>& turned, Correspondences& corr, const Window& window,
                      int32_t& pairs)
{
    const int32_t count = tables.Active().first.count;
    std::array<int32_t, kMaxMinutiae> differences{};
    for (int32_t a = 0; a < count; ++a) {
        if (corr[a] >= 0)
            differences[a] = second[corr[a]] - turned[a];
    }
    const WindowSum kept = KeepWindow(differences, corr, count, window);
    pairs = kept.pairs;
    return kept.pairs == 0 ? 0 : kept.sum / kept.pairs;
}

} // namespace

void VoteCorrespondences(PairHashTables& tables, const Impression& fineSecond, const PairFeatureTable& features)
{
    const int32_t firstCount = tables.Active().first.count;
    const int32_t secondCount = fineSecond.count;
    // The bucket each other minutia w found, read once for both passes.
    std::array<PairBucket, kMaxMinutiae> bucketOf{};
    std::array<int32_t, kMaxMinutiae> counters{};
    for (int32_t u = 0; u < secondCount; ++u) {
        counters.fill(0);
        for (int32_t w = 0; w < secondCount; ++w) {
            PairBucket& bucket = bucketOf[w];
            const PairFeature& feature = features[u][w];
            if (feature.angle == kNoPairFeature) {
                bucket.count = 0;
                continue;
            }
            tables.Active().ReadBucket(feature.dx / kHashCellSize, feature.dy / kHashCellSize, feature.angle, bucket);
            for (int32_t p = 0; p < bucket.count; ++p)
                ++counters[bucket.pairs[p][0]];
        }
        int32_t chosen = 0;
        for (int32_t a = 1; a < firstCount; ++a) {
            if (counters[a] > counters[chosen])
                chosen = a;
        }
        if (counters[chosen] < kFewestVotes)
            continue;
        ++tables.votes[u][chosen];
        for (int32_t w = 0; w < secondCount; ++w) {
            const PairBucket& bucket = bucketOf[w];
            for (int32_t p = 0; p < bucket.count; ++p) {
                if (bucket.pairs[p][0] == chosen)
                    ++tables.votes[w][bucket.pairs[p][1]];
            }
        }
    }
}

Correspondences SelectCorrespondences(PairHashTables& tables, int32_t secondCount)
{
    const int32_t firstCount = tables.Active().first.count;
    for (int32_t u = 0; u < secondCount; ++u) {
        auto& row = tables.votes[u];
        int32_t kept = 0;
        for (int32_t a = 1; a < firstCount; ++a) {
            if (row[a] > row[kept])
                kept = a;
        }
        for (int32_t a = 0; a < firstCount; ++a) {
            if (a != kept)
                row[a] = 0;
        }
    }
    Correspondences corr;
    corr.fill(-1);
    for (int32_t a = 0; a < firstCount; ++a) {
        int32_t best = 0;
        for (int32_t u = 0; u < secondCount; ++u) {
            if (tables.votes[u][a] > best) {
                best = tables.votes[u][a];
                corr[a] = u;
            }
        }
        for (int32_t u = 0; u < secondCount; ++u) {
            if (u != corr[a])
                tables.votes[u][a] = 0;
        }
    }
    return corr;
}

TurnedMinutiae EstimateRotation(PairHashTables& tables, const Impression& fineSecond, Correspondences& corr)
{
    const Impression& first = tables.Active().first;
    const int32_t count = first.count;
    std::array<int32_t, kMaxMinutiae> differences{};
    for (int32_t a = 0; a < count; ++a) {
        if (corr[a] >= 0)
            differences[a] = FoldFineDifference(fineSecond.direction[corr[a]] - first.direction[a]);
    }
    const WindowSum kept = KeepWindow(differences, corr, count, kRotationWindow);
    const double theta = kept.pairs == 0 ? 0.0 : static_cast<double>(kept.sum) / kept.pairs * 3.0;
    tables.working.rotation = static_cast<int16_t>(RoundHalfAway(theta));

    // The first impression turned the other way lies over the second one.
    const double radians = -theta * std::numbers::pi / 180.0;
    const double cosine = std::cos(radians);
    const double sine = std::sin(radians);
    TurnedMinutiae turned;
    for (int32_t a = 0; a < count; ++a) {
        const int32_t X = first.x[a] - kImpressionCentreX;
        const int32_t Y = first.y[a] - kImpressionCentreY;
        turned.x[a] = RoundHalfAway(X * cosine - Y * sine) + kImpressionCentreX;
        turned.y[a] = RoundHalfAway(X * sine + Y * cosine) + kImpressionCentreY;
    }
    return turned;
}

void EstimateShiftX(PairHashTables& tables, const Impression& fineSecond, const TurnedMinutiae& turned,
                    Correspondences& corr)
{
    int32_t pairs = 0;
    tables.working.xShift = static_cast<int16_t>(EstimateShift(tables, fineSecond.x, turned.x, corr, kShiftXWindow, pairs));
}

void EstimateShiftY(PairHashTables& tables, const Impression& fineSecond, const TurnedMinutiae& turned,
                    Correspondences& corr)
{
    int32_t pairs = 0;
    tables.working.yShift = static_cast<int16_t>(EstimateShift(tables, fineSecond.y, turned.y, corr, kShiftYWindow, pairs));
    tables.working.inliers = static_cast<int16_t>(pairs);
}

int32_t HashAlign(PairHashTables& tables, const Impression& second, Impression& transformed)
{
    tables.handedOut.rotation = kNoRotation;
    if (second.count > kMaxMinutiae)
        return 0;
    const Impression fineSecond = MakeFineImpression(second);
    // Only the rows and columns of the two impressions are voted in and read.
    const size_t firstCount = static_cast<size_t>(tables.Active().first.count);
    for (size_t u = 0; u < static_cast<size_t>(fineSecond.count); ++u)
        std::fill_n(tables.votes[u].begin(), firstCount, 0);

    VoteCorrespondences(tables, fineSecond, PairFeaturesOf(tables, second));
    Correspondences corr = SelectCorrespondences(tables, fineSecond.count);
    const TurnedMinutiae turned = EstimateRotation(tables, fineSecond, corr);
    const int32_t rotation = tables.working.rotation;
    if (rotation < -kLargestRotation || rotation > kLargestRotation)
        return 0;

    EstimateShiftX(tables, fineSecond, turned, corr);
    EstimateShiftY(tables, fineSecond, turned, corr);
    Impression moved = TransformImpressionFine(fineSecond, rotation, -tables.working.xShift, -tables.working.yShift);
    const int32_t meanCount = (fineSecond.count + tables.Active().first.count) / 2;
    tables.working.meanCount = static_cast<int16_t>(meanCount);
    if (meanCount < kFewestMeanMinutiae)
        return 0;

    RestoreDirections(moved);
    transformed = moved;
    tables.handedOut = tables.working;
    return RoundHalfAway(static_cast<double>(tables.working.inliers) / meanCount * 1000.0);
}

} // namespace vela::engine
