#include <gtest/gtest.h>

#include "BiodataTestSupport.h"
#include "MatchingTestSupport.h"
#include "engine/biodata/CleanedImageBmp.h"
#include "engine/biodata/ExtractMinutiae.h"
#include "engine/biodata/QualityHeader.h"
#include "engine/biodata/SelectBestImpressions.h"
#include "engine/biodata/XGetBiometricData.h"
#include "engine/biodata/XGetBiometricFeatures.h"
#include "engine/records/BiometricData.h"
#include "engine/records/BiometricFeatures.h"
#include "engine/records/compact/CompactEntry.h"

namespace vela::engine {
namespace {

using test::BuildChain;
using test::MakeBlock;
using test::MakeFingerSet;
using test::TestEntry;

int32_t Int(const std::vector<uint8_t>& bytes, size_t offset)
{
    return ReadLe<int32_t>(bytes.data() + offset);
}

TEST(CleanedImageBmpTest, HeaderIsTheFixedTemplateWithTheResolution)
{
    int32_t size = 0;
    EXPECT_EQ(XGetCleanedImageSize(&size), result::Success);
    EXPECT_EQ(size, 14462);

    std::vector<uint8_t> cleaned(14400, 0);
    std::vector<uint8_t> out(14462, 0xAA);
    ASSERT_TRUE(WriteCleanedImageBmp(cleaned, 454, 410, out));
    const std::vector<uint8_t> golden = test::FromHex(
        "424d7e380000000000003e000000280000002001000090010000010001000000000040380000"
        "d24500000e3f0000000000000000000000000000ffffff00");
    ASSERT_EQ(golden.size(), 62u);
    EXPECT_EQ(std::vector<uint8_t>(out.begin(), out.begin() + 62), golden);

    ASSERT_TRUE(WriteCleanedImageBmp(cleaned, 508, 432, out));
    EXPECT_EQ(Int(out, 38), 20000);
    EXPECT_EQ(Int(out, 42), 17008);

    std::vector<uint8_t> tooShort(14461);
    EXPECT_FALSE(WriteCleanedImageBmp(cleaned, 454, 410, tooShort));
    EXPECT_FALSE(WriteCleanedImageBmp(std::vector<uint8_t>(14399), 454, 410, out));
}

TEST(CleanedImageBmpTest, RidgesBlackRowsBottomUp)
{
    std::vector<uint8_t> cleaned(14400, 0);
    cleaned[0] = 0x80;          // top row, first pixel: ridge
    cleaned[14400 - 1] = 0x01;  // bottom row, last pixel: ridge
    std::vector<uint8_t> out(14462);
    ASSERT_TRUE(WriteCleanedImageBmp(cleaned, 454, 410, out));
    const uint8_t* pixels = out.data() + 62;
    // The file's first row is the image's bottom row.
    EXPECT_EQ(pixels[35], 0xFE);
    EXPECT_EQ(pixels[0], 0xFF);
    EXPECT_EQ(pixels[399 * 36], 0x7F);
    EXPECT_EQ(pixels[399 * 36 + 1], 0xFF);
}

TEST(QualityHeaderTest, MeasuresAndFlagsFromTheImageHeader)
{
    struct Case {
        uint8_t quality, second;
        int32_t third, fourth;
        uint8_t flags;
    };
    // Limits: quality 40, second 30, |third| 10, fourth 50.
    const Case cases[] = {
        {40, 30, 10, 50, 0x0},  {39, 30, 10, 50, 0x1}, {40, 29, 10, 50, 0x2},
        {40, 30, -11, 50, 0x4}, {40, 30, 11, 50, 0x4}, {40, 30, 10, 51, 0x8},
        {0, 0, -90, 100, 0xF},
    };
    for (const Case& c : cases) {
        TestEntry e;
        e.fingerCode = 6;
        e.impressionIndex = 1;
        e.minQuality = 40;
        e.minSecond = 30;
        e.maxThird = 10;
        e.maxFourth = 50;
        std::vector<uint8_t> header = test::BuildEntry(e);
        WriteLe<int32_t>(&header[image_header::kQualityOffset], c.quality);
        header[image_header::kSecondMeasureOffset] = c.second;
        WriteLe<int32_t>(&header[image_header::kThirdMeasureOffset], c.third);
        WriteLe<int32_t>(&header[image_header::kFourthMeasureOffset], c.fourth);
        std::vector<uint8_t> block(2719, 0);
        WriteQualityHeader(header, block);
        EXPECT_EQ(block[10], c.flags) << int(c.quality) << " " << c.third;
        EXPECT_EQ(header[128], c.flags);
        EXPECT_EQ(block[8], 6);
        EXPECT_EQ(block[9], 1);
        EXPECT_EQ(block[11], c.quality);
        EXPECT_EQ(block[12], c.second);
        EXPECT_EQ(Int(block, 13), c.third);
        EXPECT_EQ(Int(block, 17), c.fourth);
        EXPECT_EQ(block[21], 40);
        EXPECT_EQ(block[22], 30);
        EXPECT_EQ(Int(block, 23), 10);
        EXPECT_EQ(Int(block, 27), 50);
    }
}

// Builds a block of stored type from blocks carried by the chain.
ResultCode Recombine(int32_t dataId, const std::vector<std::pair<std::vector<uint8_t>, int>>& blocks,
                     std::vector<uint8_t>& out)
{
    std::vector<TestEntry> entries;
    for (const auto& [payload, imageIndex] : blocks) {
        TestEntry e;
        e.payload = payload;
        e.fingerCode = imageIndex;
        entries.push_back(e);
    }
    std::vector<uint8_t> chain = BuildChain(entries);
    int32_t max = 0;
    XGetMaxBiometricDataSize(dataId, &max);
    out.assign(static_cast<size_t>(max), 0xEE);
    return XGetBiometricData(dataId, chain, out);
}

// The tags (first record's byte 8) and finger codes of a type-150 block's entries.
std::vector<std::pair<int, int>> TagsAndCodes(const std::vector<uint8_t>& block)
{
    std::vector<std::pair<int, int>> out;
    const int32_t total = Int(block, 0);
    for (int32_t at = 8; at + 2688 <= total; at += 2688)
        out.push_back({block[at + 8], block[at + 9]});
    return out;
}

TEST(StoredBlockMergesTest, MergeAllTakesFingerOneFirstAndLeavesCodeZero)
{
    std::vector<uint8_t> out;
    ASSERT_EQ(Recombine(151, {{MakeFingerSet({2, 1, 0}, 10), 0}, {MakeFingerSet({1, 3}, 20), 0}}, out),
              result::Success);
    EXPECT_EQ(Int(out, 4), 150);
    EXPECT_EQ(Int(out, 0), 8 + 4 * 2688);
    const std::vector<std::pair<int, int>> expected{{11, 1}, {20, 1}, {10, 2}, {21, 3}};
    EXPECT_EQ(TagsAndCodes(out), expected);
}

TEST(StoredBlockMergesTest, MergeTwoPrefersTheFirstBlockPerFinger)
{
    std::vector<uint8_t> out;
    ASSERT_EQ(Recombine(152, {{MakeFingerSet({2, 1}, 10), 0}, {MakeFingerSet({2, 3, 0, 2}, 20), 0}}, out),
              result::Success);
    EXPECT_EQ(Int(out, 4), 150);
    const std::vector<std::pair<int, int>> expected{{22, 0}, {11, 1}, {10, 2}, {21, 3}};
    EXPECT_EQ(TagsAndCodes(out), expected);
}

TEST(StoredBlockMergesTest, RemoveFingerDropsTheCodeOfTheImageIndex)
{
    std::vector<uint8_t> out;
    ASSERT_EQ(Recombine(153, {{MakeFingerSet({1, 3, 2, 3}, 10), 3}}, out), result::Success);
    EXPECT_EQ(Int(out, 4), 150);
    const std::vector<std::pair<int, int>> expected{{10, 1}, {12, 2}};
    EXPECT_EQ(TagsAndCodes(out), expected);
}

TEST(StoredBlockMergesTest, ExpandStoresTheCompactBlockAsFingerEntries)
{
    // A single-impression entry carries the finger code in its own byte 9.
    Impression impression = test::MakeSyntheticImpression(test::SyntheticFinger{});
    impression.fingerCode = 4;
    std::vector<uint8_t> entry(364);
    ASSERT_TRUE(PackCompactEntry(165, 4, 16, -32, impression, impression, entry.data(), entry.size()));
    std::vector<uint8_t> out;
    ASSERT_EQ(Recombine(163, {{MakeBlock(165, entry), 0}}, out), result::Success);
    EXPECT_EQ(Int(out, 4), 150);
    EXPECT_EQ(Int(out, 0), 8 + 2688);
    EXPECT_EQ(out[8 + 9], 4);
    EXPECT_EQ(out[8 + 11], impression.count);

    // A block that does not expand breaks the combination rules.
    std::vector<uint8_t> broken = entry;
    broken[5 + 3] = 200;  // a kept count no packer writes
    EXPECT_EQ(Recombine(163, {{MakeBlock(165, broken), 0}}, out), result::BadCombination);
}

TEST(StoredBlockMergesTest, QualitySlotsInFingerOrderWithPresetEmptySlots)
{
    auto quality = [](int finger, uint8_t tag) {
        std::vector<uint8_t> block(2719, tag);
        WriteLe<int32_t>(block.data(), 2719);
        WriteLe<int32_t>(block.data() + 4, 139);
        block[8] = static_cast<uint8_t>(finger);
        block[9] = 1;
        return block;
    };
    std::vector<uint8_t> out;
    ASSERT_EQ(Recombine(140, {{quality(6, 0x66), 0}, {quality(1, 0x11), 0}}, out), result::Success);
    EXPECT_EQ(Int(out, 0), 10884);
    EXPECT_EQ(Int(out, 4), 140);
    const size_t slot[] = {8, 8 + 2719, 8 + 2 * 2719, 8 + 3 * 2719};
    EXPECT_EQ(out[slot[0] + 8], 1);
    EXPECT_EQ(out[slot[0] + 100], 0x11);
    EXPECT_EQ(out[slot[2] + 8], 6);
    EXPECT_EQ(out[slot[2] + 100], 0x66);
    for (size_t s : {slot[1], slot[3]}) {
        EXPECT_EQ(Int(out, s), 2719);
        EXPECT_EQ(Int(out, s + 4), 139);
        EXPECT_EQ(out[s + 9], 0);
        EXPECT_EQ(out[s + 100], 0);
    }
    EXPECT_EQ(out[slot[1] + 8], 2);
    EXPECT_EQ(out[slot[3] + 8], 7);
}

TEST(BiometricFeaturesTest, FirstImpressionOfEachStoredType)
{
    Impression r;
    r.quality = 70;
    r.blocks.fill(kNoDirection);
    r.blocks[0] = 0;
    r.blocks[1] = 59;
    r.blocks[2] = 60;
    r.count = 2;
    r.x[0] = 10;
    r.y[0] = 20;
    r.direction[0] = 0;
    r.x[1] = 100;
    r.y[1] = 150;
    r.direction[1] = 6;  // a quarter turn toward growing rows
    const std::vector<uint8_t> record = test::ToRecord(r);

    struct Case {
        int32_t type;
        size_t offset;
    };
    const Case cases[] = {{1, 8}, {101, 8}, {150, 8}, {20, 16}, {120, 16}, {10, 22}, {110, 22}, {139, 31}, {140, 39}};
    for (const Case& c : cases) {
        std::vector<uint8_t> body(c.offset - 8, 0);
        body.insert(body.end(), record.begin(), record.end());
        const std::vector<uint8_t> block = MakeBlock(c.type, body);
        std::vector<uint8_t> features(biometric_features::kSize, 0xEE);
        ASSERT_EQ(XGetBiometricFeatures(std::span<const uint8_t>(block), features), result::Success) << c.type;
        EXPECT_EQ(Int(features, 0), 2);
        EXPECT_EQ(Int(features, 4), 20);
        EXPECT_EQ(Int(features, 8), 200);
        EXPECT_EQ(Int(features, 4 + 280), 40);
        EXPECT_EQ(Int(features, 4 + 280 + 4), 300);
        EXPECT_EQ(Int(features, 4 + 560), 0);
        EXPECT_EQ(Int(features, 4 + 560 + 4), 270);
        EXPECT_EQ(Int(features, 12), 0);  // unused minutiae are zero
        const size_t blocks = biometric_features::kBlockDirectionOffset;
        EXPECT_EQ(Int(features, blocks), 0);
        EXPECT_EQ(Int(features, blocks + 4), 177);
        EXPECT_EQ(Int(features, blocks + 8), 0);
        EXPECT_EQ(Int(features, blocks + 12), 180);

        // The same block cut short, or claiming more than its buffer.
        std::vector<uint8_t> cut(block.begin(), block.end() - 1);
        EXPECT_EQ(XGetBiometricFeatures(std::span<const uint8_t>(cut), features), result::UnknownBiometricDataId);
        std::vector<uint8_t> shortWord = block;
        WriteLe<int32_t>(shortWord.data(), static_cast<int32_t>(c.offset + 671));
        EXPECT_EQ(XGetBiometricFeatures(std::span<const uint8_t>(shortWord), features),
                  result::UnknownBiometricDataId);
    }

    std::vector<uint8_t> features(biometric_features::kSize);
    for (int32_t type : {0, 2, 3, 167, 151}) {
        const std::vector<uint8_t> block = MakeBlock(type, record);
        EXPECT_EQ(XGetBiometricFeatures(std::span<const uint8_t>(block), features), result::UnknownBiometricDataId)
            << type;
    }

    // A compact block is expanded first.
    std::vector<uint8_t> entry(364);
    Impression valid = test::MakeSyntheticImpression(test::SyntheticFinger{});
    valid.fingerCode = 2;
    ASSERT_TRUE(PackCompactEntry(165, 2, 0, 0, valid, valid, entry.data(), entry.size()));
    const std::vector<uint8_t> compact = MakeBlock(165, entry);
    ASSERT_EQ(XGetBiometricFeatures(std::span<const uint8_t>(compact), features), result::Success);
    EXPECT_EQ(Int(features, 0), valid.count);
    entry[5 + 3] = 200;
    const std::vector<uint8_t> broken = MakeBlock(165, entry);
    EXPECT_EQ(XGetBiometricFeatures(std::span<const uint8_t>(broken), features), result::UnknownBiometricDataId);
}

TEST(SelectBestImpressionsTest, AgreeingImpressionsComeFirst)
{
    const Impression a = test::MakeSyntheticImpression(test::SyntheticFinger{});
    const Impression a2 = test::PerturbImpression(a, 5, 2, 8, 3);
    const Impression a3 = test::PerturbImpression(a, 6, 2, 8, 3);
    test::SyntheticFinger other;
    other.seed = 99;
    other.coreColumn = 12;
    other.coreRow = 15;
    const Impression b = test::MakeSyntheticImpression(other);

    std::vector<uint8_t> body;
    for (const Impression& r : {b, a, a2, a3}) {
        const std::vector<uint8_t> record = test::ToRecord(r);
        body.insert(body.end(), record.begin(), record.end());
    }
    std::vector<uint8_t> block = MakeBlock(1, body);
    const int32_t lowest = SelectBestImpressions(block);
    EXPECT_LT(lowest, 150);
    Impression last;
    ASSERT_TRUE(ReadImpression(block.data() + 8 + 3 * 672, 672, last));
    EXPECT_EQ(last, b);

    // Two copies of one impression: the smallest score is their own, above 1000.
    std::vector<uint8_t> twice = MakeBlock(1, body);
    twice.resize(8 + 2 * 672);
    std::copy(body.begin() + 672, body.begin() + 2 * 672, twice.begin() + 8);
    WriteLe<int32_t>(twice.data(), 8 + 2 * 672);
    EXPECT_GT(SelectBestImpressions(twice), 1000);

    // One impression stays where it is.
    std::vector<uint8_t> single = MakeBlock(1, test::ToRecord(b));
    const std::vector<uint8_t> before = single;
    EXPECT_EQ(SelectBestImpressions(single), 1000);
    EXPECT_EQ(single, before);
}

TEST(ExtractMinutiaeTest, QualityCap)
{
    struct Case {
        int32_t found, cap, expected;
    };
    const Case cases[] = {{90, 60, 60}, {28, 60, 60}, {28, 20, 20}, {27, 60, 27}, {27, 20, 20}, {0, 80, 0}, {50, 0, 0}};
    for (const Case& c : cases)
        EXPECT_EQ(CapImpressionQuality(c.found, c.cap), c.expected) << c.found << " under " << c.cap;
}

TEST(ExtractMinutiaeTest, BlankImagesAndShortWork)
{
    std::vector<uint8_t> work(ExtractMinutiaeWorkSize());
    std::vector<uint8_t> record(672);
    const std::vector<uint8_t> blank(14400, 0);
    EXPECT_EQ(ExtractMinutiae(blank, work, record, 80), 0);
    EXPECT_EQ(record[impression::kCountOffset], 0);
    EXPECT_EQ(ExtractMinutiae(blank, std::span<uint8_t>(work).first(work.size() - 1), record, 80), -1);
}

} // namespace
} // namespace vela::engine
