#include "engine/biodata/ImageChain.h"

#include "engine/biodata/ImageRecordHeader.h"
#include "engine/input/ValidateInputBmp.h"
#include "engine/records/BiometricData.h"
#include "base/ByteOrder.h"
#include "engine/records/HeaderFieldChecks.h"

namespace vela::engine {

namespace {

constexpr int32_t kQualityBlockSize = 2719;

// The size the payload declares for itself, checked to lie inside the room
// the entry gives it.
ResultCode PayloadSize(int32_t dataId, std::span<const uint8_t> room, int64_t& size)
{
    if (CarriesQualityBlock(dataId)) {
        size = kQualityBlockSize;
        return result::Success;
    }
    if (CarriesStoredBlock(dataId)) {
        if (room.size() < biometric_data::kHeaderSize)
            return result::BadChainEntrySize;
        size = ReadLe<int32_t>(room.data() + biometric_data::kTotalSizeOffset);
        if (size < static_cast<int64_t>(biometric_data::kHeaderSize) || static_cast<uint64_t>(size) > room.size())
            return result::BadChainEntrySize;
        return result::Success;
    }
    int32_t bmpSize = 0;
    const ResultCode code = ValidateInputBmp(room.data(), room.size(), &bmpSize);
    size = bmpSize;
    return code;
}

ResultCode ReadEntry(int32_t dataId, std::span<uint8_t> rest, int32_t entrySize, ChainEntry& out)
{
    if (entrySize <= static_cast<int32_t>(image_header::kSize) || static_cast<uint64_t>(entrySize) > rest.size())
        return result::BadChainEntrySize;
    const std::span<uint8_t> entry = rest.first(static_cast<size_t>(entrySize));
    const uint8_t* header = entry.data();

    int64_t payloadSize = 0;
    if (const ResultCode code = PayloadSize(dataId, entry.subspan(image_header::kPayloadOffset), payloadSize))
        return code;
    const int32_t cleanedSize = ReadLe<int32_t>(header + image_header::kCleanedSizeOffset);
    if (cleanedSize != 0 && cleanedSize != kCleanedImageFileSize)
        return result::BadCleanedImageSize;
    if (static_cast<int64_t>(image_header::kSize) + payloadSize + cleanedSize > entrySize)
        return result::BadChainEntrySize;

    out.entry = entry;
    out.payload = entry.subspan(image_header::kPayloadOffset, static_cast<size_t>(payloadSize));
    out.cleanedSize = cleanedSize;
    out.scannerId = ReadLe<int32_t>(header + image_header::kScannerIdOffset);
    out.fingerCode = ReadLe<int32_t>(header + image_header::kFingerCodeOffset);
    out.impressionIndex = ReadLe<int32_t>(header + image_header::kImpressionIndexOffset);
    if (const ResultCode code = CheckScannerId(out.scannerId))
        return code;
    if (const ResultCode code = CheckFingerCode(out.fingerCode))
        return code;
    return CheckImpressionIndex(out.impressionIndex);
}

} // namespace

bool CarriesStoredBlock(int32_t dataId)
{
    return dataId == 151 || dataId == 152 || dataId == 153 || dataId == 163;
}

bool CarriesQualityBlock(int32_t dataId)
{
    return dataId == 140;
}

ResultCode ReadImageChain(int32_t dataId, std::span<uint8_t> chain, std::vector<ChainEntry>& entries)
{
    entries.clear();
    size_t offset = 0;
    while (chain.size() - offset >= sizeof(int32_t)) {
        const int32_t entrySize = ReadLe<int32_t>(chain.data() + offset);
        if (entrySize == 0)
            break;
        if (static_cast<int32_t>(entries.size()) == kMaxChainEntries)
            return result::BadImageCount;
        ChainEntry entry;
        if (const ResultCode code = ReadEntry(dataId, chain.subspan(offset), entrySize, entry))
            return code;
        entries.push_back(entry);
        offset += static_cast<size_t>(entrySize);
    }
    return entries.empty() ? result::BadImageCount : result::Success;
}

} // namespace vela::engine
