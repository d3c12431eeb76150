#pragma once

#include <array>
#include <cstdint>

#include "engine/records/EngineGeometry.h"

namespace vela::engine {

// Neighbour code of a pixel: one bit per set neighbour,
// NW 1, N 2, NE 4, E 8, SE 16, S 32, SW 64, W 128.
inline uint8_t NeighbourCode(const uint8_t* image, int at)
{
    constexpr int s = kWorkImageStride;
    return static_cast<uint8_t>((image[at - s - 1] ? 1 : 0) | (image[at - s] ? 2 : 0) |
                                (image[at - s + 1] ? 4 : 0) | (image[at + 1] ? 8 : 0) |
                                (image[at + s + 1] ? 16 : 0) | (image[at + s] ? 32 : 0) |
                                (image[at + s - 1] ? 64 : 0) | (image[at - 1] ? 128 : 0));
}

// Neighbours in walking order (rows above first): NW, N, NE, W, E, SW, S, SE.
inline constexpr std::array<int, 8> kWalkOrder = {
    -kWorkImageStride - 1, -kWorkImageStride, -kWorkImageStride + 1, -1, 1,
    kWorkImageStride - 1,  kWorkImageStride,  kWorkImageStride + 1};

// The first set neighbour in walking order, or 0 when none is set.
inline int FirstSetNeighbour(const uint8_t* image, int at)
{
    for (int step : kWalkOrder)
        if (image[at + step])
            return step;
    return 0;
}

// ThinKeep[code] is 0 when a thinning pass deletes a pixel with that code.
extern const std::array<uint8_t, 256> ThinKeep;
// SpurTrim[code] is 1 when the last spur clean-up deletes a pixel with that code.
extern const std::array<uint8_t, 256> SpurTrim;

// floor(angle x stepsPerHalfTurn / pi + 0.5) of the vector (dx, dy), the angle
// taken in [0, 2 pi) with rows growing downward; 0 for (0, 0).
int AngleInSteps(int dx, int dy, int stepsPerHalfTurn);

// floor(atan2(dy, dx) * 12 / pi + 0.5) with the angle in [0, 2 pi), rows
// growing downward; 24 occurs just below a full turn. dx, dy in -10..10.
int VectorDirection(int dx, int dy);
// floor(sqrt(dx^2 + dy^2) + 0.5) for dx, dy in 0..13.
int RoundDistance(int dx, int dy);

// Distance between two directions of 24 steps (24 counts as 0).
inline int CircularDifference(int u, int v)
{
    const int d = u > v ? u - v : v - u;
    return d < 24 - d ? d : 24 - d;
}

} // namespace vela::engine
