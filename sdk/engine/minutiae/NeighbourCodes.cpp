#include "engine/minutiae/NeighbourCodes.h"

#include <cmath>
#include <numbers>

namespace vela::engine {
namespace {

template <size_t N>
constexpr std::array<uint8_t, 256> CodeSet(const int (&codes)[N], uint8_t member, uint8_t other)
{
    std::array<uint8_t, 256> table{};
    table.fill(other);
    for (int code : codes)
        table[code] = member;
    return table;
}

constexpr int kThinDeleted[] = {
    0,   3,   6,   7,   10,  11,  12,  14,  15,  24,  26,  27,  28,  30,  31,  40,  42,  43,  44,  46,
    47,  48,  56,  58,  59,  60,  62,  63,  96,  104, 106, 107, 108, 110, 111, 112, 120, 122, 123, 124,
    126, 127, 129, 130, 131, 134, 135, 138, 139, 142, 143, 154, 155, 158, 159, 160, 161, 162, 163, 166,
    167, 168, 169, 172, 173, 176, 177, 178, 179, 182, 183, 184, 185, 188, 189, 192, 193, 194, 195, 198,
    199, 202, 203, 206, 207, 218, 219, 222, 223, 224, 225, 226, 227, 230, 231, 232, 233, 236, 237, 240,
    241, 242, 243, 246, 247, 248, 249, 252, 253};

constexpr int kSpurTrimmed[] = {1,  2,  3,  4,  6,   7,   8,   12,  14,  16,  24,  28,
                                32, 48, 56, 64, 96, 112, 128, 129, 131, 192, 193, 224};

constexpr int kVectorReach = 10;
constexpr int kDistanceReach = 13;

struct VectorDirectionTable {
    int value[2 * kVectorReach + 1][2 * kVectorReach + 1]; // [dy + 10][dx + 10]
};

VectorDirectionTable MakeVectorDirections()
{
    VectorDirectionTable table{};
    for (int dy = -kVectorReach; dy <= kVectorReach; ++dy)
        for (int dx = -kVectorReach; dx <= kVectorReach; ++dx)
            table.value[dy + kVectorReach][dx + kVectorReach] = AngleInSteps(dx, dy, 12);
    return table;
}

struct RoundDistanceTable {
    int value[kDistanceReach + 1][kDistanceReach + 1];
};

RoundDistanceTable MakeRoundDistances()
{
    RoundDistanceTable table{};
    for (int dy = 0; dy <= kDistanceReach; ++dy)
        for (int dx = 0; dx <= kDistanceReach; ++dx)
            table.value[dy][dx] = static_cast<int>(std::floor(std::sqrt(static_cast<double>(dx * dx + dy * dy)) + 0.5));
    return table;
}

} // namespace

const std::array<uint8_t, 256> ThinKeep = CodeSet(kThinDeleted, 0, 1);
const std::array<uint8_t, 256> SpurTrim = CodeSet(kSpurTrimmed, 1, 0);

int AngleInSteps(int dx, int dy, int stepsPerHalfTurn)
{
    if (dx == 0 && dy == 0)
        return 0;
    double angle = std::atan2(static_cast<double>(dy), static_cast<double>(dx));
    if (angle < 0)
        angle += 2 * std::numbers::pi;
    return static_cast<int>(std::floor(angle * stepsPerHalfTurn / std::numbers::pi + 0.5));
}

int VectorDirection(int dx, int dy)
{
    static const VectorDirectionTable table = MakeVectorDirections();
    return table.value[dy + kVectorReach][dx + kVectorReach];
}

int RoundDistance(int dx, int dy)
{
    static const RoundDistanceTable table = MakeRoundDistances();
    return table.value[dy][dx];
}

} // namespace vela::engine
