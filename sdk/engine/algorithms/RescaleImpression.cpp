#include "engine/algorithms/RescaleImpression.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "engine/records/EngineGeometry.h"
#include "engine/records/RoundHalfAway.h"

namespace vela::engine {

namespace {

constexpr int32_t kCentreColumn = 9;
constexpr int32_t kCentreRow = 12;

uint8_t ScaledBlock(uint8_t value)
{
    return value <= kNoDirection ? ScaleDirectionMap()[value] : kNoDirection;
}

} // namespace

const ScaleDirectionTable& ScaleDirectionMap()
{
    static const ScaleDirectionTable table = [] {
        ScaleDirectionTable values{};
        for (int32_t v = 0; v < kDirectionSteps; ++v) {
            const double radians = 3.0 * v * std::numbers::pi / 180.0;
            double theta = std::atan2(kRescaleY * std::sin(radians), kRescaleX * std::cos(radians)) * 180.0 /
                           std::numbers::pi;
            if (theta < 0.0)
                theta += 180.0;
            if (theta >= 180.0)
                theta -= 180.0;
            values[static_cast<size_t>(v)] = static_cast<uint8_t>(RoundHalfAway(theta / 3.0) % kDirectionSteps);
        }
        values[kDirectionSteps] = kDirectionSteps;
        values[kNoDirection] = kNoDirection;
        return values;
    }();
    return table;
}

Impression RescaleImpression(const Impression& impression)
{
    Impression out = impression;
    out.x.fill(0);
    out.y.fill(0);
    out.direction.fill(0);
    int32_t kept = 0;
    const int32_t count = std::min<int32_t>(impression.count, kMaxMinutiae);
    for (int32_t i = 0; i < count; ++i) {
        const int32_t x = RoundHalfAway((impression.x[i] - kImpressionCentreX) * kRescaleX) + kImpressionCentreX;
        const int32_t y = RoundHalfAway((impression.y[i] - kImpressionCentreY) * kRescaleY) + kImpressionCentreY;
        if (x < 0 || x >= kMinutiaMaxX || y < 0 || y >= kMinutiaMaxY)
            continue;
        out.x[kept] = static_cast<uint8_t>(x);
        out.y[kept] = static_cast<uint8_t>(y);
        out.direction[kept] = impression.direction[i];
        ++kept;
    }
    out.count = static_cast<uint8_t>(kept);

    const double inverseX = 1.0 / kRescaleX;
    const double inverseY = 1.0 / kRescaleY;
    for (int32_t row = 0; row < kBlockRows; ++row) {
        const int32_t sourceRow = RoundHalfAway((row - kCentreRow) * inverseY) + kCentreRow;
        for (int32_t column = 0; column < kBlockColumns; ++column) {
            const int32_t sourceColumn = RoundHalfAway((column - kCentreColumn) * inverseX) + kCentreColumn;
            uint8_t value = kNoDirection;
            if (sourceRow >= 0 && sourceRow < kBlockRows && sourceColumn >= 0 && sourceColumn < kBlockColumns)
                value = ScaledBlock(impression.blocks[static_cast<size_t>(sourceRow * kBlockColumns + sourceColumn)]);
            out.blocks[static_cast<size_t>(row * kBlockColumns + column)] = value;
        }
    }
    return out;
}

} // namespace vela::engine
