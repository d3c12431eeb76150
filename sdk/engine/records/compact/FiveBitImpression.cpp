#include "engine/records/compact/FiveBitImpression.h"

#include <algorithm>

namespace vela::engine {

namespace {

constexpr int32_t kCodeBits = 5;
constexpr uint8_t kNoDirectionCode = 30;

uint8_t BlockCode(uint8_t value)
{
    // 60, 61 and anything beyond are no direction.
    return value < kDirectionSteps ? static_cast<uint8_t>(value / 2) : kNoDirectionCode;
}

uint8_t BlockValue(uint8_t code)
{
    return code >= kNoDirectionCode ? kNoDirection : static_cast<uint8_t>(2 * code);
}

} // namespace

void PackFiveBitImpression(const Impression& impression, std::span<uint8_t, five_bit::kSize> packed)
{
    std::span<uint8_t, five_bit::kBlocksBytes> blocks = packed.subspan<five_bit::kBlocksOffset, five_bit::kBlocksBytes>();
    std::fill(blocks.begin(), blocks.end(), uint8_t{0});
    for (int32_t block = 0; block < kBlockCount; ++block) {
        const uint8_t code = BlockCode(impression.blocks[block]);
        for (int32_t k = 0; k < kCodeBits; ++k) {
            const int32_t bit = block * kCodeBits + k;
            if ((code >> k) & 1)
                blocks[bit / 8] = static_cast<uint8_t>(blocks[bit / 8] | (1 << (bit % 8)));
        }
    }
    PackCompactHeaderAndMinutiae(impression, packed.subspan<0, compact::kHeaderSize>(),
                                 packed.subspan<five_bit::kMinutiaeOffset, compact::kMinutiaeBytes>());
}

bool UnpackFiveBitImpression(std::span<const uint8_t, five_bit::kSize> packed, Impression& out)
{
    Impression impression;
    if (!UnpackCompactHeaderAndMinutiae(packed.subspan<0, compact::kHeaderSize>(),
                                        packed.subspan<five_bit::kMinutiaeOffset, compact::kMinutiaeBytes>(),
                                        impression))
        return false;
    std::span<const uint8_t, five_bit::kBlocksBytes> blocks =
        packed.subspan<five_bit::kBlocksOffset, five_bit::kBlocksBytes>();
    for (int32_t block = 0; block < kBlockCount; ++block) {
        uint8_t code = 0;
        for (int32_t k = 0; k < kCodeBits; ++k) {
            const int32_t bit = block * kCodeBits + k;
            if ((blocks[bit / 8] >> (bit % 8)) & 1)
                code = static_cast<uint8_t>(code | (1 << k));
        }
        impression.blocks[block] = BlockValue(code);
    }
    out = impression;
    return true;
}

bool PackFiveBitImpression(const uint8_t* record, size_t recordLength, uint8_t* packed, size_t packedLength)
{
    Impression impression;
    if (!ReadImpression(record, recordLength, impression) || packed == nullptr || packedLength < five_bit::kSize)
        return false;
    PackFiveBitImpression(impression, std::span<uint8_t, five_bit::kSize>(packed, five_bit::kSize));
    return true;
}

bool UnpackFiveBitImpression(const uint8_t* packed, size_t packedLength, uint8_t* record, size_t recordLength)
{
    Impression impression;
    if (packed == nullptr || packedLength < five_bit::kSize || record == nullptr || recordLength < impression::kSize)
        return false;
    if (!UnpackFiveBitImpression(std::span<const uint8_t, five_bit::kSize>(packed, five_bit::kSize), impression))
        return false;
    return WriteImpression(impression, record, recordLength);
}

} // namespace vela::engine
