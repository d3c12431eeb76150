#include "engine/records/ImpressionRecord.h"

#include <cstring>

#include "base/ByteOrder.h"

namespace vela::engine {

bool ReadImpression(const uint8_t* record, size_t length, Impression& out)
{
    if (record == nullptr || length < impression::kSize)
        return false;
    out.recordSize = ReadLe<int32_t>(record + impression::kRecordSizeOffset);
    out.kind = ReadLe<int32_t>(record + impression::kKindOffset);
    out.quality = record[impression::kQualityOffset];
    out.fingerCode = record[impression::kFingerCodeOffset];
    out.blockRows = record[impression::kBlockRowsOffset];
    out.count = record[impression::kCountOffset];
    std::memcpy(out.blocks.data(), record + impression::kBlocksOffset, out.blocks.size());
    std::memcpy(out.x.data(), record + impression::kMinutiaXOffset, out.x.size());
    std::memcpy(out.y.data(), record + impression::kMinutiaYOffset, out.y.size());
    std::memcpy(out.direction.data(), record + impression::kMinutiaDirectionOffset, out.direction.size());
    return true;
}

bool WriteImpression(const Impression& impression, uint8_t* record, size_t length)
{
    if (record == nullptr || length < impression::kSize)
        return false;
    WriteLe<int32_t>(record + impression::kRecordSizeOffset, impression.recordSize);
    WriteLe<int32_t>(record + impression::kKindOffset, impression.kind);
    record[impression::kQualityOffset] = impression.quality;
    record[impression::kFingerCodeOffset] = impression.fingerCode;
    record[impression::kBlockRowsOffset] = impression.blockRows;
    record[impression::kCountOffset] = impression.count;
    std::memcpy(record + impression::kBlocksOffset, impression.blocks.data(), impression.blocks.size());
    std::memcpy(record + impression::kMinutiaXOffset, impression.x.data(), impression.x.size());
    std::memcpy(record + impression::kMinutiaYOffset, impression.y.data(), impression.y.size());
    std::memcpy(record + impression::kMinutiaDirectionOffset, impression.direction.data(), impression.direction.size());
    return true;
}

namespace {

bool HeaderIsValid(const Impression& r)
{
    if (r.blockRows != kBlockRows)
        return false;
    if (r.count < 4 || r.count > kMaxMinutiae)
        return false;
    if (r.quality > impression::kMaxQuality)
        return false;
    if (r.kind == impression::kInFingerEntry && r.fingerCode > impression::kMaxFingerCode)
        return false;
    if (r.kind == impression::kPlain && r.fingerCode != impression::kPlainMarkerMergedTypes &&
        r.fingerCode != impression::kPlainMarker)
        return false;
    return true;
}

bool BlocksAreValid(const Impression& r)
{
    for (uint8_t value : r.blocks) {
        // Bytes 128..255 are negative as signed bytes and fail here too.
        if (value > kNoDirection)
            return false;
    }
    return true;
}

bool MinutiaeAreValid(const Impression& r)
{
    for (int i = 0; i < r.count; ++i) {
        if (r.x[i] < 5 || r.x[i] > 138)
            return false;
        if (r.y[i] < 5 || r.y[i] > 194)
            return false;
        if (r.direction[i] > 24)
            return false;
    }
    return true;
}

} // namespace

bool CheckImpressionRecord(const uint8_t* record, size_t length)
{
    Impression r;
    if (!ReadImpression(record, length, r))
        return false;
    if (r.count == 0 || r.quality == 0)
        return true;
    return HeaderIsValid(r) && BlocksAreValid(r) && MinutiaeAreValid(r);
}

} // namespace vela::engine
