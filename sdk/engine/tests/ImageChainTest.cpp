#include <gtest/gtest.h>

#include "BiodataTestSupport.h"
#include "engine/biodata/ImageChain.h"
#include "engine/biodata/ImageSetRules.h"
#include "engine/biodata/XGetBiometricData.h"
#include "engine/records/ResultCodes.h"

namespace vela::engine {
namespace {

using test::BuildChain;
using test::TestBmp;
using test::TestEntry;

std::vector<uint8_t> BmpWith(void (*change)(TestBmp&))
{
    TestBmp bmp;
    change(bmp);
    return bmp.Bytes();
}

TestEntry Entry(void (*change)(TestEntry&))
{
    TestEntry e;
    change(e);
    return e;
}

// Every check of the chain in its turn; where two fail, the earlier one in
// the reading order gives the code.
TEST(ImageChainTest, EachFailureHasItsResultCode)
{
    struct Case {
        const char* what;
        int32_t dataId;
        std::vector<TestEntry> entries;
        ResultCode expected;
    };
    const Case cases[] = {
        {"no entry", 1, {}, result::BadImageCount},
        {"size word 139", 1, {Entry([](TestEntry& e) { e.sizeWord = 139; })}, result::BadChainEntrySize},
        {"negative size word", 1, {Entry([](TestEntry& e) { e.sizeWord = -1000; })}, result::BadChainEntrySize},
        {"size word beyond the chain", 1, {Entry([](TestEntry& e) { e.sizeWord = 1 << 20; })},
         result::BadChainEntrySize},
        {"not an 8-bit BMP", 1, {Entry([](TestEntry& e) { e.payload = BmpWith([](TestBmp& b) { b.bitsPerPixel = 24; }); })},
         result::BadBmpFormat},
        {"pixel offset", 1, {Entry([](TestEntry& e) { e.payload = BmpWith([](TestBmp& b) { b.pixelOffset = 1079; }); })},
         result::BadBmpPixelOffset},
        {"width", 1, {Entry([](TestEntry& e) { e.payload = BmpWith([](TestBmp& b) { b.width = 96; }); })},
         result::BadImageSize},
        {"resolution", 1,
         {Entry([](TestEntry& e) { e.payload = BmpWith([](TestBmp& b) { b.yPixelsPerMetre = 7873; }); })},
         result::BadResolution},
        {"palette", 1,
         {Entry([](TestEntry& e) { e.payload = BmpWith([](TestBmp& b) { b.palette[4 * 255] = 0; }); })},
         result::BadBmpPalette},
        {"picture longer than the entry", 1, {Entry([](TestEntry& e) { e.payload.resize(e.payload.size() - 1); })},
         result::BadChainEntrySize},
        {"cleaned size", 1, {Entry([](TestEntry& e) { e.cleanedSize = 14400; })}, result::BadCleanedImageSize},
        {"negative cleaned size", 1, {Entry([](TestEntry& e) { e.cleanedSize = -14462; })},
         result::BadCleanedImageSize},
        {"no room for the cleaned image", 1,
         {Entry([](TestEntry& e) { e.cleanedSize = 14462; e.spare = -1; })}, result::BadChainEntrySize},
        {"scanner 6", 1, {Entry([](TestEntry& e) { e.scannerId = 6; })}, result::BadScannerId},
        {"scanner 17", 1, {Entry([](TestEntry& e) { e.scannerId = 17; })}, result::BadScannerId},
        {"negative scanner", 1, {Entry([](TestEntry& e) { e.scannerId = -1; })}, result::BadScannerId},
        {"image index 11", 1, {Entry([](TestEntry& e) { e.fingerCode = 11; })}, result::BadImageIndex},
        {"negative image index", 1, {Entry([](TestEntry& e) { e.fingerCode = -1; })}, result::BadImageIndex},
        {"impression index 11", 1, {Entry([](TestEntry& e) { e.impressionIndex = 11; })},
         result::BadImpressionIndex},
        {"negative impression index", 1, {Entry([](TestEntry& e) { e.impressionIndex = -2; })},
         result::BadImpressionIndex},
        {"type-140 entry shorter than its block", 140,
         {Entry([](TestEntry& e) { e.payload.assign(2718, 0); })}, result::BadChainEntrySize},
        {"stored block with a negative size word", 151,
         {Entry([](TestEntry& e) { e.payload = test::MakeBlock(150, {}); WriteLe<int32_t>(e.payload.data(), -8); })},
         result::BadChainEntrySize},
        {"stored block beyond its entry", 151,
         {Entry([](TestEntry& e) { e.payload = test::MakeBlock(150, {}); WriteLe<int32_t>(e.payload.data(), 9); })},
         result::BadChainEntrySize},
        // Two faults: the first in reading order wins.
        {"bad BMP before bad cleaned size", 1,
         {Entry([](TestEntry& e) { e.payload = BmpWith([](TestBmp& b) { b.compression = 1; }); e.cleanedSize = 5; })},
         result::BadBmpFormat},
        {"cleaned size before scanner", 1,
         {Entry([](TestEntry& e) { e.cleanedSize = 5; e.scannerId = 7; })}, result::BadCleanedImageSize},
        {"room before scanner", 1,
         {Entry([](TestEntry& e) { e.cleanedSize = 14462; e.spare = -100; e.scannerId = 13; })},
         result::BadChainEntrySize},
        {"scanner before image index", 1,
         {Entry([](TestEntry& e) { e.scannerId = 13; e.fingerCode = 12; })}, result::BadScannerId},
        {"image index before impression index", 1,
         {Entry([](TestEntry& e) { e.fingerCode = 12; e.impressionIndex = 12; })}, result::BadImageIndex},
        {"first entry before second", 1,
         {Entry([](TestEntry& e) { e.impressionIndex = 11; }), Entry([](TestEntry& e) { e.sizeWord = 100; })},
         result::BadImpressionIndex},
        {"chain before set rules", 139,
         {Entry([](TestEntry& e) { e.fingerCode = 3; }), Entry([](TestEntry& e) { e.scannerId = 6; })},
         result::BadScannerId},
        {"unknown type before everything", 3, {Entry([](TestEntry& e) { e.sizeWord = 5; })},
         result::UnknownBiometricDataId},
    };
    for (const Case& c : cases) {
        std::vector<uint8_t> chain = BuildChain(c.entries);
        EXPECT_EQ(XGetBiometricData(c.dataId, chain, {}), c.expected) << c.what;
    }
}

TEST(ImageChainTest, ReadsEntriesUpToTheEndMarkOrTheBufferEnd)
{
    TestEntry second;
    second.fingerCode = 3;
    second.cleanedSize = 14462;
    second.spare = 10;
    std::vector<uint8_t> chain = BuildChain({TestEntry{}, second});
    std::vector<ChainEntry> entries;
    ASSERT_EQ(ReadImageChain(1, chain, entries), result::Success);
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[1].fingerCode, 3);
    EXPECT_EQ(entries[1].cleanedSize, 14462);
    EXPECT_EQ(entries[1].payload.size(), TestBmp().Bytes().size());
    EXPECT_EQ(entries[1].entry.size(), second.TrueSize());
    EXPECT_EQ(entries[1].entry.data(), chain.data() + TestEntry{}.TrueSize());

    // Without the end mark the buffer's end closes the chain.
    std::vector<uint8_t> unterminated = BuildChain({TestEntry{}}, false);
    ASSERT_EQ(ReadImageChain(1, unterminated, entries), result::Success);
    EXPECT_EQ(entries.size(), 1u);

    // Three stray bytes after the last entry cannot hold a size word.
    unterminated.resize(unterminated.size() + 3, 0xFF);
    EXPECT_EQ(ReadImageChain(1, unterminated, entries), result::Success);
}

TEST(ImageChainTest, AtMostOneHundredEntries)
{
    const TestEntry small = Entry([](TestEntry& e) { e.payload = test::MakeFingerSet({1}); });
    std::vector<uint8_t> hundred = BuildChain(std::vector<TestEntry>(100, small));
    std::vector<ChainEntry> entries;
    EXPECT_EQ(ReadImageChain(151, hundred, entries), result::Success);
    EXPECT_EQ(entries.size(), 100u);
    std::vector<uint8_t> more = BuildChain(std::vector<TestEntry>(101, small));
    EXPECT_EQ(ReadImageChain(151, more, entries), result::BadImageCount);
}

TEST(ImageChainTest, OutputRoomMustHoldTheLargestBlock)
{
    std::vector<uint8_t> chain = BuildChain({TestEntry{}});
    std::vector<uint8_t> out(6727);
    EXPECT_EQ(XGetBiometricData(1, chain, out), result::BadChainEntrySize);
}

// ChainEntries for the set rules, without pictures.
std::vector<ChainEntry> Images(const std::vector<std::pair<int, int>>& fingerAndImpression)
{
    std::vector<ChainEntry> entries;
    for (const auto& [finger, impression] : fingerAndImpression) {
        ChainEntry e;
        e.fingerCode = finger;
        e.impressionIndex = impression;
        entries.push_back(e);
    }
    return entries;
}

TEST(ImageSetRulesTest, ImageTypes)
{
    struct Case {
        int32_t dataId;
        std::vector<std::pair<int, int>> images;
        ResultCode expected;
    };
    std::vector<std::pair<int, int>> elevenOfOne(11, {3, 1});
    std::vector<std::pair<int, int>> tenOfOne(10, {3, 1});
    tenOfOne.push_back({4, 1});
    const Case cases[] = {
        {1, {{0, 0}, {5, 2}, {5, 2}}, result::Success},
        {10, {{1, 1}, {2, 1}}, result::Success},
        {11, {{2, 1}, {1, 1}, {2, 2}, {1, 3}}, result::Success},
        {110, {{1, 1}}, result::BadCombination},
        {111, {{1, 1}, {2, 1}, {3, 1}}, result::BadCombination},
        {10, {{0, 1}, {1, 1}, {2, 1}}, result::BadCombination},
        {20, {{4, 1}, {9, 1}}, result::Success},
        {120, {{4, 1}, {4, 2}}, result::BadCombination},
        {139, {{2, 1}}, result::Success},
        {139, {{2, 1}, {1, 1}}, result::BadImageCount},
        {139, {{3, 1}}, result::BadCombination},
        {139, {{7, 2}}, result::BadCombination},
        {150, tenOfOne, result::Success},
        {161, elevenOfOne, result::BadCombination},
        {165, elevenOfOne, result::BadCombination},
        {163, {{1, 1}, {2, 1}}, result::BadImageCount},
        {167, {{1, 1}}, result::BadImageCount},
        {167, {{1, 1}, {1, 2}}, result::Success},
        {167, {{1, 1}, {1, 2}, {1, 3}}, result::BadImageCount},
    };
    for (const Case& c : cases) {
        std::vector<ChainEntry> entries = Images(c.images);
        EXPECT_EQ(CheckImageSet(c.dataId, entries), c.expected) << c.dataId << " with " << c.images.size();
    }
}

TEST(ImageSetRulesTest, OrdersByFingerThenImpressionKeepingChainOrderOfEquals)
{
    std::vector<ChainEntry> entries = Images({{2, 1}, {1, 3}, {1, 2}, {2, 1}, {0, 10}});
    entries[0].scannerId = 100;  // marks the first of the two equal keys
    ASSERT_EQ(CheckImageSet(1, entries), result::Success);
    const std::pair<int, int> expected[] = {{0, 10}, {1, 2}, {1, 3}, {2, 1}, {2, 1}};
    for (size_t i = 0; i < entries.size(); ++i) {
        EXPECT_EQ(entries[i].fingerCode, expected[i].first) << i;
        EXPECT_EQ(entries[i].impressionIndex, expected[i].second) << i;
    }
    EXPECT_EQ(entries[3].scannerId, 100);

    // Type 167 keeps the chain order.
    entries = Images({{2, 1}, {1, 1}});
    ASSERT_EQ(CheckImageSet(167, entries), result::Success);
    EXPECT_EQ(entries[0].fingerCode, 2);
}

std::vector<uint8_t> QualityBlock(int finger, int impression)
{
    std::vector<uint8_t> block(2719, 0);
    WriteLe<int32_t>(block.data(), 2719);
    WriteLe<int32_t>(block.data() + 4, 139);
    block[8] = static_cast<uint8_t>(finger);
    block[9] = static_cast<uint8_t>(impression);
    return block;
}

std::vector<ChainEntry> Blocks(std::vector<std::vector<uint8_t>>& payloads)
{
    std::vector<ChainEntry> entries;
    for (std::vector<uint8_t>& payload : payloads) {
        ChainEntry e;
        e.payload = payload;
        entries.push_back(e);
    }
    return entries;
}

TEST(ImageSetRulesTest, StoredBlockTypes)
{
    using test::MakeFingerSet;
    std::vector<uint8_t> notWhole = MakeFingerSet({1});
    notWhole.push_back(0);
    WriteLe<int32_t>(notWhole.data(), static_cast<int32_t>(notWhole.size()));
    std::vector<int> sixOfTwo(6, 2);
    std::vector<int> fiftyMixed;
    for (int i = 0; i < 50; ++i)
        fiftyMixed.push_back(i % 10 + 1);

    struct Case {
        const char* what;
        int32_t dataId;
        std::vector<std::vector<uint8_t>> payloads;
        ResultCode expected;
    };
    const Case cases[] = {
        {"140: two fingers", 140, {QualityBlock(7, 1), QualityBlock(1, 1)}, result::Success},
        {"140: five blocks", 140,
         {QualityBlock(1, 1), QualityBlock(2, 1), QualityBlock(6, 1), QualityBlock(7, 1), QualityBlock(2, 1)},
         result::BadImageCount},
        {"140: a finger twice", 140, {QualityBlock(2, 1), QualityBlock(2, 1)}, result::BadCombination},
        {"140: finger 3", 140, {QualityBlock(3, 1)}, result::BadCombination},
        {"140: impression 2", 140, {QualityBlock(6, 2)}, result::BadCombination},
        {"151: one block", 151, {MakeFingerSet({1})}, result::BadImageCount},
        {"151: two blocks", 151, {MakeFingerSet({1, 2}), MakeFingerSet({2, 0})}, result::Success},
        {"151: not type 150", 151, {MakeFingerSet({1}), test::MakeBlock(161, std::vector<uint8_t>(2688))},
         result::BadCombination},
        {"151: no entry", 151, {MakeFingerSet({1}), MakeFingerSet({})}, result::BadCombination},
        {"151: part of an entry", 151, {MakeFingerSet({1}), notWhole}, result::BadCombination},
        {"151: eleven of one finger", 151, {MakeFingerSet(sixOfTwo), MakeFingerSet(sixOfTwo)},
         result::BadCombination},
        {"151: a finger code of 11", 151, {MakeFingerSet({1}), MakeFingerSet({11})}, result::BadCombination},
        {"151: 101 in all", 151, {MakeFingerSet(fiftyMixed), MakeFingerSet(fiftyMixed), MakeFingerSet({0})},
         result::BadCombination},
        {"152: three blocks", 152, {MakeFingerSet({1}), MakeFingerSet({2}), MakeFingerSet({3})},
         result::BadImageCount},
        {"152: six of a finger in each", 152, {MakeFingerSet(sixOfTwo), MakeFingerSet(sixOfTwo)}, result::Success},
        {"153: one block", 153, {MakeFingerSet({1, 2})}, result::Success},
        {"153: two blocks", 153, {MakeFingerSet({1}), MakeFingerSet({2})}, result::BadImageCount},
    };
    for (const Case& c : cases) {
        std::vector<std::vector<uint8_t>> payloads = c.payloads;
        std::vector<ChainEntry> entries = Blocks(payloads);
        EXPECT_EQ(CheckImageSet(c.dataId, entries), c.expected) << c.what;
    }

    // Type 140 orders its blocks by their own finger codes.
    std::vector<std::vector<uint8_t>> payloads{QualityBlock(7, 1), QualityBlock(1, 1)};
    std::vector<ChainEntry> entries = Blocks(payloads);
    ASSERT_EQ(CheckImageSet(140, entries), result::Success);
    EXPECT_EQ(entries[0].fingerCode, 1);
    EXPECT_EQ(entries[1].fingerCode, 7);
}

} // namespace
} // namespace vela::engine
