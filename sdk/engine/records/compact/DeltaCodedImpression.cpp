#include "engine/records/compact/DeltaCodedImpression.h"

#include <algorithm>

#include "engine/records/compact/BlockDeltaCode.h"
#include "engine/records/compact/BlockSpiralOrder.h"

namespace vela::engine {

namespace {

constexpr int32_t kFirstValueBits = 6;

// Bit i of the stream is bit i mod 8 of byte i / 8; bits past the end are cut.
class BitWriter {
public:
    explicit BitWriter(std::span<uint8_t, delta_coded::kBlocksBytes> bytes) : bytes_(bytes)
    {
        std::fill(bytes_.begin(), bytes_.end(), uint8_t{0});
    }

    // Writes the low `length` bits of `bits`, the most significant first.
    void Write(uint32_t bits, int32_t length)
    {
        for (int32_t k = length - 1; k >= 0; --k) {
            if (position_ < delta_coded::kBlockBits && ((bits >> k) & 1))
                bytes_[position_ / 8] = static_cast<uint8_t>(bytes_[position_ / 8] | (1 << (position_ % 8)));
            ++position_;
        }
    }

private:
    std::span<uint8_t, delta_coded::kBlocksBytes> bytes_;
    int32_t position_ = 0;
};

int ReadBit(std::span<const uint8_t, delta_coded::kBlocksBytes> bytes, int32_t position)
{
    return (bytes[position / 8] >> (position % 8)) & 1;
}

void PackBlockMap(const Impression& impression, std::span<uint8_t, delta_coded::kBlocksBytes> bytes)
{
    const std::array<uint16_t, kBlockCount>& sequence = BlockSpiralSequence();
    BitWriter writer(bytes);
    int32_t previous = 0;
    for (int32_t i = 0; i < kBlockCount; ++i) {
        const int32_t value = std::min<int32_t>(impression.blocks[sequence[i]], kNoDirection);
        if (i == 0) {
            writer.Write(static_cast<uint32_t>(value), kFirstValueBits);
        } else {
            const DeltaCode code = BlockDeltaCode((value - previous + 2 * kBlockValueModulus) % kBlockValueModulus);
            writer.Write(code.bits, code.length);
        }
        previous = value;
    }
}

void UnpackBlockMap(std::span<const uint8_t, delta_coded::kBlocksBytes> bytes, Impression& impression)
{
    const std::array<uint16_t, kBlockCount>& sequence = BlockSpiralSequence();
    impression.blocks.fill(kNoDirection);

    int32_t value = 0;
    for (int32_t k = 0; k < kFirstValueBits; ++k)
        value = (value << 1) | ReadBit(bytes, k);
    impression.blocks[sequence[0]] = static_cast<uint8_t>(value);

    // The stream ends at 1,440 bits, and a code completed by the last of them
    // is not taken, so the last bit is never read. Decoding also stops at the
    // 450th value: the zero padding after the last code would otherwise go on
    // decoding as differences of 0.
    BlockDeltaDecoder decoder;
    int32_t decoded = 1;
    for (int32_t position = kFirstValueBits; position < delta_coded::kBlockBits - 1 && decoded < kBlockCount;
         ++position) {
        const int32_t difference = decoder.Feed(ReadBit(bytes, position));
        if (difference < 0)
            continue;
        value = (value + difference) % kBlockValueModulus;
        impression.blocks[sequence[decoded++]] = static_cast<uint8_t>(value);
    }
}

} // namespace

void PackCompactImpression(const Impression& impression, std::span<uint8_t, delta_coded::kSize> packed)
{
    PackBlockMap(impression, packed.subspan<delta_coded::kBlocksOffset, delta_coded::kBlocksBytes>());
    PackCompactHeaderAndMinutiae(impression, packed.subspan<0, compact::kHeaderSize>(),
                                 packed.subspan<delta_coded::kMinutiaeOffset, compact::kMinutiaeBytes>());
}

bool UnpackCompactImpression(std::span<const uint8_t, delta_coded::kSize> packed, Impression& out)
{
    Impression impression;
    if (!UnpackCompactHeaderAndMinutiae(packed.subspan<0, compact::kHeaderSize>(),
                                        packed.subspan<delta_coded::kMinutiaeOffset, compact::kMinutiaeBytes>(),
                                        impression))
        return false;
    UnpackBlockMap(packed.subspan<delta_coded::kBlocksOffset, delta_coded::kBlocksBytes>(), impression);
    out = impression;
    return true;
}

bool PackCompactImpression(const uint8_t* record, size_t recordLength, uint8_t* packed, size_t packedLength)
{
    Impression impression;
    if (!ReadImpression(record, recordLength, impression) || packed == nullptr || packedLength < delta_coded::kSize)
        return false;
    PackCompactImpression(impression, std::span<uint8_t, delta_coded::kSize>(packed, delta_coded::kSize));
    return true;
}

bool UnpackCompactImpression(const uint8_t* packed, size_t packedLength, uint8_t* record, size_t recordLength)
{
    Impression impression;
    if (packed == nullptr || packedLength < delta_coded::kSize || record == nullptr ||
        recordLength < impression::kSize)
        return false;
    if (!UnpackCompactImpression(std::span<const uint8_t, delta_coded::kSize>(packed, delta_coded::kSize),
                                 impression))
        return false;
    return WriteImpression(impression, record, recordLength);
}

} // namespace vela::engine
