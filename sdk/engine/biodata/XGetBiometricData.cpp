#include "engine/biodata/XGetBiometricData.h"

#include <array>
#include <memory>
#include <new>
#include <vector>

#include "engine/biodata/AssembleBiometricData.h"
#include "engine/biodata/CleanedImageBmp.h"
#include "engine/biodata/ExtractMinutiae.h"
#include "engine/biodata/ImageChain.h"
#include "engine/biodata/ImageRecordHeader.h"
#include "engine/biodata/ImageSetRules.h"
#include "engine/biodata/RecombineStoredBlocks.h"
#include "engine/cleaning/CleanFingerImage.h"
#include "engine/records/BiometricData.h"
#include "base/ByteOrder.h"
#include "engine/records/EngineGeometry.h"
#include "engine/records/ImageParameters.h"

namespace vela::engine {

namespace {

static_assert(kBiometricDataWorkSize == cleaning_work::kSize + 5 * static_cast<size_t>(kCleanedImageBytes));

// The work buffer: the cleaning's part, then the cleaned variants and the
// cleaned output image. The extraction reuses the cleaning's part once an
// image is cleaned.
struct WorkBuffer {
    std::unique_ptr<uint8_t[]> bytes;

    std::span<uint8_t> Cleaning() const { return {bytes.get(), cleaning_work::kSize}; }
    uint8_t* Variant(int32_t index) const
    {
        return bytes.get() + cleaning_work::kSize + static_cast<size_t>(index) * kCleanedImageBytes;
    }
    uint8_t* OutputImage() const { return Variant(4); }
    std::span<uint8_t> Extraction() const { return {bytes.get(), ExtractMinutiaeWorkSize()}; }
};

ResultCode WriteStoredBlock(int32_t dataId, const std::vector<uint8_t>& body, std::span<uint8_t> out)
{
    const size_t total = biometric_data::kHeaderSize + body.size();
    if (total > out.size())
        return result::BadCombination;
    std::copy(body.begin(), body.end(), out.begin() + biometric_data::kHeaderSize);
    WriteLe<int32_t>(out.data() + biometric_data::kDataIdOffset, FindBiometricDataType(dataId)->storedAs);
    WriteLe<int32_t>(out.data() + biometric_data::kTotalSizeOffset, static_cast<int32_t>(total));
    return result::Success;
}

ResultCode RecombineStoredBlocks(int32_t dataId, const std::vector<ChainEntry>& entries, std::span<uint8_t> out)
{
    std::vector<uint8_t> body;
    switch (dataId) {
    case 140:
        body = AssembleQualitySlots(entries);
        break;
    case 151:
        body = MergeFingerSets(entries);
        break;
    case 152:
        body = MergePreferringFirst(entries);
        break;
    case 153:
        body = RemoveFinger(entries.front());
        break;
    default:
        if (const ResultCode code = ExpandStoredCompactBlock(entries.front(), body))
            return code;
        break;
    }
    return WriteStoredBlock(dataId, body, out);
}

ResultCode CleanImage(int32_t dataId, const ChainEntry& entry, const WorkBuffer& work, CleanedVariants& cleaned)
{
    CleanedVariantList variants{4, {work.Variant(0), work.Variant(1), work.Variant(2), work.Variant(3)}};
    std::array<std::array<uint8_t, image_parameters::kSize>, 2> blocks{};
    ImageParameterList parameters{2, {blocks[0].data(), blocks[1].data()}};
    CleanedOutputImage output{1, work.OutputImage()};
    if (CleanFingerImage(entry.scannerId, dataId, entry.payload, variants, parameters, output, work.Cleaning()) != 0)
        return result::CleaningFailed;

    std::copy(blocks[0].begin(), blocks[0].end(), entry.entry.begin() + image_header::kParametersOffset);
    if (entry.cleanedSize == kCleanedImageFileSize) {
        const int32_t dpiX = ReadLe<int32_t>(blocks[0].data() + image_parameters::kResolutionXOffset);
        const int32_t dpiY = ReadLe<int32_t>(blocks[0].data() + image_parameters::kResolutionYOffset);
        WriteCleanedImageBmp({work.OutputImage(), static_cast<size_t>(kCleanedImageBytes)}, dpiX, dpiY,
                             entry.entry.last(kCleanedImageFileSize));
    }
    cleaned.count = std::clamp(variants.count, 0, 4);
    for (int32_t v = 0; v < 4; ++v)
        cleaned.images[v] = {work.Variant(v), static_cast<size_t>(kCleanedImageBytes)};
    return result::Success;
}

} // namespace

ResultCode XGetBiometricData(int32_t dataId, std::span<uint8_t> chain, std::span<uint8_t> out)
{
    const BiometricDataType* type = FindBiometricDataType(dataId);
    if (type == nullptr)
        return result::UnknownBiometricDataId;
    if (!out.empty() && out.size() < static_cast<size_t>(type->maxSize))
        return result::BadChainEntrySize;

    std::vector<ChainEntry> entries;
    if (const ResultCode code = ReadImageChain(dataId, chain, entries))
        return code;
    if (const ResultCode code = CheckImageSet(dataId, entries))
        return code;

    if (CarriesStoredBlock(dataId) || CarriesQualityBlock(dataId))
        return out.empty() ? result::Success : RecombineStoredBlocks(dataId, entries, out);

    WorkBuffer work{std::unique_ptr<uint8_t[]>(new (std::nothrow) uint8_t[kBiometricDataWorkSize]())};
    if (!work.bytes)
        return result::WorkBufferUnavailable;
    BiometricDataAssembler assembler(dataId, work.Extraction());
    for (const ChainEntry& entry : entries) {
        CleanedVariants cleaned;
        if (const ResultCode code = CleanImage(dataId, entry, work, cleaned))
            return code;
        if (!out.empty())
            assembler.AddImage(entry, cleaned);
    }
    return out.empty() ? result::Success : assembler.Finish(out);
}

} // namespace vela::engine
