#include "engine/biodata/QualityHeader.h"

#include <cstdlib>

#include "engine/biodata/ImageRecordHeader.h"
#include "base/ByteOrder.h"

namespace vela::engine {

namespace {

struct Measures {
    uint8_t fingerCode;
    uint8_t impressionIndex;
    uint8_t quality;
    uint8_t second;
    int32_t third;
    int32_t fourth;
    uint8_t minQuality;
    uint8_t minSecond;
    int32_t maxThird;
    int32_t maxFourth;
};

Measures ReadMeasures(std::span<const uint8_t> h)
{
    using namespace image_header;
    return Measures{h[kFingerCodeOffset],
                    h[kImpressionIndexOffset],
                    h[kQualityOffset],
                    h[kSecondMeasureOffset],
                    ReadLe<int32_t>(h.data() + kThirdMeasureOffset),
                    ReadLe<int32_t>(h.data() + kFourthMeasureOffset),
                    h[kMinQualityOffset],
                    h[kMinSecondOffset],
                    ReadLe<int32_t>(h.data() + kMaxThirdOffset),
                    ReadLe<int32_t>(h.data() + kMaxFourthOffset)};
}

uint8_t FlagsOf(const Measures& m)
{
    uint8_t flags = 0;
    if (m.quality < m.minQuality)
        flags |= 1;
    if (m.second < m.minSecond)
        flags |= 2;
    if (m.maxThird < std::llabs(int64_t{m.third}))
        flags |= 4;
    if (m.maxFourth < m.fourth)
        flags |= 8;
    return flags;
}

} // namespace

uint8_t QualityFlags(std::span<const uint8_t> imageHeader)
{
    return FlagsOf(ReadMeasures(imageHeader));
}

void WriteQualityHeader(std::span<uint8_t> imageHeader, std::span<uint8_t> block)
{
    using namespace quality_block;
    const Measures m = ReadMeasures(imageHeader);
    const uint8_t flags = FlagsOf(m);
    uint8_t* b = block.data();
    b[kFingerCodeOffset] = m.fingerCode;
    b[kImpressionIndexOffset] = m.impressionIndex;
    b[kFlagsOffset] = flags;
    b[kQualityOffset] = m.quality;
    b[kSecondOffset] = m.second;
    WriteLe<int32_t>(b + kThirdOffset, m.third);
    WriteLe<int32_t>(b + kFourthOffset, m.fourth);
    b[kMinQualityOffset] = m.minQuality;
    b[kMinSecondOffset] = m.minSecond;
    WriteLe<int32_t>(b + kMaxThirdOffset, m.maxThird);
    WriteLe<int32_t>(b + kMaxFourthOffset, m.maxFourth);
    imageHeader[image_header::kQualityFlagsOffset] = flags;
}

} // namespace vela::engine
