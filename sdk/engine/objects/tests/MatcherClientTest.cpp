// A client of libvela50.so verifies and identifies through the public
// headers only.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <thread>
#include <vector>

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
          math::Create_Matcher(math::SECURITY_LEVEL_LOW, math::MATCH_SPEED_FAST);
      const smart_ptr<math::CandidateList> list = matcher->Identify(probes[i], set, 1, 0);
      if (list->Count() == 1) found[i] = list->GetByIndex(0)->GetId();
    });
  }
  for (std::thread& t : threads) t.join();
  EXPECT_EQ(found, (std::vector<int32_t>{1, 2, 3, 4, 5, 6}));
}

}  // namespace
