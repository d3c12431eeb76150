#include "engine/records/ShiftImpression.h"

#include <algorithm>

namespace vela::engine {

namespace {

uint8_t BlockAt(const Impression& impression, int64_t row, int64_t column)
{
    if (row < 0 || row >= kBlockRows || column < 0 || column >= kBlockColumns)
        return kNoDirection;
    return impression.blocks[row * kBlockColumns + column];
}

} // namespace

Impression ShiftImpression(const Impression& source, int32_t a, int32_t b)
{
    Impression shifted = source;
    for (int32_t row = 0; row < kBlockRows; ++row) {
        for (int32_t column = 0; column < kBlockColumns; ++column)
            shifted.blocks[row * kBlockColumns + column] =
                BlockAt(source, int64_t{row} - b, int64_t{column} - a);
    }

    shifted.x.fill(0);
    shifted.y.fill(0);
    shifted.direction.fill(0);
    const int32_t sourceCount = std::min<int32_t>(source.count, kMaxMinutiae);
    int32_t kept = 0;
    for (int32_t i = 0; i < sourceCount; ++i) {
        const int64_t x = source.x[i] + int64_t{kMinutiaUnitsPerBlock} * a;
        const int64_t y = source.y[i] + int64_t{kMinutiaUnitsPerBlock} * b;
        if (x < 0 || x >= kMinutiaMaxX || y < 0 || y >= kMinutiaMaxY)
            continue;
        if (BlockAt(shifted, y / kMinutiaUnitsPerBlock, x / kMinutiaUnitsPerBlock) == kNoDirection)
            continue;
        shifted.x[kept] = static_cast<uint8_t>(x);
        shifted.y[kept] = static_cast<uint8_t>(y);
        shifted.direction[kept] = source.direction[i];
        ++kept;
    }
    shifted.count = static_cast<uint8_t>(kept);
    return shifted;
}

bool ShiftImpression(const uint8_t* source, size_t sourceLength, uint8_t* destination,
                     size_t destinationLength, int32_t a, int32_t b)
{
    Impression impression;
    if (!ReadImpression(source, sourceLength, impression) || destination == nullptr ||
        destinationLength < impression::kSize)
        return false;
    return WriteImpression(ShiftImpression(impression, a, b), destination, destinationLength);
}

} // namespace vela::engine
