#include <cstring>
#include <memory>

#include "base/ByteOrder.h"
#include "engine/records/RoundHalfAway.h"
#include "engine/standard/StandardImage.h"
#include "engine/standard/StandardTemplates.h"

namespace vela::engine {
namespace {

namespace layout = standard_impression;

constexpr int kIsoCapacity = layout::kIsoCapacity;
constexpr size_t kRecordHeaderSize = 24;
constexpr size_t kViewsOffset = kIsoTemplateHeaderSize + kRecordHeaderSize; // 40
constexpr size_t kViewHeaderSize = 4;
constexpr size_t kMinutiaSize = 5;
constexpr double kPerStandardPixel = 0.0058823529411764705; // 1 / 170
constexpr uint16_t kLow14Bits = 0x3FFF;

bool ValidPosition(int32_t position) { return position >= 1 && position <= 10; }

bool ValidRequest(const IsoTemplateRequest& r, const StandardImageSpec& spec)
{
    return ValidPosition(r.firstPosition) && (r.secondPosition == 0 || ValidPosition(r.secondPosition)) &&
           (r.impressionType == 0 || r.impressionType == 8) && UsableImageSpec(spec, StandardSampler::Float);
}

// A position in thousandths of a centimetre of the input image.
uint16_t IsoCoordinate(uint8_t halfPixels, int32_t cutOffset)
{
    const double value = halfPixels * 2000 * kPerStandardPixel + cutOffset * 1000 * kPerStandardPixel;
    return static_cast<uint16_t>(RoundHalfAway(value) & kLow14Bits);
}

// Writes one finger view; returns its length.
size_t WriteIsoView(uint8_t* at, const uint8_t* impression, const StandardCut& cut, int32_t position,
                    uint8_t impressionType)
{
    const int n = impression[layout::kCountOffset];
    at[0] = static_cast<uint8_t>(position);
    at[1] = impressionType & 0x0F;
    at[2] = impression[layout::kQualityOffset];
    at[3] = static_cast<uint8_t>(n);
    uint8_t* minutia = at + kViewHeaderSize;
    for (int i = 0; i < n; ++i, minutia += kMinutiaSize) {
        const uint8_t type = impression[layout::TypeOffset(kIsoCapacity) + i];
        const uint16_t x = IsoCoordinate(impression[layout::XOffset(kIsoCapacity) + i], cut.left);
        const uint16_t y = IsoCoordinate(impression[layout::YOffset(kIsoCapacity) + i], cut.top);
        WriteBe<uint16_t>(minutia, static_cast<uint16_t>((type == layout::kRidgeEnding ? 1u << 14 : 0u) | x));
        WriteBe<uint16_t>(minutia + 2, y);
        minutia[4] = static_cast<uint8_t>(256 - impression[layout::DirectionOffset(kIsoCapacity) + i]);
    }
    return kViewHeaderSize + kMinutiaSize * static_cast<size_t>(n);
}

void WriteIsoHeaders(uint8_t* out, size_t total, const IsoTemplateRequest& r, int views, int quality)
{
    WriteBe<uint32_t>(out, static_cast<uint32_t>(total));
    const uint8_t fixed[] = {1, 4, 1, 1, 2, 3};
    std::memcpy(out + 4, fixed, sizeof fixed);
    out[10] = static_cast<uint8_t>(quality);
    out[11] = 1;
    WriteBe<uint32_t>(out + 12, 8);
    uint8_t* record = out + kIsoTemplateHeaderSize;
    const uint8_t identity[] = {'F', 'M', 'R', 0, 0x20, '1', '1', 0};
    std::memcpy(record, identity, sizeof identity);
    WriteBe<uint32_t>(record + 8, static_cast<uint32_t>(total - kIsoTemplateHeaderSize));
    WriteBe<uint16_t>(record + 12, static_cast<uint16_t>((r.certificationFlags & 0x0F) << 12 | (r.captureDeviceId & 0x0FFF)));
    WriteBe<uint16_t>(record + 14, static_cast<uint16_t>(r.width));
    WriteBe<uint16_t>(record + 16, static_cast<uint16_t>(r.height));
    WriteBe<uint16_t>(record + 18, static_cast<uint16_t>(r.xResolution));
    WriteBe<uint16_t>(record + 20, static_cast<uint16_t>(r.yResolution));
    record[22] = static_cast<uint8_t>(views - 1);
    record[23] = 0;
}

} // namespace

int32_t GetIsoTemplateSize() { return kIsoTemplateSize; }

int32_t CreateIsoTemplate(std::span<const uint8_t> pixels, const IsoTemplateRequest& request, std::span<uint8_t> out)
{
    const StandardImageSpec spec{request.width,       request.height,      request.xResolution,
                                 request.yResolution, request.invert == 0, request.blockEnergy};
    if (!ValidRequest(request, spec))
        return standard_result::BadParameter;
    const int views = request.secondPosition != 0 ? 2 : 1;
    const size_t viewBytes = static_cast<size_t>(request.width) * static_cast<size_t>(request.height);
    if (pixels.data() == nullptr || pixels.size() < views * viewBytes)
        return standard_result::BadPixels;
    if (out.data() == nullptr || out.size() < static_cast<size_t>(kIsoTemplateSize))
        return standard_result::BadOutput;

    std::unique_ptr<StandardWorkArea> area;
    try {
        area = std::make_unique<StandardWorkArea>();
    } catch (const std::bad_alloc&) {
        return standard_result::OutOfMemory;
    }
    uint8_t impression[layout::Size(kIsoCapacity)];
    const int32_t positions[2] = {request.firstPosition, request.secondPosition};
    int qualities[2] = {0, 0};
    size_t at = kViewsOffset;
    for (int v = 0; v < views; ++v) {
        StandardCut cut;
        const int32_t result = ExtractStandardView(pixels.data() + v * viewBytes, spec, StandardSampler::Float,
                                                   kIsoMinutiae, *area, impression, cut);
        if (result != 0)
            return result;
        qualities[v] = impression[layout::kQualityOffset];
        at += WriteIsoView(out.data() + at, impression, cut, positions[v], request.impressionType);
    }
    const int quality = views == 1 ? qualities[0] : (qualities[0] + qualities[1]) / 2;
    WriteIsoHeaders(out.data(), at, request, views, quality);
    return static_cast<int32_t>(at);
}

} // namespace vela::engine
