// Pins the engine's output on a few real impressions of each shared set: the
// bytes of every template made and every score at both match speeds, through
// the accuracy bench's own steps. The engine is tuned for speed again and
// again; none of that may change a byte or a score. A deliberate change of
// output updates the digests here together with the reason in its commit.
//
// vela_accuracy prints the same digests over whole folders, for the check
// before and after a speed-up on everything.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "AccuracyRun.h"
#include "StandardRun.h"
#include "vela/math.h"

namespace {

namespace fs = std::filesystem;
namespace math = vela::math;
using vela::base::smart_ptr;

struct PinnedSet {
  const char* folder;                   // under the shared data folder
  std::vector<std::string> fingers;     // the first four impressions of each
  int32_t processorType;
  uint64_t templates;
  uint64_t quickScores;
  uint64_t thoroughScores;
};

std::string Hex(uint64_t value) {
  char text[20];
  std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(value));
  return text;
}

TEST(PinnedOutput, TemplatesAndScoresOfRealImpressionsStayAsTheyWere) {
  const std::vector<PinnedSet> sets = {
      {"fingerprints", {"f01", "f02", "f03"}, math::IMG_PROC_COMPACT,
       0x7ec7d4bee5ed9b7bull, 0xe093eee9f78ea3d9ull, 0x22b6c8272f87f510ull},
      {"fingerprints", {"f04", "f05"}, math::IMG_PROC_FINGER_SET,
       0x1c0338ef2dc35529ull, 0x7f6badb8e3e904c2ull, 0xc6e05dae1c662e07ull},
      {"fingerprints-fvc2002/db1", {"104", "106"}, math::IMG_PROC_COMPACT,
       0x97c26066ac0f9ae3ull, 0x2bf79e4fbb5223ddull, 0x4195027b8d3461bfull},
      {"fingerprints-fvc2002/db4", {"103", "104"}, math::IMG_PROC_COMPACT,
       0xa3e97ce65dad86a9ull, 0xf8a83ba62ad57ecaull, 0xd3fc1273fb112188ull},
  };
  for (const PinnedSet& set : sets) {
    SCOPED_TRACE(std::string(set.folder) + ", image processor type " + std::to_string(set.processorType));
    const fs::path folder = fs::path(PV_SHARED_DATA_DIR) / set.folder;
    if (!fs::is_directory(folder)) {
      std::printf("no impressions at %s: skipped\n", folder.string().c_str());
      continue;
    }
    std::vector<accuracy::Impression> impressions;
    for (const accuracy::Impression& impression : accuracy::FindImpressions(folder))
      for (const std::string& finger : set.fingers)
        if (impression.finger == finger && impression.number <= 4) impressions.push_back(impression);
    ASSERT_EQ(impressions.size(), 4 * set.fingers.size());
    accuracy::Enrol(impressions, set.processorType);
    EXPECT_EQ(Hex(accuracy::DigestTemplates(impressions)), Hex(set.templates));
    for (const auto& [speed, pinned] : {std::pair{math::MATCH_SPEED_QUICK, set.quickScores},
                                        std::pair{math::MATCH_SPEED_THOROUGH, set.thoroughScores}}) {
      const smart_ptr<math::Matcher> matcher = math::Create_Matcher(math::SECURITY_LEVEL_LOW, speed);
      EXPECT_EQ(Hex(accuracy::DigestScores(accuracy::ScorePairs(impressions, *matcher, true))), Hex(pinned))
          << "match speed " << speed;
    }
  }
}

// The same for the ISO and INCITS 378 templates of the same impressions and
// their scores with the standard matchers.
TEST(PinnedOutput, StandardTemplatesAndScoresStayAsTheyWere) {
  struct PinnedStandardSet {
    const char* folder;
    std::vector<std::string> fingers;
    accuracy::Standard standard;
    uint64_t templates;
    uint64_t scores;
  };
  const std::vector<PinnedStandardSet> sets = {
      {"fingerprints", {"f01", "f02", "f03"}, accuracy::Standard::Iso,
       0xee58889e46d64cb2ull, 0x13de265fa5a66634ull},
      {"fingerprints", {"f01", "f02", "f03"}, accuracy::Standard::Incits,
       0x8e30d6a18d1d4673ull, 0x9d982272e7d91283ull},
      {"fingerprints-fvc2002/db1", {"102", "106"}, accuracy::Standard::Iso,
       0x9fe58a45101b5e2dull, 0x4303911ed74086d6ull},
      {"fingerprints-fvc2002/db1", {"102", "106"}, accuracy::Standard::Incits,
       0x1b85ad9f3aeae2abull, 0xa60eafd6920894adull},
      {"fingerprints-fvc2002/db4", {"101", "109"}, accuracy::Standard::Iso,
       0x7ac447e1b4ed6e9dull, 0x7ea6221ddab0e34dull},
      {"fingerprints-fvc2002/db4", {"101", "109"}, accuracy::Standard::Incits,
       0xf6efdc1c6ac101c6ull, 0x237a002b44a78a6cull},
  };
  for (const PinnedStandardSet& set : sets) {
    SCOPED_TRACE(std::string(set.folder) + ", " + accuracy::NameOf(set.standard));
    const fs::path folder = fs::path(PV_SHARED_DATA_DIR) / set.folder;
    if (!fs::is_directory(folder)) {
      std::printf("no impressions at %s: skipped\n", folder.string().c_str());
      continue;
    }
    std::vector<accuracy::Impression> impressions;
    for (const accuracy::Impression& impression : accuracy::FindImpressions(folder))
      for (const std::string& finger : set.fingers)
        if (impression.finger == finger && impression.number <= 4) impressions.push_back(impression);
    ASSERT_EQ(impressions.size(), 4 * set.fingers.size());
    std::vector<accuracy::StandardTemplate> made;
    accuracy::EnrolStandard(impressions, set.standard, made);
    EXPECT_EQ(Hex(accuracy::DigestStandardTemplates(made)), Hex(set.templates));
    const accuracy::StandardComparer comparer(set.standard);
    EXPECT_EQ(Hex(accuracy::DigestScores(accuracy::ScoreStandardPairs(impressions, made, comparer, true))),
              Hex(set.scores));
  }
}

}  // namespace
