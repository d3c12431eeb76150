// Image processors, fingers and finger sets, against the stand-in engine.
#include <gtest/gtest.h>

#include <typeinfo>

#include "FakeEngine.h"
#include "TemplateFixtures.h"
#include "engine/objects/PrepareImage.h"
#include "engine/objects/TemplateImpl.h"
#include "engine/objects/XTemplateImpl.h"

namespace vela::math {
namespace {

using base::smart_ptr;
using namespace testing;
namespace ex = base::exceptions;

smart_ptr<base::ImageSet> SetOf(int images, int32_t width = 120) {
  smart_ptr<base::ImageSet> set = base::Create_ImageSet();
  for (int i = 0; i < images; ++i) set->Add(MakeRampImage(width, 110, width + 3));
  return set;
}

std::vector<uint8_t> Rows(const smart_ptr<StridedImage>& image, bool mirrored) {
  std::vector<uint8_t> rows;
  for (int32_t y = 0; y < image->GetHeight(); ++y)
    for (int32_t x = 0; x < image->GetWidth(); ++x)
      rows.push_back(image->Row(y)[mirrored ? image->GetWidth() - 1 - x : x]);
  return rows;
}

TEST(ImageProcessor, EachTypeMakesItsDataIdWithScannerFourteen) {
  const struct {
    img_proc_type type;
    int32_t dataId;
  } cases[] = {{IMG_PROC_COMPACT, 165}, {IMG_PROC_FINGER_SET, 150}, {IMG_PROC_MIRRORED, 2},
               {IMG_PROC_MIRRORED_2, 2}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.type);
    FakeEngine engine;
    const smart_ptr<Template> t = Create_ImageProcessor(c.type)->CreateTemplate(SetOf(3), 6);
    ASSERT_EQ(engine.dataCalls.size(), 1u);
    EXPECT_EQ(engine.dataCalls[0].dataId, c.dataId);
    ASSERT_EQ(engine.dataCalls[0].records.size(), 3u);
    for (int i = 0; i < 3; ++i) {
      EXPECT_EQ(engine.dataCalls[0].records[size_t(i)].scannerId, 14);
      EXPECT_EQ(engine.dataCalls[0].records[size_t(i)].fingerCode, 6);
      EXPECT_EQ(engine.dataCalls[0].records[size_t(i)].impressionIndex, i + 1);
    }
    const TemplateIds& ids = dynamic_cast<const TemplateImpl&>(*t).Ids();
    EXPECT_EQ(ids.dataId, c.dataId);
    EXPECT_EQ(ids.scannerId, 14);
    EXPECT_EQ(t->GetFingerCode(), 6);
    // The image information is the first image's, in its full form.
    EXPECT_EQ(t->GetImageInfo()->GetP1(), 40.0f);
    EXPECT_EQ(t->GetImageInfo()->GetQ6(), 600);
    EXPECT_EQ(t->GetMinutiae()->Count(), 1);
    ASSERT_EQ(engine.featureBlocks.size(), 1u);
    EXPECT_EQ(engine.featureBlocks[0], std::vector<uint8_t>(t->GetData(), t->GetData() + t->GetDataSize()));
  }
}

TEST(ImageProcessor, AnUnknownTypeFailsEveryTemplateBeforeDoingAnything) {
  FakeEngine engine;
  for (int32_t type : {0, 5, -1}) {
    const smart_ptr<ImageProcessor> processor = Create_ImageProcessor(img_proc_type(type));
    const std::function<void()> calls[] = {
        [&] { processor->CreateTemplate(base::Create_ImageSet(), 1); },
        [&] { processor->CreateTemplate(smart_ptr<base::ImageSet>(), 1); },
        [&] { processor->CreateTemplate(SetOf(11), 1); },
        [&] { processor->CreateXTemplate(Create_FingerSet()); },
        [&] { processor->CreateXTemplate(1, SetOf(1)); },
    };
    for (const auto& call : calls) {
      try {
        call();
        ADD_FAILURE() << "nothing thrown";
      } catch (const ex::base_exception& e) {
        EXPECT_EQ(typeid(e), typeid(ex::base_exception));
        EXPECT_STREQ(e.what(), "CreateTemplate=> RecID not defined.");
      }
    }
  }
  EXPECT_TRUE(engine.dataCalls.empty());
}

TEST(ImageProcessor, ImageCountLimitsComeBeforeAnyConversion) {
  FakeEngine engine;
  const smart_ptr<ImageProcessor> processor = Create_ImageProcessor(IMG_PROC_FINGER_SET);
  EXPECT_NO_THROW(processor->CreateTemplate(SetOf(10), 1));
  ASSERT_EQ(engine.dataCalls.size(), 1u);
  EXPECT_EQ(engine.dataCalls[0].records.size(), 10u);

  smart_ptr<StridedImage> watched = MakeRampImage(120, 110, 123);
  const int readsBefore = watched->reads;
  smart_ptr<base::ImageSet> eleven = SetOf(10);
  eleven->Add(watched);
  smart_ptr<base::ImageSet> firstWatched = base::Create_ImageSet(watched);
  for (int i = 0; i < 10; ++i) firstWatched->Add(MakeRampImage(120, 110, 123));
  try {
    processor->CreateTemplate(firstWatched, 1);
    ADD_FAILURE() << "11 images taken";
  } catch (const ex::invalid_argument& e) {
    EXPECT_STREQ(e.what(), "Can't create template from more than 10 images");
  }

  // Fingers: the second finger is over the limit; the first one's images stay untouched.
  smart_ptr<FingerSet> fingers = Create_FingerSet();
  fingers->Add(Create_Finger(RIGHT_THUMB, firstWatched));
  smart_ptr<FingerSet> overFull = Create_FingerSet();
  overFull->Add(Create_Finger(RIGHT_THUMB, base::Create_ImageSet(watched)));
  overFull->Add(Create_Finger(RIGHT_INDEX, eleven));
  try {
    processor->CreateXTemplate(overFull);
    ADD_FAILURE() << "a finger of 11 images taken";
  } catch (const ex::invalid_argument& e) {
    EXPECT_STREQ(e.what(), "Finger contain more than 10 impressions");
  }

  smart_ptr<FingerSet> elevenFingers = Create_FingerSet();
  for (int32_t code = 0; code <= 10; ++code)
    elevenFingers->Add(Create_Finger(finger_code(code), base::Create_ImageSet(watched)));
  try {
    processor->CreateXTemplate(elevenFingers);
    ADD_FAILURE() << "11 fingers taken";
  } catch (const ex::invalid_argument& e) {
    EXPECT_STREQ(e.what(), "FingerSet contain more than 10 fingers");
  }
  EXPECT_EQ(watched->reads, readsBefore);
  EXPECT_EQ(engine.dataCalls.size(), 1u);
}

TEST(ImageProcessor, OnlyTheMirroredTypesMirror) {
  const struct {
    img_proc_type type;
    bool mirrored;
  } cases[] = {{IMG_PROC_COMPACT, false}, {IMG_PROC_FINGER_SET, false}, {IMG_PROC_MIRRORED, true},
               {IMG_PROC_MIRRORED_2, true}};
  const smart_ptr<StridedImage> image = MakeRampImage(121, 103, 130);
  for (const auto& c : cases) {
    SCOPED_TRACE(c.type);
    FakeEngine engine;
    const smart_ptr<ImageProcessor> processor = Create_ImageProcessor(c.type);
    processor->CreateTemplate(smart_ptr<base::Image>(image), 1);
    processor->CreateXTemplate(2, smart_ptr<base::Image>(image));
    ASSERT_EQ(engine.dataCalls.size(), 2u);
    for (const DataCall& call : engine.dataCalls) {
      const BmpPixels pixels = ReadBmpPixels(call.records[0].payload);
      EXPECT_EQ(pixels.width, 121);
      EXPECT_EQ(pixels.rows, Rows(image, c.mirrored));
    }
    // Quality is measured on the image as it is.
    EXPECT_EQ(processor->GetImageQuality(smart_ptr<base::Image>(image)), 42);
    EXPECT_EQ(ReadBmpPixels(engine.imageCalls.at(0).bmp).rows, Rows(image, false));
  }
}

TEST(PrepareImage, ReadsRowsAtTheImagesStrideAndTurnsColourGrey) {
  const smart_ptr<StridedImage> grey = MakeRampImage(101, 100, 117);
  const std::vector<uint8_t> bmp = PrepareImage(smart_ptr<base::Image>(grey), false);
  ASSERT_EQ(bmp[0], 'B');
  EXPECT_EQ(ReadLe<uint16_t>(bmp.data() + 28), 8);     // bits per pixel
  EXPECT_EQ(ReadLe<uint32_t>(bmp.data() + 10), 1078u);  // pixels after a 256-entry palette
  EXPECT_EQ(ReadBmpPixels(bmp).rows, Rows(grey, false));

  smart_ptr<StridedImage> colour(new StridedImage(100, 100, 24, 310));
  for (int32_t y = 0; y < 100; ++y)
    for (int32_t x = 0; x < 100; ++x) {
      colour->Row(y)[3 * x] = uint8_t(x);
      colour->Row(y)[3 * x + 1] = uint8_t(y);
      colour->Row(y)[3 * x + 2] = uint8_t(x + y);
    }
  // The library's own conversion of an unpadded copy is the reference.
  smart_ptr<render::BMP_Image> reference = render::Create_BMP_Image(smart_ptr<base::Image>(colour));
  reference->ConvertTo8Bpp();
  const std::vector<uint8_t> expected(reference->GetData(), reference->GetData() + 100 * 100);
  const BmpPixels pixels = ReadBmpPixels(PrepareImage(smart_ptr<base::Image>(colour), false));
  EXPECT_EQ(pixels.width, 100);
  EXPECT_EQ(pixels.rows, expected);
  EXPECT_NE(pixels.rows[5 * 100 + 60], 0);

  EXPECT_THROW(PrepareImage({}, false), ex::invalid_argument);
}

TEST(ImageProcessor, ExtendedTemplatesGroupImpressionsByFinger) {
  FakeEngine engine;
  smart_ptr<FingerSet> fingers = Create_FingerSet();
  fingers->Add(Create_Finger(RIGHT_INDEX, SetOf(2)));
  fingers->Add(Create_Finger(LEFT_THUMB, SetOf(1)));
  const smart_ptr<XTemplate> x = Create_ImageProcessor(IMG_PROC_FINGER_SET)->CreateXTemplate(fingers);

  ASSERT_EQ(engine.dataCalls.size(), 1u);
  const std::vector<ChainRecord>& records = engine.dataCalls[0].records;
  ASSERT_EQ(records.size(), 3u);
  EXPECT_EQ(records[0].fingerCode, 2);
  EXPECT_EQ(records[1].impressionIndex, 2);
  EXPECT_EQ(records[2].fingerCode, 6);
  EXPECT_EQ(records[2].impressionIndex, 1);

  const smart_ptr<FingerRecordList> list = x->GetFingers();
  ASSERT_EQ(list->Count(), 2);
  EXPECT_EQ(list->GetByIndex(0)->GetFingerCode(), 2);
  EXPECT_EQ(list->GetByIndex(0)->GetImpressions()->Count(), 2);
  EXPECT_EQ(list->GetByIndex(1)->GetFingerCode(), 6);
  const smart_ptr<ImpressionRecordList> first = list->GetByIndex(0)->GetImpressions();
  EXPECT_EQ(first->GetByIndex(0)->GetMinutiae()->Count(), 1);
  EXPECT_THROW(first->GetByIndex(1)->GetMinutiae(), ex::not_supported);
  EXPECT_THROW(list->GetByIndex(1)->GetImpressions()->GetByIndex(0)->GetDirectionField(),
               ex::not_supported);
  // Qualities 40, 50 (first finger) and 60.
  EXPECT_FLOAT_EQ(x->GetMeanQuality(), 52.5f);
  EXPECT_EQ(dynamic_cast<const XTemplateImpl&>(*x).Ids().dataId, 150);
}

TEST(ImageProcessor, ImageInformationAndQualityOfOneImage) {
  FakeEngine engine;
  const smart_ptr<ImageProcessor> processor = Create_ImageProcessor(IMG_PROC_COMPACT);
  const smart_ptr<ImageInfoView> info = processor->GetImageInfo(MakeRampImage(120, 110, 120));
  EXPECT_EQ(info->GetP1(), 40.0f);
  EXPECT_EQ(info->GetP2(), -5.0f);
  EXPECT_EQ(info->GetParameters()[2], 1.5f);
  EXPECT_EQ(info->GetQ1(), 100);
  EXPECT_EQ(engine.dataCalls.at(0).records.at(0).fingerCode, 0);

  engine.imageResult = 0xC3100074;
  try {
    processor->GetImageQuality(MakeRampImage(120, 110, 120));
    ADD_FAILURE() << "nothing thrown";
  } catch (const ex::bad_quality& e) {
    EXPECT_STREQ(e.what(), "Bad image quality");
  }
  engine.dataResult = 0xC310006F;
  try {
    processor->CreateTemplate(MakeRampImage(120, 110, 120), 1);
    ADD_FAILURE() << "nothing thrown";
  } catch (const ex::math_error& e) {
    EXPECT_STREQ(e.what(), "Wrong Image Width or Height");
  }
}

TEST(Fingers, FingersShareOrOwnTheirImages) {
  smart_ptr<base::ImageSet> shared = base::Create_ImageSet();
  const smart_ptr<Finger> sharing = Create_Finger(LEFT_RING, shared);
  shared->Add(MakeRampImage(10, 10, 10));
  EXPECT_EQ(sharing->Count(), 1);
  sharing->AddImage(MakeRampImage(10, 10, 10));
  EXPECT_EQ(shared->Count(), 2);
  EXPECT_EQ(sharing->GetFingerCode(), LEFT_RING);

  const smart_ptr<Finger> own = Create_Finger(RIGHT_RING, smart_ptr<base::Image>(MakeRampImage(10, 10, 10)));
  EXPECT_EQ(own->Count(), 1);
  EXPECT_THROW(own->GetFingerImage(1), ex::out_of_range);
  EXPECT_EQ(Create_Finger(finger_code(42))->Count(), 0);  // codes are not checked
}

TEST(Fingers, ASetHoldsEachCodeOnce) {
  smart_ptr<FingerSet> set = Create_FingerSet();
  set->Add(Create_Finger(RIGHT_MIDDLE));
  set->Add(Create_Finger(RIGHT_INDEX));
  try {
    set->Add(Create_Finger(RIGHT_MIDDLE));
    ADD_FAILURE() << "a second finger 3 taken";
  } catch (const ex::invalid_argument& e) {
    EXPECT_STREQ(e.what(), "Finger with such code already exists in FingerSet");
  }
  ASSERT_EQ(set->Count(), 2);
  EXPECT_EQ(set->GetByIndex(1)->GetFingerCode(), RIGHT_INDEX);
  EXPECT_THROW(set->GetByIndex(2), ex::out_of_range);
  EXPECT_THROW(set->GetByIndex(-1), ex::out_of_range);
  EXPECT_THROW(set->Add({}), ex::invalid_argument);
}

}  // namespace
}  // namespace vela::math
