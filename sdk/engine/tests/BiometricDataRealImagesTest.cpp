#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>

#include "BiodataTestSupport.h"
#include "FingerprintPictures.h"
#include "engine/biodata/CleanedImageBmp.h"
#include "engine/biodata/XGetBiometricData.h"
#include "engine/biodata/XGetBiometricFeatures.h"
#include "engine/matching/CompareMinutiaeSets.h"
#include "engine/matching/RotateImpression.h"
#include "engine/records/ShiftImpression.h"
#include "engine/records/BiometricData.h"
#include "engine/records/compact/ExpandCompactTemplate.h"

namespace vela::engine {
namespace {

using test::TestEntry;

int32_t Int(const std::vector<uint8_t>& bytes, size_t offset)
{
    return ReadLe<int32_t>(bytes.data() + offset);
}

class RealImages : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!std::filesystem::exists(test::FingerprintDir() / "f01_1.bmp"))
            GTEST_SKIP() << "the fingerprint images of the shared test data are not there";
    }

    // An entry with the picture of finger f, impression i, as finger code `code`.
    static TestEntry Image(int finger, int impression, int code)
    {
        TestEntry e;
        e.payload = test::FingerprintPicture(finger, impression);
        e.fingerCode = code;
        e.impressionIndex = impression;
        return e;
    }

    static ResultCode Build(int32_t dataId, std::vector<uint8_t>& chain, std::vector<uint8_t>& out)
    {
        int32_t max = 0;
        XGetMaxBiometricDataSize(dataId, &max);
        out.assign(static_cast<size_t>(max), 0xEE);
        return XGetBiometricData(dataId, chain, out);
    }

    static ResultCode Build(int32_t dataId, const std::vector<TestEntry>& entries, std::vector<uint8_t>& out)
    {
        std::vector<uint8_t> chain = test::BuildChain(entries);
        return Build(dataId, chain, out);
    }
};

// One type-1 impression of each of the 48 pictures, made once.
class RealImageScores : public RealImages {
protected:
    static void SetUpTestSuite()
    {
        if (!std::filesystem::exists(test::FingerprintDir() / "f01_1.bmp"))
            return;
        for (int finger = 1; finger <= 6; ++finger) {
            for (int impression = 1; impression <= 8; ++impression) {
                std::vector<uint8_t> out;
                const ResultCode code = Build(1, {Image(finger, impression, 1)}, out);
                ASSERT_EQ(code, result::Success) << finger << "_" << impression;
                records_.emplace_back(out.begin() + 8, out.begin() + 8 + 672);
            }
        }
    }

    static std::vector<std::vector<uint8_t>> records_;
};

std::vector<std::vector<uint8_t>> RealImageScores::records_;

TEST_F(RealImageScores, GenuinePairsScoreClearlyAboveImpostorPairs)
{
    ASSERT_EQ(records_.size(), 48u);
    MatchContextPtr context = MakeMatchContext();
    std::vector<int32_t> genuine;
    std::vector<int32_t> impostor;
    for (size_t a = 0; a < records_.size(); ++a) {
        for (size_t b = 0; b < records_.size(); ++b) {
            if (a == b)
                continue;
            const int32_t score =
                CompareMinutiaeSets(records_[a].data(), 672, records_[b].data(), 672, 0, *context);
            (a / 8 == b / 8 ? genuine : impostor).push_back(score);
        }
    }
    auto mean = [](const std::vector<int32_t>& v) {
        return std::accumulate(v.begin(), v.end(), 0.0) / static_cast<double>(v.size());
    };
    const int32_t highestImpostor = *std::max_element(impostor.begin(), impostor.end());
    const int32_t lowestGenuine = *std::min_element(genuine.begin(), genuine.end());
    const auto genuineInOverlap = std::count_if(genuine.begin(), genuine.end(),
                                                [&](int32_t s) { return s <= highestImpostor; });
    const auto genuineAgreeing = std::count_if(genuine.begin(), genuine.end(), [](int32_t s) { return s > 449; });
    const auto impostorAgreeing = std::count_if(impostor.begin(), impostor.end(), [](int32_t s) { return s > 449; });
    // The shared area of the two score histograms (bins of 25): 0 for
    // separate distributions, 1 for equal ones.
    std::vector<double> genuineShare(2001 / 25 + 1, 0.0);
    std::vector<double> impostorShare(genuineShare.size(), 0.0);
    for (int32_t s : genuine)
        genuineShare[std::min<size_t>(s / 25, genuineShare.size() - 1)] += 1.0 / genuine.size();
    for (int32_t s : impostor)
        impostorShare[std::min<size_t>(s / 25, impostorShare.size() - 1)] += 1.0 / impostor.size();
    double overlap = 0.0;
    for (size_t bin = 0; bin < genuineShare.size(); ++bin)
        overlap += std::min(genuineShare[bin], impostorShare[bin]);
    std::printf("genuine: %zu pairs, mean %.1f, lowest %d, %ld above 449\n"
                "impostor: %zu pairs, mean %.1f, highest %d, %ld above 449\n"
                "overlap: histogram overlap %.3f; %ld genuine pairs at or below the highest impostor score\n",
                genuine.size(), mean(genuine), lowestGenuine, static_cast<long>(genuineAgreeing), impostor.size(),
                mean(impostor), highestImpostor, static_cast<long>(impostorAgreeing), overlap,
                static_cast<long>(genuineInOverlap));

    EXPECT_GT(mean(genuine), 449.0);
    EXPECT_LT(mean(impostor), 50.0);
    EXPECT_GT(mean(genuine), 10 * mean(impostor));
    EXPECT_EQ(impostorAgreeing, 0);
    EXPECT_GT(genuineAgreeing, static_cast<long>(genuine.size()) * 6 / 10);
    EXPECT_LT(overlap, 0.1);
}

TEST_F(RealImageScores, RealImpressionsAlignBackFromShiftsAndTurns)
{
    ASSERT_EQ(records_.size(), 48u);
    MatchContextPtr context = MakeMatchContext();
    int turnedAgreeing = 0;
    int turned = 0;
    for (size_t i : {0u, 9u, 18u, 27u, 36u, 45u}) {
        Impression r;
        ASSERT_TRUE(ReadImpression(records_[i].data(), 672, r));
        for (const Impression& moved : {ShiftImpression(r, 1, 0), ShiftImpression(r, -1, 2), ShiftImpression(r, 2, -1)})
            EXPECT_GT(CompareMinutiaeSets(r, moved, 0, *context), 449) << i;
        EXPECT_GT(CompareMinutiaeSets(r, RotateImpression(r, -1), 1, *context), 449) << i;
        // A smooth flow can lead the unturned search to a shift that mimics
        // the turn; the turned maps are then tried too far from the true
        // shift. Most 15-degree turns still align back.
        for (const Rotation& turn : {Rotation{966, 259, 5, -1}, Rotation{966, -259, -5, 1}}) {
            ++turned;
            turnedAgreeing += CompareMinutiaeSets(r, RotateImpression(r, turn), 0, *context) > 449 ? 1 : 0;
        }
    }
    EXPECT_GE(turnedAgreeing, turned - 2);
}

TEST_F(RealImages, SingleListTypesStoreTheirTypeAndMark)
{
    for (int32_t type : {1, 2, 101}) {
        std::vector<uint8_t> out;
        ASSERT_EQ(Build(type, {Image(1, 1, 2), Image(1, 2, 2)}, out), result::Success) << type;
        EXPECT_EQ(Int(out, 4), type == 2 ? 1 : type);
        ASSERT_EQ(Int(out, 0), 8 + 2 * 672);
        for (size_t at : {8u, 8u + 672u}) {
            EXPECT_EQ(Int(out, at), 672);
            EXPECT_EQ(Int(out, at + 4), 1);
            EXPECT_EQ(out[at + 9], type == 2 ? 1 : 18) << type;
            EXPECT_EQ(out[at + 10], 25);
            EXPECT_GT(out[at + 11], 10);
            EXPECT_TRUE(CheckImpressionRecord(out.data() + at, 672));
        }
    }
}

TEST_F(RealImages, AtMostTenImpressionsInAList)
{
    std::vector<TestEntry> entries;
    for (int i = 1; i <= 8; ++i)
        entries.push_back(Image(3, i, 3));
    for (int i = 1; i <= 3; ++i)
        entries.push_back(Image(3, i, 4));
    std::vector<uint8_t> out;
    ASSERT_EQ(Build(1, entries, out), result::Success);
    EXPECT_EQ(Int(out, 0), 8 + 10 * 672);
}

TEST_F(RealImages, TwoListTypes)
{
    for (int32_t type : {10, 11, 110, 111}) {
        std::vector<uint8_t> out;
        // Chain order is not list order: the lower finger code makes list A.
        ASSERT_EQ(Build(type, {Image(2, 1, 5), Image(1, 1, 3), Image(1, 2, 3)}, out), result::Success) << type;
        EXPECT_EQ(Int(out, 4), type < 100 ? 10 : 110);
        ASSERT_EQ(out[8], 2);
        ASSERT_EQ(out[9], 1);
        const int32_t listType = type < 100 ? 1 : 101;
        const uint8_t mark = type == 11 || type == 111 ? 1 : 18;
        EXPECT_EQ(Int(out, 14), 8 + 2 * 672);
        EXPECT_EQ(Int(out, 18), listType);
        const size_t listB = 14 + 8 + 2 * 672;
        EXPECT_EQ(Int(out, listB), 8 + 672);
        EXPECT_EQ(Int(out, listB + 4), listType);
        EXPECT_EQ(Int(out, 0), static_cast<int32_t>(listB + 8 + 672));
        for (size_t at : {22u, 22u + 672u, static_cast<unsigned>(listB + 8)})
            EXPECT_EQ(out[at + 9], mark) << type;
        // List A's score: its two impressions of one finger agree; a list of
        // one has no pair and scores 1000.
        EXPECT_GT(ReadLe<int16_t>(out.data() + 10), 449);
        EXPECT_EQ(ReadLe<int16_t>(out.data() + 12), 1000);
    }
}

TEST_F(RealImages, SubBlockTypesHoldOneImageOfEachFinger)
{
    for (int32_t type : {20, 120}) {
        std::vector<uint8_t> out;
        ASSERT_EQ(Build(type, {Image(4, 1, 7), Image(2, 2, 2), Image(4, 2, 7)}, out), result::Success);
        EXPECT_EQ(Int(out, 4), type);
        size_t at = 8;
        for (int sub = 0; sub < 2; ++sub) {
            const int32_t size = Int(out, at);
            EXPECT_EQ(Int(out, at + 4), type == 20 ? 1 : 101);
            EXPECT_EQ((size - 8) % 672, 0);
            EXPECT_GE(size, 8 + 672);
            EXPECT_LE(size, 8 + 4 * 672);
            for (int32_t r = 8; r < size; r += 672)
                EXPECT_GT(out[at + r + 8], 0) << "only made impressions are kept";
            at += static_cast<size_t>(size);
        }
        EXPECT_EQ(Int(out, 0), static_cast<int32_t>(at));
    }
}

TEST_F(RealImages, FingerSetHoldsFourVariantsPerImage)
{
    std::vector<uint8_t> out;
    ASSERT_EQ(Build(150, {Image(3, 2, 9), Image(1, 1, 4)}, out), result::Success);
    EXPECT_EQ(Int(out, 4), 150);
    ASSERT_EQ(Int(out, 0), 8 + 2 * 2688);
    // Sorted by finger code: finger 4 first.
    for (int entry = 0; entry < 2; ++entry) {
        for (int r = 0; r < 4; ++r) {
            const size_t at = 8 + entry * 2688 + r * 672;
            EXPECT_EQ(Int(out, at + 4), 3);
            EXPECT_EQ(out[at + 9], entry == 0 ? 4 : 9);
            EXPECT_TRUE(CheckImpressionRecord(out.data() + at, 672));
        }
    }
}

TEST_F(RealImages, CompactTypesPackAndExpandBack)
{
    for (int32_t type : {161, 162, 164, 165}) {
        std::vector<uint8_t> chain = test::BuildChain({Image(5, 1, 2), Image(5, 2, 2)});
        std::vector<uint8_t> out;
        ASSERT_EQ(Build(type, chain, out), result::Success) << type;
        const size_t entrySize = type == 161 ? 923 : type == 162 ? 466 : type == 164 ? 719 : 364;
        EXPECT_EQ(Int(out, 4), type);
        ASSERT_EQ(Int(out, 0), static_cast<int32_t>(8 + 2 * entrySize));
        EXPECT_EQ(out[8], 2);
        const int16_t offsetX = ReadLe<int16_t>(chain.data() + image_header::kOffsetXOffset);
        const int16_t offsetY = ReadLe<int16_t>(chain.data() + image_header::kOffsetYOffset);
        if (type == 162 || type == 165) {
            EXPECT_EQ(ReadLe<int16_t>(out.data() + 9), offsetX);
            EXPECT_EQ(ReadLe<int16_t>(out.data() + 11), offsetY);
        } else {
            const size_t packed = type == 161 ? 461 : 359;
            EXPECT_EQ(ReadLe<int16_t>(out.data() + 9 + 1), offsetX);
            EXPECT_EQ(ReadLe<int16_t>(out.data() + 9 + packed + 1), offsetY);
        }
        const std::vector<uint8_t> expanded = ExpandCompactTemplate(out.data(), out.size());
        ASSERT_EQ(expanded.size(), 8 + 2 * 2688u) << type;
        EXPECT_EQ(expanded[8 + 9], 2);
    }
}

TEST_F(RealImages, QualityTypeCarriesMeasuresLimitsAndFourImpressions)
{
    TestEntry e = Image(6, 1, 6);
    e.minQuality = 101;   // no quality reaches it
    e.minSecond = 0;
    e.maxThird = 1000;
    e.maxFourth = -1;     // every measure exceeds it
    std::vector<uint8_t> chain = test::BuildChain({e});
    std::vector<uint8_t> out;
    ASSERT_EQ(Build(139, chain, out), result::Success);
    EXPECT_EQ(Int(out, 0), 2719);
    EXPECT_EQ(Int(out, 4), 139);
    EXPECT_EQ(out[8], 6);
    EXPECT_EQ(out[9], 1);
    EXPECT_EQ(out[10], 0x1 | 0x8);
    EXPECT_EQ(chain[128], out[10]);
    EXPECT_EQ(out[11], chain[image_header::kQualityOffset]);
    EXPECT_EQ(Int(out, 13), Int(chain, image_header::kThirdMeasureOffset));
    EXPECT_EQ(out[21], 101);
    EXPECT_EQ(Int(out, 27), -1);
    for (int r = 0; r < 4; ++r)
        EXPECT_EQ(Int(out, 31 + r * 672), 672);
}

TEST_F(RealImages, TwoImageTypeHoldsEightPlainImpressions)
{
    std::vector<uint8_t> out;
    ASSERT_EQ(Build(167, {Image(2, 3, 1), Image(2, 4, 1)}, out), result::Success);
    EXPECT_EQ(Int(out, 0), 8 + 8 * 672);
    EXPECT_EQ(Int(out, 4), 167);
    for (int r = 0; r < 8; ++r)
        EXPECT_EQ(Int(out, 8 + r * 672 + 4), 1);
}

TEST_F(RealImages, WithoutOutputOnlyHeadersAndCleanedImagesAreWritten)
{
    TestEntry asks = Image(1, 3, 1);
    asks.cleanedSize = 14462;
    TestEntry quiet = Image(1, 4, 1);
    std::vector<uint8_t> chain = test::BuildChain({asks, quiet});
    const std::vector<uint8_t> before = chain;
    ASSERT_EQ(XGetBiometricData(150, chain, {}), result::Success);

    const size_t second = asks.TrueSize();
    for (size_t at : {size_t{0}, second}) {
        EXPECT_EQ(Int(chain, at + 40), 288);   // work width in the ImageParameters
        EXPECT_EQ(Int(chain, at + 44), 400);
        EXPECT_EQ(Int(chain, at + 48), 432);   // scanner 14 above type 100: 432 dpi
    }
    // The cleaned image fills the asking entry's last 14,462 bytes.
    const size_t bmp = second - 14462;
    EXPECT_EQ(chain[bmp], 'B');
    EXPECT_EQ(Int(chain, bmp + 2), 14462);
    EXPECT_EQ(Int(chain, bmp + 38), 17008);
    const auto pixels = chain.begin() + static_cast<std::ptrdiff_t>(bmp + 62);
    EXPECT_GT(std::count(pixels, pixels + 14400, uint8_t{0xFF}), 100) << "no all-white bytes";
    EXPECT_GT(std::count_if(pixels, pixels + 14400, [](uint8_t b) { return b != 0xFF; }), 1000) << "no ridges";
    // The payloads are untouched.
    EXPECT_TRUE(std::equal(before.begin() + 139, before.begin() + 139 + static_cast<std::ptrdiff_t>(asks.payload.size()),
                           chain.begin() + 139));
}

TEST_F(RealImages, ImageQualityMeasure)
{
    const std::vector<uint8_t> bmp = test::FingerprintPicture(1, 1);
    std::vector<uint8_t> work(kImageFeaturesWorkSize);
    int32_t value = -1;
    ASSERT_EQ(XGetBiometricFeatures(bmp, 8, &value, 14, 150, work), result::Success);
    EXPECT_GT(value, 0);
    EXPECT_LE(value, 100);

    EXPECT_EQ(XGetBiometricFeatures(bmp, 8, &value, 14, 150, std::span<uint8_t>(work).first(819199)),
              result::WorkBufferUnavailable);
    std::vector<uint8_t> cut(bmp.begin(), bmp.end() - 1);
    EXPECT_EQ(XGetBiometricFeatures(cut, 8, &value, 14, 150, work), result::BadChainEntrySize);
    EXPECT_EQ(value, 0);
}

TEST(BiometricDataQualityTest, NoImpressionGivesBadQualityAndTotalZero)
{
    // A blank picture: cleaned, but nothing to extract.
    std::vector<uint8_t> chain = test::BuildChain({TestEntry{}});
    std::vector<uint8_t> out(6728, 0xEE);
    EXPECT_EQ(XGetBiometricData(1, chain, out), result::BadQuality);
    EXPECT_EQ(Int(out, 0), 0);

    std::vector<uint8_t> twoFingers(13470, 0xEE);
    TestEntry other;
    other.fingerCode = 2;
    chain = test::BuildChain({TestEntry{}, other});
    EXPECT_EQ(XGetBiometricData(10, chain, twoFingers), result::BadQuality);
    EXPECT_EQ(Int(twoFingers, 0), 0);
}

} // namespace
} // namespace vela::engine
