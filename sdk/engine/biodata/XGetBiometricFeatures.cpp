#include "engine/biodata/XGetBiometricFeatures.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "engine/cleaning/ImageFeatures.h"
#include "engine/input/ValidateInputBmp.h"
#include "engine/records/BiometricData.h"
#include "engine/records/BiometricFeatures.h"
#include "base/ByteOrder.h"
#include "engine/records/ImpressionRecord.h"
#include "engine/records/compact/ExpandCompactTemplate.h"

namespace vela::engine {

namespace {

constexpr size_t kNoImpression = 0;

// Where a stored type keeps its first impression.
size_t FirstImpressionOffset(int32_t type)
{
    switch (type) {
    case 1:
    case 101:
    case kFingerSetType:
        return 8;
    case 20:
    case 120:
        return 16;
    case 10:
    case 11:
    case 110:
    case 111:
        return 22;
    case 139:
        return 31;
    case 140:
        return 39;
    default:
        return kNoImpression;
    }
}

// The first impression as it lies within both the size word and the buffer.
bool FindFirstImpression(std::span<const uint8_t> block, Impression& out)
{
    if (block.size() < biometric_data::kHeaderSize)
        return false;
    const int32_t total = ReadLe<int32_t>(block.data() + biometric_data::kTotalSizeOffset);
    const int32_t type = ReadLe<int32_t>(block.data() + biometric_data::kDataIdOffset);
    if (total < static_cast<int32_t>(biometric_data::kHeaderSize) || static_cast<size_t>(total) > block.size())
        return false;
    const std::span<const uint8_t> stored = block.first(static_cast<size_t>(total));
    if (IsCompactType(type)) {
        const std::vector<uint8_t> expanded = ExpandCompactTemplate(stored.data(), stored.size());
        if (expanded.size() < biometric_data::kHeaderSize)
            return false;
        return ReadImpression(expanded.data() + biometric_data::kHeaderSize,
                              expanded.size() - biometric_data::kHeaderSize, out);
    }
    const size_t offset = FirstImpressionOffset(type);
    if (offset == kNoImpression || offset > stored.size())
        return false;
    return ReadImpression(stored.data() + offset, stored.size() - offset, out);
}

void WriteFeatures(const Impression& impression, uint8_t* out)
{
    using namespace biometric_features;
    std::memset(out, 0, kSize);
    const int32_t count = std::min<int32_t>(impression.count, kMaxMinutiae);
    WriteLe<int32_t>(out + kCountOffset, count);
    for (int32_t i = 0; i < count; ++i) {
        WriteLe<int32_t>(out + kXOffset + 4 * i, 2 * impression.x[i]);
        WriteLe<int32_t>(out + kYOffset + 4 * i, 2 * impression.y[i]);
        const int32_t turned = (kMinutiaDirections - impression.direction[i] % kMinutiaDirections) % kMinutiaDirections;
        WriteLe<int32_t>(out + kAngleOffset + 4 * i, turned * 15);
    }
    for (int32_t b = 0; b < kBlockCount; ++b) {
        const uint8_t value = impression.blocks[b];
        WriteLe<int32_t>(out + kBlockDirectionOffset + 4 * b, value == kNoDirection ? 180 : (value % 60) * 3);
    }
}

} // namespace

ResultCode XGetBiometricFeatures(std::span<const uint8_t> block, std::span<uint8_t> features)
{
    Impression first;
    if (features.size() < biometric_features::kSize || !FindFirstImpression(block, first))
        return result::UnknownBiometricDataId;
    WriteFeatures(first, features.data());
    return result::Success;
}

ResultCode XGetBiometricFeatures(std::span<const uint8_t> bmp, int32_t mode, int32_t* value, int32_t scannerId,
                                 int32_t dataId, std::span<uint8_t> work)
{
    if (value != nullptr)
        *value = 0;
    if (const ResultCode code = ValidateInputBmp(bmp.data(), bmp.size(), nullptr))
        return code;
    if (work.size() < kImageFeaturesWorkSize)
        return result::WorkBufferUnavailable;
    const int32_t quality = ComputeImageFeatures(bmp, mode, work, scannerId, dataId);
    if (quality < 0)
        return result::BadQuality;
    if (value != nullptr)
        *value = quality;
    return result::Success;
}

} // namespace vela::engine
