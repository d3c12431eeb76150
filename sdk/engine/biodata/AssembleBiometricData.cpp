#include "engine/biodata/AssembleBiometricData.h"

#include <algorithm>

#include "engine/biodata/ExtractMinutiae.h"
#include "engine/biodata/ImageRecordHeader.h"
#include "engine/biodata/QualityHeader.h"
#include "engine/biodata/SelectBestImpressions.h"
#include "engine/records/BiometricData.h"
#include "base/ByteOrder.h"
#include "engine/records/compact/CompactEntry.h"

namespace vela::engine {

namespace {

constexpr size_t kMaxListImpressions = 10;
constexpr size_t kListHeaderSize = 14;        // block header, two counts, two scores
constexpr size_t kSubBlockHeaderSize = 8;     // size and type of a list or sub-block

bool IsSingleListType(int32_t id) { return id == 1 || id == 2 || id == 101; }
bool IsTwoListType(int32_t id) { return id == 10 || id == 11 || id == 110 || id == 111; }
bool IsSubBlockType(int32_t id) { return id == 20 || id == 120; }

// Blocks made as types 2, 11 and 111 mark their impressions with byte 9 = 1.
bool MarksImpressions(int32_t id) { return id == 2 || id == 11 || id == 111; }

// The type written into a list or sub-block header.
int32_t ListType(int32_t id) { return id >= 100 ? 101 : 1; }

int32_t StoredType(int32_t id)
{
    const BiometricDataType* type = FindBiometricDataType(id);
    return type != nullptr ? type->storedAs : id;
}

void SetFingerEntryRecord(ImpressionBytes& record, uint8_t fingerCode)
{
    WriteLe<int32_t>(record.data() + impression::kKindOffset, impression::kInFingerEntry);
    record[impression::kFingerCodeOffset] = fingerCode;
}

void AppendList(const std::vector<ImpressionBytes>& records, std::vector<uint8_t>& out)
{
    for (const ImpressionBytes& record : records)
        out.insert(out.end(), record.begin(), record.end());
}

// A list as a block of its own {size, type} + records, ordered best first.
std::vector<uint8_t> OrderedList(const std::vector<ImpressionBytes>& records, int32_t listType, int32_t& score)
{
    std::vector<uint8_t> block(kSubBlockHeaderSize);
    AppendList(records, block);
    WriteLe<int32_t>(block.data(), static_cast<int32_t>(block.size()));
    WriteLe<int32_t>(block.data() + 4, listType);
    score = SelectBestImpressions(block);
    return block;
}

ResultCode Fail(std::span<uint8_t> out)
{
    WriteLe<int32_t>(out.data(), 0);
    return result::BadQuality;
}

ResultCode WriteBlock(int32_t storedType, const std::vector<uint8_t>& body, std::span<uint8_t> out)
{
    const size_t total = biometric_data::kHeaderSize + body.size();
    if (total > out.size())
        return result::BadChainEntrySize;
    std::copy(body.begin(), body.end(), out.begin() + biometric_data::kHeaderSize);
    WriteLe<int32_t>(out.data() + biometric_data::kDataIdOffset, storedType);
    WriteLe<int32_t>(out.data() + biometric_data::kTotalSizeOffset, static_cast<int32_t>(total));
    return result::Success;
}

} // namespace

BiometricDataAssembler::BiometricDataAssembler(int32_t dataId, std::span<uint8_t> work)
    : dataId_(dataId), work_(work)
{
}

BiometricDataAssembler::MadeImpression BiometricDataAssembler::Extract(std::span<const uint8_t> variant,
                                                                       int32_t cap)
{
    MadeImpression made;
    made.quality = std::max(0, ExtractMinutiae(variant, work_, made.record, cap));
    if (MarksImpressions(dataId_))
        made.record[impression::kFingerCodeOffset] = impression::kPlainMarkerMergedTypes;
    return made;
}

void BiometricDataAssembler::AddImage(const ChainEntry& entry, const CleanedVariants& cleaned)
{
    const int32_t cap = ReadLe<int32_t>(entry.entry.data() + image_header::kQualityOffset);
    if (IsSingleListType(dataId_) || IsTwoListType(dataId_))
        AddToList(entry, cleaned);
    else if (IsSubBlockType(dataId_))
        AddToSubBlock(entry, cleaned, cap);
    else if (dataId_ == 139)
        AddQualityImage(entry, cleaned, cap);
    else if (dataId_ == kFingerSetType)
        AddFingerEntry(entry, cleaned, cap);
    else if (IsCompactType(dataId_))
        AddCompactEntry(entry, cleaned, cap);
    else
        AddPlainImpressions(cleaned, cap);
}

void BiometricDataAssembler::AddToList(const ChainEntry& entry, const CleanedVariants& cleaned)
{
    size_t list = 0;
    if (IsTwoListType(dataId_)) {
        if (listCodes_[0] < 0)
            listCodes_[0] = entry.fingerCode;
        else if (listCodes_[0] != entry.fingerCode)
            listCodes_[1] = entry.fingerCode;
        list = entry.fingerCode == listCodes_[0] ? 0 : 1;
    }
    // An image whose cleaning found too little gives no variant.
    if (cleaned.count < 1 || lists_[list].size() >= kMaxListImpressions)
        return;
    const int32_t cap = ReadLe<int32_t>(entry.entry.data() + image_header::kQualityOffset);
    const MadeImpression made = Extract(cleaned.images[0], cap);
    if (made.quality != 0)
        lists_[list].push_back(made.record);
}

// Each sub-block holds the impressions of one image: the first image of each
// of the two fingers.
void BiometricDataAssembler::AddToSubBlock(const ChainEntry& entry, const CleanedVariants& cleaned, int32_t cap)
{
    if (listCodes_[0] < 0)
        listCodes_[0] = entry.fingerCode;
    else if (listCodes_[0] != entry.fingerCode)
        listCodes_[1] = entry.fingerCode;
    const size_t list = entry.fingerCode == listCodes_[0] ? 0 : 1;
    if (subBlockTaken_[list])
        return;
    subBlockTaken_[list] = true;
    for (int32_t v = 0; v < cleaned.count; ++v) {
        const MadeImpression made = Extract(cleaned.images[v], cap);
        if (made.quality != 0)
            lists_[list].push_back(made.record);
    }
}

void BiometricDataAssembler::AddQualityImage(const ChainEntry& entry, const CleanedVariants& cleaned, int32_t cap)
{
    std::vector<uint8_t> header(quality_block::kImpressionsOffset, 0);
    WriteQualityHeader(entry.entry, header);
    body_.assign(header.begin() + biometric_data::kHeaderSize, header.end());
    AddPlainImpressions(cleaned, cap);
}

void BiometricDataAssembler::AddFingerEntry(const ChainEntry& entry, const CleanedVariants& cleaned, int32_t cap)
{
    for (int32_t v = 0; v < cleaned.count; ++v) {
        MadeImpression made = Extract(cleaned.images[v], cap);
        SetFingerEntryRecord(made.record, static_cast<uint8_t>(entry.fingerCode));
        body_.insert(body_.end(), made.record.begin(), made.record.end());
    }
}

void BiometricDataAssembler::AddCompactEntry(const ChainEntry& entry, const CleanedVariants& cleaned, int32_t cap)
{
    const bool pair = dataId_ == kFiveBitPairType || dataId_ == kDeltaCodedPairType;
    std::array<Impression, 2> variants;
    for (int32_t v = 0; v < (pair ? 2 : 1) && v < cleaned.count; ++v) {
        MadeImpression made = Extract(cleaned.images[v], cap);
        SetFingerEntryRecord(made.record, static_cast<uint8_t>(entry.fingerCode));
        ReadImpression(made.record.data(), made.record.size(), variants[v]);
    }
    const int16_t offsetX = ReadLe<int16_t>(entry.entry.data() + image_header::kOffsetXOffset);
    const int16_t offsetY = ReadLe<int16_t>(entry.entry.data() + image_header::kOffsetYOffset);
    const size_t at = body_.size();
    body_.resize(at + compact_entry::EntrySize(dataId_), 0);
    PackCompactEntry(dataId_, static_cast<uint8_t>(entry.fingerCode), offsetX, offsetY, variants[0], variants[1],
                     body_.data() + at, body_.size() - at);
}

void BiometricDataAssembler::AddPlainImpressions(const CleanedVariants& cleaned, int32_t cap)
{
    for (int32_t v = 0; v < cleaned.count; ++v) {
        const MadeImpression made = Extract(cleaned.images[v], cap);
        body_.insert(body_.end(), made.record.begin(), made.record.end());
    }
}

ResultCode BiometricDataAssembler::Finish(std::span<uint8_t> out)
{
    const int32_t stored = StoredType(dataId_);
    if (IsSingleListType(dataId_)) {
        if (lists_[0].empty())
            return Fail(out);
        int32_t score = 0;
        const std::vector<uint8_t> list = OrderedList(lists_[0], stored, score);
        return WriteBlock(stored, std::vector<uint8_t>(list.begin() + kSubBlockHeaderSize, list.end()), out);
    }
    if (IsTwoListType(dataId_)) {
        if (lists_[0].empty() || lists_[1].empty())
            return Fail(out);
        std::array<int32_t, 2> scores{};
        const std::vector<uint8_t> a = OrderedList(lists_[0], ListType(dataId_), scores[0]);
        const std::vector<uint8_t> b = OrderedList(lists_[1], ListType(dataId_), scores[1]);
        std::vector<uint8_t> body(kListHeaderSize - biometric_data::kHeaderSize, 0);
        body[0] = static_cast<uint8_t>(lists_[0].size());
        body[1] = static_cast<uint8_t>(lists_[1].size());
        WriteLe<int16_t>(body.data() + 2, static_cast<int16_t>(scores[0]));
        WriteLe<int16_t>(body.data() + 4, static_cast<int16_t>(scores[1]));
        body.insert(body.end(), a.begin(), a.end());
        body.insert(body.end(), b.begin(), b.end());
        return WriteBlock(stored, body, out);
    }
    if (IsSubBlockType(dataId_)) {
        if (lists_[0].empty() || lists_[1].empty())
            return Fail(out);
        std::vector<uint8_t> body;
        for (const std::vector<ImpressionBytes>& records : lists_) {
            std::vector<uint8_t> sub(kSubBlockHeaderSize);
            AppendList(records, sub);
            WriteLe<int32_t>(sub.data(), static_cast<int32_t>(sub.size()));
            WriteLe<int32_t>(sub.data() + 4, ListType(dataId_));
            body.insert(body.end(), sub.begin(), sub.end());
        }
        return WriteBlock(stored, body, out);
    }
    return WriteBlock(stored, body_, out);
}

} // namespace vela::engine
