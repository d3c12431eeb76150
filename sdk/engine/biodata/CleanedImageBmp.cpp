#include "engine/biodata/CleanedImageBmp.h"

#include <cstring>

#include "engine/biodata/ImageRecordHeader.h"
#include "base/ByteOrder.h"
#include "engine/records/EngineGeometry.h"
#include "engine/records/RoundHalfAway.h"

namespace vela::engine {

namespace {

constexpr double kInchesPerMetre = 39.370079;

void WriteHeader(int32_t dpiX, int32_t dpiY, uint8_t* out)
{
    std::memset(out, 0, kCleanedBmpHeaderSize);
    out[0] = 'B';
    out[1] = 'M';
    WriteLe<uint32_t>(out + 2, kCleanedImageFileSize);
    WriteLe<uint32_t>(out + 10, kCleanedBmpHeaderSize);
    WriteLe<uint32_t>(out + 14, 40);
    WriteLe<int32_t>(out + 18, kWorkWidth);
    WriteLe<int32_t>(out + 22, kWorkHeight);
    WriteLe<uint16_t>(out + 26, 1);
    WriteLe<uint16_t>(out + 28, 1);
    WriteLe<uint32_t>(out + 34, kCleanedImageBytes);
    WriteLe<int32_t>(out + 38, RoundHalfAway(dpiX * kInchesPerMetre));
    WriteLe<int32_t>(out + 42, RoundHalfAway(dpiY * kInchesPerMetre));
    // Palette entry 0 black, entry 1 white.
    out[58] = 255;
    out[59] = 255;
    out[60] = 255;
}

} // namespace

ResultCode XGetCleanedImageSize(int32_t* size)
{
    if (size != nullptr)
        *size = kCleanedImageFileSize;
    return result::Success;
}

bool WriteCleanedImageBmp(std::span<const uint8_t> cleaned, int32_t dpiX, int32_t dpiY, std::span<uint8_t> out)
{
    if (cleaned.size() < static_cast<size_t>(kCleanedImageBytes) ||
        out.size() < static_cast<size_t>(kCleanedImageFileSize))
        return false;
    WriteHeader(dpiX, dpiY, out.data());
    uint8_t* pixels = out.data() + kCleanedBmpHeaderSize;
    for (int32_t row = 0; row < kWorkHeight; ++row) {
        // A set bit is ridge; the file shows ridges black (palette entry 0).
        const uint8_t* source = cleaned.data() + static_cast<size_t>(kWorkHeight - 1 - row) * kCleanedRowBytes;
        uint8_t* target = pixels + static_cast<size_t>(row) * kCleanedRowBytes;
        for (int32_t i = 0; i < kCleanedRowBytes; ++i)
            target[i] = static_cast<uint8_t>(~source[i]);
    }
    return true;
}

} // namespace vela::engine
