#include "engine/biodata/ExtractMinutiae.h"

#include <algorithm>
#include <cstring>

#include "engine/directions/BlockDirections.h"
#include "engine/directions/ExtractionWork.h"
#include "engine/directions/RidgeCleanup.h"
#include "engine/minutiae/FindMinutiae.h"
#include "engine/records/EngineGeometry.h"
#include "engine/records/ImpressionRecord.h"

namespace vela::engine {

namespace {

// Qualities up to this stay when the image's own quality is higher.
constexpr int32_t kQualityTrustedUpTo = 27;

} // namespace

int32_t CapImpressionQuality(int32_t found, int32_t cap)
{
    return found > kQualityTrustedUpTo ? cap : std::min(found, cap);
}

size_t ExtractMinutiaeWorkSize()
{
    return static_cast<size_t>(kWorkImageBytes) + extraction_work::kSize;
}

void UnpackCleanedImage(std::span<const uint8_t> cleaned, std::span<uint8_t> workImage)
{
    std::memset(workImage.data(), 0, kWorkImageBytes);
    for (int32_t row = 0; row < kWorkHeight; ++row) {
        const uint8_t* bits = cleaned.data() + static_cast<size_t>(row) * kCleanedRowBytes;
        uint8_t* pixels = workImage.data() + kWorkImageFirstPixel + static_cast<size_t>(row) * kWorkImageStride;
        for (int32_t column = 0; column < kWorkWidth; ++column) {
            const bool set = (bits[column / 8] & (0x80 >> (column % 8))) != 0;
            pixels[column] = set ? 255 : 0;
        }
    }
}

int32_t ExtractMinutiae(std::span<const uint8_t> cleaned, std::span<uint8_t> work, std::span<uint8_t> record,
                        int32_t cap)
{
    if (cleaned.size() < static_cast<size_t>(kCleanedImageBytes) || work.size() < ExtractMinutiaeWorkSize() ||
        record.size() < impression::kSize)
        return -1;
    const std::span<uint8_t> workImage = work.first(kWorkImageBytes);
    const std::span<uint8_t> scratch = work.subspan(kWorkImageBytes);
    UnpackCleanedImage(cleaned, workImage);
    if (!BuildBlockDirectionMap(workImage, record, scratch) || !CleanRidgeImage(workImage, record, scratch) ||
        !FindMinutiae(workImage, record, scratch))
        return -1;

    const int32_t found = record[impression::kQualityOffset];
    const int32_t quality = std::clamp(CapImpressionQuality(found, cap), 0, 255);
    record[impression::kQualityOffset] = static_cast<uint8_t>(quality);
    return quality;
}

} // namespace vela::engine
