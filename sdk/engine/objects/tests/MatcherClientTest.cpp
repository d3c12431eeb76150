// A client of libvela50.so verifies and identifies through the public
// headers only.
#include <gtest/gtest.h>

#include <filesystem>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "ClientImage.h"
#include "vela/math.h"
#include "vela/render.h"

namespace {

using vela::base::smart_ptr;
namespace ex = vela::base::exceptions;
namespace math = vela::math;

std::string ImagePath(int finger, int impression) {
  return std::string(PV_SHARED_DATA_DIR) + "/fingerprints/f0" + std::to_string(finger) + "_" +
         std::to_string(impression) + ".bmp";
}

smart_ptr<vela::base::Image> Picture(int finger, int impression) {
  return vela::render::Create_BMP_Image(Create_IFileStream(ImagePath(finger, impression).c_str()));
}

TEST(MatcherClient, RefusalsArriveAsTheLibrarysExceptionTypes) {
  try {
    math::Create_Matcher(math::SECURITY_LEVEL_LOW, math::MatchSpeed(3));
    ADD_FAILURE() << "matcher made";
  } catch (const ex::invalid_argument& e) {
    EXPECT_STREQ(e.what(), "Invalid argument");
  }
  const smart_ptr<math::RecordSet> records = math::Create_RecordSet();
  EXPECT_THROW(records->GetByIndex(0), ex::out_of_range);
  const smart_ptr<math::TemplateSet> templates = Create_TemplateSet();
  EXPECT_FALSE(templates->MoveNext());
  try {
    templates->GetById(1);
    ADD_FAILURE() << "nothing thrown";
  } catch (const ex::invalid_argument& e) {
    EXPECT_STREQ(e.what(), "no template with such id in collection");
  }
}

TEST(MatcherClient, SpeedNamesKeepTheirValues) {
  static_assert(math::MATCH_SPEED_QUICK == 1 && math::MATCH_SPEED_THOROUGH == 2);
  static_assert(math::MATCH_SPEED_NORMAL == math::MATCH_SPEED_QUICK);
  static_assert(math::MATCH_SPEED_FAST == math::MATCH_SPEED_THOROUGH);
  const smart_ptr<math::Matcher> matcher =
      math::Create_Matcher(math::SECURITY_LEVEL_LOW, math::MATCH_SPEED_THOROUGH);
  EXPECT_EQ(matcher->GetMatchSpeed(), 2);
  matcher->SetMatchSpeed(math::MATCH_SPEED_NORMAL);
  EXPECT_EQ(matcher->GetMatchSpeed(), 1);
}

TEST(MatcherClient, ThreadsIdentifyTheirFingersInOneSet) {
  if (!std::filesystem::exists(ImagePath(1, 1)))
    GTEST_SKIP() << "no fingerprint images in " << PV_SHARED_DATA_DIR "/fingerprints";
  // The first impression of each finger enrolled as an extended template;
  // each thread identifies the second impression of one finger.
  const smart_ptr<math::ImageProcessor> processor = math::Create_ImageProcessor(math::IMG_PROC_FINGER_SET);
  const smart_ptr<math::TemplateSet> set = Create_TemplateSet();
  for (int finger = 1; finger <= 6; ++finger)
    set->Add(processor->CreateXTemplate(math::RIGHT_INDEX, Picture(finger, 1)), finger);

  std::vector<smart_ptr<math::Template>> probes;
  for (int finger = 1; finger <= 6; ++finger)
    probes.push_back(processor->CreateTemplate(Picture(finger, 2), math::RIGHT_INDEX));
  std::vector<int32_t> found(probes.size(), -1);
  std::vector<std::thread> threads;
  for (size_t i = 0; i < probes.size(); ++i) {
    threads.emplace_back([&, i] {
      const smart_ptr<math::Matcher> matcher =
          math::Create_Matcher(math::SECURITY_LEVEL_LOW, math::MATCH_SPEED_THOROUGH);
      const smart_ptr<math::CandidateList> list = matcher->Identify(probes[i], set, 1, 0);
      if (list->Count() == 1) found[i] = list->GetByIndex(0)->GetId();
    });
  }
  for (std::thread& t : threads) t.join();
  EXPECT_EQ(found, (std::vector<int32_t>{1, 2, 3, 4, 5, 6}));
}

// A 248 x 338 grey picture without ridges: all white, all black or noise.
enum class Plain { kWhite, kBlack, kNoise };
smart_ptr<vela::base::Image> PlainPicture(Plain kind) {
  std::vector<uint8_t> pixels(248 * 338, kind == Plain::kWhite ? 255 : 0);
  if (kind == Plain::kNoise) {
    std::mt19937 random(7);
    for (uint8_t& p : pixels) p = uint8_t(random());
  }
  return smart_ptr<vela::base::Image>(new vela::test::ClientImage(248, 338, 8, std::move(pixels)));
}

TEST(MatcherClient, IdentifySkipsStoredTemplatesOfAnotherKind) {
  if (!std::filesystem::exists(ImagePath(1, 1)))
    GTEST_SKIP() << "no fingerprint images in " << PV_SHARED_DATA_DIR "/fingerprints";
  // Type 3 makes a list of impressions, types 1 and 2 finger entries: the two
  // kinds cannot be compared, yet one set may hold both.
  const smart_ptr<math::Template> compact =
      math::Create_ImageProcessor(math::IMG_PROC_COMPACT)->CreateTemplate(Picture(1, 1), 1);
  const smart_ptr<math::Template> list =
      math::Create_ImageProcessor(math::IMG_PROC_MIRRORED)->CreateTemplate(Picture(1, 2), 1);
  const smart_ptr<math::XTemplate> entries =
      math::Create_ImageProcessor(math::IMG_PROC_FINGER_SET)->CreateXTemplate(1, Picture(1, 3));
  const smart_ptr<math::TemplateSet> templates = Create_TemplateSet();
  const smart_ptr<math::RecordSet> records = math::Create_RecordSet();
  records->Add(compact, 1);
  records->Add(list, 2);
  records->Add(entries, 3);
  templates->Add(compact, 1);
  templates->Add(list, 2);
  templates->Add(entries, 3);
  for (math::MatchSpeed speed : {math::MATCH_SPEED_QUICK, math::MATCH_SPEED_THOROUGH}) {
    SCOPED_TRACE(speed);
    const smart_ptr<math::Matcher> matcher = math::Create_Matcher(math::SECURITY_LEVEL_LOW, speed);
    const smart_ptr<math::Template> probe =
        math::Create_ImageProcessor(math::IMG_PROC_COMPACT)->CreateTemplate(Picture(1, 4), 1);
    for (const smart_ptr<math::CandidateList>& found :
         {matcher->Identify(probe, templates, 5, 0), matcher->Identify(probe, records, 5, 0)}) {
      ASSERT_EQ(found->Count(), 2);
      EXPECT_NE(found->GetByIndex(0)->GetId(), 2);
      EXPECT_NE(found->GetByIndex(1)->GetId(), 2);
    }
    // The list probe finds only the list.
    const smart_ptr<math::CandidateList> found = matcher->Identify(list, templates, 5, 0);
    ASSERT_EQ(found->Count(), 1);
    EXPECT_EQ(found->GetByIndex(0)->GetId(), 2);
    // A direct comparison of the two kinds is still refused.
    EXPECT_THROW(matcher->Match(probe, list), ex::invalid_argument);
  }
}

TEST(MatcherClient, TemplatesWithoutMinutiaeAreRefusedWhereTheyWouldBeMatched) {
  if (!std::filesystem::exists(ImagePath(1, 1)))
    GTEST_SKIP() << "no fingerprint images in " << PV_SHARED_DATA_DIR "/fingerprints";
  const smart_ptr<math::Matcher> matcher =
      math::Create_Matcher(math::SECURITY_LEVEL_LOW, math::MATCH_SPEED_QUICK);
  for (math::img_proc_type type : {math::IMG_PROC_COMPACT, math::IMG_PROC_FINGER_SET}) {
    SCOPED_TRACE(type);
    const smart_ptr<math::ImageProcessor> processor = math::Create_ImageProcessor(type);
    const smart_ptr<math::Template> real = processor->CreateTemplate(Picture(2, 1), 2);
    for (Plain kind : {Plain::kWhite, Plain::kBlack}) {
      SCOPED_TRACE(int(kind));
      // Both types keep every impression as the engine makes it, so a picture
      // without ridges still gives a template, one without a minutia.
      const smart_ptr<math::Template> blank = processor->CreateTemplate(PlainPicture(kind), 2);
      EXPECT_EQ(blank->GetMinutiae()->Count(), 0);
      EXPECT_THROW(matcher->Match(blank, real), ex::bad_quality);
      EXPECT_THROW(matcher->Match(real, blank), ex::bad_quality);
      EXPECT_THROW(matcher->Verify(real, blank), ex::bad_quality);

      const smart_ptr<math::TemplateSet> set = Create_TemplateSet();
      set->Add(blank, 1);
      set->Add(real, 2);
      const smart_ptr<math::CandidateList> found = matcher->Identify(real, set, 5, 0);
      ASSERT_EQ(found->Count(), 1);
      EXPECT_EQ(found->GetByIndex(0)->GetId(), 2);
      EXPECT_THROW(matcher->Identify(blank, set, 5, 0), ex::bad_quality);
    }
  }
  // A list of impressions keeps only impressions that hold something.
  const smart_ptr<math::ImageProcessor> lists = math::Create_ImageProcessor(math::IMG_PROC_MIRRORED);
  for (Plain kind : {Plain::kWhite, Plain::kBlack, Plain::kNoise})
    EXPECT_THROW(lists->CreateTemplate(PlainPicture(kind), 2), ex::bad_quality);
}

}  // namespace
