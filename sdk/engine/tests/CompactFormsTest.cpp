#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "EngineTestSupport.h"
#include "engine/records/compact/BlockDeltaCode.h"
#include "engine/records/compact/BlockSpiralOrder.h"
#include "engine/records/compact/DeltaCodedImpression.h"
#include "engine/records/compact/FiveBitImpression.h"

namespace vela::engine {
namespace {

using test::FromHex;
using test::MakeImpression;

// Background all round, a patch of directions in rows 8..16 and columns
// 4..13 (with one 60 and one odd 59), and eight minutiae of which three
// cannot be kept: x 133, direction 24 and y 195.
Impression HandBuilt()
{
    Impression r = MakeImpression(77, 3,
                                  {{5, 5, 0}, {132, 194, 23}, {133, 50, 4}, {60, 100, 16}, {20, 30, 24},
                                   {70, 80, 15}, {10, 195, 7}, {100, 150, 9}});
    for (int row = 8; row <= 16; ++row) {
        for (int column = 4; column <= 13; ++column)
            r.blocks[row * kBlockColumns + column] = static_cast<uint8_t>((20 + row + 2 * column) % 60);
    }
    r.blocks[12 * kBlockColumns + 8] = 60;
    r.blocks[10 * kBlockColumns + 5] = 59;
    return r;
}

const std::string kHandBuiltFiveBit =
    "4d031905de7befbdf7de7befbdf7de7befbdf7de7befbdf7de7befbdf7de7bef"
    "bdf7de7befbdf7de7befbdf7de7befbdf7de7befbdf7de7befbdf7de7befbdf7"
    "de7befbdf7de7befbdf7de7befbdf7de7befbdf7de7befbdf7de7befbdf7de7b"
    "2f27adf6e2acb7f7de7befbd9cb4da8bb3dede7befbdf7b3577b71d69b7befbd"
    "f7de4f5aedc5596feebdf7de7b4fabbd3eebcdbbf7de7bef3dadf6e2ac37efde"
    "7befbdf7d55e9cf5e61d78efbdf7de577b71d69b77e0bdf7de7b6f2fce7af30e"
    "82f7de7befbdf7de7befbdf7de7befbdf7de7befbdf7de7befbdf7de7befbdf7"
    "de7befbdf7de7befbdf7de7befbdf7de7befbdf7de7befbdf7de7befbdf7de7b"
    "efbdf7de7befbdf7de7befbdf7de7befbdf7de7befbdf7de7befbdf7de030000"
    "07ffbdb75f0f414b5f9190000000000000000000000000000000000000000000"
    "0000000000000000000000000000000000000000000000000000000000000000"
    "0000000000000000000000000000000000000000000000000000000000000000"
    "0000000000000000000000000000000000000000000000000000000000000000"
    "0000000000000000000000000000000000000000000000000000000000000000"
    "00000000000000000000000000";

const std::string kHandBuiltDeltaCoded =
    "4d0319056dbbe2426dbff7de7bef1d42dbb6ed3a98df7befbdf75e11d6d2b66d"
    "bb2260dc7befbdf75e0760655dd74adbb68b03a0e3de7befbd9703c062dab66d"
    "170600e4dee3de7bef2500000000000000000000000000000000000000000000"
    "0000000000000000000000000000000000000000000000000000000000000000"
    "0000000000000000000000000000000000000000000000000000000000000000"
    "000000000000000000000000000000000000000000000000000007ffbdb75f0f"
    "414b5f9190000000000000000000000000000000000000000000000000000000"
    "0000000000000000000000000000000000000000000000000000000000000000"
    "0000000000000000000000000000000000000000000000000000000000000000"
    "0000000000000000000000000000000000000000000000000000000000000000"
    "0000000000000000000000000000000000000000000000000000000000000000"
    "00000000000000";

std::vector<uint8_t> PackFiveBit(const Impression& r)
{
    std::vector<uint8_t> packed(five_bit::kSize, 0xAA);
    PackFiveBitImpression(r, std::span<uint8_t, five_bit::kSize>(packed.data(), packed.size()));
    return packed;
}

std::vector<uint8_t> PackDelta(const Impression& r)
{
    std::vector<uint8_t> packed(delta_coded::kSize, 0xAA);
    PackCompactImpression(r, std::span<uint8_t, delta_coded::kSize>(packed.data(), packed.size()));
    return packed;
}

bool UnpackFiveBit(const std::vector<uint8_t>& packed, Impression& out)
{
    return UnpackFiveBitImpression(std::span<const uint8_t, five_bit::kSize>(packed.data(), five_bit::kSize), out);
}

bool UnpackDelta(const std::vector<uint8_t>& packed, Impression& out)
{
    return UnpackCompactImpression(std::span<const uint8_t, delta_coded::kSize>(packed.data(), delta_coded::kSize),
                                   out);
}

TEST(CompactForms, GoldenBytesOfAHandBuiltImpression)
{
    EXPECT_EQ(PackFiveBit(HandBuilt()), FromHex(kHandBuiltFiveBit));
    EXPECT_EQ(PackDelta(HandBuilt()), FromHex(kHandBuiltDeltaCoded));

    // The record-level calls write the same bytes.
    const std::vector<uint8_t> record = test::ToRecord(HandBuilt());
    std::vector<uint8_t> packed(delta_coded::kSize);
    ASSERT_TRUE(PackCompactImpression(record.data(), record.size(), packed.data(), packed.size()));
    EXPECT_EQ(packed, FromHex(kHandBuiltDeltaCoded));
    EXPECT_FALSE(PackCompactImpression(record.data(), record.size(), packed.data(), packed.size() - 1));
    packed.assign(five_bit::kSize, 0);
    ASSERT_TRUE(PackFiveBitImpression(record.data(), record.size(), packed.data(), packed.size()));
    EXPECT_EQ(packed, FromHex(kHandBuiltFiveBit));
    EXPECT_FALSE(PackFiveBitImpression(record.data(), record.size() - 1, packed.data(), packed.size()));
}

TEST(CompactForms, UnpackedRecordsTakeKindThreeAndTheHeaderBytes)
{
    for (const bool fiveBit : {true, false}) {
        const std::vector<uint8_t> packed =
            fiveBit ? FromHex(kHandBuiltFiveBit) : FromHex(kHandBuiltDeltaCoded);
        std::vector<uint8_t> record(impression::kSize, 0xEE);
        ASSERT_TRUE(fiveBit ? UnpackFiveBitImpression(packed.data(), packed.size(), record.data(), record.size())
                            : UnpackCompactImpression(packed.data(), packed.size(), record.data(), record.size()));
        Impression r;
        ASSERT_TRUE(ReadImpression(record.data(), record.size(), r));
        EXPECT_EQ(r.recordSize, 672);
        EXPECT_EQ(r.kind, 3);
        EXPECT_EQ(r.quality, 77);
        EXPECT_EQ(r.fingerCode, 3);
        EXPECT_EQ(r.blockRows, 25);
        ASSERT_EQ(r.count, 5);
        EXPECT_EQ(r.x[1], 132);
        EXPECT_EQ(r.y[1], 194);
        EXPECT_EQ(r.direction[1], 23);
        EXPECT_EQ(r.x[4], 100);
        EXPECT_EQ(r.direction[4], 9);
        EXPECT_EQ(r.x[5], 0);
        EXPECT_TRUE(CheckImpressionRecord(record.data(), record.size()));
    }
}

// The minutiae a compact form keeps, in order.
std::vector<test::Minutia> Kept(const Impression& r)
{
    std::vector<test::Minutia> kept;
    for (int i = 0; i < r.count; ++i) {
        if (r.x[i] >= 5 && r.x[i] <= 132 && r.y[i] >= 5 && r.y[i] <= 194 && r.direction[i] < 24)
            kept.push_back({r.x[i], r.y[i], r.direction[i]});
    }
    return kept;
}

void ExpectMinutiae(const Impression& r, const std::vector<test::Minutia>& expected)
{
    ASSERT_EQ(r.count, expected.size());
    for (size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(r.x[i], expected[i].x) << i;
        EXPECT_EQ(r.y[i], expected[i].y) << i;
        EXPECT_EQ(r.direction[i], expected[i].direction) << i;
    }
    for (size_t i = expected.size(); i < kMaxMinutiae; ++i)
        EXPECT_EQ(r.x[i] | r.y[i] | r.direction[i], 0);
}

// Random impressions: minutiae anywhere on the map (some outside what the
// compact forms keep), blocks either a smooth field or noise.
Impression RandomImpression(std::mt19937& random, bool smooth)
{
    Impression r;
    r.quality = static_cast<uint8_t>(1 + random() % 100);
    r.fingerCode = static_cast<uint8_t>(random() % 11);
    r.count = static_cast<uint8_t>(random() % 71);
    for (int i = 0; i < r.count; ++i) {
        r.x[i] = static_cast<uint8_t>(random() % 144);
        r.y[i] = static_cast<uint8_t>(random() % 200);
        r.direction[i] = static_cast<uint8_t>(random() % 26);
    }
    const int base = static_cast<int>(random() % 60);
    for (int block = 0; block < kBlockCount; ++block) {
        const int row = block / kBlockColumns;
        const int column = block % kBlockColumns;
        if (smooth)
            r.blocks[block] = static_cast<uint8_t>(row < 2 || row > 22 ? 61 : (base + row / 4 + column / 6) % 60);
        else
            r.blocks[block] = static_cast<uint8_t>(random() % 62);
    }
    return r;
}

TEST(CompactForms, FiveBitRoundTripLosesOnlyTheDocumentedDetail)
{
    std::mt19937 random(11);
    for (int trial = 0; trial < 200; ++trial) {
        const Impression source = RandomImpression(random, trial % 2 == 0);
        Impression back;
        ASSERT_TRUE(UnpackFiveBit(PackFiveBit(source), back));
        EXPECT_EQ(back.quality, source.quality);
        EXPECT_EQ(back.fingerCode, source.fingerCode);
        for (int block = 0; block < kBlockCount; ++block) {
            const uint8_t value = source.blocks[block];
            // 60 becomes 61; odd directions drop to the even one below.
            const uint8_t expected = value >= 60 ? kNoDirection : static_cast<uint8_t>(value & ~1);
            ASSERT_EQ(back.blocks[block], expected) << "trial " << trial << " block " << block;
        }
        ExpectMinutiae(back, Kept(source));
    }
}

// How many sequence values survive the 1,440-bit cut: a code is taken only
// when it ends before the last bit.
int SurvivingValues(const Impression& r)
{
    const auto& sequence = BlockSpiralSequence();
    int bits = 6;
    for (int i = 1; i < kBlockCount; ++i) {
        const int difference = (r.blocks[sequence[i]] - r.blocks[sequence[i - 1]] + 124) % 62;
        bits += BlockDeltaCode(difference).length;
        if (bits >= 1440)
            return i;
    }
    return kBlockCount;
}

TEST(CompactForms, DeltaCodedRoundTripKeepsDirectionsUntilTheCut)
{
    std::mt19937 random(12);
    int cut = 0;
    for (int trial = 0; trial < 200; ++trial) {
        const Impression source = RandomImpression(random, trial % 2 == 0);
        Impression back;
        ASSERT_TRUE(UnpackDelta(PackDelta(source), back));
        const int surviving = SurvivingValues(source);
        cut += surviving < kBlockCount ? 1 : 0;
        const auto& sequence = BlockSpiralSequence();
        for (int i = 0; i < kBlockCount; ++i) {
            const uint8_t expected = i < surviving ? source.blocks[sequence[i]] : kNoDirection;
            ASSERT_EQ(back.blocks[sequence[i]], expected) << "trial " << trial << " position " << i;
        }
        ExpectMinutiae(back, Kept(source));
    }
    EXPECT_GT(cut, 50);   // the noisy maps need far more than 1,440 bits
    EXPECT_LT(cut, 150);  // the smooth ones fit
}

// A map whose codes reach exactly `bits` bits at one code: the first value
// (6 bits), then differences of 28 (12 bits each), then differences of 0
// (1 bit each) up to the end.
Impression MapEndingAt(int bits, int& position)
{
    Impression r = MakeImpression(50, 1, {});
    const auto& sequence = BlockSpiralSequence();
    int used = 6;
    int value = 0;
    for (int i = 0; i < kBlockCount; ++i) {
        if (i > 0 && used + 12 <= bits - 30) {
            value = (value + 28) % 62;
            used += 12;
        } else if (i > 0) {
            used += 1;
        }
        if (used == bits)
            position = i;
        r.blocks[sequence[i]] = static_cast<uint8_t>(value);
    }
    return r;
}

TEST(CompactForms, ACodeCompletedByThe1440thBitIsNotTaken)
{
    const auto& sequence = BlockSpiralSequence();
    int last = -1;
    const Impression atEnd = MapEndingAt(1440, last);
    ASSERT_GT(last, 0);
    Impression back;
    ASSERT_TRUE(UnpackDelta(PackDelta(atEnd), back));
    EXPECT_EQ(back.blocks[sequence[last - 1]], atEnd.blocks[sequence[last - 1]]);
    EXPECT_EQ(back.blocks[sequence[last]], kNoDirection);
    EXPECT_EQ(back.blocks[0], kNoDirection);  // the end of the spiral

    const Impression oneEarlier = MapEndingAt(1439, last);
    ASSERT_TRUE(UnpackDelta(PackDelta(oneEarlier), back));
    EXPECT_EQ(back.blocks[sequence[last]], oneEarlier.blocks[sequence[last]]);
    EXPECT_EQ(back.blocks[sequence[last + 1]], kNoDirection);
}

TEST(CompactForms, ZeroPaddingStopsAtThe450thValue)
{
    // An all-zero stream is a first value of 0 followed by differences of 0
    // for as long as it lasts; only 450 of them may land in the map.
    std::vector<uint8_t> packed(delta_coded::kSize, 0);
    packed[compact::kBlockRowsOffset] = 25;
    Impression back;
    ASSERT_TRUE(UnpackDelta(packed, back));
    for (uint8_t value : back.blocks)
        EXPECT_EQ(value, 0);
    EXPECT_EQ(back.count, 0);
}

TEST(CompactForms, UnpackingRefusesWhatNoPackerWrites)
{
    for (const bool fiveBit : {true, false}) {
        std::vector<uint8_t> good = fiveBit ? FromHex(kHandBuiltFiveBit) : FromHex(kHandBuiltDeltaCoded);
        const size_t minutiae = fiveBit ? five_bit::kMinutiaeOffset : delta_coded::kMinutiaeOffset;
        Impression out;
        ASSERT_TRUE(fiveBit ? UnpackFiveBit(good, out) : UnpackDelta(good, out));

        std::vector<uint8_t> bad = good;
        bad[compact::kCountOffset] = 71;
        EXPECT_FALSE(fiveBit ? UnpackFiveBit(bad, out) : UnpackDelta(bad, out)) << "count 71";

        bad = good;
        bad[compact::kCountOffset] = 70;  // zero-filled minutiae decode to y = 5: acceptable
        EXPECT_TRUE(fiveBit ? UnpackFiveBit(bad, out) : UnpackDelta(bad, out)) << "count 70";

        for (const size_t yByte : {minutiae + 1, minutiae + 4}) {  // b of an even and an odd minutia
            bad = good;
            bad[yByte] = 190;
            EXPECT_FALSE(fiveBit ? UnpackFiveBit(bad, out) : UnpackDelta(bad, out)) << "y byte 190";
            bad[yByte] = 189;
            EXPECT_TRUE(fiveBit ? UnpackFiveBit(bad, out) : UnpackDelta(bad, out)) << "y byte 189";
        }

        // A direction over 23 wraps: high bit and nibble 15 make 31, taken as 7.
        bad = good;
        bad[minutiae] |= 0x80;
        bad[minutiae + 2] |= 0xF0;
        ASSERT_TRUE(fiveBit ? UnpackFiveBit(bad, out) : UnpackDelta(bad, out));
        EXPECT_EQ(out.direction[0], 7);
    }
}

} // namespace
} // namespace vela::engine
