#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <vector>

#include "engine/biodata/ImageChain.h"
#include "engine/records/ImpressionRecord.h"

namespace vela::engine {

// What the cleaning made of one image: up to four 14,400-byte variants.
struct CleanedVariants {
    std::array<std::span<const uint8_t>, 4> images;
    int32_t count = 0;
};

using ImpressionBytes = std::array<uint8_t, impression::kSize>;

// Builds the block of an image type from the cleaned images of the chain, in
// chain order. Every impression comes from ExtractMinutiae with the image's
// quality as cap.
class BiometricDataAssembler {
public:
    // `work` is the extraction's scratch (ExtractMinutiaeWorkSize bytes).
    BiometricDataAssembler(int32_t dataId, std::span<uint8_t> work);

    // Adds one image; its header already holds the cleaning's parameters.
    void AddImage(const ChainEntry& entry, const CleanedVariants& cleaned);

    // Writes the block into `out` (room for the type's largest block). Types
    // 1, 2, 101 without an impression, 10 to 111 with an empty list, 20 and 120
    // with an empty sub-block write total 0 and give 0xC3100074.
    ResultCode Finish(std::span<uint8_t> out);

private:
    struct MadeImpression {
        ImpressionBytes record{};
        int32_t quality = 0;
    };

    MadeImpression Extract(std::span<const uint8_t> variant, int32_t cap);
    void AddToList(const ChainEntry& entry, const CleanedVariants& cleaned);
    void AddToSubBlock(const ChainEntry& entry, const CleanedVariants& cleaned, int32_t cap);
    void AddQualityImage(const ChainEntry& entry, const CleanedVariants& cleaned, int32_t cap);
    void AddFingerEntry(const ChainEntry& entry, const CleanedVariants& cleaned, int32_t cap);
    void AddCompactEntry(const ChainEntry& entry, const CleanedVariants& cleaned, int32_t cap);
    void AddPlainImpressions(const CleanedVariants& cleaned, int32_t cap);

    int32_t dataId_;
    std::span<uint8_t> work_;
    // Lists A and B of the list types, or the two sub-blocks of 20 and 120;
    // list A is the first finger code of the ordered chain.
    std::array<std::vector<ImpressionBytes>, 2> lists_;
    std::array<int32_t, 2> listCodes_{-1, -1};
    std::array<bool, 2> subBlockTaken_{false, false};
    // Everything after the block header for the other types.
    std::vector<uint8_t> body_;
};

} // namespace vela::engine
