#include "engine/standard/PairScore.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>

#include "engine/records/RoundHalfAway.h"

namespace vela::engine {
namespace {

constexpr int32_t kNoPair = 500;
constexpr int kAngleSteps = 120;
constexpr int kShortestPair = 5;  // |dx| + |dy| must exceed
constexpr int kLongestPair = 50;  // and stay below
constexpr int kAngleTolerance = 6;
constexpr int kPlaceTolerance = 5;
constexpr int kLeastLocalMatches = 2; // a vote needs more
constexpr int kRotationBins = 78;     // histogram -78..78
constexpr int kRotationWindow = 19;
constexpr int kShiftBins = 220;       // histogram -220..220
constexpr int kShiftWindow = 21;
constexpr int kCentreX = 72;
constexpr int kCentreY = 100;
constexpr int kGridWidth = 144;
constexpr int kGridHeight = 200;
constexpr int kLargestRotation = 100;
constexpr int kFewestConsistentPairs = 7;
constexpr int32_t kTopScore = 3000;
constexpr int32_t kReverseFrom = 190;
constexpr int32_t kStandsAlone = 900;
constexpr int kAgreementBins = 200;
constexpr double kRadiansPerStep = 0.05235987755982988;
constexpr double kDegreesPerRadian = 57.29577951308232;
constexpr double kRadiansPerDegree = 0.017453292519943295;

constexpr int32_t kDistanceAgreementWeight[kAgreementBins] = {
    341,  333,  324,  315,  307,  298,  290,  281,  273,  264,  256,  247,  239,  231,  222,  214,  206,  198,  190,  182,
    174,  166,  158,  150,  142,  134,  126,  119,  111,  103,  96,   88,   80,   73,   65,   58,   50,   43,   36,   28,
    21,   14,   6,    -1,   -8,   -15,  -22,  -29,  -36,  -43,  -50,  -57,  -64,  -70,  -77,  -84,  -91,  -97,  -104, -111,
    -117, -124, -130, -137, -143, -149, -156, -162, -168, -174, -181, -187, -193, -199, -205, -211, -217, -223, -229, -235,
    -240, -246, -252, -258, -263, -269, -275, -280, -286, -291, -297, -302, -307, -313, -318, -323, -328, -334, -339, -344,
    -349, -354, -359, -364, -369, -374, -379, -383, -388, -393, -398, -402, -407, -412, -416, -421, -425, -430, -434, -438,
    -443, -447, -451, -455, -460, -464, -468, -472, -476, -480, -484, -488, -492, -496, -500, -503, -507, -511, -514, -518,
    -522, -525, -529, -532, -536, -539, -542, -546, -549, -552, -556, -559, -562, -565, -568, -571, -574, -577, -580, -583,
    -586, -589, -591, -594, -597, -600, -602, -605, -607, -610, -612, -615, -617, -620, -622, -624, -627, -629, -631, -633,
    -635, -637, -639, -641, -643, -645, -647, -649, -651, -653, -654, -656, -658, -660, -661, -663, -664, -666, -667, -669};

struct RotationTable {
    double cosine[kAngleSteps + 1];
    double sine[kAngleSteps + 1];
};

const RotationTable& PairRotation()
{
    static const RotationTable table = [] {
        RotationTable t{};
        for (int k = 0; k <= kAngleSteps; ++k) {
            const double angle = 3.0 * k * kRadiansPerDegree;
            t.cosine[k] = std::cos(angle);
            t.sine[k] = std::sin(angle);
        }
        return t;
    }();
    return table;
}

// The difference `to - from` of two angles of 120 steps, folded into -60..60.
int32_t FoldedDifference(int32_t from, int32_t to)
{
    const int32_t d = std::abs(to - from);
    if (kAngleSteps - d < d)
        return from < to ? d - kAngleSteps : kAngleSteps - d;
    return to - from;
}

struct PairEntry {
    int32_t dx;
    int32_t dy;
    int32_t da;
};

template <int M>
struct PairTable {
    std::array<PairEntry, M * M> entries;
    std::array<uint8_t, M> neighbourCount;
    std::array<std::array<uint8_t, M>, M> neighbours;

    const PairEntry& At(int i, int j) const { return entries[i * M + j]; }
};

// Nearest integer box of a set of points (an empty set gives an inverted box).
struct Box {
    int32_t left = 1000000, top = 1000000, right = -1000, bottom = -1000;
    bool Contains(int32_t x, int32_t y) const { return x >= left && x <= right && y >= top && y <= bottom; }
};

template <int M>
Box BoundingBox(const DecodedView<M>& v)
{
    Box box;
    for (int i = 0; i < v.count; ++i) {
        box.left = std::min(box.left, v.x[i]);
        box.right = std::max(box.right, v.x[i]);
        box.top = std::min(box.top, v.y[i]);
        box.bottom = std::max(box.bottom, v.y[i]);
    }
    return box;
}

// The window of `window` bins with the most votes; the lowest start on ties.
int BestWindow(const int32_t* histogram, int bins, int window)
{
    int32_t sum = 0;
    for (int b = 0; b < window; ++b)
        sum += histogram[b];
    int best = 0;
    int32_t bestSum = sum;
    for (int start = 1; start + window <= bins; ++start) {
        sum += histogram[start + window - 1] - histogram[start - 1];
        if (sum > bestSum) {
            bestSum = sum;
            best = start;
        }
    }
    return best;
}

} // namespace

template <int M>
struct PairWork {
    PairTable<M> a;
    PairTable<M> b;
    std::array<int32_t, M * M> votes; // [row b][column a]
    std::array<int32_t, M> assignment;
    DecodedView<M> turnedA;
    DecodedView<M> movedB;
};

namespace {

template <int M>
void BuildPairTable(const DecodedView<M>& v, PairTable<M>& table)
{
    const RotationTable& rotation = PairRotation();
    table.neighbourCount.fill(0);
    for (int i = 0; i < v.count; ++i) {
        const int k = v.angle[i];
        for (int j = 0; j < v.count; ++j) {
            PairEntry& e = table.entries[i * M + j];
            e.da = kNoPair;
            if (j == i)
                continue;
            const double dx = v.x[j] - v.x[i], dy = v.y[j] - v.y[i];
            e.dx = RoundHalfAway(dx * rotation.cosine[k] - dy * rotation.sine[k]);
            e.dy = RoundHalfAway(dy * rotation.cosine[k] + dx * rotation.sine[k]);
            const int32_t spread = std::abs(e.dx) + std::abs(e.dy);
            if (spread <= kShortestPair || spread >= kLongestPair)
                continue;
            e.da = FoldedDifference(v.angle[i], v.angle[j]);
            table.neighbours[i][table.neighbourCount[i]++] = static_cast<uint8_t>(j);
        }
    }
}

template <int M>
int CountLocalMatches(const PairTable<M>& ta, int a, const PairTable<M>& tb, int b)
{
    int matches = 0;
    for (int n = 0; n < tb.neighbourCount[b]; ++n) {
        const PairEntry& e1 = tb.At(b, tb.neighbours[b][n]);
        for (int m = 0; m < ta.neighbourCount[a]; ++m) {
            const PairEntry& e2 = ta.At(a, ta.neighbours[a][m]);
            if (std::abs(e1.dy - e2.dy) > kPlaceTolerance || std::abs(e1.dx - e2.dx) > kPlaceTolerance)
                continue;
            if (std::abs(FoldedDifference(e1.da, e2.da)) <= kAngleTolerance) {
                ++matches;
                break;
            }
        }
    }
    return matches;
}

template <int M>
void VoteCandidates(const DecodedView<M>& a, const DecodedView<M>& b, PairWork<M>& w)
{
    if (a.count == 0)
        return;
    for (int j = 0; j < b.count; ++j) {
        int best = 0, bestCount = -1;
        for (int i = 0; i < a.count; ++i) {
            const int count = CountLocalMatches(w.a, i, w.b, j);
            if (count > bestCount) {
                best = i;
                bestCount = count;
            }
        }
        if (bestCount > kLeastLocalMatches)
            ++w.votes[j * M + best];
    }
}

template <int M>
void ResolvePairs(const DecodedView<M>& a, const DecodedView<M>& b, PairWork<M>& w, MatchStatistics& s)
{
    for (int j = 0; j < b.count; ++j) {
        int32_t* row = &w.votes[j * M];
        int best = 0;
        for (int i = 1; i < a.count; ++i)
            if (row[i] > row[best])
                best = i;
        for (int i = 0; i < a.count; ++i)
            if (i != best)
                row[i] = 0;
    }
    for (int i = 0; i < a.count; ++i) {
        int best = -1;
        int32_t bestVote = 0;
        for (int j = 0; j < b.count; ++j) {
            if (w.votes[j * M + i] > bestVote) {
                best = j;
                bestVote = w.votes[j * M + i];
            }
        }
        for (int j = 0; j < b.count; ++j)
            if (j != best)
                w.votes[j * M + i] = 0;
        if (best < 0) {
            w.assignment[i] = -1;
            continue;
        }
        w.assignment[i] = best + 1;
        ++s.assignedPairs;
        s.voteSum += bestVote;
        s.largestVote = std::max(s.largestVote, bestVote);
    }
}

template <int M>
void EstimateRotation(const DecodedView<M>& a, const DecodedView<M>& b, PairWork<M>& w, MatchStatistics& s)
{
    int32_t histogram[2 * kRotationBins + 1] = {};
    int32_t pairs = 0;
    for (int i = 0; i < a.count; ++i) {
        if (w.assignment[i] <= 0)
            continue;
        ++histogram[FoldedDifference(a.angle[i], b.angle[w.assignment[i] - 1]) + kRotationBins];
        ++pairs;
    }
    const int first = BestWindow(histogram, 2 * kRotationBins + 1, kRotationWindow) - kRotationBins;
    const int last = first + kRotationWindow - 1;
    int32_t inside = 0, sum = 0;
    for (int i = 0; i < a.count; ++i) {
        if (w.assignment[i] <= 0)
            continue;
        const int32_t e = FoldedDifference(a.angle[i], b.angle[w.assignment[i] - 1]);
        if (e < first || e > last) {
            w.assignment[i] = -1;
            continue;
        }
        ++inside;
        sum += e;
    }
    const double d = inside > 0 ? static_cast<double>(sum) / inside * kRadiansPerStep : 0.0;
    const double c = std::cos(-d), sn = std::sin(-d);
    w.turnedA = a;
    for (int i = 0; i < a.count; ++i) {
        const double x = a.x[i] - kCentreX, y = a.y[i] - kCentreY;
        w.turnedA.x[i] = RoundHalfAway(c * x - sn * y) + kCentreX;
        w.turnedA.y[i] = RoundHalfAway(c * y + sn * x) + kCentreY;
    }
    s.rotation = RoundHalfAway(d * kDegreesPerRadian);
    s.rotationShare = pairs >= 1 ? RoundHalfAway(inside * 100.0 / pairs) : 0;
}

// The shift along one axis between the turned first view and the second; a
// shift beyond the histogram (only crafted views reach it) casts no vote.
template <int M>
int32_t EstimateShift(const std::array<int32_t, M>& from, const std::array<int32_t, M>& to, int count,
                      PairWork<M>& w, int32_t& share, int32_t& inside)
{
    int32_t histogram[2 * kShiftBins + 1] = {};
    int32_t pairs = 0;
    for (int i = 0; i < count; ++i) {
        if (w.assignment[i] <= 0)
            continue;
        ++pairs;
        const int32_t e = to[w.assignment[i] - 1] - from[i];
        if (e >= -kShiftBins && e <= kShiftBins)
            ++histogram[e + kShiftBins];
    }
    const int first = BestWindow(histogram, 2 * kShiftBins + 1, kShiftWindow) - kShiftBins;
    const int last = first + kShiftWindow - 1;
    int32_t sum = 0;
    inside = 0;
    for (int i = 0; i < count; ++i) {
        if (w.assignment[i] <= 0)
            continue;
        const int32_t e = to[w.assignment[i] - 1] - from[i];
        if (e < first || e > last) {
            w.assignment[i] = -1;
            continue;
        }
        ++inside;
        sum += e;
    }
    share = pairs >= 1 ? RoundHalfAway(inside * 100.0 / pairs) : 0;
    return inside > 0 ? sum / inside : 0;
}

template <int M>
void TransformView(const DecodedView<M>& v, int32_t degrees, int32_t tx, int32_t ty, DecodedView<M>& out)
{
    const double t = degrees * kRadiansPerDegree;
    const double c = std::cos(t), s = std::sin(t);
    const int32_t k = RoundHalfAway(degrees * 120.0 / 360);
    out.finger = v.finger;
    out.quality = v.quality;
    out.count = 0;
    for (int i = 0; i < v.count; ++i) {
        const double u = v.x[i] + tx - kCentreX, w = v.y[i] + ty - kCentreY;
        const int32_t x = RoundHalfAway(c * u - s * w) + kCentreX;
        const int32_t y = RoundHalfAway(c * w + s * u) + kCentreY;
        if (x < 0 || x >= kGridWidth || y < 0 || y >= kGridHeight)
            continue;
        out.x[out.count] = x;
        out.y[out.count] = y;
        out.angle[out.count] = ((v.angle[i] - k + kAngleSteps) % kAngleSteps + kAngleSteps) % kAngleSteps;
        ++out.count;
    }
}

template <int M>
int32_t CommonAreaCount(const DecodedView<M>& a, const DecodedView<M>& b)
{
    const Box boxA = BoundingBox(a), boxB = BoundingBox(b);
    Box common;
    common.left = std::max(boxA.left, boxB.left);
    common.top = std::max(boxA.top, boxB.top);
    common.right = std::min(boxA.right, boxB.right);
    common.bottom = std::min(boxA.bottom, boxB.bottom);
    int32_t inside = 0;
    for (int i = 0; i < a.count; ++i)
        inside += common.Contains(a.x[i], a.y[i]) ? 1 : 0;
    for (int i = 0; i < b.count; ++i)
        inside += common.Contains(b.x[i], b.y[i]) ? 1 : 0;
    return inside / 2;
}

// How well the distances between matched minutiae agree in the two views;
// pairs of coincident minutiae say nothing and are passed over.
template <int M>
int32_t PairConsistencyScore(const DecodedView<M>& a, const DecodedView<M>& b, const PairWork<M>& w)
{
    int32_t score = 0;
    for (int j = 0; j < a.count; ++j) {
        if (w.assignment[j] <= 0)
            continue;
        const int pj = w.assignment[j] - 1;
        for (int k = j + 1; k < a.count; ++k) {
            if (w.assignment[k] <= 0)
                continue;
            const int pk = w.assignment[k] - 1;
            const double t = std::hypot(static_cast<double>(a.x[k] - a.x[j]), static_cast<double>(a.y[k] - a.y[j]));
            const double u = std::hypot(static_cast<double>(b.x[pk] - b.x[pj]), static_cast<double>(b.y[pk] - b.y[pj]));
            if (t + u == 0)
                continue;
            const int32_t v = RoundHalfAway(std::fabs(t - u) / (t + u) * 500);
            if (v < kAgreementBins)
                score += kDistanceAgreementWeight[v];
        }
    }
    return std::max(score, 0);
}

} // namespace

template <int M>
PairScorer<M>::PairScorer() : work(new PairWork<M>)
{
}

template <int M>
PairScorer<M>::~PairScorer()
{
    delete work;
}

template <int M>
int32_t PairScorer<M>::MatchMinutiae(const DecodedView<M>& a, const DecodedView<M>& b, MatchStatistics* statistics)
{
    MatchStatistics local;
    MatchStatistics& s = statistics ? *statistics : local;
    s = MatchStatistics{};
    PairWork<M>& w = *work;
    w.votes.fill(0);
    w.assignment.fill(-1);
    BuildPairTable(a, w.a);
    BuildPairTable(b, w.b);
    VoteCandidates(a, b, w);
    ResolvePairs(a, b, w, s);
    EstimateRotation(a, b, w, s);
    if (std::abs(s.rotation) > kLargestRotation)
        return 0;
    int32_t inside = 0;
    s.shiftX = EstimateShift<M>(w.turnedA.x, b.x, a.count, w, s.shiftXShare, inside);
    s.shiftY = EstimateShift<M>(w.turnedA.y, b.y, a.count, w, s.shiftYShare, inside);
    s.consistentPairs = inside;
    TransformView(b, s.rotation, -s.shiftX, -s.shiftY, w.movedB);
    const int32_t common = CommonAreaCount(a, w.movedB);
    const int32_t agreement = PairConsistencyScore(a, b, w);

    int32_t value = 0;
    if (s.consistentPairs >= kFewestConsistentPairs && common > 0)
        value = std::min(kTopScore, RoundHalfAway(10.0 * agreement / (static_cast<double>(common) * common)));
    if (s.assignedPairs <= 2 || 4 * s.consistentPairs <= s.assignedPairs)
        return 0;
    return std::clamp(MapScoreToScale(value, kMatchScaleBreaks), 0, kTopScore);
}

template <int M>
int32_t PairScorer<M>::ScorePair(const DecodedView<M>& a, const DecodedView<M>& b)
{
    const int32_t first = MatchMinutiae(a, b);
    const int32_t second = first >= kReverseFrom ? MatchMinutiae(b, a) : 0;
    const int32_t hi = std::max(first, second), lo = std::min(first, second);
    return hi >= kStandsAlone ? hi : (hi + lo) / 2;
}

int32_t MapScoreToScale(int32_t value, const std::array<int32_t, 4>& breaks)
{
    if (value <= breaks[0])
        return 0;
    for (int i = 1; i < 4; ++i)
        if (breaks[i] >= value)
            return (value - breaks[i - 1]) * 100 / (breaks[i] - breaks[i - 1]) + 100 * (i - 1);
    return (value - breaks[2]) * 100 / (breaks[3] - breaks[2]) + 200;
}

template <int M>
bool CentreView(DecodedView<M>& view)
{
    if (view.count == 0)
        return true;
    const Box box = BoundingBox(view);
    if (box.right - box.left >= kGridWidth || box.bottom - box.top >= kGridHeight)
        return false;
    const int32_t dx = (box.left - box.right + kGridWidth - 1) / 2 - box.left;
    const int32_t dy = (box.top - box.bottom + kGridHeight - 1) / 2 - box.top;
    for (int i = 0; i < view.count; ++i) {
        view.x[i] += dx;
        view.y[i] += dy;
    }
    return true;
}

template class PairScorer<52>;
template class PairScorer<70>;
template bool CentreView(DecodedView<52>&);
template bool CentreView(DecodedView<70>&);

} // namespace vela::engine
