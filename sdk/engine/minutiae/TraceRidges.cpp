#include "engine/minutiae/TraceRidges.h"

#include <cstdlib>

#include "engine/minutiae/NeighbourCodes.h"

namespace vela::engine {
namespace {

constexpr int kFollowSteps = 8;
constexpr int kFollowMinimum = 6;
constexpr int kInnerFirst = 16;
constexpr int kInnerLastColumn = 272;
constexpr int kInnerLastRow = 384;
constexpr int kMinimumSpread = 5;

bool InsideInnerArea(PixelPosition p)
{
    return p.column >= kInnerFirst && p.column <= kInnerLastColumn && p.row >= kInnerFirst && p.row <= kInnerLastRow;
}

int DirectionBetween(int from, int to)
{
    const PixelPosition a = PositionOf(from), b = PositionOf(to);
    return VectorDirection(b.column - a.column, b.row - a.row);
}

// A branching point becomes a minutia when each of its first three branches
// runs far enough; its direction is the mean of the two closest branches.
std::optional<int> BranchingDirection(uint8_t* image, int point)
{
    int neighbours[8];
    if (CutBranchingPoint(image, point, neighbours) < 3)
        return std::nullopt;

    int branch[3];
    for (int k = 0; k < 3; ++k) {
        const auto end = FollowRidge(image, neighbours[k]);
        if (!end || !FarEnough(PositionOf(point), PositionOf(*end)))
            return std::nullopt;
        branch[k] = DirectionBetween(neighbours[k], *end);
    }
    return PairMean(branch[1], branch[0], branch[2]);
}

} // namespace

int CutBranchingPoint(uint8_t* image, int point, int (&neighbours)[8])
{
    int found = 0;
    for (int step : kWalkOrder)
        if (image[point + step])
            neighbours[found++] = point + step;
    image[point] = 0;
    for (int k = 0; k < found; ++k)
        image[neighbours[k]] = 0;
    return found;
}

std::optional<int> FollowRidge(uint8_t* image, int start)
{
    int visited[kFollowSteps + 1];
    int count = 0;
    int at = start;
    visited[count++] = at;
    image[at] = 0;
    for (int step = 0; step < kFollowSteps; ++step) {
        const int next = at + FirstSetNeighbour(image, at);
        if (next == at || next < kScanFirst || next > kScanLast)
            break;
        at = next;
        visited[count++] = at;
        image[at] = 0;
    }
    for (int k = 1; k < count; ++k)
        image[visited[k]] = 255;
    if (count < kFollowMinimum)
        return std::nullopt;
    return at;
}

bool FarEnough(PixelPosition p, PixelPosition q)
{
    if (!InsideInnerArea(p) || !InsideInnerArea(q))
        return false;
    return std::abs(q.column - p.column) + std::abs(q.row - p.row) > kMinimumSpread;
}

int CircularMean(int u, int v)
{
    const int d = std::abs(u - v);
    int mean = (u + v) / 2;
    if (24 - d < d)
        mean += 12;
    if (mean >= 24)
        mean -= 24;
    return mean;
}

int PairMean(int a, int b, int c)
{
    const int ab = CircularDifference(a, b);
    const int ac = CircularDifference(a, c);
    const int bc = CircularDifference(b, c);
    if (!(ac < ab) && !(bc < ab))
        return CircularMean(a, b);
    if (bc <= ac && bc <= ab)
        return CircularMean(b, c);
    return CircularMean(a, c);
}

void TraceRidges(uint8_t* image, OffsetList& endings, OffsetList& branchings, MinutiaList& minutiae)
{
    FindMinutiaCandidates(image, endings, branchings);

    for (int k = 0; k < branchings.count; ++k) {
        const int point = branchings.offsets[k];
        const auto direction = BranchingDirection(image, point);
        if (!direction)
            continue;
        const PixelPosition p = PositionOf(point);
        minutiae.Add(p.column, p.row, *direction);
    }

    for (int k = 0; k < endings.count; ++k) {
        const int point = endings.offsets[k];
        const auto end = FollowRidge(image, point);
        const PixelPosition p = PositionOf(point);
        if (!end || !InsideInnerArea(p))
            continue;
        minutiae.Add(p.column, p.row, DirectionBetween(point, *end));
    }
}

} // namespace vela::engine
