#include "engine/records/compact/CompactMinutiae.h"

#include <algorithm>

namespace vela::engine {

namespace {

constexpr uint8_t kHighDirectionBit = 0x80;  // in byte a: direction 16 or more
constexpr int32_t kHighDirection = 16;

bool IsKept(const Impression& impression, int32_t i)
{
    const int32_t x = impression.x[i];
    const int32_t y = impression.y[i];
    return x >= compact::kMinX && x <= compact::kMaxX && y >= compact::kMinY && y <= compact::kMaxY &&
           impression.direction[i] < kMinutiaDirections;
}

} // namespace

void PackCompactHeaderAndMinutiae(const Impression& impression, std::span<uint8_t, compact::kHeaderSize> header,
                                  std::span<uint8_t, compact::kMinutiaeBytes> minutiae)
{
    std::fill(minutiae.begin(), minutiae.end(), uint8_t{0});
    const int32_t count = std::min<int32_t>(impression.count, kMaxMinutiae);
    int32_t kept = 0;
    for (int32_t i = 0; i < count; ++i) {
        if (!IsKept(impression, i))
            continue;
        // A pair of minutiae takes 5 bytes: a b c a' b', with c holding both
        // low direction nibbles (the even one high).
        uint8_t* pair = minutiae.data() + (kept / 2) * 5;
        uint8_t* ab = kept % 2 == 0 ? pair : pair + 3;
        const uint8_t direction = impression.direction[i];
        ab[0] = static_cast<uint8_t>((impression.x[i] - compact::kMinX) |
                                     (direction >= kHighDirection ? kHighDirectionBit : 0));
        ab[1] = static_cast<uint8_t>(impression.y[i] - compact::kMinY);
        if (kept % 2 == 0)
            pair[2] = static_cast<uint8_t>((direction & 15) << 4);
        else
            pair[2] = static_cast<uint8_t>(pair[2] | (direction & 15));
        ++kept;
    }

    header[compact::kQualityOffset] = impression.quality;
    header[compact::kFingerCodeOffset] = impression.fingerCode;
    header[compact::kBlockRowsOffset] = impression.blockRows;
    header[compact::kCountOffset] = static_cast<uint8_t>(kept);
}

bool UnpackCompactHeaderAndMinutiae(std::span<const uint8_t, compact::kHeaderSize> header,
                                    std::span<const uint8_t, compact::kMinutiaeBytes> minutiae,
                                    Impression& out)
{
    const int32_t count = header[compact::kCountOffset];
    if (count > kMaxMinutiae)
        return false;

    Impression impression;
    impression.recordSize = static_cast<int32_t>(impression::kSize);
    impression.kind = impression::kInFingerEntry;
    impression.quality = header[compact::kQualityOffset];
    impression.fingerCode = header[compact::kFingerCodeOffset];
    impression.blockRows = header[compact::kBlockRowsOffset];
    impression.count = static_cast<uint8_t>(count);
    for (int32_t i = 0; i < count; ++i) {
        const uint8_t* pair = minutiae.data() + (i / 2) * 5;
        const uint8_t* ab = i % 2 == 0 ? pair : pair + 3;
        const int32_t nibble = i % 2 == 0 ? pair[2] >> 4 : pair[2] & 15;
        if (ab[1] > compact::kMaxY - compact::kMinY)
            return false;
        impression.x[i] = static_cast<uint8_t>((ab[0] & 0x7F) + compact::kMinX);
        impression.y[i] = static_cast<uint8_t>(ab[1] + compact::kMinY);
        const int32_t direction = ((ab[0] & kHighDirectionBit) != 0 ? kHighDirection : 0) + nibble;
        impression.direction[i] = static_cast<uint8_t>(direction % kMinutiaDirections);
    }
    out = impression;
    return true;
}

} // namespace vela::engine
