// The minutiae-pair comparison and the ISO comparison on templates built
// from the record layout: scores of related and unrelated views, and hostile
// templates that must give -7 or a bounded score, never a crash.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/standard/PairScore.h"
#include "engine/standard/StandardTemplates.h"
#include "engine/standard/tests/StandardRecordBuilders.h"

namespace vela::engine::test {
namespace {

constexpr double kIsoUnitsPerPixel = 1000.0 / 197;

std::vector<StdMinutia> Moved(std::vector<StdMinutia> m, int dx, int dy)
{
    for (StdMinutia& p : m) {
        p.x = static_cast<uint16_t>(p.x + dx);
        p.y = static_cast<uint16_t>(p.y + dy);
    }
    return m;
}

TEST(MapScoreToScale, BreakpointsAndTheExtendedLastSegment)
{
    const struct {
        int32_t raw, scaled;
    } cases[] = {{-5, 0}, {0, 0}, {1, 50}, {2, 100}, {8, 150}, {14, 200}, {36, 300}, {58, 400}, {3000, 13772}};
    for (const auto& c : cases)
        EXPECT_EQ(MapScoreToScale(c.raw, kMatchScaleBreaks), c.scaled) << c.raw;
}

TEST(MapIncitsScore, ScaleBreakpoints)
{
    const struct {
        int32_t raw, scaled;
    } cases[] = {{0, 0}, {54, 100}, {81, 150}, {108, 200}, {950, 900}, {999, 998}, {1000, 1000}, {3000, 1000}};
    for (const auto& c : cases)
        EXPECT_EQ(MapIncitsScore(c.raw), c.scaled) << c.raw;
}

TEST(CompareIsoTemplates, SameViewScoresHighShiftedViewStillMatchesOthersDoNot)
{
    const auto minutiae = GridMinutiae(40, kIsoUnitsPerPixel, 7);
    const auto a = IsoTemplateBytes({{3, 80, minutiae}});
    const auto shifted = IsoTemplateBytes({{3, 80, Moved(minutiae, 150, -100)}});
    const auto other = IsoTemplateBytes({{3, 80, GridMinutiae(40, kIsoUnitsPerPixel, 99)}});
    const auto otherFinger = IsoTemplateBytes({{4, 80, minutiae}});
    const int32_t self = CompareIsoTemplates(a, a);
    EXPECT_GE(self, 1400);
    EXPECT_LE(self, 3000);
    EXPECT_EQ(CompareIsoTemplates(a, shifted), self);
    EXPECT_LT(CompareIsoTemplates(a, other), 400);
    EXPECT_EQ(CompareIsoTemplates(a, otherFinger), 0); // no shared finger position
    // The best of the pairs of views of one finger counts.
    const auto two = IsoTemplateBytes({{4, 80, GridMinutiae(30, kIsoUnitsPerPixel, 5)}, {3, 80, minutiae}});
    EXPECT_EQ(CompareIsoTemplates(two, a), self);
}

TEST(CompareIsoTemplates, SymmetricScoreTakesTheStrongerDirectionOrTheMean)
{
    PairScorer<52> scorer;
    DecodedIsoView a, b;
    a.finger = b.finger = 1;
    for (int i = 0; i < 30; ++i) {
        a.x[i] = b.x[i] = 10 + (i % 6) * 22 + (i * 7) % 5;
        a.y[i] = b.y[i] = 12 + (i / 6) * 35 + (i * 3) % 7;
        a.angle[i] = b.angle[i] = (i * 37) % 120;
    }
    a.count = b.count = 30;
    b.count = 18; // b holds part of a
    const int32_t forward = scorer.MatchMinutiae(a, b), backward = scorer.MatchMinutiae(b, a);
    const int32_t hi = std::max(forward, backward), lo = std::min(forward, backward);
    const int32_t expected = forward < 190 ? forward / 2 : (hi >= 900 ? hi : (hi + lo) / 2);
    EXPECT_EQ(scorer.ScorePair(a, b), expected);
    MatchStatistics s;
    scorer.MatchMinutiae(a, a, &s);
    EXPECT_EQ(s.rotation, 0);
    EXPECT_EQ(s.shiftX, 0);
    EXPECT_EQ(s.shiftY, 0);
    EXPECT_EQ(s.consistentPairs, s.assignedPairs);
}

TEST(CompareIsoTemplates, EmptyCoincidentAndCornerViewsScoreWithinRange)
{
    PairScorer<52> scorer;
    DecodedIsoView empty, stacked, corners;
    stacked.count = 52;
    corners.count = 52;
    for (int i = 0; i < 52; ++i) {
        stacked.x[i] = 70, stacked.y[i] = 99, stacked.angle[i] = i % 120;
        corners.x[i] = (i % 2) * 143, corners.y[i] = ((i / 2) % 2) * 199, corners.angle[i] = (i * 29) % 120;
    }
    for (const auto* a : {&empty, &stacked, &corners})
        for (const auto* b : {&empty, &stacked, &corners}) {
            const int32_t score = scorer.ScorePair(*a, *b);
            EXPECT_GE(score, 0);
            EXPECT_LE(score, 3000);
        }
    EXPECT_EQ(scorer.ScorePair(stacked, stacked), 0);
}

TEST(CompareIsoTemplates, MalformedTemplatesGiveMinusSeven)
{
    const auto m = GridMinutiae(20, kIsoUnitsPerPixel);
    const auto good = IsoTemplateBytes({{2, 70, m}});
    const auto twoViews = IsoTemplateBytes({{2, 70, m}, {5, 60, m}});
    struct Case {
        std::string name;
        std::vector<uint8_t> bytes;
    };
    std::vector<Case> cases = {
        {"one view with extended data", IsoTemplateBytes({{2, 70, m}, {5, 60, m}}, 2)},
        {"three views", [&] { auto t = twoViews; t[38] = 2; return t; }()},
        {"record length disagrees", [&] { auto t = good; SetBe32(t, 24, static_cast<uint32_t>(t.size() - 15)); return t; }()},
        {"total past the buffer", [&] { auto t = good; SetBe32(t, 0, static_cast<uint32_t>(t.size() + 1)); return t; }()},
        {"position 0", IsoTemplateBytes({{0, 70, m}})},
        {"position 11", IsoTemplateBytes({{11, 70, m}})},
        {"second position 11", IsoTemplateBytes({{2, 70, m}, {11, 60, m}})},
        {"3 minutiae", IsoTemplateBytes({{2, 70, GridMinutiae(3, kIsoUnitsPerPixel)}})},
        {"53 minutiae", IsoTemplateBytes({{2, 70, GridMinutiae(53, kIsoUnitsPerPixel)}})},
        {"count past the end", IsoTemplateBytes({{2, 70, m, 0, 21}})},
        {"second count past the end", IsoTemplateBytes({{2, 70, m}, {5, 60, m, 0, 21}})},
        {"span too wide", [&] { auto v = m; v[0].x = 0; v[1].x = 16383; return IsoTemplateBytes({{2, 70, v}}); }()},
        {"span too tall", [&] { auto v = m; v[0].y = 0; v[1].y = 0x3FFF; return IsoTemplateBytes({{2, 70, v}}); }()},
    };
    for (size_t cut = 0; cut < good.size(); cut += (cut < 60 ? 1 : 17))
        cases.push_back({"cut at " + std::to_string(cut), std::vector<uint8_t>(good.begin(), good.begin() + cut)});
    for (size_t cut = 0; cut < twoViews.size(); cut += 7)
        cases.push_back({"two views cut at " + std::to_string(cut), std::vector<uint8_t>(twoViews.begin(), twoViews.begin() + cut)});
    for (const Case& c : cases) {
        EXPECT_EQ(CompareIsoTemplates(c.bytes, good), standard_result::Malformed) << c.name;
        EXPECT_EQ(CompareIsoTemplates(good, c.bytes), standard_result::Malformed) << c.name;
    }
    // Accepted: bytes after a single view, the top bits of Y (masked), two exact views.
    EXPECT_GT(CompareIsoTemplates(IsoTemplateBytes({{2, 70, m}}, 9), good), 0);
    auto topBits = m;
    for (auto& p : topBits)
        p.y |= 0xC000;
    EXPECT_EQ(CompareIsoTemplates(IsoTemplateBytes({{2, 70, topBits}}), good), CompareIsoTemplates(good, good));
    EXPECT_GE(CompareIsoTemplates(twoViews, good), 0);
    // Minutiae on the corners of the grid (spans of 143 and 199 half pixels).
    std::vector<StdMinutia> corners;
    for (int i = 0; i < 52; ++i)
        corners.push_back({i % 2, static_cast<uint16_t>(i % 2 ? 1682 : 0), static_cast<uint16_t>(i / 2 % 2 ? 2341 : 0),
                           static_cast<uint8_t>(i * 41)});
    const auto cornerTemplate = IsoTemplateBytes({{2, 70, corners}});
    for (const auto* other : {&good, &cornerTemplate}) {
        const int32_t score = CompareIsoTemplates(cornerTemplate, *other);
        EXPECT_GE(score, 0);
        EXPECT_LE(score, 3000);
    }
}

} // namespace
} // namespace vela::engine::test
