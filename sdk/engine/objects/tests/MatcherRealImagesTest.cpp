// The matcher over the real engine, on real fingerprint images.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "engine/objects/MatcherImpl.h"
#include "engine/objects/TemplateImpl.h"
#include "base/ByteOrder.h"
#include "vela/render.h"

namespace vela::math {
namespace {

using base::smart_ptr;
namespace ex = base::exceptions;

class RealMatcher : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!std::filesystem::exists(Path(1, 1)))
      GTEST_SKIP() << "no fingerprint images in " << PV_SHARED_DATA_DIR "/fingerprints";
  }
  static std::string Path(int finger, int impression) {
    return std::string(PV_SHARED_DATA_DIR) + "/fingerprints/f0" + std::to_string(finger) + "_" +
           std::to_string(impression) + ".bmp";
  }
  static smart_ptr<Template> Made(int finger, int impression, img_proc_type type = IMG_PROC_COMPACT) {
    const smart_ptr<base::Image> image =
        render::Create_BMP_Image(Create_IFileStream(Path(finger, impression).c_str()));
    return Create_ImageProcessor(type)->CreateTemplate(image, RIGHT_INDEX);
  }
};

TEST_F(RealMatcher, ATemplateVerifiesAgainstItselfAtEveryLevelAndSpeed) {
  for (img_proc_type type : {IMG_PROC_COMPACT, IMG_PROC_FINGER_SET, IMG_PROC_MIRRORED}) {
    for (int finger : {2, 5}) {
      const smart_ptr<Template> made = Made(finger, 3, type);
      for (MatchSpeed speed : {MATCH_SPEED_QUICK, MATCH_SPEED_THOROUGH}) {
        const smart_ptr<Matcher> matcher = Create_Matcher(SECURITY_LEVEL_LOW, speed);
        for (int32_t level : {1, 2, 3}) {
          SCOPED_TRACE(::testing::Message() << "type " << type << ", finger " << finger
                                            << ", speed " << speed << ", level " << level);
          matcher->SetSecurityLevel(level);
          EXPECT_TRUE(matcher->Verify(made, made))
              << "score " << matcher->Match(made, made)->GetScore();
        }
      }
    }
  }
}

TEST_F(RealMatcher, AnExtendedTemplateVerifiesAgainstTheTemplateOfItsImage) {
  const smart_ptr<base::Image> image =
      render::Create_BMP_Image(Create_IFileStream(Path(4, 2).c_str()));
  const smart_ptr<ImageProcessor> processor = Create_ImageProcessor(IMG_PROC_FINGER_SET);
  const smart_ptr<XTemplate> extended = processor->CreateXTemplate(RIGHT_INDEX, image);
  const smart_ptr<Template> single = processor->CreateTemplate(image, RIGHT_INDEX);
  for (MatchSpeed speed : {MATCH_SPEED_QUICK, MATCH_SPEED_THOROUGH}) {
    SCOPED_TRACE(speed);
    EXPECT_TRUE(Create_Matcher(SECURITY_LEVEL_HIGH, speed)->Verify(extended, single));
  }
}

TEST_F(RealMatcher, IdentificationFindsTheEnrolledFingerAmongDecoys) {
  // Enrolled: the first impression of finger 3. Decoys: four impressions of
  // each of the five other fingers. Probes: later impressions of finger 3.
  const smart_ptr<RecordSet> set = Create_RecordSet();
  set->Add(Made(3, 1), 301, 3);
  for (int finger : {1, 2, 4, 5, 6})
    for (int impression : {1, 3, 5, 7})
      set->Add(Made(finger, impression), finger * 100 + impression, finger);
  ASSERT_EQ(set->Count(), 21);
  for (MatchSpeed speed : {MATCH_SPEED_QUICK, MATCH_SPEED_THOROUGH}) {
    const smart_ptr<Matcher> matcher = Create_Matcher(SECURITY_LEVEL_MEDIUM, speed);
    for (int impression : {2, 3}) {
      SCOPED_TRACE(::testing::Message() << "speed " << speed << ", probe f03_" << impression);
      const smart_ptr<CandidateList> list = matcher->Identify(Made(3, impression), set, 3, 0);
      ASSERT_GE(list->Count(), 1);
      EXPECT_EQ(list->GetByIndex(0)->GetId(), 301);
      EXPECT_EQ(list->GetByIndex(0)->GetValue(), 3);
      if (list->Count() > 1) {
        EXPECT_GT(list->GetByIndex(0)->GetScore(), list->GetByIndex(1)->GetScore());
      }
    }
  }
}

TEST_F(RealMatcher, CompactBlocksThatDoNotExpandScoreMinusThreeOrFour) {
  // A compact block that holds no finger entry cannot be expanded.
  std::vector<uint8_t> empty(8);
  WriteLe<int32_t>(empty.data(), 8);
  WriteLe<int32_t>(empty.data() + 4, 165);
  const smart_ptr<Template> broken(new TemplateImpl(TemplateIds{165, 14}, 0, empty, {}, {}, {}));
  const smart_ptr<Template> good = Made(1, 1);
  for (MatchSpeed speed : {MATCH_SPEED_QUICK, MATCH_SPEED_THOROUGH}) {
    SCOPED_TRACE(speed);
    const smart_ptr<Matcher> matcher = Create_Matcher(SECURITY_LEVEL_LOW, speed);
    EXPECT_EQ(matcher->Match(broken, good)->GetScore(), -3);
    EXPECT_EQ(matcher->Match(good, broken)->GetScore(), -4);
    EXPECT_EQ(matcher->Match(broken, broken)->GetScore(), -3);
    EXPECT_FALSE(matcher->Verify(good, broken));
    // The matcher goes on working afterwards.
    EXPECT_TRUE(matcher->Verify(good, good));
  }
}

TEST_F(RealMatcher, TheThoroughSpeedHandsOutTheAlignmentOfItsFirstComparison) {
  const smart_ptr<Matcher> matcher = Create_Matcher(SECURITY_LEVEL_LOW, MATCH_SPEED_THOROUGH);
  const smart_ptr<Template> made = Made(6, 4);
  const smart_ptr<MatchResult> result = matcher->Match(made, made);
  FloatPair shift{1, 1};
  result->GetShift(shift);
  EXPECT_EQ(result->GetRotation(), 0.0f);
  EXPECT_EQ(shift.first, 0.0f);
  EXPECT_EQ(shift.second, 0.0f);
}

}  // namespace
}  // namespace vela::math
