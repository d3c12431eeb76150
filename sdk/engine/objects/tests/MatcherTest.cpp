// The matcher over a stand-in engine: which algorithm each pair of blocks
// gets, how scores become answers, and what reaches the caller.
#include <gtest/gtest.h>

#include "FakeMatchEngine.h"
#include "engine/objects/MatcherImpl.h"

namespace vela::math {
namespace {

using base::smart_ptr;
using testing::FakeMatchEngine;
using testing::ScoredTemplate;
using testing::ScoredXTemplate;
namespace ex = base::exceptions;

smart_ptr<MatcherImpl> NewMatcher(int32_t level, int32_t speed) {
  return smart_ptr<MatcherImpl>(new MatcherImpl(level, speed));
}

TEST(Matcher, MatchSpeedChoosesTheAlgorithmForFingerSets) {
  FakeMatchEngine engine;
  const smart_ptr<MatcherImpl> matcher = NewMatcher(SECURITY_LEVEL_LOW, MATCH_SPEED_QUICK);
  EXPECT_EQ(matcher->GetMatchAlgorithmId(), 183);
  matcher->Match(ScoredTemplate(0, 165), ScoredTemplate(0, 150));
  matcher->SetMatchSpeed(MATCH_SPEED_THOROUGH);
  EXPECT_EQ(matcher->GetMatchSpeed(), MATCH_SPEED_THOROUGH);
  EXPECT_EQ(matcher->GetMatchAlgorithmId(), 181);
  matcher->Match(ScoredXTemplate(0, 150), ScoredTemplate(0, 165));
  // Lists of impressions have their own algorithm whatever the speed.
  matcher->Match(ScoredTemplate(0, 1), ScoredTemplate(0, 1));
  EXPECT_EQ(engine.Algorithms(), (std::vector<int32_t>{183, 181, 1}));
}

TEST(Matcher, OnlyTheTwoSpeedsAreAccepted) {
  for (int32_t speed : {0, 3, -1}) {
    SCOPED_TRACE(speed);
    try {
      Create_Matcher(SECURITY_LEVEL_LOW, MatchSpeed(speed));
      ADD_FAILURE() << "matcher made";
    } catch (const ex::invalid_argument& e) {
      EXPECT_STREQ(e.what(), "Invalid argument");
    }
  }
  const smart_ptr<MatcherImpl> matcher = NewMatcher(SECURITY_LEVEL_HIGH, MATCH_SPEED_THOROUGH);
  EXPECT_THROW(matcher->SetMatchSpeed(3), ex::invalid_argument);
  // A refused speed leaves the matcher as it was.
  EXPECT_EQ(matcher->GetMatchSpeed(), MATCH_SPEED_THOROUGH);
  EXPECT_EQ(matcher->GetMatchAlgorithmId(), 181);
  matcher->SetSecurityLevel(42);
  EXPECT_EQ(matcher->GetSecurityLevel(), 42);
}

TEST(Matcher, AListOfImpressionsMeetsOnlyAnother) {
  FakeMatchEngine engine;
  const smart_ptr<Matcher> matcher = Create_Matcher(SECURITY_LEVEL_LOW, MATCH_SPEED_QUICK);
  for (auto [probe, stored] : {std::pair{1, 165}, std::pair{150, 1}}) {
    try {
      matcher->Match(ScoredTemplate(0, probe), ScoredTemplate(0, stored));
      ADD_FAILURE() << probe << " against " << stored;
    } catch (const ex::invalid_argument& e) {
      EXPECT_STREQ(e.what(), "Invalid argument");
    }
  }
  EXPECT_TRUE(engine.Algorithms().empty()) << "the engine was asked";
}

TEST(Matcher, BlocksTooShortToNameTheirTypeAreRefused) {
  FakeMatchEngine engine;
  const smart_ptr<Matcher> matcher = Create_Matcher(SECURITY_LEVEL_LOW, MATCH_SPEED_QUICK);
  for (size_t size : {0, 4, 7}) {
    SCOPED_TRACE(size);
    const smart_ptr<Template> shortOne(
        new TemplateImpl(TemplateIds{165, 14}, 0, std::vector<uint8_t>(size, 0xA5), {}, {}, {}));
    EXPECT_THROW(matcher->Match(shortOne, ScoredTemplate(0)), ex::invalid_argument);
    EXPECT_THROW(matcher->Match(ScoredTemplate(0), shortOne), ex::invalid_argument);
  }
  EXPECT_THROW(matcher->Match(smart_ptr<Template>(), ScoredTemplate(0)), ex::invalid_argument);
  EXPECT_TRUE(engine.Algorithms().empty());
}

TEST(Matcher, VerifyNeedsTheLevelsThresholdExactly) {
  FakeMatchEngine engine;
  struct Case {
    int32_t level, score;
    bool verified;
  };
  const Case cases[] = {
      {1, 450, true},   {1, 449, false},  {2, 550, true},   {2, 549, false},
      {3, 700, true},   {3, 699, false},  {9, 2000, true},  {9, 1999, false},
      {0, 2000, true},  {0, 1999, false}, {-1, 1999, false}, {1, 2000, true},
      // Scores that report a block the algorithm cannot use never verify.
      {1, -1, false},   {1, -3, false},   {1, -4, false},
  };
  const smart_ptr<Matcher> matcher = Create_Matcher(SECURITY_LEVEL_LOW, MATCH_SPEED_THOROUGH);
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << "level " << c.level << ", score " << c.score);
    matcher->SetSecurityLevel(c.level);
    EXPECT_EQ(matcher->Verify(ScoredTemplate(0), ScoredTemplate(c.score)), c.verified);
    EXPECT_EQ(matcher->Verify(ScoredXTemplate(0), ScoredXTemplate(c.score)), c.verified);
  }
}

TEST(Matcher, NegativeEngineResultsArriveAsScores) {
  FakeMatchEngine engine;
  const smart_ptr<Matcher> matcher = Create_Matcher(SECURITY_LEVEL_LOW, MATCH_SPEED_QUICK);
  for (int32_t result : {-1, -3, -4}) {
    SCOPED_TRACE(result);
    EXPECT_EQ(matcher->Match(ScoredTemplate(0), ScoredTemplate(result))->GetScore(), result);
    // Identification drops them below a minimum of 0, keeps them below one of -10.
    const smart_ptr<RecordSet> set = Create_RecordSet();
    set->Add(ScoredTemplate(result), 1);
    set->Add(ScoredTemplate(600), 2);
    EXPECT_EQ(matcher->Identify(ScoredTemplate(0), set, 10, 0)->Count(), 1);
    const smart_ptr<CandidateList> all = matcher->Identify(ScoredTemplate(0), set, 10, -10);
    ASSERT_EQ(all->Count(), 2);
    EXPECT_EQ(all->GetByIndex(1)->GetScore(), result);
  }
}

TEST(Matcher, MatchResultCarriesTheAlignmentTheEngineLeft) {
  FakeMatchEngine engine;
  const smart_ptr<Matcher> matcher = Create_Matcher(SECURITY_LEVEL_LOW, MATCH_SPEED_THOROUGH);
  // Without one: zeros.
  smart_ptr<MatchResult> result = matcher->Match(ScoredTemplate(0), ScoredTemplate(812));
  FloatPair shift{-1, -1};
  result->GetShift(shift);
  EXPECT_EQ(result->GetScore(), 812);
  EXPECT_EQ(result->GetRotation(), 0.0f);
  EXPECT_EQ(shift.first, 0.0f);
  EXPECT_EQ(shift.second, 0.0f);

  // Rotation, x shift, y shift as the engine leaves them; the shift reads (y, x).
  engine.leaveAlignment = true;
  engine.alignment = {-12, 34, -56};
  result = matcher->Match(ScoredTemplate(0), ScoredTemplate(900));
  result->GetShift(shift);
  EXPECT_EQ(result->GetRotation(), -12.0f);
  EXPECT_EQ(shift.first, -56.0f);
  EXPECT_EQ(shift.second, 34.0f);
}

TEST(Matcher, AnAlgorithmTheEngineDoesNotKnowIsReported) {
  FakeMatchEngine engine;
  engine.unknownIds = {181};
  const smart_ptr<Matcher> matcher = Create_Matcher(SECURITY_LEVEL_LOW, MATCH_SPEED_THOROUGH);
  try {
    matcher->Match(ScoredTemplate(0), ScoredTemplate(0));
    ADD_FAILURE() << "nothing thrown";
  } catch (const ex::base_exception& e) {
    EXPECT_STREQ(e.what(), "Alg not found");
  }
}

}  // namespace
}  // namespace vela::math
