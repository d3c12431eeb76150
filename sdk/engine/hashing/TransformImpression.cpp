#include "engine/hashing/TransformImpression.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>

#include "engine/hashing/FineImpression.h"
#include "engine/records/EngineGeometry.h"
#include "engine/records/RoundHalfAway.h"

namespace vela::engine {

namespace {


enum class DirectionUnits { Steps15, Fine };

int32_t Wrap(int32_t value, int32_t modulus)
{
    const int32_t rest = value % modulus;
    return rest < 0 ? rest + modulus : rest;
}

int32_t TurnDirection(int32_t direction, int32_t degrees, DirectionUnits units)
{
    if (units == DirectionUnits::Steps15)
        return Wrap(direction + RoundHalfAway(degrees / 15.0), kMinutiaDirections);
    return Wrap(direction - RoundHalfAway(degrees / 3.0), kFineDirections);
}

void TransformMinutiae(const Impression& source, Impression& out, double cosine, double sine, int32_t degrees,
                       int32_t xShift, int32_t yShift, DirectionUnits units)
{
    out.x.fill(0);
    out.y.fill(0);
    out.direction.fill(0);
    const int32_t count = std::min<int32_t>(source.count, kMaxMinutiae);
    int32_t kept = 0;
    for (int32_t i = 0; i < count; ++i) {
        const int32_t X = source.x[i] + xShift - kImpressionCentreX;
        const int32_t Y = source.y[i] + yShift - kImpressionCentreY;
        const int32_t x = RoundHalfAway(X * cosine - Y * sine) + kImpressionCentreX;
        const int32_t y = RoundHalfAway(X * sine + Y * cosine) + kImpressionCentreY;
        if (x < 0 || x >= kMinutiaMaxX || y < 0 || y >= kMinutiaMaxY)
            continue;
        out.x[kept] = static_cast<uint8_t>(x);
        out.y[kept] = static_cast<uint8_t>(y);
        out.direction[kept] = static_cast<uint8_t>(TurnDirection(source.direction[i], degrees, units));
        ++kept;
    }
    out.count = static_cast<uint8_t>(kept);
}

// RoundHalfAway(value / 8.0) in integers: the quotient and the half added
// to it are exact in double, so truncating the integer sum is the same.
int32_t RoundEighthsHalfAway(int32_t value)
{
    return (value >= 0 ? value + 4 : value - 4) / 8;
}

// Each output block looks back to where it came from.
void TransformBlocks(const Impression& source, Impression& out, double cosine, double sine, int32_t degrees,
                     int32_t xShift, int32_t yShift)
{
    const int32_t turn = RoundHalfAway(degrees / 3.0);
    // The products of each column's and each row's offset, made once: the
    // sums below add the very same doubles.
    std::array<double, kBlockColumns> columnCosine{};
    std::array<double, kBlockColumns> columnSine{};
    for (int32_t column = 0; column < kBlockColumns; ++column) {
        const int32_t P = -kImpressionCentreX + kMinutiaUnitsPerBlock * column;
        columnCosine[column] = P * cosine;
        columnSine[column] = P * sine;
    }
    for (int32_t row = 0; row < kBlockRows; ++row) {
        const int32_t Q = -kImpressionCentreY + kMinutiaUnitsPerBlock * row;
        const double rowCosine = Q * cosine;
        const double rowSine = Q * sine;
        for (int32_t column = 0; column < kBlockColumns; ++column) {
            // Offsets of a few hundred at most: the sign-free rounding applies.
            const int32_t u = RoundSmallHalfAway(columnCosine[column] + rowSine) - xShift + kImpressionCentreX;
            const int32_t v = RoundSmallHalfAway(rowCosine - columnSine[column]) - yShift + kImpressionCentreY;
            const int32_t sourceColumn = RoundEighthsHalfAway(u);
            const int32_t sourceRow = RoundEighthsHalfAway(v);
            uint8_t value = kNoDirection;
            if (sourceColumn >= 0 && sourceColumn < kBlockColumns && sourceRow >= 0 && sourceRow < kBlockRows) {
                const uint8_t given = source.blocks[sourceRow * kBlockColumns + sourceColumn];
                if (given < kNoDirection)
                    value = static_cast<uint8_t>(Wrap(given - turn, kDirectionSteps));
            }
            out.blocks[row * kBlockColumns + column] = value;
        }
    }
}

Impression Transform(const Impression& source, int32_t degrees, int32_t xShift, int32_t yShift,
                     DirectionUnits units)
{
    const double radians = degrees * std::numbers::pi / 180.0;
    const double cosine = std::cos(radians);
    const double sine = std::sin(radians);
    Impression out = source;
    TransformMinutiae(source, out, cosine, sine, degrees, xShift, yShift, units);
    TransformBlocks(source, out, cosine, sine, degrees, xShift, yShift);
    return out;
}

} // namespace

Impression TransformImpression(const Impression& impression, int32_t degrees, int32_t xShift, int32_t yShift)
{
    return Transform(impression, degrees, xShift, yShift, DirectionUnits::Steps15);
}

Impression TransformImpressionFine(const Impression& fine, int32_t degrees, int32_t xShift, int32_t yShift)
{
    return Transform(fine, degrees, xShift, yShift, DirectionUnits::Fine);
}

} // namespace vela::engine
