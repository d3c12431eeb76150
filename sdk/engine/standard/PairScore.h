#pragma once

#include <array>
#include <cstdint>

namespace vela::engine {

// One decoded finger view of a standard template: at most M minutiae in half
// pixels at 170 pixels per centimetre, centred in the 144 x 200 grid, with
// angles in 3-degree steps (0..119).
template <int M>
struct DecodedView {
    uint8_t finger = 0;
    int32_t count = 0;
    int32_t quality = 0;
    std::array<int32_t, M> x{};
    std::array<int32_t, M> y{};
    std::array<int32_t, M> angle{};
};
using DecodedIsoView = DecodedView<52>;
using DecodedIncitsView = DecodedView<70>;

// What one directed comparison found, for tests and tuning.
struct MatchStatistics {
    int32_t consistentPairs = 0; // C: pairs left inside the y-shift window
    int32_t rotation = 0;        // degrees
    int32_t rotationShare = 0;   // percent of pairs inside the rotation window
    int32_t shiftX = 0;
    int32_t shiftXShare = 0;
    int32_t shiftY = 0;
    int32_t shiftYShare = 0;
    int32_t voteSum = 0;
    int32_t largestVote = 0;
    int32_t assignedPairs = 0;   // P
};

// The scratch of the comparisons (pair tables, neighbour lists, votes),
// about 150 KB for M = 70: callers keep it on the heap and reuse it.
template <int M>
struct PairWork;

template <int M>
class PairScorer {
public:
    PairScorer();
    ~PairScorer();
    PairScorer(const PairScorer&) = delete;
    PairScorer& operator=(const PairScorer&) = delete;

    // 0..3000: how well B's minutiae agree with A's after the rotation and
    // shift the pairs of local structures vote for.
    int32_t MatchMinutiae(const DecodedView<M>& a, const DecodedView<M>& b, MatchStatistics* statistics = nullptr);
    // MatchMinutiae made symmetric: the reverse comparison runs when the first
    // score reaches 190; a score of 900 stands alone, others are averaged.
    int32_t ScorePair(const DecodedView<M>& a, const DecodedView<M>& b);

private:
    PairWork<M>* work;
};

// Piecewise linear through (b0, 0), (b1, 100), (b2, 200), (b3, 300), the last
// segment extended; 0 at or below b0.
int32_t MapScoreToScale(int32_t value, const std::array<int32_t, 4>& breaks);
inline constexpr std::array<int32_t, 4> kMatchScaleBreaks = {0, 2, 14, 36};

// Centres a view's minutiae in the 144 x 200 grid; false when they span the
// grid or more on either axis.
template <int M>
bool CentreView(DecodedView<M>& view);

} // namespace vela::engine
