// The object layer over the real engine, on real fingerprint images.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "TemplateFixtures.h"
#include "engine/objects/TemplateImpl.h"
#include "engine/objects/XTemplateImpl.h"

namespace vela::math {
namespace {

using base::smart_ptr;
using namespace testing;
namespace ex = base::exceptions;

class RealEngine : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!std::filesystem::exists(Path("f01_1")))
      GTEST_SKIP() << "no fingerprint images in " << PV_SHARED_DATA_DIR "/fingerprints";
  }
  static std::string Path(const std::string& name) {
    return std::string(PV_SHARED_DATA_DIR) + "/fingerprints/" + name + ".bmp";
  }
  static smart_ptr<base::Image> Image(const std::string& name) {
    return render::Create_BMP_Image(Create_IFileStream(Path(name).c_str()));
  }
};

template <class T>
std::vector<uint8_t> Saved(const smart_ptr<T>& t) {
  smart_ptr<base::MemoryStream> stream = Create_MemoryStream(nullptr, 0);
  t->Save(stream);
  return StreamBytes(stream);
}

template <class T>
std::vector<uint8_t> DataOf(const smart_ptr<T>& t) {
  return std::vector<uint8_t>(t->GetData(), t->GetData() + t->GetDataSize());
}

TEST_F(RealEngine, TemplatesOfEveryTypeSurviveSaveAndLoad) {
  const struct {
    img_proc_type type;
    int32_t storedId;
    bool container;
  } cases[] = {{IMG_PROC_COMPACT, 165, false}, {IMG_PROC_FINGER_SET, 150, false},
               {IMG_PROC_MIRRORED, 1, true}};
  smart_ptr<base::ImageSet> images = base::Create_ImageSet(Image("f01_1"));
  images->Add(Image("f01_2"));
  for (const auto& c : cases) {
    SCOPED_TRACE(c.type);
    const smart_ptr<Template> made = Create_ImageProcessor(c.type)->CreateTemplate(images, RIGHT_INDEX);
    EXPECT_EQ(ReadLe<int32_t>(made->GetData() + 4), c.storedId);
    EXPECT_GE(made->GetMinutiae()->Count(), 4);
    const float quality = made->GetImageInfo()->GetP1();
    EXPECT_GT(quality, 0.0f);
    EXPECT_LE(quality, 100.0f);

    const std::vector<uint8_t> saved = Saved(made);
    EXPECT_EQ(saved[0] == 'V', c.container);
    const smart_ptr<Template> back = Create_Template(InputOf(saved));
    EXPECT_EQ(DataOf(back), DataOf(made));
    EXPECT_EQ(back->GetFingerCode(), RIGHT_INDEX);
    EXPECT_EQ(back->GetImageInfo()->GetQ5(), made->GetImageInfo()->GetQ5());
    ASSERT_EQ(back->GetMinutiae()->Count(), made->GetMinutiae()->Count());
    EXPECT_EQ(back->GetMinutiae()->GetPoint(0).second, made->GetMinutiae()->GetPoint(0).second);
    EXPECT_EQ(Saved(back), saved);
  }
}

TEST_F(RealEngine, ImageQualityOfARealImpression) {
  const smart_ptr<ImageProcessor> processor = Create_ImageProcessor(IMG_PROC_FINGER_SET);
  const int32_t quality = processor->GetImageQuality(Image("f02_1"));
  EXPECT_GT(quality, 0);
  EXPECT_LE(quality, 100);
  const smart_ptr<ImageInfoView> info = processor->GetImageInfo(Image("f02_1"));
  EXPECT_GT(info->GetP1(), 0.0f);
}

TEST_F(RealEngine, ExtendedTemplatesMergeAndLoseFingers) {
  const smart_ptr<ImageProcessor> processor = Create_ImageProcessor(IMG_PROC_FINGER_SET);
  smart_ptr<FingerSet> fingers = Create_FingerSet();
  smart_ptr<Finger> index = Create_Finger(RIGHT_INDEX, Image("f01_1"));
  index->AddImage(Image("f01_3"));
  fingers->Add(index);
  fingers->Add(Create_Finger(RIGHT_MIDDLE, Image("f02_1")));
  const smart_ptr<XTemplate> x = processor->CreateXTemplate(fingers);
  ASSERT_EQ(x->GetFingers()->Count(), 2);
  EXPECT_EQ(x->GetFingers()->GetByIndex(0)->GetImpressions()->Count(), 2);
  EXPECT_EQ(x->GetDataSize(), 8 + 3 * 2688);

  const std::vector<uint8_t> saved = Saved(x);
  const smart_ptr<XTemplate> back = Create_XTemplate(InputOf(saved));
  EXPECT_EQ(DataOf(back), DataOf(x));
  EXPECT_EQ(Saved(back), saved);
  EXPECT_FLOAT_EQ(back->GetMeanQuality(), x->GetMeanQuality());

  // Finger 3 from another template replaces ours; finger 4 joins.
  smart_ptr<FingerSet> others = Create_FingerSet();
  others->Add(Create_Finger(RIGHT_MIDDLE, Image("f03_1")));
  others->Add(Create_Finger(RIGHT_RING, Image("f04_1")));
  const smart_ptr<XTemplate> other = processor->CreateXTemplate(others);
  back->Merge(other);
  ASSERT_EQ(back->GetFingers()->Count(), 3);
  EXPECT_EQ(back->GetFingers()->GetByIndex(0)->GetFingerCode(), RIGHT_MIDDLE);
  EXPECT_EQ(back->GetFingers()->GetByIndex(2)->GetFingerCode(), RIGHT_INDEX);
  EXPECT_EQ(back->GetDataSize(), 8 + 4 * 2688);

  back->RemoveFinger(RIGHT_INDEX);
  ASSERT_EQ(back->GetFingers()->Count(), 2);
  EXPECT_EQ(back->GetDataSize(), 8 + 2 * 2688);

  const smart_ptr<XTemplate> compact = Create_ImageProcessor(IMG_PROC_COMPACT)->CreateXTemplate(fingers);
  EXPECT_THROW(compact->Merge(other), ex::not_supported);
}

TEST_F(RealEngine, ABlankImageIsOfBadQuality) {
  smart_ptr<StridedImage> blank(new StridedImage(248, 338, 8, 248));
  // A list of impressions keeps only those the engine could make.
  EXPECT_THROW(Create_ImageProcessor(IMG_PROC_MIRRORED)->CreateTemplate(smart_ptr<base::Image>(blank), 1),
               ex::bad_quality);
  const smart_ptr<ImageProcessor> processor = Create_ImageProcessor(IMG_PROC_FINGER_SET);
  EXPECT_LT(processor->GetImageQuality(smart_ptr<base::Image>(blank)),
            processor->GetImageQuality(Image("f02_1")));
  smart_ptr<StridedImage> tiny(new StridedImage(50, 50, 8, 50));
  try {
    processor->CreateTemplate(smart_ptr<base::Image>(tiny), 1);
    ADD_FAILURE() << "nothing thrown";
  } catch (const ex::math_error& e) {
    EXPECT_STREQ(e.what(), "Wrong Image Width or Height");
  }
}

}  // namespace
}  // namespace vela::math
