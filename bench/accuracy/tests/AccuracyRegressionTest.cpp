// Regression gates on named pairs of the shared benchmark sets, run through
// the accuracy bench's own steps (enrolment and Match through libvela50.so).
//
// The genuine pairs below are turned by 20 to 35 degrees or barely overlap.
// The quick comparison loses each of them at a gate it is built with: the
// straight alignment finds no shift whose direction difference stays below
// 350, or pairs too few minutiae (the close-pair ratio caps it at 12 or 0),
// and the turned copies of about 22 degrees, which would line them up, are
// only tried after a straight score above 140. The thorough comparison
// aligns them by hashing minutia pairs and must keep verifying them at the
// highest level, and must keep rejecting the impostor pairs at the lowest.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <string>

#include "AccuracyRun.h"
#include "vela/math.h"

namespace {

namespace fs = std::filesystem;
namespace math = vela::math;
using vela::base::smart_ptr;

const fs::path kSets = fs::path(PV_SHARED_DATA_DIR) / "fingerprints-fvc2002";

struct NamedPair {
  const char* set;
  const char* stored;
  const char* probe;
  const char* lostAt;  // where the quick comparison drops it
};

constexpr NamedPair kTurnedGenuinePairs[] = {
    {"db4", "103_5", "103_8", "straight pairing ratio above 27 (score 12), no 22-degree retry below 140"},
    {"db4", "104_2", "104_5", "no straight alignment below difference 350"},
    {"db4", "106_5", "106_7", "straight pairing ratio above 34 (score 0), no 22-degree retry below 140"},
    {"db1", "106_3", "106_7", "straight alignment difference 355, not below 350"},
    {"db1", "104_2", "104_4", "no straight alignment below difference 350 (turned about 33 degrees)"},
    {"db1", "105_5", "105_6", "straight pairing ratio above 34, no 22-degree retry below 140"},
};

constexpr NamedPair kImpostorPairs[] = {
    {"db1", "101_1", "102_1", ""}, {"db1", "103_1", "108_1", ""},
    {"db4", "101_1", "102_1", ""}, {"db4", "104_1", "109_1", ""},
};

class AccuracyRegression : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!fs::is_directory(kSets / "db1") || !fs::is_directory(kSets / "db4"))
      GTEST_SKIP() << "no benchmark sets in " << kSets.string();
  }

  smart_ptr<math::Template> Enrolled(const std::string& set, const std::string& name) {
    const std::string key = set + "/" + name;
    auto found = enrolled.find(key);
    if (found == enrolled.end())
      found = enrolled.emplace(key, accuracy::EnrolImage(*processor, kSets / set / (name + ".bmp"))).first;
    return found->second;
  }

  int32_t Score(math::MatchSpeed speed, const NamedPair& pair) {
    const smart_ptr<math::Matcher> matcher = math::Create_Matcher(math::SECURITY_LEVEL_HIGH, speed);
    return matcher->Match(Enrolled(pair.set, pair.probe), Enrolled(pair.set, pair.stored))->GetScore();
  }

  smart_ptr<math::ImageProcessor> processor = math::Create_ImageProcessor(math::IMG_PROC_COMPACT);
  std::map<std::string, smart_ptr<math::Template>> enrolled;
};

TEST_F(AccuracyRegression, TheThoroughSpeedVerifiesTurnedPairsTheQuickSpeedLoses) {
  for (const NamedPair& pair : kTurnedGenuinePairs) {
    SCOPED_TRACE(std::string(pair.set) + " " + pair.probe + " against " + pair.stored + ": " + pair.lostAt);
    EXPECT_GE(Score(math::MATCH_SPEED_THOROUGH, pair), 700);
    EXPECT_EQ(Score(math::MATCH_SPEED_QUICK, pair), 0);
  }
}

TEST_F(AccuracyRegression, NeitherSpeedAcceptsTheNamedImpostorPairs) {
  for (const NamedPair& pair : kImpostorPairs) {
    SCOPED_TRACE(std::string(pair.set) + " " + pair.probe + " against " + pair.stored);
    EXPECT_LT(Score(math::MATCH_SPEED_THOROUGH, pair), 450);
    EXPECT_LT(Score(math::MATCH_SPEED_QUICK, pair), 450);
  }
}

TEST_F(AccuracyRegression, FiguresOfOneFingerFollowFromItsScores) {
  // The bench's own pairing and summing on one finger of each set: every
  // impression enrols, every genuine pair of the finger is compared, and at
  // the thorough speed none of them scores 0.
  for (const char* set : {"db1", "db4"}) {
    SCOPED_TRACE(set);
    std::vector<accuracy::Impression> impressions;
    for (const accuracy::Impression& impression : accuracy::FindImpressions(kSets / set))
      if (impression.finger == "104") impressions.push_back(impression);
    ASSERT_EQ(impressions.size(), 8u);
    const accuracy::EnrolReport report = accuracy::Enrol(impressions, math::IMG_PROC_COMPACT);
    EXPECT_TRUE(report.failures.empty());
    const smart_ptr<math::Matcher> matcher =
        math::Create_Matcher(math::SECURITY_LEVEL_LOW, math::MATCH_SPEED_THOROUGH);
    const std::vector<accuracy::PairScore> pairs = accuracy::ScorePairs(impressions, *matcher, false);
    ASSERT_EQ(pairs.size(), 28u);
    const accuracy::Figures figures = accuracy::Summarise(pairs);
    EXPECT_EQ(figures.genuinePairs, 28u);
    EXPECT_EQ(figures.impostorPairs, 0u);
    EXPECT_EQ(figures.genuineZeroShare, 0.0);
  }
}

}  // namespace
