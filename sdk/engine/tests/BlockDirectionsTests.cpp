#include <gtest/gtest.h>

#include "ExtractionTestSupport.h"

namespace vela::engine {
namespace {

using namespace extraction_test;

int StepDistance(int a, int b)
{
    const int d = std::abs(a - b);
    return std::min(d, 60 - d);
}

TEST(BlockDirections, GratingsGiveTheirDirectionInEveryBlock)
{
    for (int direction = 0; direction < 60; ++direction) {
        SCOPED_TRACE(direction);
        WorkImage image = GratingWorkImage(direction, 8.0);
        ExtractionRun run;
        run.Directions(image);
        int off = 0;
        for (int r = 0; r < kBlockRows; ++r)
            for (int c = 0; c < kBlockColumns; ++c)
                off += run.Block(r, c) >= 60 || StepDistance(run.Block(r, c), direction) > 1;
        EXPECT_EQ(off, 0);
        EXPECT_EQ(run.Quality(), 100);
    }
}

TEST(BlockDirections, BlankImageHasNoDirectionAndQualityZero)
{
    WorkImage image = BlankWorkImage();
    ExtractionRun run;
    run.Directions(image);
    for (int b = 0; b < kBlockCount; ++b)
        ASSERT_EQ(run.record[impression::kBlocksOffset + b], kNoDirection);
    EXPECT_EQ(run.Quality(), 0);
    EXPECT_EQ(ReadLe<int32_t>(run.record.data()), 672);
    EXPECT_EQ(ReadLe<int32_t>(run.record.data() + 4), 1);
    EXPECT_EQ(run.record[9], 18);
    EXPECT_EQ(run.record[10], 25);
}

TEST(BlockDirections, RecordIsRefusedWhenABufferIsShort)
{
    WorkImage image = BlankWorkImage();
    std::vector<uint8_t> record(671, 0xAA), work(extraction_work::kSize);
    EXPECT_FALSE(BuildBlockDirectionMap(image, record, work));
    EXPECT_EQ(record[0], 0xAA);
    record.resize(672);
    work.resize(extraction_work::kSize - 1);
    EXPECT_FALSE(BuildBlockDirectionMap(image, record, work));
}

TEST(BlockDirections, RawDirectionOfGradientSums)
{
    struct Case {
        GradientSums sums;
        uint8_t expected;
    };
    const Case cases[] = {
        {{0, 0, 0}, kNoDirection},
        {{24'997'499, 24'997'499, 0}, kNoDirection},   // just below the energy gate
        {{24'997'500, 24'997'500, -1}, 15},             // ties: 45 degrees for negative Gxy
        {{24'997'500, 24'997'500, 1}, 45},              // 135 degrees otherwise
        {{24'997'500, 24'997'500, 0}, 45},
        {{60'000'000, 0, 0}, 30},                       // gradient along the rows: ridges along the columns
        {{0, 60'000'000, 0}, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.sums.gxx << " " << c.sums.gyy << " " << c.sums.gxy);
        EXPECT_EQ(RawBlockDirection(c.sums), c.expected);
    }
}

TEST(BlockDirections, QualityIsTheAgreeingShareSquaredOverTheGrid)
{
    BlockDirectionMap raw;
    raw.fill(kNoDirection);
    EXPECT_EQ(BlockDirectionQuality(raw, SmoothBlockDirections(raw)), 0);

    raw.fill(20);
    EXPECT_EQ(BlockDirectionQuality(raw, SmoothBlockDirections(raw)), 100);

    // Half the grid directed, all agreeing: 100 x n / 450.
    for (int b = 0; b < kBlockCount / 2; ++b)
        raw[b] = kNoDirection;
    EXPECT_EQ(BlockDirectionQuality(raw, SmoothBlockDirections(raw)), 50);

    // Directions 0 and 59 are neighbours across the wrap.
    raw.fill(0);
    for (int b = 0; b < kBlockCount; b += 2)
        raw[b] = 59;
    const BlockDirectionMap smoothed = SmoothBlockDirections(raw);
    for (int b = 0; b < kBlockCount; ++b)
        EXPECT_TRUE(smoothed[b] <= 1 || smoothed[b] >= 58) << b;
    EXPECT_EQ(BlockDirectionQuality(raw, smoothed), 100);
}

TEST(BlockDirections, SmoothingFollowsTheMajorityAndCountsDisagreement)
{
    BlockDirectionMap raw;
    raw.fill(10);
    raw[5 * kBlockColumns + 5] = 40; // one block off by 30 steps
    const BlockDirectionMap smoothed = SmoothBlockDirections(raw);
    EXPECT_EQ(smoothed[5 * kBlockColumns + 5], 10);
    // 449 of 450 agree: round(100 x 449^2 / 450^2) = 100 (99.56); the odd one does not.
    EXPECT_EQ(BlockDirectionQuality(raw, smoothed), 100);
    // Two halves 20 steps apart: the two rows along the seam smooth to a
    // direction 5 steps from their own, so 414 of 450 blocks agree.
    for (int b = 0; b < kBlockCount; ++b)
        raw[b] = b < 13 * kBlockColumns ? 10 : 30;
    const BlockDirectionMap seam = SmoothBlockDirections(raw);
    EXPECT_EQ(seam[12 * kBlockColumns + 7], 15);
    EXPECT_EQ(seam[13 * kBlockColumns + 7], 25);
    EXPECT_EQ(BlockDirectionQuality(raw, seam), 85);
}

} // namespace
} // namespace vela::engine
