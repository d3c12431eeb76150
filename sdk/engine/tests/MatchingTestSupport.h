#pragma once

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstdint>
#include <random>
#include <vector>

#include "engine/records/ImpressionRecord.h"

namespace vela::engine::test {

// A plausible finger for the matcher: a loop-shaped ridge flow around a core
// inside an elliptic print, and minutiae spread over the print at least a few
// pixels apart. Different seeds and cores give different fingers.
struct SyntheticFinger {
    uint32_t seed = 1;
    double coreColumn = 9.0;     // in blocks
    double coreRow = 10.0;
    double flowTurn = 0.0;       // degrees added to the whole flow
    int minutiae = 40;
    uint8_t quality = 80;
};

inline uint8_t FlowDirection(const SyntheticFinger& finger, int row, int column)
{
    // Half the angle about the core gives the loop's turn of 180 degrees.
    const double dx = column + 0.5 - finger.coreColumn;
    const double dy = finger.coreRow - (row + 0.5);
    const double degrees = std::atan2(dy, dx) * 90.0 / M_PI + 90.0 + finger.flowTurn;
    const double wrapped = std::fmod(std::fmod(degrees, 180.0) + 180.0, 180.0);
    return static_cast<uint8_t>(static_cast<int>(wrapped / 3.0 + 0.5) % 60);
}

inline bool InsidePrint(int row, int column)
{
    const double u = (column + 0.5 - 9.0) / 8.0;
    const double v = (row + 0.5 - 12.5) / 11.5;
    return u * u + v * v <= 1.0;
}

inline Impression MakeSyntheticImpression(const SyntheticFinger& finger)
{
    Impression impression;
    impression.kind = impression::kPlain;
    impression.fingerCode = impression::kPlainMarker;
    impression.quality = finger.quality;
    for (int row = 0; row < kBlockRows; ++row) {
        for (int column = 0; column < kBlockColumns; ++column)
            impression.blocks[row * kBlockColumns + column] =
                InsidePrint(row, column) ? FlowDirection(finger, row, column) : kNoDirection;
    }

    std::mt19937 random(finger.seed);
    std::uniform_int_distribution<int> xs(12, 131);
    std::uniform_int_distribution<int> ys(12, 187);
    std::uniform_int_distribution<int> directions(0, 23);
    int count = 0;
    for (int attempt = 0; attempt < 5000 && count < finger.minutiae; ++attempt) {
        const int x = xs(random);
        const int y = ys(random);
        const int direction = directions(random);
        if (!InsidePrint(y / 8, x / 8))
            continue;
        bool crowded = false;
        for (int i = 0; i < count; ++i)
            crowded = crowded || (std::abs(impression.x[i] - x) < 9 && std::abs(impression.y[i] - y) < 9);
        if (crowded)
            continue;
        impression.x[count] = static_cast<uint8_t>(x);
        impression.y[count] = static_cast<uint8_t>(y);
        impression.direction[count] = static_cast<uint8_t>(direction);
        ++count;
    }
    impression.count = static_cast<uint8_t>(count);
    return impression;
}

} // namespace vela::engine::test

namespace vela::engine::test {

// Another impression of the same finger: every minutia moved by up to
// `jitter` half pixels, about one in `dropEvery` lost and `extra` spurious ones
// added where there is room.
inline Impression PerturbImpression(const Impression& source, uint32_t seed, int jitter, int dropEvery, int extra)
{
    std::mt19937 random(seed);
    std::uniform_int_distribution<int> move(-jitter, jitter);
    std::uniform_int_distribution<int> drop(0, dropEvery > 0 ? dropEvery - 1 : 0);
    Impression out = source;
    out.x.fill(0);
    out.y.fill(0);
    out.direction.fill(0);
    int count = 0;
    for (int i = 0; i < source.count; ++i) {
        if (dropEvery > 0 && drop(random) == 0)
            continue;
        const int x = std::clamp(source.x[i] + move(random), 5, 138);
        const int y = std::clamp(source.y[i] + move(random), 5, 194);
        out.x[count] = static_cast<uint8_t>(x);
        out.y[count] = static_cast<uint8_t>(y);
        out.direction[count] = source.direction[i];
        ++count;
    }
    std::uniform_int_distribution<int> xs(12, 131);
    std::uniform_int_distribution<int> ys(12, 187);
    std::uniform_int_distribution<int> directions(0, 23);
    for (int added = 0, attempt = 0; added < extra && count < kMaxMinutiae && attempt < 1000; ++attempt) {
        const int x = xs(random);
        const int y = ys(random);
        if (out.blocks[(y / 8) * kBlockColumns + x / 8] == kNoDirection)
            continue;
        out.x[count] = static_cast<uint8_t>(x);
        out.y[count] = static_cast<uint8_t>(y);
        out.direction[count] = static_cast<uint8_t>(directions(random));
        ++count;
        ++added;
    }
    out.count = static_cast<uint8_t>(count);
    return out;
}

} // namespace vela::engine::test
