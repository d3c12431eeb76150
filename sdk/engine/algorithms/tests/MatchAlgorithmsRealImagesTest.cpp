#include <gtest/gtest.h>

#include <map>
#include <numeric>

#include "AlgorithmsTestSupport.h"
#include "FingerprintPictures.h"
#include "engine/algorithms/DispatchMatchAlgorithm.h"
#include "engine/biodata/XGetBiometricData.h"
#include "engine/records/BiometricData.h"

namespace vela::engine {
namespace {

constexpr int kFingers = 6;
constexpr int kImpressions = 4;   // of the 8 of each finger, to keep the sanitizer build quick

// Builds a block of the type from pictures, each as the given finger code.
struct Shot {
    int finger;
    int impression;
    int code;
};
std::vector<uint8_t> Build(int32_t dataId, const std::vector<Shot>& shots)
{
    std::vector<test::TestEntry> entries;
    for (const Shot& shot : shots) {
        test::TestEntry entry;
        entry.payload = test::FingerprintPicture(shot.finger, shot.impression);
        entry.fingerCode = shot.code;
        entry.impressionIndex = 1;
        entries.push_back(entry);
    }
    return test::BuildDataBlock(dataId, test::BuildChain(entries));
}

// A type-140 block from type-139 blocks of four pictures as codes 1, 2, 6, 7.
std::vector<uint8_t> BuildSlots(const std::vector<std::pair<int, int>>& pictures)
{
    static constexpr int kCodes[] = {1, 2, 6, 7};
    std::vector<test::TestEntry> entries;
    for (size_t i = 0; i < pictures.size(); ++i) {
        test::TestEntry entry;
        entry.payload = Build(139, {{pictures[i].first, pictures[i].second, kCodes[i]}});
        if (entry.payload.empty())
            return {};
        entry.fingerCode = kCodes[i];
        entries.push_back(entry);
    }
    std::vector<uint8_t> chain = test::BuildChain(entries);
    std::vector<uint8_t> out(10884);
    if (XGetBiometricData(140, chain, out) != result::Success)
        return {};
    return out;
}

// The blocks of every picture used, built once for all tests.
struct Blocks {
    std::map<std::pair<int, int>, std::vector<uint8_t>> list;      // type 1
    std::map<std::pair<int, int>, std::vector<uint8_t>> set;       // type 150
};

const Blocks& AllBlocks()
{
    static const Blocks blocks = [] {
        Blocks made;
        for (int f = 1; f <= kFingers; ++f) {
            for (int i = 1; i <= kImpressions; ++i) {
                made.list[{f, i}] = Build(1, {{f, i, 1}});
                made.set[{f, i}] = Build(150, {{f, i, 1}});
            }
        }
        return made;
    }();
    return blocks;
}

class MatchAlgorithmsRealImages : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!std::filesystem::exists(test::FingerprintDir() / "f01_1.bmp"))
            GTEST_SKIP() << "the fingerprint images of the shared test data are not there";
    }

    MatchContextPtr context = MakeMatchContext();

    int32_t Run(int32_t id, const std::vector<uint8_t>& first, const std::vector<uint8_t>& second)
    {
        int32_t score = 0;
        EXPECT_TRUE(DispatchMatchAlgorithm(id, first, second, *context, score));
        return score;
    }
};

TEST_F(MatchAlgorithmsRealImages, EveryAlgorithmVerifiesABlockAgainstItself)
{
    const std::vector<uint8_t> list = Build(1, {{1, 1, 1}});
    const std::vector<uint8_t> set = Build(150, {{1, 1, 1}});
    const std::vector<uint8_t> compact = Build(165, {{1, 1, 1}});
    const std::vector<uint8_t> fivebit = Build(161, {{1, 1, 1}});
    const std::vector<uint8_t> deltaCoded = Build(164, {{1, 1, 1}});
    const std::vector<uint8_t> slots = BuildSlots({{1, 1}, {2, 1}, {3, 1}, {4, 1}});
    for (const auto* block : {&list, &set, &compact, &fivebit, &deltaCoded, &slots})
        ASSERT_FALSE(block->empty());
    // Record 0 of the finger entry, alone in a list, for algorithm 170.
    std::vector<uint8_t> entryRecord = test::MakeBlock(1, {set.begin() + 8, set.begin() + 8 + 672});

    const struct {
        int32_t id;
        const std::vector<uint8_t>* first;
        const std::vector<uint8_t>* second;
    } cases[] = {
        {1, &list, &list},       {2, &list, &list},       {3, &list, &list},       {140, &slots, &slots},
        {150, &set, &set},       {151, &set, &set},       {152, &set, &set},       {153, &set, &set},
        {154, &set, &set},       {155, &set, &set},       {160, &set, &set},       {161, &set, &set},
        {170, &set, &entryRecord}, {180, &fivebit, &fivebit}, {181, &compact, &compact},
        {181, &deltaCoded, &set}, {182, &deltaCoded, &deltaCoded}, {183, &compact, &compact}, {183, &set, &set},
        {191, &set, &set},
    };
    for (const auto& c : cases) {
        const int32_t score = Run(c.id, *c.first, *c.second);
        EXPECT_GE(score, 700) << c.id;
        EXPECT_LE(score, c.id <= 3 ? 65535 : 2000) << c.id;
    }
}

struct Separation {
    double genuineMean = 0;
    double impostorMean = 0;
    int genuineAccepted = 0;     // at or above 450
    int genuinePairs = 0;
    int impostorAccepted = 0;
    int impostorPairs = 0;
};

TEST_F(MatchAlgorithmsRealImages, GenuinePairsScoreAboveImpostorPairs)
{
    const Blocks& blocks = AllBlocks();
    for (int32_t id : {1, 181, 183}) {
        const auto& source = id == 1 ? blocks.list : blocks.set;
        Separation s;
        std::vector<int32_t> genuine;
        std::vector<int32_t> impostor;
        for (const auto& [a, blockA] : source) {
            for (const auto& [b, blockB] : source) {
                if (a == b)
                    continue;
                if (a.first == b.first && a.second < b.second)
                    genuine.push_back(Run(id, blockA, blockB));
                else if (a.first < b.first && a.second <= 2 && b.second <= 2)
                    impostor.push_back(Run(id, blockA, blockB));
            }
        }
        ASSERT_FALSE(genuine.empty());
        ASSERT_FALSE(impostor.empty());
        s.genuinePairs = static_cast<int>(genuine.size());
        s.impostorPairs = static_cast<int>(impostor.size());
        s.genuineMean = std::accumulate(genuine.begin(), genuine.end(), 0.0) / s.genuinePairs;
        s.impostorMean = std::accumulate(impostor.begin(), impostor.end(), 0.0) / s.impostorPairs;
        s.genuineAccepted = static_cast<int>(std::count_if(genuine.begin(), genuine.end(), [](int32_t v) { return v >= 450; }));
        s.impostorAccepted = static_cast<int>(std::count_if(impostor.begin(), impostor.end(), [](int32_t v) { return v >= 450; }));
        std::printf("algorithm %d: genuine mean %.1f (%d of %d at 450 or more), impostor mean %.1f (%d of %d)\n", id,
                    s.genuineMean, s.genuineAccepted, s.genuinePairs, s.impostorMean, s.impostorAccepted,
                    s.impostorPairs);
        RecordProperty("algorithm_" + std::to_string(id) + "_genuine_mean", std::to_string(s.genuineMean));
        RecordProperty("algorithm_" + std::to_string(id) + "_impostor_mean", std::to_string(s.impostorMean));
        EXPECT_GT(s.genuineMean, 2.0 * s.impostorMean + 100.0) << id;
        EXPECT_GT(s.genuineAccepted * 2, s.genuinePairs) << id;
        EXPECT_LE(s.impostorAccepted * 20, s.impostorPairs) << id;
    }
}

} // namespace
} // namespace vela::engine
