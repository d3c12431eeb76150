#include <algorithm>
#include <array>
#include <cstring>
#include <memory>

#include "base/ByteOrder.h"
#include "engine/records/RoundHalfAway.h"
#include "engine/standard/StandardImage.h"
#include "engine/standard/StandardTemplates.h"

namespace vela::engine {
namespace {

namespace layout = standard_impression;

constexpr int32_t kViewBytesMost = 4 + 6 * layout::kIncitsCapacity + 2; // 426
constexpr int32_t kShortHeader = 26;
constexpr int32_t kLongHeader = 30;
constexpr int32_t kShortLengthLimit = 65535;
constexpr int kMostViewsOfOneFinger = 16;
constexpr uint8_t kMaxFingerCode = 10;
constexpr uint8_t kMaxImpressionType = 9;
constexpr int kFewestIncitsMinutiae = 10;
constexpr double kPerStandardPixel = 0.0058823529411764705; // 1 / 170
constexpr uint16_t kLow14Bits = 0x3FFF;

bool ValidDescriptor(const IncitsImageDescriptor& d, const StandardImageSpec& spec)
{
    if (d.imageCount < 1 || d.imageCount > kIncitsMaxImages || d.impressionType > kMaxImpressionType)
        return false;
    if (!UsableImageSpec(spec, StandardSampler::FixedPoint))
        return false;
    std::array<int, kMaxFingerCode + 1> uses{};
    for (int k = 0; k < d.imageCount; ++k) {
        if (d.fingerCodes[k] > kMaxFingerCode || ++uses[d.fingerCodes[k]] > kMostViewsOfOneFinger)
            return false;
    }
    return true;
}

StandardCapacity IncitsCapacity(int32_t requested)
{
    int32_t capacity = requested;
    if (capacity == 0 || capacity > layout::kIncitsCapacity)
        capacity = layout::kIncitsCapacity;
    if (capacity < kFewestIncitsMinutiae)
        capacity = kFewestIncitsMinutiae;
    return StandardCapacity{capacity, kFewestIncitsMinutiae};
}

// A position in pixels of the input image.
uint16_t IncitsCoordinate(uint8_t halfPixels, int32_t resolution, int32_t cutOffset)
{
    const double value =
        halfPixels * resolution * 2 * kPerStandardPixel + resolution * cutOffset * kPerStandardPixel;
    return static_cast<uint16_t>(RoundHalfAway(value) & kLow14Bits);
}

size_t WriteIncitsView(uint8_t* at, const uint8_t* impression, int capacity, const StandardCut& cut,
                       const IncitsImageDescriptor& d, uint8_t fingerCode, int viewNumber)
{
    const int n = impression[layout::kCountOffset];
    at[0] = fingerCode;
    at[1] = static_cast<uint8_t>(viewNumber << 4 | (d.impressionType & 0x0F));
    at[2] = impression[layout::kQualityOffset];
    at[3] = static_cast<uint8_t>(n);
    uint8_t* minutia = at + 4;
    for (int i = 0; i < n; ++i, minutia += 6) {
        const unsigned type = 2u - impression[layout::TypeOffset(capacity) + i];
        const uint16_t x = IncitsCoordinate(impression[layout::XOffset(capacity) + i], d.xResolution, cut.left);
        const uint16_t y = IncitsCoordinate(impression[layout::YOffset(capacity) + i], d.yResolution, cut.top);
        WriteBe<uint16_t>(minutia, static_cast<uint16_t>(type << 14 | x));
        WriteBe<uint16_t>(minutia + 2, y);
        const uint8_t angle = static_cast<uint8_t>(256 - impression[layout::DirectionOffset(capacity) + i]);
        minutia[4] = static_cast<uint8_t>(angle * 180 / 256);
        minutia[5] = 0;
    }
    WriteBe<uint16_t>(minutia, 0);
    return 4 + 6 * static_cast<size_t>(n) + 2;
}

// The header fields after the length field.
void WriteIncitsFields(uint8_t* at, const IncitsImageDescriptor& d)
{
    WriteBe<uint32_t>(at, d.productId);
    WriteBe<uint16_t>(at + 4, static_cast<uint16_t>((d.complianceFlags & 0x0F) << 12 | (d.captureEquipmentId & 0x0FFF)));
    WriteBe<uint16_t>(at + 6, static_cast<uint16_t>(d.width));
    WriteBe<uint16_t>(at + 8, static_cast<uint16_t>(d.height));
    WriteBe<uint16_t>(at + 10, static_cast<uint16_t>(d.xResolution));
    WriteBe<uint16_t>(at + 12, static_cast<uint16_t>(d.yResolution));
    at[14] = static_cast<uint8_t>(d.imageCount);
    at[15] = 0;
}

} // namespace

int32_t GetIncitsRecordSize(int32_t imageCount)
{
    const int32_t views = std::clamp(imageCount, 0, kIncitsMaxImages) * kViewBytesMost;
    return views + (views > kShortLengthLimit - kShortHeader ? kLongHeader : kShortHeader);
}

int32_t CreateIncitsRecord(std::span<const uint8_t> pixels, const IncitsImageDescriptor& d, std::span<uint8_t> out)
{
    const StandardImageSpec spec{d.width, d.height, d.xResolution, d.yResolution, d.invert == 0, d.blockEnergy};
    if (!ValidDescriptor(d, spec))
        return standard_result::BadParameter;
    const size_t size = static_cast<size_t>(GetIncitsRecordSize(d.imageCount));
    const size_t imageBytes = static_cast<size_t>(d.width) * static_cast<size_t>(d.height);
    if (pixels.data() == nullptr || pixels.size() / imageBytes < static_cast<size_t>(d.imageCount))
        return standard_result::BadPixels;
    if (out.data() == nullptr || out.size() < size)
        return standard_result::BadOutput;

    bool longLength = size > kShortLengthLimit;
    const StandardCapacity capacity = IncitsCapacity(d.maxMinutiae);
    std::unique_ptr<StandardWorkArea> area;
    std::unique_ptr<uint8_t[]> impression;
    try {
        area = std::make_unique<StandardWorkArea>();
        impression = std::make_unique<uint8_t[]>(layout::Size(layout::kIncitsCapacity));
    } catch (const std::bad_alloc&) {
        return standard_result::OutOfMemory;
    }
    std::array<int, kMaxFingerCode + 1> viewsOfFinger{};
    size_t at = longLength ? kLongHeader : kShortHeader;
    for (int k = 0; k < d.imageCount; ++k) {
        StandardCut cut;
        const int32_t result = ExtractStandardView(pixels.data() + k * imageBytes, spec, StandardSampler::FixedPoint,
                                                   capacity, *area, impression.get(), cut);
        if (result != 0)
            return result;
        const uint8_t code = d.fingerCodes[k];
        at += WriteIncitsView(out.data() + at, impression.get(), capacity.capacity, cut, d, code,
                              viewsOfFinger[code]++);
    }

    uint8_t* bytes = out.data();
    const uint8_t identity[] = {'F', 'M', 'R', 0, 0x20, '2', '0', 0};
    std::memcpy(bytes, identity, sizeof identity);
    size_t total = at;
    if (longLength && total - 4 <= kShortLengthLimit) {
        std::memmove(bytes + kShortHeader, bytes + kLongHeader, total - kLongHeader);
        total -= 4;
        longLength = false;
    }
    if (longLength) {
        WriteBe<uint16_t>(bytes + 8, 0);
        WriteBe<uint32_t>(bytes + 10, static_cast<uint32_t>(total));
        WriteIncitsFields(bytes + 14, d);
    } else {
        WriteBe<uint16_t>(bytes + 8, static_cast<uint16_t>(total));
        WriteIncitsFields(bytes + 10, d);
    }
    return static_cast<int32_t>(total);
}

} // namespace vela::engine
