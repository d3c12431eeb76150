#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "EngineTestSupport.h"
#include "engine/biodata/ImageRecordHeader.h"
#include "base/ByteOrder.h"
#include "engine/records/FingerEntry.h"

namespace vela::engine::test {

// One entry of an image chain, field by field, so that a test can break any one.
struct TestEntry {
    std::vector<uint8_t> payload = TestBmp().Bytes();
    int32_t cleanedSize = 0;
    int32_t scannerId = 14;
    int32_t fingerCode = 1;
    int32_t impressionIndex = 1;
    int32_t spare = 0;             // bytes beyond payload and cleaned image
    std::optional<int32_t> sizeWord; // the size word to write, when not the true size
    uint8_t minQuality = 0;
    uint8_t minSecond = 0;
    int32_t maxThird = 0;
    int32_t maxFourth = 0;

    size_t TrueSize() const
    {
        return image_header::kSize + payload.size() + static_cast<size_t>(cleanedSize > 0 ? cleanedSize : 0) +
               static_cast<size_t>(spare);
    }
};

inline std::vector<uint8_t> BuildEntry(const TestEntry& e)
{
    std::vector<uint8_t> bytes(e.TrueSize(), 0);
    const int32_t sizeWord = e.sizeWord.value_or(static_cast<int32_t>(bytes.size()));
    WriteLe<int32_t>(&bytes[image_header::kEntrySizeOffset], sizeWord);
    WriteLe<int32_t>(&bytes[image_header::kCleanedSizeOffset], e.cleanedSize);
    WriteLe<int32_t>(&bytes[image_header::kScannerIdOffset], e.scannerId);
    WriteLe<int32_t>(&bytes[image_header::kFingerCodeOffset], e.fingerCode);
    WriteLe<int32_t>(&bytes[image_header::kImpressionIndexOffset], e.impressionIndex);
    bytes[image_header::kMinQualityOffset] = e.minQuality;
    bytes[image_header::kMinSecondOffset] = e.minSecond;
    WriteLe<int32_t>(&bytes[image_header::kMaxThirdOffset], e.maxThird);
    WriteLe<int32_t>(&bytes[image_header::kMaxFourthOffset], e.maxFourth);
    std::copy(e.payload.begin(), e.payload.end(), bytes.begin() + image_header::kPayloadOffset);
    return bytes;
}

// The entries one after the other, closed by a size word of 0.
inline std::vector<uint8_t> BuildChain(const std::vector<TestEntry>& entries, bool terminate = true)
{
    std::vector<uint8_t> chain;
    for (const TestEntry& e : entries) {
        const std::vector<uint8_t> bytes = BuildEntry(e);
        chain.insert(chain.end(), bytes.begin(), bytes.end());
    }
    if (terminate)
        chain.insert(chain.end(), 4, 0);
    return chain;
}

// A chain of one picture as finger 1, impression 1 of scanner 14.
inline std::vector<uint8_t> ChainOfPicture(const std::vector<uint8_t>& bmp)
{
    TestEntry entry;
    entry.payload = bmp;
    return BuildChain({entry});
}

// A stored block: size, type and the body.
inline std::vector<uint8_t> MakeBlock(int32_t type, const std::vector<uint8_t>& body)
{
    std::vector<uint8_t> block(8);
    block.insert(block.end(), body.begin(), body.end());
    WriteLe<int32_t>(block.data(), static_cast<int32_t>(block.size()));
    WriteLe<int32_t>(block.data() + 4, type);
    return block;
}

// A type-150 block of finger entries with the given finger codes; byte 8 (the
// quality) of each entry's first record carries `tag + index` to tell them apart.
inline std::vector<uint8_t> MakeFingerSet(const std::vector<int>& codes, uint8_t tag = 0)
{
    std::vector<uint8_t> body(codes.size() * finger_entry::kSize, 0);
    for (size_t i = 0; i < codes.size(); ++i) {
        uint8_t* entry = body.data() + i * finger_entry::kSize;
        for (size_t r = 0; r < finger_entry::kImpressions; ++r) {
            uint8_t* record = entry + finger_entry::ImpressionOffset(r);
            WriteLe<int32_t>(record, static_cast<int32_t>(impression::kSize));
            WriteLe<int32_t>(record + impression::kKindOffset, impression::kInFingerEntry);
            record[impression::kFingerCodeOffset] = static_cast<uint8_t>(codes[i]);
            record[impression::kBlockRowsOffset] = 25;
        }
        entry[impression::kQualityOffset] = static_cast<uint8_t>(tag + i);
    }
    return MakeBlock(150, body);
}

} // namespace vela::engine::test
