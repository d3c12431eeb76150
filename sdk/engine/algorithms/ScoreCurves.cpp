#include "engine/algorithms/ScoreCurves.h"

#include <span>
#include <vector>

#include "engine/records/RoundHalfAway.h"

namespace vela::engine {

namespace {

struct Anchor {
    int32_t at;
    int32_t value;
};

// Fills the curve through the anchors (sorted, the first at 0, the last at
// the curve's end) with straight lines between them.
template <size_t N>
void FillThroughAnchors(std::array<int32_t, N>& curve, std::span<const Anchor> anchors)
{
    for (size_t a = 0; a + 1 < anchors.size(); ++a) {
        const Anchor& low = anchors[a];
        const Anchor& high = anchors[a + 1];
        for (int32_t i = low.at; i <= high.at; ++i) {
            const double share = static_cast<double>(i - low.at) / (high.at - low.at);
            curve[static_cast<size_t>(i)] = RoundHalfAway(low.value + share * (high.value - low.value));
        }
    }
}

constexpr Anchor kSlotSumAnchors[] = {
    {0, 0},   {1, 0},   {2, 0},   {3, 0},   {4, 1},   {5, 1},   {6, 2},     {7, 4},     {8, 5},     {9, 7},
    {10, 10}, {11, 12}, {12, 15}, {13, 19}, {14, 22}, {29, 100}, {99, 655}, {149, 1103}, {199, 1567}};

// Rows 1..9 at sums of 10, 30, 50, 100, 200 and 299 tens.
constexpr int32_t kRankedAnchorSums[] = {10, 30, 50, 100, 200, 299};
constexpr int32_t kRankedAnchorValues[kRankedScoreRows - 1][6] = {
    {48, 210, 390, 862, 1833, 2806}, {23, 150, 310, 754, 1696, 2651}, {10, 106, 248, 663, 1576, 2515},
    {4, 74, 197, 585, 1469, 2390},   {1, 50, 156, 517, 1371, 2276},   {0, 33, 122, 456, 1282, 2169},
    {0, 21, 95, 402, 1199, 2069},    {0, 13, 72, 354, 1122, 1975},    {0, 8, 54, 310, 1050, 1886}};

} // namespace

const std::array<int32_t, kSlotSumCurvePoints>& SlotSumCurve()
{
    static const std::array<int32_t, kSlotSumCurvePoints> curve = [] {
        std::array<int32_t, kSlotSumCurvePoints> values{};
        FillThroughAnchors(values, kSlotSumAnchors);
        return values;
    }();
    return curve;
}

const RankedScoreCurveTable& RankedScoreCurves()
{
    static const RankedScoreCurveTable table = [] {
        RankedScoreCurveTable rows{};
        for (int32_t s = 0; s < kRankedScorePoints; ++s)
            rows[0][static_cast<size_t>(s)] = 10 * s;
        for (int32_t k = 1; k < kRankedScoreRows; ++k) {
            std::vector<Anchor> anchors{{0, 0}};
            for (size_t a = 0; a < std::size(kRankedAnchorSums); ++a)
                anchors.push_back({kRankedAnchorSums[a], kRankedAnchorValues[k - 1][a]});
            FillThroughAnchors(rows[static_cast<size_t>(k)], anchors);
        }
        return rows;
    }();
    return table;
}

} // namespace vela::engine
