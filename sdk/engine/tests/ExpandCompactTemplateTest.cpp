#include <vector>

#include <gtest/gtest.h>

#include "EngineTestSupport.h"
#include "engine/records/BiometricData.h"
#include "engine/records/FingerEntry.h"
#include "engine/records/ShiftImpression.h"
#include "engine/records/compact/CompactEntry.h"
#include "engine/records/compact/DeltaCodedImpression.h"
#include "engine/records/compact/ExpandCompactTemplate.h"
#include "engine/records/compact/FiveBitImpression.h"

namespace vela::engine {
namespace {

using test::MakeImpression;

// Even block values in a few plain regions and kept minutiae only, so both
// compact forms carry the impressions without loss and the expansion can be
// compared exactly.
Impression Variant(uint8_t quality, uint8_t fingerCode, uint8_t firstX)
{
    Impression r = MakeImpression(quality, fingerCode,
                                  {{firstX, 20, 3}, {40, 60, 17}, {80, 120, 8}, {130, 180, 23}, {66, 100, 0}});
    for (int row = 0; row < kBlockRows; ++row) {
        for (int column = 0; column < kBlockColumns; ++column) {
            const bool patch = row >= 8 && row <= 14 && column >= 4 && column <= 12;
            r.blocks[row * kBlockColumns + column] = static_cast<uint8_t>(row < 2 ? 61 : patch ? 44 : 20);
        }
    }
    return r;
}

struct Entry {
    uint8_t fingerCode;
    int16_t dx;
    int16_t dy;
    Impression a;
    Impression b;
};

std::vector<uint8_t> MakeBlock(int32_t type, const std::vector<Entry>& entries)
{
    const size_t entrySize = compact_entry::EntrySize(type);
    std::vector<uint8_t> block(8 + entries.size() * entrySize);
    WriteLe<int32_t>(&block[0], static_cast<int32_t>(block.size()));
    WriteLe<int32_t>(&block[4], type);
    for (size_t i = 0; i < entries.size(); ++i) {
        const Entry& e = entries[i];
        EXPECT_TRUE(PackCompactEntry(type, e.fingerCode, e.dx, e.dy, e.a, e.b, &block[8 + i * entrySize], entrySize));
    }
    return block;
}

Impression RecordAt(const std::vector<uint8_t>& expanded, size_t entry, size_t index)
{
    Impression r;
    const size_t offset = 8 + entry * finger_entry::kSize + finger_entry::ImpressionOffset(index);
    EXPECT_TRUE(ReadImpression(expanded.data() + offset, expanded.size() - offset, r));
    return r;
}

Impression AsInFingerEntry(Impression r, uint8_t fingerCode)
{
    r.recordSize = 672;
    r.kind = 3;
    r.fingerCode = fingerCode;
    r.blockRows = 25;
    return r;
}

TEST(ExpandCompactTemplate, PairTypesGiveBothImpressionsAndTheirShiftedCopies)
{
    for (const int32_t type : {kFiveBitPairType, kDeltaCodedPairType}) {
        const std::vector<Entry> entries = {
            {4, 37, -20, Variant(70, 9, 10), Variant(65, 9, 12)},   // shift (2, -1): truncation toward zero
            {10, -15, 47, Variant(55, 0, 14), Variant(50, 0, 16)},  // shift (0, 2)
        };
        const std::vector<uint8_t> block = MakeBlock(type, entries);
        const std::vector<uint8_t> expanded = ExpandCompactTemplate(block.data(), block.size());
        ASSERT_EQ(expanded.size(), 8 + 2 * finger_entry::kSize) << type;
        EXPECT_EQ(ReadLe<int32_t>(&expanded[0]), static_cast<int32_t>(expanded.size()));
        EXPECT_EQ(ReadLe<int32_t>(&expanded[4]), 150);

        for (size_t i = 0; i < entries.size(); ++i) {
            const Entry& e = entries[i];
            const Impression a = AsInFingerEntry(e.a, e.fingerCode);
            const Impression b = AsInFingerEntry(e.b, e.fingerCode);
            EXPECT_EQ(RecordAt(expanded, i, 0), a) << type << " entry " << i;
            EXPECT_EQ(RecordAt(expanded, i, 1), b) << type << " entry " << i;
            EXPECT_EQ(RecordAt(expanded, i, 2), ShiftImpression(a, e.dx / 16, e.dy / 16)) << type << " entry " << i;
            EXPECT_EQ(RecordAt(expanded, i, 3), ShiftImpression(b, e.dx / 16, e.dy / 16)) << type << " entry " << i;
        }
        // The shift of the first entry is (2, -1): its copies lose the
        // minutia at x 130, which leaves the map.
        EXPECT_LT(RecordAt(expanded, 0, 2).count, 5);
        EXPECT_EQ(RecordAt(expanded, 0, 2).quality, 70);
        EXPECT_EQ(RecordAt(expanded, 0, 3).quality, 65);
    }
}

TEST(ExpandCompactTemplate, SingleTypesRepeatTheirImpression)
{
    for (const int32_t type : {kFiveBitSingleType, kDeltaCodedSingleType}) {
        const Impression a = AsInFingerEntry(Variant(80, 6, 10), 6);
        const std::vector<uint8_t> block = MakeBlock(type, {{6, -32, 16, a, a}});
        const std::vector<uint8_t> expanded = ExpandCompactTemplate(block.data(), block.size());
        ASSERT_EQ(expanded.size(), 8 + finger_entry::kSize) << type;
        EXPECT_EQ(RecordAt(expanded, 0, 0), a);
        EXPECT_EQ(RecordAt(expanded, 0, 1), a);
        EXPECT_EQ(RecordAt(expanded, 0, 2), ShiftImpression(a, -2, 1));
        EXPECT_EQ(RecordAt(expanded, 0, 3), ShiftImpression(a, -2, 1));
    }
}

TEST(ExpandCompactTemplate, RefusesBlocksItCannotTrust)
{
    const Impression good = Variant(70, 2, 10);
    const std::vector<uint8_t> block = MakeBlock(kFiveBitPairType, {{2, 0, 0, good, good}, {2, 0, 0, good, good}});
    ASSERT_FALSE(ExpandCompactTemplate(block.data(), block.size()).empty());

    auto withTotal = [&](int32_t total) {
        std::vector<uint8_t> copy = block;
        WriteLe<int32_t>(&copy[0], total);
        return copy;
    };
    auto expands = [](const std::vector<uint8_t>& b, size_t length) {
        return !ExpandCompactTemplate(b.data(), length).empty();
    };

    EXPECT_FALSE(expands(block, 7)) << "shorter than a header";
    EXPECT_FALSE(ExpandCompactTemplate(nullptr, 100).size());
    EXPECT_FALSE(expands(block, block.size() - 1)) << "total beyond the buffer";
    EXPECT_FALSE(expands(withTotal(7), block.size())) << "total below 8";
    EXPECT_FALSE(expands(withTotal(-1), block.size())) << "negative total";
    EXPECT_FALSE(expands(withTotal(8), block.size())) << "no entry";
    EXPECT_FALSE(expands(withTotal(8 + 922), block.size())) << "less than one entry";
    EXPECT_TRUE(expands(withTotal(8 + 923), block.size())) << "one of the two entries";

    std::vector<uint8_t> huge(92308 + 923, 0);
    std::copy(block.begin(), block.end(), huge.begin());
    WriteLe<int32_t>(&huge[0], 92308 + 923);
    EXPECT_FALSE(expands(huge, huge.size())) << "total above the type's maximum";

    std::vector<uint8_t> otherType = block;
    WriteLe<int32_t>(&otherType[4], 150);
    EXPECT_FALSE(expands(otherType, otherType.size())) << "not a compact type";

    // One invalid impression (3 minutiae) spoils the whole block.
    Impression tooFew = good;
    tooFew.count = 3;
    const std::vector<uint8_t> spoiled =
        MakeBlock(kDeltaCodedPairType, {{2, 0, 0, good, good}, {2, 0, 0, good, tooFew}});
    EXPECT_FALSE(expands(spoiled, spoiled.size())) << "invalid impression";

    // Counts and coordinates are checked before use.
    std::vector<uint8_t> badCount = block;
    badCount[8 + 1 + compact::kCountOffset] = 200;
    EXPECT_FALSE(expands(badCount, badCount.size())) << "count 200";
    std::vector<uint8_t> badY = block;
    badY[8 + 1 + five_bit::kMinutiaeOffset + 1] = 255;
    EXPECT_FALSE(expands(badY, badY.size())) << "y byte 255";
}

TEST(CompactEntry, LayoutOfThePairAndSingleEntries)
{
    const Impression a = Variant(70, 2, 10);
    std::vector<uint8_t> pair(923);
    ASSERT_TRUE(PackCompactEntry(kFiveBitPairType, 8, -300, 513, a, a, pair.data(), pair.size()));
    EXPECT_EQ(pair[0], 8);
    EXPECT_EQ(pair[1], 70);                                   // quality of the first impression
    EXPECT_EQ(ReadLe<int16_t>(&pair[2]), -300);               // x offset in place of byte 9 and 10
    EXPECT_EQ(pair[1 + 461], 70);
    EXPECT_EQ(ReadLe<int16_t>(&pair[2 + 461]), 513);          // y offset in the second impression

    std::vector<uint8_t> single(364);
    ASSERT_TRUE(PackCompactEntry(kDeltaCodedSingleType, 8, -300, 513, a, a, single.data(), single.size()));
    EXPECT_EQ(single[0], 8);
    EXPECT_EQ(ReadLe<int16_t>(&single[1]), -300);
    EXPECT_EQ(ReadLe<int16_t>(&single[3]), 513);
    EXPECT_EQ(single[5], 70);
    EXPECT_EQ(single[6], 2);                                  // byte 9 of the record
    EXPECT_EQ(single[7], 25);

    EXPECT_FALSE(PackCompactEntry(kDeltaCodedSingleType, 8, 0, 0, a, a, single.data(), 363));
    EXPECT_FALSE(PackCompactEntry(150, 8, 0, 0, a, a, pair.data(), pair.size()));
    EXPECT_EQ(compact_entry::EntrySize(161), 923u);
    EXPECT_EQ(compact_entry::EntrySize(162), 466u);
    EXPECT_EQ(compact_entry::EntrySize(164), 719u);
    EXPECT_EQ(compact_entry::EntrySize(165), 364u);
    EXPECT_EQ(compact_entry::EntrySize(150), 0u);
}

} // namespace
} // namespace vela::engine
