#include "engine/input/FindCorePoint.h"

#include <algorithm>
#include <cstdlib>
#include <vector>

#include "engine/input/GreyCanvas.h"
#include "engine/records/RoundHalfAway.h"

namespace vela::engine {

namespace {

constexpr int32_t kMaxCandidates = 25;
constexpr int32_t kCoreIndex = -180;

struct Block {
    int32_t row;
    int32_t column;
};

// Clockwise from the top left.
constexpr Block kNeighbours[8] = {{-1, -1}, {-1, 0}, {-1, 1}, {0, 1}, {1, 1}, {1, 0}, {1, -1}, {0, -1}};

int32_t OrientationAt(const uint8_t* map, int32_t columns, int32_t rows, int32_t row, int32_t column)
{
    if (row < 0 || row >= rows || column < 0 || column >= columns)
        return kNoOrientation;
    return map[row * kBlockMapSide + column];
}

bool HasUnorientedNeighbourhood(const uint8_t* map, int32_t columns, int32_t rows, int32_t row, int32_t column)
{
    if (OrientationAt(map, columns, rows, row, column) == kNoOrientation)
        return true;
    for (const Block& n : kNeighbours) {
        if (OrientationAt(map, columns, rows, row + n.row, column + n.column) == kNoOrientation)
            return true;
    }
    return false;
}

// A core candidate is kept only when the ridges arch over it: two or three
// rows up, some block has an orientation of 120 or more on its left and of
// 60 or less on its right.
bool HasArchAbove(const uint8_t* map, int32_t columns, int32_t rows, int32_t row, int32_t column)
{
    for (int32_t r = row - 2; r >= row - 3; --r) {
        for (int32_t c = column - 3; c <= column + 3; ++c) {
            const int32_t here = OrientationAt(map, columns, rows, r, c);
            const int32_t left = OrientationAt(map, columns, rows, r, c - 1);
            const int32_t right = OrientationAt(map, columns, rows, r, c + 1);
            if (here == kNoOrientation || left == kNoOrientation || right == kNoOrientation)
                continue;
            if (left >= 120 && right <= 60)
                return true;
        }
    }
    return false;
}

} // namespace

int32_t BlockPoincareIndex(const uint8_t* map, int32_t columns, int32_t rows, int32_t row, int32_t column)
{
    // Orientations are modulo 180, so each step is brought into -90..90. No
    // step is then steeper than 90, so a correction by the sign of the
    // running sum for steeper steps never applies.
    int32_t sum = 0;
    for (int32_t i = 0; i < 8; ++i) {
        const Block& from = kNeighbours[i];
        const Block& to = kNeighbours[(i + 1) % 8];
        int32_t step = OrientationAt(map, columns, rows, row + from.row, column + from.column) -
                       OrientationAt(map, columns, rows, row + to.row, column + to.column);
        if (step > 90)
            step -= 180;
        else if (step < -90)
            step += 180;
        sum += step;
    }
    return sum;
}

int32_t FindCorePoint(const uint8_t* map, size_t length, int32_t columns, int32_t rows, int32_t& x, int32_t& y)
{
    if (map == nullptr || length < kBlockMapBytes)
        return 0;
    columns = std::clamp(columns, 0, kBlockMapSide);
    rows = std::clamp(rows, 0, kBlockMapSide);
    const int32_t k = columns < 19 ? 3 : columns / 4;
    const int32_t m = rows < 26 ? 4 : rows / 4;

    std::vector<Block> cores;
    for (int32_t r = m; r <= rows - m; ++r) {
        for (int32_t c = k; c <= columns - k; ++c) {
            if (HasUnorientedNeighbourhood(map, columns, rows, r, c))
                continue;
            if (BlockPoincareIndex(map, columns, rows, r, c) != kCoreIndex)
                continue;
            if (static_cast<int32_t>(cores.size()) < kMaxCandidates && HasArchAbove(map, columns, rows, r, c))
                cores.push_back({r, c});
        }
    }
    if (cores.empty())
        return 0;

    // The first candidate and its direct neighbours among the others.
    const Block first = cores.front();
    int32_t rowSum = 0;
    int32_t columnSum = 0;
    int32_t count = 0;
    for (const Block& core : cores) {
        if (std::abs(core.row - first.row) <= 1 && std::abs(core.column - first.column) <= 1) {
            rowSum += core.row;
            columnSum += core.column;
            ++count;
        }
    }
    const int32_t meanRow = RoundHalfAway(static_cast<double>(rowSum) / count);
    const int32_t meanColumn = RoundHalfAway(static_cast<double>(columnSum) / count);
    x = (meanColumn + 1) * kCanvasBlockSide;
    y = (meanRow + 1) * kCanvasBlockSide;
    return 1;
}

} // namespace vela::engine
